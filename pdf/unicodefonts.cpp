// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/unicodefonts.h"

#include "pdf/pdffile.h"
#include "pdf/pdfnumbers.h"
#include "pdf/pdfsyntax.h"
#include "platform/fonts.h"
#include "platform/rperror.h"

#include <hb-subset.h>
#include <hb.h>

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>

namespace {

// The tables a PDF reader draws glyphs with, and those the subsetter needs
// to rebuild them.
const char *const kTables[] = {"head", "hhea", "hmtx", "maxp", "OS/2", "post", "name", "cmap",
                               "loca", "glyf", "cvt ", "fpgm", "prep", "CFF "};

hb_tag_t tagOf(const char *t) { return HB_TAG(t[0], t[1], t[2], t[3]); }

struct HbDeleter {
    void operator()(hb_face_t *f) const { hb_face_destroy(f); }
    void operator()(hb_blob_t *b) const { hb_blob_destroy(b); }
    void operator()(hb_subset_input_t *i) const { hb_subset_input_destroy(i); }
};
template <class T> using HbPtr = std::unique_ptr<T, HbDeleter>;

int be16(const QByteArray &b, qsizetype off)
{
    if (off < 0 || off + 2 > b.size())
        return 0;
    return (quint8(b[off]) << 8) | quint8(b[off + 1]);
}

// The PostScript name (name ID 6) of a face, or its family and style
// without blanks; only the characters a PDF name keeps plainly.
QString postScriptName(const QRawFont &face)
{
    QString ps;
    const QByteArray name = face.fontTable("name");
    const int count = be16(name, 2), strings = be16(name, 4);
    for (int i = 0; i < count && ps.isEmpty(); ++i) {
        const qsizetype rec = 6 + qsizetype(i) * 12;
        const int platform = be16(name, rec), id = be16(name, rec + 6);
        const int length = be16(name, rec + 8), offset = be16(name, rec + 10);
        if (id != 6 || qsizetype(strings) + offset + length > name.size())
            continue;
        const QByteArray bytes = name.mid(strings + offset, length);
        if (platform == 3 || platform == 0) {
            for (qsizetype k = 0; k + 1 < bytes.size(); k += 2)
                ps += QChar(ushort((quint8(bytes[k]) << 8) | quint8(bytes[k + 1])));
        } else if (platform == 1) {
            ps = QString::fromLatin1(bytes);
        }
    }
    if (ps.isEmpty())
        ps = face.familyName() + QLatin1Char('-') + face.styleName();
    QString clean;
    for (QChar c : ps)
        if (c.unicode() > 0x20 && c.unicode() < 0x7F && !QStringLiteral("()<>[]{}/%#").contains(c))
            clean += c;
    return clean.isEmpty() ? QStringLiteral("Font") : clean;
}

// Six capital letters that name the subset, from the glyphs it holds.
QString subsetTag(const QString &key, const QList<quint32> &glyphs)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(key.toUtf8());
    for (quint32 g : glyphs)
        h.addData(QByteArrayView(reinterpret_cast<const char *>(&g), sizeof g));
    const QByteArray d = h.result();
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QChar(u'A' + quint8(d[i]) % 26);
    return tag;
}

} // namespace

int PdfUnicodeFonts::fontFor(const QRawFont &face)
{
    const bool tables = fonts::hasTableOutlines(face);
    const QString key = face.familyName() + QLatin1Char('\t') + face.styleName() + QLatin1Char('\t') +
                        QString::number(face.weight()) + QLatin1Char('\t') + QString::number(int(face.style())) +
                        (tables ? QString() : QStringLiteral("\tother"));
    const auto it = m_byKey.constFind(key);
    if (it != m_byKey.constEnd())
        return *it;
    // A face without outline tables (Type 1) is written through the same
    // family's face that has them, its glyphs found again by character.
    const QRawFont program = tables ? face : fonts::tableFace(face);
    if (!program.isValid()) {
        m_byKey.insert(key, -1);
        return -1;
    }
    Font f;
    f.face = program;
    f.face.setPixelSize(1000);
    f.key = key;
    f.cff = !program.fontTable("CFF ").isEmpty();
    f.renumbered = !tables;
    m_fonts.push_back(std::move(f));
    const int index = int(m_fonts.size()) - 1;
    m_byKey.insert(key, index);
    return index;
}

