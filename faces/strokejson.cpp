// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokejson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace strokes {

namespace {

class PathTokens {
public:
    explicit PathTokens(const QString &d) : m_d(d) {}

    void skipSeparators()
    {
        while (m_i < m_d.size() && (m_d[m_i].isSpace() || m_d[m_i] == u','))
            ++m_i;
    }
    bool atEnd()
    {
        skipSeparators();
        return m_i >= m_d.size();
    }
    // The next command letter, or 0 when a number comes next.
    QChar command()
    {
        skipSeparators();
        if (m_i < m_d.size() && m_d[m_i].isLetter())
            return m_d[m_i++];
        return QChar();
    }
    bool numberNext()
    {
        skipSeparators();
        if (m_i >= m_d.size())
            return false;
        const QChar c = m_d[m_i];
        return c.isDigit() || c == u'-' || c == u'+' || c == u'.';
    }
    std::optional<qreal> number()
    {
        skipSeparators();
        const qsizetype start = m_i;
        if (m_i < m_d.size() && (m_d[m_i] == u'-' || m_d[m_i] == u'+'))
            ++m_i;
        bool digits = false, dot = false;
        while (m_i < m_d.size()) {
            const QChar c = m_d[m_i];
            if (c.isDigit())
                digits = true;
            else if (c == u'.' && !dot)
                dot = true;
            else
                break;
            ++m_i;
        }
        if (digits && m_i < m_d.size() && (m_d[m_i] == u'e' || m_d[m_i] == u'E')) {
            qsizetype j = m_i + 1;
            if (j < m_d.size() && (m_d[j] == u'-' || m_d[j] == u'+'))
                ++j;
            if (j < m_d.size() && m_d[j].isDigit()) {
                m_i = j;
                while (m_i < m_d.size() && m_d[m_i].isDigit())
                    ++m_i;
            }
        }
        if (!digits)
            return std::nullopt;
        bool ok = false;
        const qreal v = QStringView(m_d).mid(start, m_i - start).toDouble(&ok);
        if (!ok || !std::isfinite(v) || std::abs(v) > kMaxCoordinate)
            return std::nullopt;
        return v;
    }

private:
    const QString &m_d;
    qsizetype m_i = 0;
};

std::optional<QPointF> readPoint(PathTokens &t, QPointF current, bool relative)
{
    const auto x = t.number();
    const auto y = x ? t.number() : std::nullopt;
    if (!x || !y)
        return std::nullopt;
    QPointF p(*x, *y);
    if (relative)
        p += current;
    if (std::abs(p.x()) > kMaxCoordinate || std::abs(p.y()) > kMaxCoordinate)
        return std::nullopt;
    return p;
}

std::optional<std::vector<QPointF>> readMedian(const QJsonValue &v)
{
    if (!v.isArray())
        return std::nullopt;
    const QJsonArray a = v.toArray();
    if (a.isEmpty() || a.size() > kMaxMedianPoints)
        return std::nullopt;
    std::vector<QPointF> out;
    for (const QJsonValue &p : a) {
        const QJsonArray xy = p.toArray();
        if (!p.isArray() || xy.size() != 2 || !xy[0].isDouble() || !xy[1].isDouble())
            return std::nullopt;
        const qreal x = xy[0].toDouble(), y = xy[1].toDouble();
        if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > kMaxCoordinate || std::abs(y) > kMaxCoordinate)
            return std::nullopt;
        out.emplace_back(x, y);
    }
    return out;
}

} // namespace

char32_t characterOfFileName(const QString &fileName)
{
    if (!fileName.endsWith(QLatin1String(".json")))
        return 0;
    const QString base = fileName.chopped(5);
    const QList<uint> ucs = base.toUcs4();
    if (ucs.size() != 1 || ucs[0] < 0x80 || (ucs[0] >= 0xD800 && ucs[0] < 0xE000) || ucs[0] > 0x10FFFF)
        return 0;
    return char32_t(ucs[0]);
}

