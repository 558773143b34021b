// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/metafilewriter.h"

#include "pdf/recordedpages.h"
#include "printer/processwide.h"

void registerPdfMetafileWriter() { printerState().recordedPagesWriter = writeRecordedPagesPdf; }