quint32 PdfUnicodeFonts::glyphFor(int font, QStringView cluster) const
{
    if (cluster.isEmpty())
        return 0;
    const QList<quint32> g = m_fonts.at(size_t(font)).face.glyphIndexesForString(cluster.toString());
    return g.isEmpty() ? 0 : g.first();
}

void PdfUnicodeFonts::use(int font, quint32 glyph, QStringView text)
{
    Font &f = m_fonts.at(size_t(font));
    auto it = f.text.find(glyph);
    if (it == f.text.end())
        f.text.insert(glyph, text.toString());
    else if (it->isEmpty())
        *it = text.toString();
}

double PdfUnicodeFonts::advance(int font, quint32 glyph)
{
    Font &f = m_fonts.at(size_t(font));
    auto it = f.advances.constFind(glyph);
    if (it != f.advances.constEnd())
        return *it;
    const QList<QPointF> a = f.face.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::UseDesignMetrics);
    const double w = a.isEmpty() ? 0 : a.first().x();
    f.advances.insert(glyph, w);
    return w;
}

QByteArray PdfUnicodeFonts::resourceName(int font) { return "U" + pdfnum::zeroPadded(font, 2); }

bool PdfUnicodeFonts::hasOpenTypeProgram() const
{
    for (const Font &f : m_fonts)
        if (f.cff)
            return true;
    return false;
}

