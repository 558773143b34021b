// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/memorytable.h"

#include "data/fieldconvert.h"
#include "data/fieldtext.h"
#include "platform/rperror.h"

namespace {

// Malformed text, with the row (from 1, the header being row 1) it is in.
RpError refused(const QString &message, qint64 row)
{
    RpErrorWhere where;
    where.record = row;
    return RpError(RpErrorKind::DamagedInput, message, where);
}

} // namespace

namespace {

// The texts this table reports (CSV reading only).
const char *const kUnterminatedQuote = "Table text: a quoted value is not closed (row %1)";
const char *const kCharAfterQuote = "Table text: unexpected character after a closing quote (row %1)";
const char *const kNoHeader = "Table text: the header row is missing";
const char *const kEmptyFieldName = "Table text: field %1 has no name";
const char *const kUnknownType = "Table text: unknown field type '%1'";
const char *const kTooManyValues = "Table text: row %1 has more values than the header";
const char *const kBadValue = "Table text: row %1, field %2: '%3' is not a valid %4 value";

struct TypeName {
    const char *name;
    RpFieldType type;
};
const TypeName kTypeNames[] = {
    {"string", RpFieldType::String},     {"widestring", RpFieldType::WideString},
    {"integer", RpFieldType::Integer},   {"int", RpFieldType::Integer},
    {"smallint", RpFieldType::SmallInt}, {"largeint", RpFieldType::LargeInt},
    {"word", RpFieldType::Word},         {"bcd", RpFieldType::Bcd},
    {"float", RpFieldType::Float},       {"currency", RpFieldType::Currency},
    {"boolean", RpFieldType::Boolean},   {"bool", RpFieldType::Boolean},
    {"date", RpFieldType::Date},         {"time", RpFieldType::Time},
    {"datetime", RpFieldType::DateTime}, {"timestamp", RpFieldType::TimeStamp},
    {"blob", RpFieldType::Blob},
};

// Splits CSV text into rows of (value, quoted) cells.
struct Cell {
    QString text;
    bool quoted = false;
};

QList<QList<Cell>> splitCsv(const QString &text)
{
    QList<QList<Cell>> rows;
    QList<Cell> row;
    Cell cell;
    bool inQuotes = false;
    bool afterQuote = false; // a quoted value just closed
    bool rowHasContent = false;
    const qsizetype n = text.size();
    auto endCell = [&] {
        row.append(cell);
        cell = Cell();
        afterQuote = false;
    };
    auto endRow = [&] {
        endCell();
        if (rowHasContent || row.size() > 1 || !row.first().text.isEmpty() || row.first().quoted)
            rows.append(row);
        row.clear();
        rowHasContent = false;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text.at(i + 1) == u'"') {
                    cell.text.append(u'"');
                    ++i;
                } else {
                    inQuotes = false;
                    afterQuote = true;
                }
            } else {
                cell.text.append(c);
            }
            continue;
        }
        if (c == u',') {
            endCell();
            rowHasContent = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else if (afterQuote) {
            throw refused(QString::fromLatin1(kCharAfterQuote).arg(rows.size() + 1), rows.size() + 1);
        } else if (c == u'"' && cell.text.isEmpty() && !cell.quoted) {
            inQuotes = true;
            cell.quoted = true;
        } else {
            cell.text.append(c);
        }
    }
    if (inQuotes)
        throw refused(QString::fromLatin1(kUnterminatedQuote).arg(rows.size() + 1), rows.size() + 1);
    endRow();
    return rows;
}

const char *typeText(RpFieldType t)
{
    for (const auto &tn : kTypeNames) {
        if (tn.type == t)
            return tn.name;
    }
    return "unknown";
}

} // namespace

RpMemoryTable::RpMemoryTable(const QString &name) : m_name(name) {}

int RpMemoryTable::addField(const QString &name, RpFieldType type)
{
    m_fields.append(Field{name, type});
    for (auto &r : m_records)
        r.append(QVariant());
    return int(m_fields.size()) - 1;
}

