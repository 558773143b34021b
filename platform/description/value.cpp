// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/description/value.h"

#include <bit>
#include <cstdint>

namespace desc {

Value Value::fromInt(qint64 v)
{
    Value r;
    r.m_kind = Kind::Int;
    r.m_int = v;
    return r;
}

Value Value::fromFloat(double v)
{
    Value r;
    r.m_kind = Kind::Float;
    r.m_float = v;
    return r;
}

Value Value::fromString(const QString &s)
{
    Value r;
    r.m_kind = Kind::String;
    r.m_text = s;
    return r;
}

Value Value::fromIdent(const QString &name)
{
    Value r;
    r.m_kind = Kind::Ident;
    r.m_text = name;
    return r;
}

Value Value::fromSet(const QStringList &names)
{
    Value r;
    r.m_kind = Kind::Set;
    r.m_names = names;
    return r;
}

Value Value::fromList(std::vector<Value> items)
{
    Value r;
    r.m_kind = Kind::List;
    r.m_items = std::move(items);
    return r;
}

Value Value::fromBinary(const QByteArray &bytes)
{
    Value r;
    r.m_kind = Kind::Binary;
    r.m_bytes = bytes;
    return r;
}

double Value::floatValue() const
{
    return m_kind == Kind::Int ? double(m_int) : m_float;
}

bool operator==(const Value &a, const Value &b)
{
    if (a.m_kind != b.m_kind)
        return false;
    switch (a.m_kind) {
    case Value::Kind::Int:
        return a.m_int == b.m_int;
    case Value::Kind::Float:
        return std::bit_cast<std::uint64_t>(a.m_float) == std::bit_cast<std::uint64_t>(b.m_float);
    case Value::Kind::String:
        return a.m_text == b.m_text;
    case Value::Kind::Ident:
        return a.m_text.compare(b.m_text, Qt::CaseInsensitive) == 0;
    case Value::Kind::Set:
        if (a.m_names.size() != b.m_names.size())
            return false;
        for (qsizetype i = 0; i < a.m_names.size(); ++i)
            if (a.m_names[i].compare(b.m_names[i], Qt::CaseInsensitive) != 0)
                return false;
        return true;
    case Value::Kind::List:
        return a.m_items == b.m_items;
    case Value::Kind::Binary:
        return a.m_bytes == b.m_bytes;
    }
    return false;
}

QString Value::kindName(Kind k)
{
    switch (k) {
    case Kind::Int:
        return QStringLiteral("an integer");
    case Kind::Float:
        return QStringLiteral("a number");
    case Kind::String:
        return QStringLiteral("a string");
    case Kind::Ident:
        return QStringLiteral("a name");
    case Kind::Set:
        return QStringLiteral("a set");
    case Kind::List:
        return QStringLiteral("a list");
    case Kind::Binary:
        return QStringLiteral("binary data");
    }
    return {};
}

} // namespace desc
