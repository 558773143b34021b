// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokelines.h"

#include "faces/strokejson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace strokes {

namespace {

// Larger files are not stroke data.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

// The one character a string holds (no surrogate, nothing below U+0080); 0
// otherwise.
char32_t oneCharacter(const QString &s)
{
    const QList<uint> u = s.toUcs4();
    if (u.size() != 1 || u[0] < 0x80 || (u[0] >= 0xD800 && u[0] < 0xE000) || u[0] > 0x10FFFF)
        return 0;
    return char32_t(u[0]);
}

// The character a line names: read straight from its "character" member when
// that is plain, else from the whole line read as JSON.
char32_t characterOfLine(std::span<const char> line)
{
    static constexpr char kKey[] = "\"character\"";
    const char *p = line.data(), *end = line.data() + line.size();
    const char *key = static_cast<const char *>(memmem(p, size_t(end - p), kKey, sizeof kKey - 1));
    if (key) {
        const char *q = key + sizeof kKey - 1;
        while (q < end && (*q == ' ' || *q == '\t' || *q == ':'))
            ++q;
        if (q < end && *q == '"') {
            const char *start = ++q;
            while (q < end && *q != '"' && *q != '\\' && q - start <= 4)
                ++q;
            if (q < end && *q == '"')
                return oneCharacter(QString::fromUtf8(start, q - start));
        }
    }
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromRawData(p, qsizetype(line.size())));
    return doc.isObject() ? oneCharacter(doc.object().value(QLatin1String("character")).toString()) : 0;
}

} // namespace

std::unique_ptr<StrokeLines> StrokeLines::open(const QString &path, QString *why)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        if (why)
            *why = file->errorString();
        return nullptr;
    }
    if (file->size() > kMaxFileSize) {
        if (why)
            *why = QStringLiteral("larger than %1 bytes").arg(kMaxFileSize);
        return nullptr;
    }
    std::unique_ptr<StrokeLines> out(new StrokeLines);
    out->m_path = path;
    const qint64 size = file->size();
    if (uchar *mapped = size > 0 ? file->map(0, size) : nullptr) {
        out->m_bytes = {reinterpret_cast<const char *>(mapped), size_t(size)};
        out->m_file = std::move(file);
    } else {
        out->m_copy = file->readAll();
        out->m_bytes = {out->m_copy.constData(), size_t(out->m_copy.size())};
    }
    out->index();
    return out;
}

std::unique_ptr<StrokeLines> StrokeLines::fromBytes(QByteArray bytes)
{
    std::unique_ptr<StrokeLines> out(new StrokeLines);
    out->m_copy = std::move(bytes);
    out->m_bytes = {out->m_copy.constData(), size_t(out->m_copy.size())};
    out->index();
    return out;
}

void StrokeLines::index()
{
    const char *data = m_bytes.data();
    const qsizetype n = qsizetype(m_bytes.size());
    qsizetype at = 0;
    while (at < n) {
        const char *nl = static_cast<const char *>(std::memchr(data + at, '\n', size_t(n - at)));
        const qsizetype end = nl ? nl - data : n;
        if (end > at) {
            // The first line for a character counts.
            if (const char32_t ch = characterOfLine(m_bytes.subspan(size_t(at), size_t(end - at))); ch && !m_lines.contains(ch))
                m_lines.insert(ch, Line{at, end - at});
        }
        at = end + 1;
    }
}

std::optional<CharStrokes> StrokeLines::find(char32_t ch) const
{
    const auto it = m_lines.constFind(ch);
    if (it == m_lines.constEnd())
        return std::nullopt;
    auto parsed = parseCharJson(QByteArray::fromRawData(m_bytes.data() + it->begin, it->size));
    if (auto *c = std::get_if<CharStrokes>(&parsed))
        return std::move(*c);
    return std::nullopt;
}

} // namespace strokes
