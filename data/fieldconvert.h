// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A value converted to the form a field of a kind holds (dataset.h): integers
// within the kind's range (from numbers, booleans and decimal text), floats
// (from numbers and text with a point, whatever the locale), booleans (from
// numbers and true/false/1/0/yes/no), dates and times from ISO 8601 text or
// from each other, blobs from bytes or from hex digits (two per byte), text
// from anything. nullopt when the value does not convert.
#include "data/dataset.h"

#include <QVariant>
#include <optional>

std::optional<QVariant> rpConvertFieldValue(const QVariant &value, RpFieldType type);
