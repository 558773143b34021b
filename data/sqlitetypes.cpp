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

// A date-time from SQLite's numeric forms (the 'auto' reading of its date
// functions): a Julian day number, or seconds since the Unix epoch. Both UTC.
QDateTime fromSqliteNumber(double x)
{
    if (!std::isfinite(x))
        return {};
    if (x >= 0.0 && x < 5373484.5) {
        const double dayStart = std::floor(x + 0.5); // Julian days begin at noon
        qint64 ms = qint64(std::llround((x + 0.5 - dayStart) * 86400000.0));
        qint64 day = qint64(dayStart);
        if (ms >= 86400000) {
            ms -= 86400000;
            ++day;
        }
        return QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
    }
    if (x >= -210866760000.0 && x <= 253402300799.0)
        return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(x * 1000.0)), Qt::UTC);
    return {};
}

// SQLite's text forms: a date, a date and time, or a time.
QDateTime fromSqliteText(QString s)
{
    s = s.trimmed();
    if (s.size() > 10 && s.at(10) == u' ')
        s[10] = u'T';
    if (s.size() == 10) { // a date alone is its midnight
        const QDate d = QDate::fromString(s, Qt::ISODate);
        return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
    }
    if (s.size() > 10 && s.at(10) == u'T') {
        const QDateTime dt = QDateTime::fromString(s, Qt::ISODate);
        if (dt.timeSpec() == Qt::OffsetFromUTC || dt.timeSpec() == Qt::UTC)
            return dt.toUTC(); // a zone is applied, as SQLite does
        return dt;
    }
    const QTime t = QTime::fromString(s, Qt::ISODate); // a time alone is on 2000-01-01
    return t.isValid() ? QDateTime(QDate(2000, 1, 1), t) : QDateTime();
}

// A value of a date or time kind, or a null QVariant when it does not convert.
QVariant toDateKind(const QVariant &stored, RpFieldType type)
{
    QDateTime dt;
    if (isNumber(stored))
        dt = fromSqliteNumber(stored.toDouble());
    else if (stored.typeId() == QMetaType::QString)
        dt = fromSqliteText(stored.toString());
    if (!dt.isValid())
        return {};
    switch (type) {
    case RpFieldType::Date:
        return QVariant(dt.date());
    case RpFieldType::Time:
        return QVariant(dt.time());
    default:
        return QVariant(dt);
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
