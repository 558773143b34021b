// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a description: each object's stored properties, then its children.
#include "platform/description/description.h"
#include "platform/description/strings.h"
#include "platform/description/textform.h"

#include <charconv>
#include <cmath>

namespace desc {

QString formatFloat(double v)
{
    if (!std::isfinite(v))
        throw RpError(RpErrorKind::BadArgument, strings::nonFiniteNumber());
    char buf[64];
    // Shortest text that reads back to the same double; to_chars never
    // looks at the locale.
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    QString s = QString::fromLatin1(buf, r.ptr - buf);
    if (!s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e')))
        s += QStringLiteral(".0"); // keeps it a float when read back
    return s;
}

QString formatString(const QString &s)
{
    if (s.isEmpty())
        return QStringLiteral("''");
    QString out;
    bool inQuotes = false;
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7F) {
            if (inQuotes) {
                out += QLatin1Char('\'');
                inQuotes = false;
            }
            out += QLatin1Char('#') + QString::number(u);
            continue;
        }
        if (!inQuotes) {
            out += QLatin1Char('\'');
            inQuotes = true;
        }
        if (c == QLatin1Char('\''))
            out += QStringLiteral("''");
        else
            out += c;
    }
    if (inQuotes)
        out += QLatin1Char('\'');
    return out;
}

namespace {

QString indentOf(int level)
{
    return QString(level * 2, QLatin1Char(' '));
}

// A value on one line, for items inside lists.
QString formatInline(const Value &v);

QString formatBinary(const QByteArray &bytes, int level)
{
    if (bytes.isEmpty())
        return QStringLiteral("{}");
    const QByteArray hex = bytes.toHex().toUpper();
    QString out = QStringLiteral("{");
    constexpr int perLine = 64;
    for (qsizetype i = 0; i < hex.size(); i += perLine) {
        out += QLatin1Char('\n') + indentOf(level + 1);
        out += QString::fromLatin1(hex.mid(i, perLine));
    }
    out += QLatin1Char('}');
    return out;
}

QString formatSet(const QStringList &names)
{
    return QLatin1Char('[') + names.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString formatInline(const Value &v)
{
    switch (v.kind()) {
    case Value::Kind::Int:
        return QString::number(v.intValue());
    case Value::Kind::Float:
        return formatFloat(v.floatValue());
    case Value::Kind::String:
        return formatString(v.text());
    case Value::Kind::Ident:
        return v.text();
    case Value::Kind::Set:
        return formatSet(v.names());
    case Value::Kind::List: {
        QStringList parts;
        for (const Value &item : v.items())
            parts << formatInline(item);
        return QLatin1Char('(') + parts.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    case Value::Kind::Binary:
        return QLatin1Char('{') + QString::fromLatin1(v.bytes().toHex().toUpper()) + QLatin1Char('}');
    }
    return {};
}

// A property value; lists put one item on each line below the property.
QString formatValue(const Value &v, int level)
{
    if (v.kind() == Value::Kind::List) {
        if (v.items().empty())
            return QStringLiteral("()");
        QString out = QStringLiteral("(");
        for (const Value &item : v.items())
            out += QLatin1Char('\n') + indentOf(level + 1) + formatInline(item);
        out += QLatin1Char(')');
        return out;
    }
    if (v.kind() == Value::Kind::Binary)
        return formatBinary(v.bytes(), level);
    return formatInline(v);
}

class Writer {
public:
    explicit Writer(const Registry &reg) : m_reg(reg) {}

    void object(ObjectRef obj, int level)
    {
        if (level > MaxNesting)
            throw RpError(RpErrorKind::BadArgument, strings::nestingTooDeep());
        const QString name = obj.cls->objectName(obj.ptr);
        m_out += indentOf(level) + QStringLiteral("object ");
        if (!name.isEmpty())
            m_out += name + QStringLiteral(": ");
        m_out += obj.cls->name() + QLatin1Char('\n');
        properties(obj.ptr, obj.cls, QString(), level + 1, 0);
        for (const ObjectRef &child : obj.cls->children(obj.ptr))
            if (child)
                object(child, level + 1);
        m_out += indentOf(level) + QStringLiteral("end\n");
    }

    QString text() const { return m_out; }

private:
    void properties(void *obj, const ClassInfo *cls, const QString &prefix, int level, int subDepth)
    {
        if (subDepth > MaxNesting)
            throw RpError(RpErrorKind::BadArgument, strings::nestingTooDeep());
        for (const auto &[decl, prop] : cls->allProperties()) {
            void *o = cls->castTo(obj, decl);
            if (prop->stored && !prop->stored(o))
                continue;
            switch (prop->kind) {
            case PropertyInfo::Kind::Value: {
                const Value v = prop->get(o);
                if (prop->defaultValue && v == *prop->defaultValue)
                    continue;
                line(prefix + prop->name, formatValueChecked(v, prefix + prop->name, level), level);
                break;
            }
            case PropertyInfo::Kind::SubObject: {
                void *sub = prop->sub(o);
                const ClassInfo *subCls = m_reg.find(*prop->subType);
                if (sub && subCls)
                    properties(sub, subCls, prefix + prop->name + QLatin1Char('.'), level, subDepth + 1);
                break;
            }
            case PropertyInfo::Kind::Reference: {
                const ObjectRef target = prop->getRef(o, m_reg);
                if (!target)
                    continue;
                const QString name = target.cls->objectName(target.ptr);
                if (name.isEmpty())
                    throw RpError(RpErrorKind::BadArgument, strings::notStorable(prefix + prop->name));
                line(prefix + prop->name, name, level);
                break;
            }
            }
        }
    }

    QString formatValueChecked(const Value &v, const QString &path, int level)
    {
        try {
            return formatValue(v, level);
        } catch (const RpError &e) {
            throw RpError(RpErrorKind::BadArgument, strings::notStorable(path) + QStringLiteral(": ") + e.message());
        }
    }

    void line(const QString &name, const QString &value, int level)
    {
        m_out += indentOf(level) + name + QStringLiteral(" = ") + value + QLatin1Char('\n');
    }

    const Registry &m_reg;
    QString m_out;
};

} // namespace

QByteArray write(const Registry &registry, ObjectRef root)
{
    if (!root)
        return {};
    Writer w(registry);
    w.object(root, 0);
    return w.text().toUtf8();
}

} // namespace desc
