// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/fieldconvert.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

namespace {

std::optional<qint64> toInteger(const QVariant &v, qint64 lo, qint64 hi)
{
    qint64 n = 0;
    bool ok = false;
    switch (v.typeId()) {
    case QMetaType::Bool:
        n = v.toBool() ? 1 : 0;
        ok = true;
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18) {
            n = qint64(d);
            ok = true;
        }
        break;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
        n = v.toString().trimmed().toLongLong(&ok); // C locale
        break;
    default:
        n = v.toLongLong(&ok);
        break;
    }
    if (!ok || n < lo || n > hi)
        return std::nullopt;
    return n;
}

std::optional<double> toFloat(const QVariant &v)
{
    bool ok = false;
    double d = 0;
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray)
        d = v.toString().trimmed().toDouble(&ok); // C locale
    else if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1.0 : 0.0;
    else
        d = v.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return d;
}

std::optional<bool> toBoolean(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
        const QString s = v.toString().trimmed().toLower();
        if (s == u"true" || s == u"1" || s == u"yes")
            return true;
        if (s == u"false" || s == u"0" || s == u"no")
            return false;
        return std::nullopt;
    }
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return n != 0;
}

// Bytes from text of hex digits, two per byte (either letter case); nullopt
// for an odd count or any other character.
std::optional<QByteArray> fromHexDigits(const QString &text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return std::nullopt;
    }
    return QByteArray::fromHex(text.toLatin1());
}

} // namespace

std::optional<QVariant> rpConvertFieldValue(const QVariant &value, RpFieldType type)
{
    switch (type) {
    case RpFieldType::String:
    case RpFieldType::WideString:
        return QVariant(value.toString());
    case RpFieldType::Integer:
        if (auto n = toInteger(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
            return QVariant(qint32(*n));
        return std::nullopt;
    case RpFieldType::SmallInt:
        if (auto n = toInteger(value, -32768, 32767))
            return QVariant(qint32(*n));
        return std::nullopt;
    case RpFieldType::Word:
        if (auto n = toInteger(value, 0, 65535))
            return QVariant(qint32(*n));
        return std::nullopt;
    case RpFieldType::LargeInt:
        if (auto n = toInteger(value, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()))
            return QVariant(qlonglong(*n));
        return std::nullopt;
    case RpFieldType::Bcd:
    case RpFieldType::Float:
    case RpFieldType::Currency:
        if (auto d = toFloat(value))
            return QVariant(*d);
        return std::nullopt;
    case RpFieldType::Boolean:
        if (auto b = toBoolean(value))
            return QVariant(*b);
        return std::nullopt;
    case RpFieldType::Date: {
        QDate d = value.typeId() == QMetaType::QDate ? value.toDate()
                  : value.typeId() == QMetaType::QDateTime
                      ? value.toDateTime().date()
                      : QDate::fromString(value.toString().trimmed(), Qt::ISODate);
        if (!d.isValid())
            return std::nullopt;
        return QVariant(d);
    }
    case RpFieldType::Time: {
        QTime t = value.typeId() == QMetaType::QTime ? value.toTime()
                  : value.typeId() == QMetaType::QDateTime
                      ? value.toDateTime().time()
                      : QTime::fromString(value.toString().trimmed(), Qt::ISODate);
        if (!t.isValid())
            return std::nullopt;
        return QVariant(t);
    }
    case RpFieldType::DateTime:
    case RpFieldType::TimeStamp: {
        QDateTime dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            dt = value.toDate().startOfDay();
        else {
            const QString s = value.toString().trimmed();
            dt = QDateTime::fromString(s, Qt::ISODate);
            if (!dt.isValid()) {
                const QDate d = QDate::fromString(s, Qt::ISODate);
                if (d.isValid())
                    dt = d.startOfDay();
            }
        }
        if (!dt.isValid())
            return std::nullopt;
        return QVariant(dt);
    }
    case RpFieldType::Blob:
        if (value.typeId() == QMetaType::QByteArray)
            return value;
        if (value.typeId() == QMetaType::QString) {
            if (auto bytes = fromHexDigits(value.toString().trimmed()))
                return QVariant(*bytes);
        }
        return std::nullopt;
    case RpFieldType::Unknown:
        return QVariant(value);
    }
    return std::nullopt;
}
