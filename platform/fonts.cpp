// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"
#include "platform/fonts_p.h"
#include "platform/symbolfonts.h"
#include "platform/synthesizedface.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace fonts {

using namespace detail;

namespace {

// --- metrics -------------------------------------------------------------------

int roundHalfAway(qreal v) { return int(std::lround(v)); }

QFont baseQFont(const QString &family, const gdi::LogFont &lf)
{
    QFont f(family);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    f.setHintingPreference(QFont::PreferNoHinting);
    const int w = lf.weight <= 0 ? gdi::FW_NORMAL : std::clamp(int(lf.weight), 1, 1000);
    f.setWeight(QFont::Weight(w));
    f.setItalic(lf.italic != 0);
    f.setKerning(false);
    return f;
}

QRawFont rawFontFor(const QString &family, const gdi::LogFont &lf, qreal em)
{
    QFont f = baseQFont(family, lf);
    f.setPixelSize(std::max(1, int(std::lround(em))));
    QRawFont raw = QRawFont::fromFont(f);
    if (raw.isValid() && em > 0)
        raw.setPixelSize(em);
    return raw;
}

struct CacheKey {
    gdi::LogFont lf;
    friend bool operator==(const CacheKey &, const CacheKey &) = default;
};
size_t qHash(const CacheKey &k, size_t seed = 0)
{
    const gdi::LogFont &f = k.lf;
    return qHashMulti(seed, f.height, f.width, f.escapement, f.weight, f.italic, f.underline, f.strikeOut,
                      f.charSet, f.pitchAndFamily, f.faceName);
}
} // namespace

std::optional<FaceMetrics> readFaceMetrics(const QRawFont &face)
{
    if (!face.isValid())
        return std::nullopt;
    const QByteArray head = face.fontTable("head");
    const QByteArray hhea = face.fontTable("hhea");
    const QByteArray os2 = face.fontTable("OS/2");
    const QByteArray post = face.fontTable("post");
    FaceMetrics m;
    m.unitsPerEm = head.size() >= 54 ? u16(head, 18) : 0;
    if (m.unitsPerEm < 16 || m.unitsPerEm > 16384)
        m.unitsPerEm = int(face.unitsPerEm());
    if (m.unitsPerEm < 16 || m.unitsPerEm > 16384)
        return std::nullopt;
    if (head.size() >= 54) {
        m.xMin = s16(head, 36);
        m.yMin = s16(head, 38);
        m.xMax = s16(head, 40);
        m.yMax = s16(head, 42);
    }
    if (hhea.size() >= 36) {
        m.hheaAscender = s16(hhea, 4);
        m.hheaDescender = s16(hhea, 6);
        m.hheaLineGap = s16(hhea, 8);
        m.maxAdvance = u16(hhea, 10);
    }
    if (post.size() >= 12) {
        m.italicAngle = qint32(u32(post, 4)) / 65536.0;
        m.underlinePosition = s16(post, 8);
        m.underlineThickness = s16(post, 10);
    }
    if (os2.size() >= 78) {
        m.avgCharWidth = s16(os2, 2);
        m.strikeoutSize = s16(os2, 26);
        m.strikeoutPosition = s16(os2, 28);
        m.familyClass = s16(os2, 30) >> 8;
        m.typoAscender = s16(os2, 68);
        m.typoDescender = s16(os2, 70);
        m.typoLineGap = s16(os2, 72);
        m.winAscent = u16(os2, 74);
        m.winDescent = u16(os2, 76);
        if (u16(os2, 0) >= 2 && os2.size() >= 90) {
            m.xHeight = s16(os2, 86);
            m.capHeight = s16(os2, 88);
        }
    } else {
        m.typoAscender = m.hheaAscender;
        m.typoDescender = m.hheaDescender;
        m.typoLineGap = m.hheaLineGap;
    }
    if (m.winAscent + m.winDescent <= 0) {
        m.winAscent = m.hheaAscender;
        m.winDescent = -m.hheaDescender;
    }
    if (m.winAscent + m.winDescent <= 0) {
        // No usable vertical metrics at all: take the em.
        m.winAscent = m.unitsPerEm * 4 / 5;
        m.winDescent = m.unitsPerEm - m.winAscent;
    }
    if (m.capHeight == 0)
        m.capHeight = m.typoAscender > 0 ? m.typoAscender : m.winAscent;
    return m;
}

