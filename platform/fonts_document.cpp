// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a document writer takes from a face: its file, tables, outline
// metrics and advance widths.
#include "platform/fonts.h"
#include "platform/fonts_p.h"

#include <QFile>
#include <QRawFont>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fonts {

using namespace detail;

namespace {
int roundHalfAway(qreal v) { return int(std::lround(v)); }
} // namespace

// --- documents ---------------------------------------------------------------------

QByteArray extractFace(const QByteArray &file, int index)
{
    if (file.size() < 12 || index < 0)
        return {};
    const quint32 tag = u32(file, 0);
    qsizetype base = 0;
    if (tag == 0x74746366) { // 'ttcf'
        const quint32 count = u32(file, 8);
        if (count == 0 || count > 4096 || quint32(index) >= count || 12 + qsizetype(count) * 4 > file.size())
            return {};
        base = u32(file, 12 + qsizetype(index) * 4);
    } else if (index != 0) {
        return {};
    }
    if (base < 0 || base + 12 > file.size())
        return {};
    const quint32 version = u32(file, base);
    if (version != 0x00010000 && version != 0x74727565 /* true */ && version != 0x4F54544F /* OTTO */)
        return {};
    const int numTables = u16(file, int(base + 4));
    if (numTables == 0 || numTables > 512 || base + 12 + qsizetype(numTables) * 16 > file.size())
        return {};
    if (tag != 0x74746366) {
        // A plain font: check that every table lies inside the file.
        for (int i = 0; i < numTables; ++i) {
            const qsizetype rec = 12 + qsizetype(i) * 16;
            const quint64 off = u32(file, rec + 8), len = u32(file, rec + 12);
            if (off + len > quint64(file.size()))
                return {};
        }
        return file;
    }
    // Copy the face's tables into a file of their own.
    QByteArray out(12 + numTables * 16, '\0');
    std::memcpy(out.data(), file.constData() + base, 12);
    qint64 total = out.size();
    for (int i = 0; i < numTables; ++i) {
        const qsizetype rec = base + 12 + qsizetype(i) * 16;
        const quint64 off = u32(file, rec + 8), len = u32(file, rec + 12);
        if (off + len > quint64(file.size()))
            return {};
        total += qint64((len + 3) & ~quint64(3));
        if (total > qint64(1) << 30)
            return {};
    }
    out.reserve(qsizetype(total));
    for (int i = 0; i < numTables; ++i) {
        const qsizetype rec = base + 12 + qsizetype(i) * 16;
        const quint32 off = u32(file, rec + 8), len = u32(file, rec + 12);
        const int dst = 12 + i * 16;
        std::memcpy(out.data() + dst, file.constData() + rec, 8); // tag and checksum
        put32(out, dst + 8, quint32(out.size()));
        put32(out, dst + 12, len);
        out.append(file.constData() + off, len);
        while (out.size() % 4)
            out.append('\0');
    }
    return out;
}

namespace {

QByteArray readFace(const QString &path, int index)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > (qint64(1) << 30))
        return {};
    return extractFace(f.readAll(), index & 0xFFFF);
}

QString stringOf(FcPattern *p, const char *object, int n = 0)
{
    FcChar8 *s = nullptr;
    if (FcPatternGetString(p, object, n, &s) != FcResultMatch || !s)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(s));
}

// The program of the installed face of `family` nearest the weight and
// slant whose file holds TrueType or PostScript (CFF) outlines in a font
// file of tables, passing over faces of other kinds (Type 1) that fontconfig
// may prefer. Empty when the family has none.
QByteArray tableFaceOf(const QString &family, int fcWeight, int fcSlant)
{
    const QByteArray utf8 = family.toUtf8();
    FcPattern *pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>(utf8.constData()));
    FcPatternAddInteger(pat, FC_WEIGHT, fcWeight);
    FcPatternAddInteger(pat, FC_SLANT, fcSlant);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcFontSet *sorted = FcFontSort(nullptr, pat, FcFalse, nullptr, &result);
    QByteArray program;
    for (int i = 0; sorted && i < sorted->nfont && program.isEmpty(); ++i) {
        FcPattern *f = sorted->fonts[i];
        bool sameFamily = false;
        for (int n = 0; !sameFamily; ++n) {
            const QString name = stringOf(f, FC_FAMILY, n);
            if (name.isNull())
                break;
            sameFamily = name.compare(family, Qt::CaseInsensitive) == 0;
        }
        if (!sameFamily)
            continue;
        const QString format = stringOf(f, FC_FONTFORMAT);
        if (format != QLatin1String("TrueType") && format != QLatin1String("CFF"))
            continue;
        int index = 0;
        FcPatternGetInteger(f, FC_INDEX, 0, &index);
        program = readFace(stringOf(f, FC_FILE), index);
    }
    if (sorted)
        FcFontSetDestroy(sorted);
    FcPatternDestroy(pat);
    return program;
}

int fcSlantOf(QFont::Style style) { return style == QFont::StyleNormal ? FC_SLANT_ROMAN : FC_SLANT_ITALIC; }

} // namespace

