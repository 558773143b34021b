// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes the PDF document filter the writer of RpPrinter::exportMetafile
// (recorded pages as pictures). The program does this once at start-up.
void registerPdfMetafileWriter();
