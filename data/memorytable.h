// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpMemoryTable: a data set held in memory, with typed fields. Used where a
// report needs records without a database, and by tovrel-tool.
#include "data/dataset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class RpMemoryTable : public RpDataSet {
public:
    explicit RpMemoryTable(const QString &name = QString());

    void setName(const QString &name) { m_name = name; }
    void setActive(bool active) { m_active = active; }

    // Appends a field; returns its number.
    int addField(const QString &name, RpFieldType type);
    // Appends a record; missing trailing values are null, extra ones ignored.
    // Values are stored converted to the field's type (see convert()).
    void appendRecord(const QVariantList &values);
    // Replaces one value of a record (out-of-range positions are ignored).
    void setValue(int record, int field, const QVariant &value);
    void clear();

    // Reads comma-separated text: the first row names the fields, each
    // optionally typed as "name:type" (string, widestring, integer, smallint,
    // largeint, word, bcd, float, currency, boolean, date, time, datetime,
    // timestamp, blob; untyped means string); every other row is a record.
    // Quoted values may hold commas, doubled quotes and line breaks. Numbers
    // use a point as decimal separator, whatever the locale; booleans are
    // true/false/1/0/yes/no; dates are ISO 8601; blobs are hex digits, two per
    // byte. An empty unquoted value is null ("" is an empty blob). Raises
    // RpError on malformed text; the table is then unchanged.
    void loadCsv(const QString &text);

    // Field type from its CSV name (letter case ignored).
    static std::optional<RpFieldType> fieldTypeFromName(const QString &name);
    // A value converted to a field type; nullopt when it does not convert.
    // A blob takes bytes as they are, and text as hex digits.
    static std::optional<QVariant> convert(const QVariant &value, RpFieldType type);

    // RpDataSet
    QString name() const override { return m_name; }
    bool isActive() const override { return m_active; }
    void first() override;
    void next() override;
    void prior() override;
    bool eof() const override { return m_eof; }
    bool bof() const override { return m_bof; }
    int recordCount() const override { return int(m_records.size()); }
    int fieldCount() const override { return int(m_fields.size()); }
    QString fieldName(int index) const override;
    RpFieldType fieldType(int index) const override;
    QVariant fieldValue(int index) const override;
    QString fieldText(int index) const override;

    int currentRecord() const { return m_current; }

private:
    struct Field {
        QString name;
        RpFieldType type;
    };
    QString m_name;
    bool m_active = true;
    QList<Field> m_fields;
    QList<QVariantList> m_records;
    int m_current = 0;
    bool m_eof = true;
    bool m_bof = true;
};
