// What a document writer takes from a face: its file, tables, outline
// metrics and advance widths.
#include "platform/fonts.h"
#include "platform/fonts_p.h"

#include <QFile>

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
        FcChar8 *file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = QString::fromUtf8(reinterpret_cast<const char *>(file));
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    if (path.isEmpty())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > (qint64(1) << 30))
        return {};
    return extractFace(f.readAll(), index & 0xFFFF);
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
