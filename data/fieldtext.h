// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of a field value, as the data sets show it (fieldText): dates as
// yyyy-MM-dd, times as hh:mm:ss, date-times as yyyy-MM-dd hh:mm:ss, floats with
// up to 15 significant digits and a point, booleans as True/False, blobs as
// lower-case hex digits (two per byte, as table text writes them), anything
// else in its own text form. A value that does not fit the kind (a date column
// holding other text) shows its own text; a null value shows nothing.
#include "data/dataset.h"

#include <QString>
#include <QVariant>

QString rpFieldText(const QVariant &value, RpFieldType type);
