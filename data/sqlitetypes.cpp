// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/sqlitetypes.h"

#include "data/fieldconvert.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>

namespace {

struct TypeWord {
    const char *word;
    RpFieldType type;
};
// Names recognised by a declared type's first word, before the affinity rules.
const TypeWord kTypeWords[] = {
    {"BOOLEAN", RpFieldType::Boolean},  {"BOOL", RpFieldType::Boolean},
    {"DATE", RpFieldType::Date},        {"TIME", RpFieldType::Time},
    {"DATETIME", RpFieldType::DateTime}, {"TIMESTAMP", RpFieldType::TimeStamp},
    {"SMALLINT", RpFieldType::SmallInt}, {"TINYINT", RpFieldType::SmallInt},
    {"INT2", RpFieldType::SmallInt},    {"MEDIUMINT", RpFieldType::Integer},
    {"INT4", RpFieldType::Integer},     {"DECIMAL", RpFieldType::Bcd},
    {"NUMERIC", RpFieldType::Bcd},      {"NUMBER", RpFieldType::Bcd},
    {"MONEY", RpFieldType::Currency},   {"SMALLMONEY", RpFieldType::Currency},
    {"CURRENCY", RpFieldType::Currency},
};

bool isNumber(const QVariant &v)
{
    const int id = v.typeId();
    return id == QMetaType::LongLong || id == QMetaType::Int || id == QMetaType::Double ||
           id == QMetaType::ULongLong || id == QMetaType::UInt;
}

// A moment as SQLite's date functions read it: a date and a time of day,
// in UTC or in no zone named (local). Kept apart so that a date field never
// asks for the local zone.
struct Moment {
    QDate date;
    QTime time;
    bool utc = false; // else local: no zone was named
    bool isValid() const { return date.isValid() && time.isValid(); }
};

// SQLite's numeric forms (the 'auto' reading of its date functions): a
// Julian day number, or seconds since the Unix epoch. Both UTC.
Moment fromSqliteNumber(double x)
{
    if (!std::isfinite(x))
        return {};
    qint64 day = 0; // Julian day number of the date
    qint64 ms = 0;  // since its midnight
    if (x >= 0.0 && x < 5373484.5) {
        const double dayStart = std::floor(x + 0.5); // Julian days begin at noon
        day = qint64(dayStart);
        ms = qint64(std::llround((x + 0.5 - dayStart) * 86400000.0));
    } else if (x >= -210866760000.0 && x <= 253402300799.0) {
        const qint64 total = qint64(std::llround(x * 1000.0));
        const qint64 days = total >= 0 ? total / 86400000 : -((-total + 86400000 - 1) / 86400000);
        day = QDate(1970, 1, 1).toJulianDay() + days;
        ms = total - days * 86400000;
    } else {
        return {};
    }
    if (ms >= 86400000) {
        ms -= 86400000;
        ++day;
    }
    return {QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(int(ms)), true};
}

// SQLite's text forms: a date (its midnight), a date and time, or a time (on
// 2000-01-01). A zone suffix, Z or +hh:mm, gives the time in UTC.
Moment fromSqliteText(const QString &text)
{
    const QString s = text.trimmed();
    if (s.size() == 10)
        return {QDate::fromString(s, Qt::ISODate), QTime(0, 0)};
    if (s.size() > 10 && (s.at(10) == u' ' || s.at(10) == u'T')) {
        const QStringView rest = QStringView(s).mid(11);
        const bool zoned = rest.endsWith(u'Z') ||
                           (rest.size() > 6 && (rest.at(rest.size() - 6) == u'+' || rest.at(rest.size() - 6) == u'-'));
        if (!zoned)
            return {QDate::fromString(QStringView(s).left(10), Qt::ISODate), QTime::fromString(rest, Qt::ISODate)};
        QString iso = s;
        iso[10] = u'T';
        const QDateTime utc = QDateTime::fromString(iso, Qt::ISODate).toUTC();
        return {utc.date(), utc.time(), true};
    }
    return {QDate(2000, 1, 1), QTime::fromString(s, Qt::ISODate)};
}

// A value of a date or time kind, or a null QVariant when it does not convert.
QVariant toDateKind(const QVariant &stored, RpFieldType type)
{
    Moment m;
    if (isNumber(stored))
        m = fromSqliteNumber(stored.toDouble());
    else if (stored.typeId() == QMetaType::QString)
        m = fromSqliteText(stored.toString());
    if (!m.isValid())
        return {};
    switch (type) {
    case RpFieldType::Date:
        return QVariant(m.date);
    case RpFieldType::Time:
        return QVariant(m.time);
    default:
        return QVariant(QDateTime(m.date, m.time, m.utc ? Qt::UTC : Qt::LocalTime));
    }
}

} // namespace

std::optional<RpFieldType> rpSqliteDeclaredFieldType(const QString &declaredType)
{
    const QString t = declaredType.trimmed().toUpper();
    if (t.isEmpty())
        return std::nullopt;
    qsizetype end = 0;
    while (end < t.size() && (t.at(end).isLetterOrNumber() || t.at(end) == u'_'))
        ++end;
    const QString first = t.left(end);
    for (const auto &w : kTypeWords) {
        if (first == QLatin1String(w.word))
            return w.type;
    }
    if (t.contains(u"INT"))
        return RpFieldType::LargeInt; // SQLite integers are 64 bits wide
    if (t.contains(u"CHAR") || t.contains(u"CLOB") || t.contains(u"TEXT"))
        return RpFieldType::WideString; // SQLite text is Unicode
    if (t.contains(u"BLOB"))
        return RpFieldType::Blob;
    if (t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB"))
        return RpFieldType::Float;
    return std::nullopt;
}

RpFieldType rpSqliteValueFieldType(const QVariant &stored)
{
    switch (stored.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return RpFieldType::LargeInt;
    case QMetaType::Double:
        return RpFieldType::Float;
    case QMetaType::QByteArray:
        return RpFieldType::Blob;
    default:
        return RpFieldType::WideString;
    }
}

QVariant rpSqliteFieldValue(const QVariant &stored, RpFieldType type)
{
    if (stored.isNull())
        return QVariant();
    QVariant converted;
    switch (type) {
    case RpFieldType::String:
    case RpFieldType::WideString:
        converted = stored.typeId() == QMetaType::QByteArray ? QVariant(QString::fromUtf8(stored.toByteArray()))
                                                             : QVariant(stored.toString());
        break;
    case RpFieldType::Date:
    case RpFieldType::Time:
    case RpFieldType::DateTime:
    case RpFieldType::TimeStamp:
        converted = toDateKind(stored, type);
        break;
    case RpFieldType::Blob:
        converted = stored.typeId() == QMetaType::QByteArray ? stored : QVariant(stored.toString().toUtf8());
        break;
    case RpFieldType::Unknown:
        return stored;
    default:
        if (stored.typeId() == QMetaType::QByteArray)
            return stored; // bytes are no number, whatever they spell
        converted = rpConvertFieldValue(stored, type).value_or(QVariant());
        break;
    }
    return converted.isNull() ? stored : converted;
}
