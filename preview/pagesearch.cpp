// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/pagesearch.h"

#include "platform/metafile.h"
#include "platform/rperror.h"

namespace pagesearch {

bool pageContains(const QByteArray &bytes, const QString &text, bool matchCase)
{
    Metafile mf;
    try {
        mf = Metafile::fromBytes(bytes);
    } catch (const RpError &) {
        return false;
    }
    const QString needle = matchCase ? text : text.toUpper();
    for (const Metafile::TextRecord &r : mf.textRecords()) {
        const QString hay = matchCase ? r.text : r.text.toUpper();
        if (hay.contains(needle))
            return true;
    }
    return false;
}

} // namespace pagesearch