QByteArray fontProgram(const gdi::LogFont &font)
{
    const auto rf = resolve(font);
    const QByteArray family = rf->family().toUtf8();
    FcPattern *pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    const int w = font.weight <= 0 ? gdi::FW_NORMAL : std::clamp(int(font.weight), 1, 1000);
    FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(w));
    FcPatternAddInteger(pat, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pat, &result);
    QString path;
    int index = 0;
    if (match) {
        path = stringOf(match, FC_FILE);
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    const QByteArray program = path.isEmpty() ? QByteArray() : readFace(path, index);
    if (!program.isEmpty())
        return program;
    // A face of another kind (Type 1) has no program a document takes; the
    // same family may be installed in a file of tables too.
    return tableFaceOf(rf->family(), FcWeightFromOpenType(w), font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
}

namespace {

quint32 be32(const uchar *p) { return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]; }

// The header table of face `index` of the font file at `path`, read from its
// table directory alone; empty when the file has none.
QByteArray headTableIn(const QString &path, int index)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    auto read = [&f](qint64 at, qint64 n) {
        return f.seek(at) ? f.read(n) : QByteArray();
    };
    qint64 directory = 0;
    const QByteArray tag = read(0, 12);
    if (tag.size() < 12)
        return {};
    if (tag.startsWith("ttcf")) {
        const quint32 faces = be32(reinterpret_cast<const uchar *>(tag.constData()) + 8);
        if (index < 0 || quint32(index) >= faces)
            return {};
        const QByteArray at = read(12 + 4 * qint64(index), 4);
        if (at.size() < 4)
            return {};
        directory = be32(reinterpret_cast<const uchar *>(at.constData()));
    } else if (index != 0) {
        return {};
    }
    const QByteArray offsetTable = read(directory, 12);
    if (offsetTable.size() < 12)
        return {};
    const int tables = quint8(offsetTable[4]) << 8 | quint8(offsetTable[5]);
    const QByteArray records = read(directory + 12, 16 * qint64(tables));
    for (int i = 0; i + 1 <= tables && 16 * (i + 1) <= records.size(); ++i) {
        const auto *r = reinterpret_cast<const uchar *>(records.constData()) + 16 * i;
        if (std::memcmp(r, "head", 4) == 0)
            return read(be32(r + 8), std::min<quint32>(be32(r + 12), 1024));
    }
    return {};
}

} // namespace

std::optional<FaceFile> faceFile(const QRawFont &face)
{
    if (!face.isValid())
        return std::nullopt;
    const QByteArray head = face.fontTable("head");
    if (head.size() < 54)
        return std::nullopt;
    const QByteArray family = face.familyName().toUtf8();
    FcPattern *pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcObjectSet *os = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet *set = FcFontList(nullptr, pat, os);
    std::optional<FaceFile> out;
    for (int i = 0; set && i < set->nfont && !out; ++i) {
        FaceFile candidate{stringOf(set->fonts[i], FC_FILE), 0};
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &candidate.index);
        if (candidate.path.isEmpty())
            continue;
        // The same face has the same header: its checksum, dates and revision.
        if (headTableIn(candidate.path, candidate.index) == head)
            out = candidate;
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    return out;
}

bool hasTableOutlines(const QRawFont &face)
{
    // Every font file of tables has the small maximum-profile table; a face
    // of another kind (Type 1) has no tables at all. The outline tables
    // themselves are large, and asking for one copies it.
    return face.isValid() && !face.fontTable("maxp").isEmpty();
}

QRawFont tableFace(const QRawFont &face)
{
    if (!face.isValid() || hasTableOutlines(face))
        return face;
    const int weight = FcWeightFromOpenType(std::clamp(face.weight(), 1, 1000));
    // Qt names a family installed by several foundries "Family [foundry]".
    QString family = face.familyName();
    const qsizetype foundry = family.lastIndexOf(QLatin1String(" ["));
    if (foundry > 0 && family.endsWith(u']'))
        family.truncate(foundry);
    const QByteArray program = tableFaceOf(family, weight, fcSlantOf(face.style()));
    if (program.isEmpty())
        return {};
    QRawFont out;
    out.loadFromData(program, face.pixelSize(), face.hintingPreference());
    return hasTableOutlines(out) ? out : QRawFont();
}

QByteArray fontTable(const gdi::LogFont &font, const char *tag)
{
    if (!tag || std::strlen(tag) != 4)
        return {};
    return resolve(font)->rawFont().fontTable(tag);
}

OutlineMetrics outlineMetrics(const gdi::LogFont &font, int em)
{
    const auto rf = resolve(font);
    const FaceMetrics &m = rf->faceMetrics();
    const qreal scale = qreal(em) / m.unitsPerEm;
    OutlineMetrics o;
    o.ascent = roundHalfAway(m.typoAscender * scale);
    o.descent = roundHalfAway(m.typoDescender * scale);
    o.capHeight = roundHalfAway(m.capHeight * scale);
    o.italicAngle = m.italicAngle;
    o.xMin = roundHalfAway(m.xMin * scale);
    o.yMin = roundHalfAway(m.yMin * scale);
    o.xMax = roundHalfAway(m.xMax * scale);
    o.yMax = roundHalfAway(m.yMax * scale);
    o.unitsPerEm = m.unitsPerEm;
    return o;
}

std::vector<int> advanceWidths(const gdi::LogFont &font, const QList<char32_t> &chars, int em)
{
    gdi::LogFont f = font;
    f.height = -std::max(1, em);
    f.width = 0;
    const auto rf = resolve(f);
    std::vector<int> out;
    out.reserve(size_t(chars.size()));
    const QRawFont &raw = rf->rawFont();
    for (char32_t ch : chars) {
        if (!raw.isValid() || !raw.supportsCharacter(uint(ch))) {
            out.push_back(0);
            continue;
        }
        const QList<quint32> g = raw.glyphIndexesForString(QString::fromUcs4(&ch, 1));
        const qreal adv = g.isEmpty() ? 0 : raw.advancesForGlyphIndexes(g, QRawFont::UseDesignMetrics).value(0).x();
        out.push_back(roundHalfAway(adv));
    }
    return out;
}

} // namespace fonts
