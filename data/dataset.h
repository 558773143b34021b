// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpDataSet: the data source behind detail bands and data-field expressions.
// Generation walks its records (first, next, prior, end, record count); the
// expression evaluator reads the typed fields of the current record.
#include <QString>
#include <QVariant>

// Field kinds. Values (fieldValue) are held as: String, WideString QString;
// Integer, SmallInt, Word qint32; LargeInt qlonglong; Bcd, Float, Currency
// double; Boolean bool; Date QDate; Time QTime; DateTime, TimeStamp QDateTime;
// Blob QByteArray. A source whose values are not typed by column (SQLite) may
// hold a value that does not fit its field's kind: it is handed on as stored.

enum class RpFieldType {
    String,     // single-byte string
    WideString, // 16-bit string
    Integer,
    SmallInt,
    LargeInt,
    Word,
    Bcd,
    Float,
    Currency,
    Boolean,
    Date,
    Time,
    DateTime,
    TimeStamp,
    Blob,   // bytes: pictures and other binary data
    Unknown // anything else
};

class RpDataSet {
public:
    virtual ~RpDataSet() = default;

    // The name expressions use in "SET.FIELD".
    virtual QString name() const = 0;
    // Open and usable: generation only walks an active data set.
    virtual bool isActive() const = 0;

    // Record navigation. eof() is true on an empty data set and after next()
    // was asked to step past the last record; bof() after first() and after
    // prior() was asked to step before the first record.
    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual bool eof() const = 0;
    virtual bool bof() const = 0;
    // Number of records, or -1 when the source cannot tell.
    virtual int recordCount() const = 0;

    // Fields of the current record, by number from 0. Readers fetch a field
    // by number at every read, so a data set may rebuild its fields between
    // records.
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    virtual RpFieldType fieldType(int index) const = 0;
    // The value of the current record; a null QVariant for a null field or
    // when there is no current record.
    virtual QVariant fieldValue(int index) const = 0;
    // The field's text as the data source shows it (date and time fields are
    // read this way).
    virtual QString fieldText(int index) const = 0;

    // Field number of the field called name (letter case ignored), or -1.
    int findField(const QString &name) const
    {
        const int n = fieldCount();
        for (int i = 0; i < n; ++i) {
            if (fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    // Field number of a field that must exist: as findField, but a missing
    // field raises RpError naming the data set and the field.
    int fieldByName(const QString &name) const;

protected:
    // "Data set NAME", or "The data set" when it has no name: how error
    // messages name a data set.
    QString errorSubject() const;
};
