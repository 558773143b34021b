// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text search in recorded pages: the text-output records of a page's
// metafile hold the text it shows.
#include <QByteArray>
#include <QString>

namespace pagesearch {

// Whether a text-output record of the page (a metafile's bytes) contains
// `text`; both are compared in upper case unless `matchCase`. A damaged
// page matches on the records before the damage.
bool pageContains(const QByteArray &metafile, const QString &text, bool matchCase);

} // namespace pagesearch
