// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/abstractexportfilter.h"

#include "printer/processwide.h"

TextEncoding RpPAbstractExportFilter::textEncoding() { return printerState().textEncoding; }
void RpPAbstractExportFilter::setTextEncoding(TextEncoding e) { printerState().textEncoding = e; }