qreal emHeight(const gdi::LogFont &font)
{
    if (font.height < 0)
        return std::min(-qreal(font.height), qreal(kMaxHeight));
    if (font.height == 0)
        return kDefaultEmHeight;
    // A cell height: the em comes from the face's ascent + descent.
    const auto rf = resolve(font);
    return rf->emSize();
}

std::shared_ptr<const ResolvedFont> resolve(const gdi::LogFont &font)
{
    thread_local QHash<CacheKey, std::shared_ptr<const ResolvedFont>> cache;
    thread_local quint64 generation = 0;
    if (generation != familyGeneration()) {
        cache.clear();
        generation = familyGeneration();
    }
    const CacheKey key{font};
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;

    std::shared_ptr<ResolvedFont> rf(new ResolvedFont);
    rf->m_logFont = font;
    // Heights beyond any sensible size (damaged input) are held at a limit.
    const qint32 height = std::clamp(font.height, -kMaxHeight, kMaxHeight);
    rf->m_family = standInFamily(font.faceName, font.charSet, font.pitchAndFamily);
    if (auto face = registeredSynthesizedFace(font.faceName); face && !isFamilyInstalled(font.faceName))
        rf->m_synthesized = std::move(face);

    // Metrics come from the face at any size; read them at a round em first.
    QRawFont probe = rawFontFor(rf->m_family, font, 64);
    const std::optional<FaceMetrics> fm = readFaceMetrics(probe);
    if (fm)
        rf->m_face = *fm;
    else {
        rf->m_face.unitsPerEm = 1000;
        rf->m_face.winAscent = rf->m_face.typoAscender = rf->m_face.hheaAscender = 800;
        rf->m_face.winDescent = 200;
        rf->m_face.typoDescender = rf->m_face.hheaDescender = -200;
        rf->m_face.capHeight = 700;
    }
    const FaceMetrics &m = rf->m_face;
    const qreal upm = m.unitsPerEm;
    const qreal cell = m.winAscent + m.winDescent;

    gdi::TextMetric &tm = rf->m_tm;
    if (height > 0) {
        rf->m_em = height * upm / cell;
        tm.height = height;
        tm.ascent = roundHalfAway(height * m.winAscent / cell);
        tm.descent = tm.height - tm.ascent;
    } else {
        rf->m_em = height < 0 ? -qreal(height) : qreal(kDefaultEmHeight);
        tm.ascent = roundHalfAway(m.winAscent * rf->m_em / upm);
        tm.descent = roundHalfAway(m.winDescent * rf->m_em / upm);
        tm.height = tm.ascent + tm.descent;
    }
    const qreal scale = rf->m_em / upm;
    tm.internalLeading = std::max(0, tm.height - roundHalfAway(rf->m_em));
    const int hheaCell = m.hheaAscender - m.hheaDescender;
    tm.externalLeading = std::max(0, roundHalfAway((m.hheaLineGap - (cell - hheaCell)) * scale));
    rf->m_ascent = tm.ascent;
    rf->m_descent = tm.descent;

    rf->m_raw = rawFontFor(rf->m_family, font, rf->m_em);

    int avg = m.avgCharWidth;
    if (avg <= 0 && rf->m_raw.isValid()) {
        // Faces without xAvgCharWidth: the width of 'x' stands in.
        const QList<quint32> g = rf->m_raw.glyphIndexesForString(QStringLiteral("x"));
        if (!g.isEmpty() && g[0] != 0)
            avg = roundHalfAway(rf->m_raw.advancesForGlyphIndexes(g, QRawFont::UseDesignMetrics).value(0).x() / scale);
    }
    if (font.width > 0 && avg > 0)
        rf->m_hscale = std::clamp(font.width / (avg * scale), 1.0 / 64, 64.0);
    tm.aveCharWidth = roundHalfAway(avg * scale * rf->m_hscale);
    tm.maxCharWidth = roundHalfAway(m.maxAdvance * scale * rf->m_hscale);

    rf->m_fallbackFamilies = fallbackFamiliesFor(rf->m_family, font.faceName, font.charSet, font.pitchAndFamily);
    // A symbol face drawn by a stand-in: its codes become the characters they
    // stand for.
    if ((font.charSet == gdi::SYMBOL_CHARSET || font.charSet == gdi::DEFAULT_CHARSET) &&
        rf->m_family.compare(font.faceName, Qt::CaseInsensitive) != 0) {
        rf->m_symbols = symbolTable(font.faceName);
        // Pictographs beyond the basic plane are in a face of their own.
        if (rf->m_symbols && isFamilyInstalled(QStringLiteral("Symbola")))
            rf->m_fallbackFamilies.append(QStringLiteral("Symbola"));
    }
    // A symbol face that is here itself keeps its codes in its private-use
    // range U+F020 to U+F0FF.
    rf->m_symbolCodes = font.charSet == gdi::SYMBOL_CHARSET && !rf->m_symbols;

    if (cache.size() > 512)
        cache.clear(); // a runaway set of sizes must not grow without end
    cache.insert(key, rf);
    return rf;
}

