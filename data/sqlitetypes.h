// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How SQLite's columns and stored values become the fields of a data set.
//
// SQLite types values, not columns: a column has a declared type (any text,
// or none for a computed column) and every value one of five storage classes
// (null, integer, real, text, blob). A field takes its kind from the declared
// type: the names of booleans, dates, times, small integers, decimals and
// money first (by the type's first word), then SQLite's own affinity rules
// (a type containing INT is an integer, CHAR, CLOB or TEXT text, BLOB bytes,
// REAL, FLOA or DOUB a float). A column with no declared type, or with one
// that names none of these (NUMERIC affinity: JSON, UUID, ...), takes the
// kind of its first value that is not null, and is text when all are null.
#include "data/dataset.h"

#include <QString>
#include <QVariant>
#include <optional>

// The kind a declared column type names, or nullopt when it names none.
std::optional<RpFieldType> rpSqliteDeclaredFieldType(const QString &declaredType);

// The kind of a stored value as the driver hands it: integer (qlonglong) a
// LargeInt, real a Float, text a WideString, blob a Blob.
RpFieldType rpSqliteValueFieldType(const QVariant &stored);

// A stored value in the form a field of kind `type` holds (dataset.h). Dates
// and times are read as SQLite's date functions read them: text in ISO 8601
// form (a blank or a T between date and time, seconds and their fraction
// optional; a zone suffix Z or +hh:mm gives the time in UTC; a date alone is
// its midnight, a time alone is on 2000-01-01), and a number as
// a Julian day number when it is from 0 to 5373484.5, otherwise as seconds
// since 1970-01-01 UTC. A blob field takes text as its UTF-8 bytes. A value
// that does not convert is handed on as stored; null stays null.
QVariant rpSqliteFieldValue(const QVariant &stored, RpFieldType type);
