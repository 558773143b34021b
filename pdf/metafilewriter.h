// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes the PDF document writer the writer of RpPrinter::exportMetafile
// (recorded pages as vectors, recordedpages.h). The program does this once
// at start-up.
void registerPdfMetafileWriter();
