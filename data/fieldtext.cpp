// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/fieldtext.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

QString rpFieldText(const QVariant &value, RpFieldType type)
{
    if (value.isNull())
        return QString();
    const int id = value.typeId();
    switch (type) {
    case RpFieldType::Date:
        if (id == QMetaType::QDate)
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        break;
    case RpFieldType::Time:
        if (id == QMetaType::QTime)
            return value.toTime().toString(QStringLiteral("hh:mm:ss"));
        break;
    case RpFieldType::DateTime:
    case RpFieldType::TimeStamp:
        if (id == QMetaType::QDateTime)
            return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        break;
    case RpFieldType::Bcd:
    case RpFieldType::Float:
    case RpFieldType::Currency:
        if (id == QMetaType::Double || id == QMetaType::Float)
            return QString::number(value.toDouble(), 'g', 15);
        break;
    case RpFieldType::Boolean:
        if (id == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        break;
    case RpFieldType::Blob:
        if (id == QMetaType::QByteArray)
            return QString::fromLatin1(value.toByteArray().toHex());
        break;
    default:
        break;
    }
    if (id == QMetaType::Double || id == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}