void RpMemoryTable::appendRecord(const QVariantList &values)
{
    QVariantList r;
    r.reserve(m_fields.size());
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        QVariant v;
        if (i < values.size() && !values.at(i).isNull())
            v = convert(values.at(i), m_fields.at(i).type).value_or(QVariant());
        r.append(v);
    }
    m_records.append(r);
    if (m_records.size() == 1)
        first();
}

void RpMemoryTable::setValue(int record, int field, const QVariant &value)
{
    if (record < 0 || record >= m_records.size() || field < 0 || field >= m_fields.size())
        return;
    m_records[record][field] =
        value.isNull() ? QVariant() : convert(value, m_fields.at(field).type).value_or(QVariant());
}

void RpMemoryTable::clear()
{
    m_fields.clear();
    m_records.clear();
    m_current = 0;
    m_eof = m_bof = true;
}

void RpMemoryTable::first()
{
    m_current = 0;
    m_bof = true;
    m_eof = m_records.isEmpty();
}

void RpMemoryTable::next()
{
    if (m_current + 1 < m_records.size()) {
        ++m_current;
        m_bof = false;
    } else {
        m_eof = true;
    }
}

void RpMemoryTable::prior()
{
    if (m_current > 0 && !m_records.isEmpty()) {
        --m_current;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

QString RpMemoryTable::fieldName(int index) const
{
    return index >= 0 && index < m_fields.size() ? m_fields.at(index).name : QString();
}

RpFieldType RpMemoryTable::fieldType(int index) const
{
    return index >= 0 && index < m_fields.size() ? m_fields.at(index).type : RpFieldType::Unknown;
}

QVariant RpMemoryTable::fieldValue(int index) const
{
    if (index < 0 || index >= m_fields.size() || m_current < 0 || m_current >= m_records.size())
        return QVariant();
    return m_records.at(m_current).at(index);
}

QString RpMemoryTable::fieldText(int index) const
{
    return rpFieldText(fieldValue(index), fieldType(index));
}

std::optional<RpFieldType> RpMemoryTable::fieldTypeFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    for (const auto &tn : kTypeNames) {
        if (n == QLatin1String(tn.name))
            return tn.type;
    }
    return std::nullopt;
}

std::optional<QVariant> RpMemoryTable::convert(const QVariant &value, RpFieldType type)
{
    return rpConvertFieldValue(value, type);
}

void RpMemoryTable::loadCsv(const QString &text)
{
    const QList<QList<Cell>> rows = splitCsv(text);
    if (rows.isEmpty())
        throw refused(QString::fromLatin1(kNoHeader), 1);

    QList<Field> fields;
    for (qsizetype i = 0; i < rows.first().size(); ++i) {
        const QString head = rows.first().at(i).text;
        const qsizetype colon = head.lastIndexOf(u':');
        QString name = head.trimmed();
        RpFieldType type = RpFieldType::String;
        if (colon >= 0 && !rows.first().at(i).quoted) {
            name = head.left(colon).trimmed();
            const auto t = fieldTypeFromName(head.mid(colon + 1));
            if (!t)
                throw refused(QString::fromLatin1(kUnknownType).arg(head.mid(colon + 1).trimmed()), 1);
            type = *t;
        }
        if (name.isEmpty())
            throw refused(QString::fromLatin1(kEmptyFieldName).arg(i + 1), 1);
        fields.append(Field{name, type});
    }

    QList<QVariantList> records;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<Cell> &row = rows.at(r);
        if (row.size() > fields.size())
            throw refused(QString::fromLatin1(kTooManyValues).arg(r + 1), r + 1);
        QVariantList rec;
        for (qsizetype f = 0; f < fields.size(); ++f) {
            if (f >= row.size() || (row.at(f).text.isEmpty() && !row.at(f).quoted)) {
                rec.append(QVariant());
                continue;
            }
            const auto v = convert(QVariant(row.at(f).text), fields.at(f).type);
            if (!v)
                throw refused(QString::fromLatin1(kBadValue)
                                  .arg(QString::number(r + 1), fields.at(f).name, row.at(f).text,
                                       QString::fromLatin1(typeText(fields.at(f).type))), r + 1);
            rec.append(*v);
        }
        records.append(rec);
    }
    m_fields = fields;
    m_records = records;
    first();
}