// --- ResolvedFont ---------------------------------------------------------------

QFont ResolvedFont::qfont(qreal scale) const
{
    QFont f = baseQFont(m_family, m_logFont);
    f.setStyleStrategy(QFont::PreferOutline);
    f.setPixelSize(std::max(1, int(std::lround(m_em * scale))));
    f.setUnderline(m_logFont.underline != 0);
    f.setStrikeOut(m_logFont.strikeOut != 0);
    if (m_hscale != 1)
        f.setStretch(std::clamp(int(std::lround(m_hscale * 100)), 1, 4000));
    return f;
}

ResolvedFont::Face ResolvedFont::makeFace(const QString &family) const
{
    Face face;
    face.draw = rawFontFor(family, m_logFont, m_em);
    if (!face.draw.isValid())
        return face;
    // At a pixel size equal to the units per em an advance is a whole number
    // of design units, free of the rounding of small sizes.
    const qreal upm = std::clamp<qreal>(face.draw.unitsPerEm(), 16, 16384);
    face.measure = face.draw;
    face.measure.setPixelSize(upm);
    face.unitScale = m_em / upm;
    return face;
}

const ResolvedFont::CharInfo &ResolvedFont::charInfo(char32_t ch) const
{
    if (auto it = m_chars.constFind(ch); it != m_chars.constEnd())
        return *it;
    if (m_faces.empty())
        m_faces.push_back(makeFace(m_family));
    CharInfo info;
    int faceIndex = 0;
    if (!m_faces[0].draw.supportsCharacter(uint(ch))) {
        if (!m_fallbacksBuilt) {
            m_fallbacksBuilt = true;
            for (const QString &fam : m_fallbackFamilies) {
                Face f = makeFace(fam);
                if (f.draw.isValid())
                    m_faces.push_back(std::move(f));
            }
        }
        for (size_t i = 1; i < m_faces.size(); ++i)
            if (m_faces[i].draw.supportsCharacter(uint(ch))) {
                faceIndex = int(i);
                break;
            }
    }
    const Face &face = m_faces[size_t(faceIndex)];
    info.face = faceIndex;
    if (face.draw.isValid()) {
        const QList<quint32> g = face.draw.glyphIndexesForString(QString::fromUcs4(&ch, 1));
        info.glyph = g.isEmpty() ? 0 : g.first();
        const QList<quint32> one{info.glyph};
        info.advance = face.measure.advancesForGlyphIndexes(one, QRawFont::UseDesignMetrics).value(0).x() * face.unitScale;
    }
    if (m_chars.size() > 65536)
        m_chars.clear();
    return *m_chars.insert(ch, info);
}

char32_t ResolvedFont::drawnChar(char32_t ch) const
{
    if (m_symbols)
        return symbolToUnicode(*m_symbols, ch);
    if (m_symbolCodes && ch >= 0x20 && ch <= 0xFF && m_raw.supportsCharacter(uint(0xF000 + ch)))
        return 0xF000 + ch;
    return ch;
}

