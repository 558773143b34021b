// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four worksheet layouts, held as stored descriptions in the program's
// resources (:/layouts/rpt1.txt .. rpt4.txt) and read with the description
// reader at start-up.
#include <QByteArray>

class QWidget;
class Report;

namespace layouts {

// The stored description of layout 1..4; throws RpError for another number.
QByteArray description(int layout);

// Reads layout 1..4 into a new report on `parent` (its tab page), with its
// band, labels and shapes. Throws RpError when the description cannot be
// read.
Report *load(int layout, QWidget *parent);

} // namespace layouts
