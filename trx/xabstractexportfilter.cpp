// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "trx/xabstractexportfilter.h"

namespace {

TextEncoding &encodingSetting()
{
    static TextEncoding encoding = TextEncoding::DefaultEncoding;
    return encoding;
}

} // namespace

TextEncoding RpXAbstractExportFilter::textEncoding() { return encodingSetting(); }
void RpXAbstractExportFilter::setTextEncoding(TextEncoding e) { encodingSetting() = e; }
