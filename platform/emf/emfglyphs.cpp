// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfglyphs.h"

#include "platform/fonts.h"

#include <QHash>
#include <QRawFont>

namespace emf {

namespace {

// Characters of a face by glyph; the lowest character wins where several
// share a glyph (the letter before a look-alike of another script).
using ReverseMap = QHash<quint32, char32_t>;

ReverseMap buildReverseMap(const QRawFont &face)
{
    ReverseMap map;
    constexpr char32_t kLast = 0x2FFFF; // the basic and the supplementary planes in use
    constexpr int kBatch = 4096;
    QList<QChar> chars;
    QList<quint32> glyphs(2 * kBatch);
    for (char32_t first = 0x20; first <= kLast; first += kBatch) {
        chars.clear();
        std::vector<char32_t> codes;
        for (char32_t c = first; c < first + kBatch && c <= kLast; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            codes.push_back(c);
            if (c > 0xFFFF) {
                chars.append(QChar(QChar::highSurrogate(c)));
                chars.append(QChar(QChar::lowSurrogate(c)));
            } else {
                chars.append(QChar(char16_t(c)));
            }
        }
        int n = int(glyphs.size());
        if (!face.glyphIndexesForChars(chars.constData(), int(chars.size()), glyphs.data(), &n))
            continue;
        // One glyph per character: a surrogate pair yields one glyph.
        for (int i = 0; i < n && size_t(i) < codes.size(); ++i)
            if (glyphs[i] != 0 && !map.contains(glyphs[i]))
                map.insert(glyphs[i], codes[size_t(i)]);
    }
    return map;
}

const ReverseMap &reverseMapOf(const QRawFont &face)
{
    thread_local QHash<QString, ReverseMap> cache; // faces are per thread, as resolved fonts are
    const QString key = face.familyName() + u'|' + face.styleName() + u'|' + QString::number(int(face.weight())) +
                        u'|' + QString::number(int(face.style()));
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 32)
            cache.clear();
        it = cache.insert(key, buildReverseMap(face));
    }
    return *it;
}

} // namespace

bool faceAtHand(const gdi::LogFont &font)
{
    if (font.faceName.isEmpty() || !fonts::isFamilyInstalled(font.faceName))
        return false;
    return fonts::resolve(font)->family().compare(font.faceName, Qt::CaseInsensitive) == 0;
}

std::optional<QString> glyphsToText(const gdi::LogFont &font, const QString &glyphs, std::vector<qint32> *dx)
{
    if (!faceAtHand(font))
        return std::nullopt;
    const QRawFont &face = fonts::resolve(font)->rawFont();
    if (!face.isValid())
        return std::nullopt;
    const ReverseMap &map = reverseMapOf(face);
    QString text;
    std::vector<qint32> advances;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        const auto it = map.constFind(glyphs[i].unicode());
        if (it == map.constEnd())
            return std::nullopt;
        const char32_t c = *it;
        const qint32 advance = dx && size_t(i) < dx->size() ? (*dx)[size_t(i)] : 0;
        if (c > 0xFFFF) {
            text.append(QChar(QChar::highSurrogate(c)));
            text.append(QChar(QChar::lowSurrogate(c)));
            advances.insert(advances.end(), {advance, 0});
        } else {
            text.append(QChar(char16_t(c)));
            advances.push_back(advance);
        }
    }
    if (dx && !dx->empty())
        *dx = std::move(advances);
    return text;
}

} // namespace emf