QByteArray PdfUnicodeFonts::subsetProgram(int font) const
{
    const Font &f = m_fonts.at(size_t(font));
    // The face's tables as one font file, then its used glyphs alone, each
    // keeping its number. An installed face is read where it lies, mapped
    // from its file: a large CJK face holds tens of megabytes, and copying
    // it (twice, to build a file of its tables) would hold them in memory
    // while the document ends. Only the tables listed are kept either way.
    HbPtr<hb_face_t> face;
    if (const std::optional<fonts::FaceFile> file = fonts::faceFile(f.face)) {
        const QByteArray path = QFile::encodeName(file->path);
        HbPtr<hb_blob_t> mapped(hb_blob_create_from_file_or_fail(path.constData()));
        if (mapped)
            face.reset(hb_face_create(mapped.get(), uint(file->index)));
        if (face && hb_face_get_glyph_count(face.get()) == 0)
            face.reset();
    }
    HbPtr<hb_blob_t> whole;
    if (!face) {
        HbPtr<hb_face_t> builder(hb_face_builder_create());
        for (const char *t : kTables) {
            const QByteArray table = f.face.fontTable(t);
            if (table.isEmpty())
                continue;
            HbPtr<hb_blob_t> blob(hb_blob_create(table.constData(), uint(table.size()), HB_MEMORY_MODE_DUPLICATE,
                                                 nullptr, nullptr));
            hb_face_builder_add_table(builder.get(), tagOf(t), blob.get());
        }
        whole.reset(hb_face_reference_blob(builder.get()));
        builder.reset();
        face.reset(hb_face_create(whole.get(), 0));
    }
    HbPtr<hb_subset_input_t> input(hb_subset_input_create_or_fail());
    if (!input)
        throw RpError(RpErrorKind::NotAvailable, QStringLiteral("no memory to subset the font %1").arg(f.face.familyName()));
    hb_set_t *glyphs = hb_subset_input_glyph_set(input.get());
    hb_set_add(glyphs, 0);
    for (auto it = f.text.constBegin(); it != f.text.constEnd(); ++it)
        hb_set_add(glyphs, it.key());
    hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    hb_set_t *dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    hb_set_clear(dropped);
    std::array<hb_tag_t, 64> tags{};
    for (unsigned start = 0;;) {
        unsigned count = unsigned(tags.size());
        hb_face_get_table_tags(face.get(), start, &count, tags.data());
        for (unsigned k = 0; k < count; ++k)
            if (std::none_of(std::begin(kTables), std::end(kTables), [&](const char *t) { return tagOf(t) == tags[k]; }))
                hb_set_add(dropped, tags[k]);
        if (count < tags.size())
            break;
        start += count;
    }
    HbPtr<hb_face_t> subset(hb_subset_or_fail(face.get(), input.get()));
    if (!subset)
        throw RpError(RpErrorKind::Internal, QStringLiteral("the font %1 cannot be subset").arg(f.face.familyName()));
    HbPtr<hb_blob_t> out(hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char *data = hb_blob_get_data(out.get(), &length);
    if (!data || length == 0)
        throw RpError(RpErrorKind::Internal, QStringLiteral("the font %1 cannot be subset").arg(f.face.familyName()));
    return QByteArray(data, qsizetype(length));
}

void PdfUnicodeFonts::writeObjects(PdfFile &file, int font) const
{
    const Font &f = m_fonts.at(size_t(font));
    const QByteArray program = subsetProgram(font);
    const QList<quint32> glyphs = f.text.keys();
    const QString baseFont = subsetTag(f.key, glyphs) + QLatin1Char('+') + postScriptName(f.face);
    const QByteArray name = pdfsyntax::name(baseFont);
    const int first = file.objectCount() + 1;
    auto ref = [first](int k) { return QByteArray::number(first + k) + " 0 R"; };

    // The Type0 font.
    file.beginObject();
    file.line("<<");
    file.line("/Type /Font");
    file.line("/Subtype /Type0");
    file.line("/BaseFont " + name);
    file.line("/Encoding /Identity-H");
    file.line("/DescendantFonts [" + ref(1) + "]");
    file.line("/ToUnicode " + ref(4));
    file.line(">>");
    file.endObject();

    // The CID font: glyph numbers are the CIDs; widths of the glyphs used.
    const std::optional<fonts::FaceMetrics> metrics = fonts::readFaceMetrics(f.face);
    const double scale = metrics && metrics->unitsPerEm > 0 ? 1000.0 / metrics->unitsPerEm : 1.0;
    file.beginObject();
    file.line("<<");
    file.line("/Type /Font");
    file.line(f.cff ? "/Subtype /CIDFontType0" : "/Subtype /CIDFontType2");
    file.line("/BaseFont " + name);
    file.line("/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>");
    file.line("/FontDescriptor " + ref(2));
    file.line("/DW 1000");
    QByteArray w = "/W [";
    qint64 previous = -2;
    for (quint32 g : glyphs) {
        const QList<QPointF> a = f.face.advancesForGlyphIndexes(QList<quint32>{g}, QRawFont::UseDesignMetrics);
        const QByteArray width = pdfnum::compact(a.isEmpty() ? 0 : a.first().x(), 1);
        if (qint64(g) == previous + 1) {
            w.chop(1);
            w += ' ' + width + ']';
        } else {
            w += ' ' + QByteArray::number(g) + " [" + width + ']';
        }
        previous = g;
    }
    file.line(w + " ]");
    if (!f.cff)
        file.line("/CIDToGIDMap /Identity");
    file.line(">>");
    file.endObject();

    // The descriptor.
    file.beginObject();
    file.line("<<");
    file.line("/Type /FontDescriptor");
    file.line("/FontName " + name);
    const fonts::FaceMetrics m = metrics.value_or(fonts::FaceMetrics{});
    auto scaled = [scale](double v) { return QByteArray::number(qint64(std::lround(v * scale))); };
    const bool italic = m.italicAngle != 0 || f.face.style() != QFont::StyleNormal;
    file.line("/Flags " + QByteArray::number(4 | (italic ? 64 : 0)));
    file.line("/FontBBox [" + scaled(m.xMin) + ' ' + scaled(m.yMin) + ' ' + scaled(m.xMax) + ' ' + scaled(m.yMax) + "]");
    file.line("/ItalicAngle " + pdfnum::compact(m.italicAngle, 1));
    file.line("/Ascent " + scaled(m.typoAscender));
    file.line("/Descent " + scaled(m.typoDescender));
    file.line("/CapHeight " + scaled(m.capHeight > 0 ? m.capHeight : m.typoAscender));
    file.line("/StemV 80");
    file.line((f.cff ? "/FontFile3 " : "/FontFile2 ") + ref(3));
    file.line(">>");
    file.endObject();

    // The program, deflated.
    const QByteArray packed = pdfsyntax::deflate(program);
    if (f.cff)
        file.streamObject(packed, "/Subtype /OpenType /Filter /FlateDecode");
    else
        file.streamObject(packed, "/Length1 " + QByteArray::number(program.size()) + " /Filter /FlateDecode");

    // The ToUnicode map: each glyph to the characters it was drawn for.
    QList<QPair<quint32, QString>> pairs;
    for (auto it = f.text.constBegin(); it != f.text.constEnd(); ++it)
        if (!it.value().isEmpty() && it.key() <= 0xFFFF)
            pairs.append({it.key(), it.value()});
    const QByteArray cmap = pdfsyntax::toUnicodeMap(2, pairs);
    file.streamObject(pdfsyntax::deflate(cmap), "/Filter /FlateDecode");
}