TextLayout ResolvedFont::layout(const QString &text, bool rightToLeft) const
{
    TextLayout out;
    out.advances.assign(size_t(text.size()), 0.0);
    if (text.isEmpty() || !m_raw.isValid())
        return out;

    struct Piece {
        int face;
        quint32 glyph;
        qreal advance;
        qsizetype unit; // index of the first code unit
    };
    std::vector<Piece> pieces;
    pieces.reserve(size_t(text.size()));
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    qreal total = 0;
    for (qsizetype i = 0; i < n;) {
        char32_t ch = s[i].unicode();
        qsizetype len = 1;
        if (s[i].isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(s[i], s[i + 1]);
            len = 2;
        }
        const CharInfo &info = charInfo(drawnChar(ch));
        const qreal adv = info.advance * m_hscale;
        pieces.push_back({info.face, info.glyph, adv, i});
        out.advances[size_t(i)] = adv;
        total += adv;
        i += len;
    }
    out.width = total;

    // Pen positions in reading order; right to left starts at the right end.
    qreal pen = rightToLeft ? total : 0;
    GlyphRun *run = nullptr;
    int runFace = -1;
    for (const Piece &p : pieces) {
        if (rightToLeft)
            pen -= p.advance;
        if (!run || runFace != p.face) {
            out.runs.push_back(GlyphRun{m_faces[size_t(p.face)].draw, {}, {}, {}});
            run = &out.runs.back();
            runFace = p.face;
        }
        run->glyphs.append(p.glyph);
        run->units.push_back(p.unit);
        // Glyph positions are in the face's own scale; the horizontal scale
        // of a narrowed font is applied by the caller's transform.
        run->positions.append(QPointF(pen / m_hscale, 0));
        if (!rightToLeft)
            pen += p.advance;
    }
    return out;
}

TextLayout ResolvedFont::layoutGlyphs(const QString &glyphIndexes, bool rightToLeft) const
{
    TextLayout out;
    const qsizetype n = glyphIndexes.size();
    out.advances.assign(size_t(n), 0.0);
    if (n == 0 || !m_raw.isValid())
        return out;
    if (m_faces.empty())
        m_faces.push_back(makeFace(m_family));
    const Face &face = m_faces[0];
    // Glyph numbers past the face's count (maxp table) take no room and draw
    // nothing.
    const int numGlyphs = u16(face.draw.fontTable("maxp"), 4);
    QList<quint32> glyphs;
    glyphs.reserve(n);
    for (QChar c : glyphIndexes)
        glyphs.append(c.unicode() < numGlyphs ? c.unicode() : 0);
    const QList<QPointF> adv = face.measure.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    qreal total = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (glyphIndexes[i].unicode() < numGlyphs)
            out.advances[size_t(i)] = adv.value(i).x() * face.unitScale * m_hscale;
        total += out.advances[size_t(i)];
    }
    out.width = total;
    GlyphRun run{face.draw, {}, {}, {}};
    qreal pen = rightToLeft ? total : 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (rightToLeft)
            pen -= out.advances[size_t(i)];
        if (glyphIndexes[i].unicode() < numGlyphs) {
            run.glyphs.append(glyphs[i]);
            run.positions.append(QPointF(pen / m_hscale, 0));
            run.units.push_back(i);
        }
        if (!rightToLeft)
            pen += out.advances[size_t(i)];
    }
    out.runs.push_back(std::move(run));
    return out;
}

qreal ResolvedFont::advanceWidth(const QString &text) const
{
    if (text.isEmpty() || !m_raw.isValid())
        return 0;
    qreal total = 0;
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t ch = s[i].unicode();
        if (s[i].isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate())
            ch = QChar::surrogateToUcs4(s[i], s[i + 1]), ++i;
        total += charInfo(drawnChar(ch)).advance;
    }
    return total * m_hscale;
}

qreal ResolvedFont::underlineOffset() const
{
    const qreal scale = m_em / m_face.unitsPerEm;
    if (m_face.underlinePosition != 0)
        return -m_face.underlinePosition * scale + lineThickness() / 2;
    return m_descent / 2;
}

qreal ResolvedFont::strikeOutOffset() const
{
    const qreal scale = m_em / m_face.unitsPerEm;
    if (m_face.strikeoutPosition > 0)
        return -m_face.strikeoutPosition * scale;
    return -m_ascent / 3;
}

qreal ResolvedFont::lineThickness() const
{
    const qreal scale = m_em / m_face.unitsPerEm;
    const int t = m_face.underlineThickness > 0 ? m_face.underlineThickness : m_face.strikeoutSize;
    return t > 0 ? t * scale : m_em / 20;
}

QFont toQFont(const gdi::LogFont &font, qreal scale) { return resolve(font)->qfont(scale); }

} // namespace fonts