std::optional<Outline> parsePathData(const QString &d)
{
    PathTokens t(d);
    Outline o;
    QPointF current, subpathStart;
    QChar cmd;
    bool started = false;
    auto add = [&](Op op, std::initializer_list<QPointF> pts) {
        o.ops.push_back(op);
        o.points.insert(o.points.end(), pts);
    };
    while (!t.atEnd()) {
        const QChar c = t.command();
        if (!c.isNull())
            cmd = c;
        else if (cmd.isNull() || !t.numberNext())
            return std::nullopt; // a number with no command, or a stray character
        if (int(o.ops.size()) >= kMaxOps)
            return std::nullopt;
        const bool rel = cmd.isLower();
        switch (cmd.toUpper().unicode()) {
        case 'M': {
            const auto p = readPoint(t, current, rel && started);
            if (!p)
                return std::nullopt;
            add(Op::Move, {*p});
            current = subpathStart = *p;
            started = true;
            // Further pairs after a move are lines.
            cmd = rel ? QChar(u'l') : QChar(u'L');
            break;
        }
        case 'L': {
            const auto p = readPoint(t, current, rel);
            if (!p || !started)
                return std::nullopt;
            add(Op::Line, {*p});
            current = *p;
            break;
        }
        case 'H':
        case 'V': {
            const auto v = t.number();
            if (!v || !started)
                return std::nullopt;
            QPointF p = current;
            if (cmd.toUpper() == u'H')
                p.setX(rel ? current.x() + *v : *v);
            else
                p.setY(rel ? current.y() + *v : *v);
            add(Op::Line, {p});
            current = p;
            break;
        }
        case 'Q': {
            const auto c1 = readPoint(t, current, rel);
            const auto p = c1 ? readPoint(t, current, rel) : std::nullopt;
            if (!p || !started)
                return std::nullopt;
            add(Op::Quad, {*c1, *p});
            current = *p;
            break;
        }
        case 'C': {
            const auto c1 = readPoint(t, current, rel);
            const auto c2 = c1 ? readPoint(t, current, rel) : std::nullopt;
            const auto p = c2 ? readPoint(t, current, rel) : std::nullopt;
            if (!p || !started)
                return std::nullopt;
            add(Op::Cubic, {*c1, *c2, *p});
            current = *p;
            break;
        }
        case 'Z':
            if (!started)
                return std::nullopt;
            add(Op::Close, {});
            current = subpathStart;
            // Z takes no numbers: a number after it needs a new command.
            cmd = QChar();
            break;
        default:
            return std::nullopt;
        }
    }
    if (o.ops.empty() || o.ops.size() < 2)
        return std::nullopt;
    return o;
}

std::variant<CharStrokes, QString> readCharFile(const QString &path)
{
    // Larger files are not stroke data of one character.
    constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    if (f.size() > kMaxFileSize)
        return QStringLiteral("larger than %1 bytes").arg(kMaxFileSize);
    return parseCharJson(f.readAll());
}

std::variant<CharStrokes, QString> parseCharJson(const QByteArray &json)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON (%1 at byte %2)").arg(err.errorString()).arg(err.offset);
    if (!doc.isObject())
        return QStringLiteral("not a JSON object");
    const QJsonObject obj = doc.object();
    const QJsonValue strokesValue = obj.value(QLatin1String("strokes"));
    const QJsonValue mediansValue = obj.value(QLatin1String("medians"));
    if (!strokesValue.isArray() || !mediansValue.isArray())
        return QStringLiteral("\"strokes\" and \"medians\" must both be lists");
    const QJsonArray strokes = strokesValue.toArray();
    const QJsonArray medians = mediansValue.toArray();
    if (strokes.isEmpty())
        return QStringLiteral("no strokes");
    if (strokes.size() > kMaxStrokes)
        return QStringLiteral("%1 strokes, more than %2").arg(strokes.size()).arg(kMaxStrokes);
    if (strokes.size() != medians.size())
        return QStringLiteral("%1 strokes but %2 medians").arg(strokes.size()).arg(medians.size());
    CharStrokes c;
    for (qsizetype i = 0; i < strokes.size(); ++i) {
        if (!strokes[i].isString())
            return QStringLiteral("stroke %1 is not path data").arg(i + 1);
        std::optional<Outline> o = parsePathData(strokes[i].toString());
        if (!o)
            return QStringLiteral("stroke %1: damaged path data").arg(i + 1);
        std::optional<std::vector<QPointF>> m = readMedian(medians[i]);
        if (!m)
            return QStringLiteral("median %1: not a list of [x, y] points").arg(i + 1);
        c.strokes.push_back(Stroke{std::move(*o), std::move(*m)});
    }
    return c;
}

} // namespace strokes
