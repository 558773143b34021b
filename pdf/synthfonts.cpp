// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/synthfonts.h"

#include "pdf/pdffile.h"
#include "pdf/pdfnumbers.h"
#include "pdf/pdfoperators.h"
#include "pdf/pdfsyntax.h"
#include "platform/synthesizedface.h"

#include <QPainterPath>

#include <cmath>

using pdfnum::compact;
using pdfop::Op;

namespace {

QByteArray colorOf(const QColor &c, Op op)
{
    return pdfop::line(op, {pdfnum::fixed(c.redF(), 3), pdfnum::fixed(c.greenF(), 3), pdfnum::fixed(c.blueF(), 3)});
}

QByteArray matrixLine(Op op, const QTransform &m, int scaleDecimals, int moveDecimals)
{
    return pdfop::line(op, {compact(m.m11(), scaleDecimals), compact(m.m12(), scaleDecimals),
                            compact(m.m21(), scaleDecimals), compact(m.m22(), scaleDecimals),
                            compact(m.dx(), moveDecimals), compact(m.dy(), moveDecimals)});
}

// Outlines flattened into many short lines keep the points that hold them
// within half a unit of the shapes.
constexpr double kFlatness = 0.5;

// Decimals enough for the shapes' units: whole units when the em has
// hundreds of them, finer than any device shows a cell.
int decimalsFor(const fonts::SynthesizedGlyph &glyph) { return glyph.unitsPerEm >= 500 ? 0 : 2; }

// The operators that paint the glyph's shapes in its own units, as
// fonts::paintSynthesizedGlyph paints them.
QByteArray shapeOperators(const fonts::SynthesizedGlyph &glyph)
{
    QByteArray out;
    const auto add = [&out](const QByteArray &l) {
        out += l;
        out += '\n';
    };
    const int decimals = decimalsFor(glyph);
    bool roundPen = false;
    for (const fonts::GlyphShape &shape : glyph.shapes) {
        if (!shape.path || shape.path->isEmpty())
            continue;
        if (shape.penWidth <= 0) {
            add(colorOf(shape.color, Op::FillColor));
            pdfop::pathLines(*shape.path, decimals, add, kFlatness);
            add(pdfop::line(pdfop::fillOf(*shape.path)));
            continue;
        }
        // Stroked with a round pen: a subpath of no length is a round dot.
        if (!roundPen) {
            add(pdfop::line(Op::LineCap, {"1"}));
            add(pdfop::line(Op::LineJoin, {"1"}));
            roundPen = true;
        }
        add(colorOf(shape.color, Op::StrokeColor));
        add(pdfop::line(Op::LineWidth, {compact(shape.penWidth, 2)}));
        pdfop::pathLines(*shape.path, decimals, add);
        add(pdfop::line(Op::Stroke));
    }
    return out;
}

// What tells two glyphs of the same shapes apart: their colours and pens.
QByteArray paintKey(const fonts::SynthesizedGlyph &glyph)
{
    QByteArray out;
    for (const fonts::GlyphShape &shape : glyph.shapes) {
        const QRgb rgb = shape.color.rgba();
        out.append(reinterpret_cast<const char *>(&rgb), sizeof rgb);
        out.append(reinterpret_cast<const char *>(&shape.penWidth), sizeof shape.penWidth);
    }
    return out;
}

} // namespace

QByteArray PdfSynthFonts::resourceName(int font) { return "S" + pdfnum::zeroPadded(font, 2); }

PdfSynthFonts::Font &PdfSynthFonts::openFont()
{
    if (m_open && int(m_open->glyphs.size()) >= kGlyphsPerFont) {
        m_full.push_back(std::move(*m_open));
        m_open.reset();
    }
    if (!m_open) {
        m_open = std::make_unique<Font>();
        m_open->index = m_fonts++;
    }
    return *m_open;
}

QList<QByteArray> PdfSynthFonts::show(const fonts::SynthesizedGlyph &glyph, QStringView text, qreal em,
                                      qreal advance, const QTransform &penToPage)
{
    if (glyph.kind != fonts::SynthesizedGlyph::Kind::Shapes || glyph.shapes.empty() || !(em > 0))
        return {};
    // Shapes without an identity are a glyph of their own each time.
    const std::shared_ptr<const void> shape = glyph.identity ? glyph.identity : glyph.shapes.front().path;

    // Glyph space: thousandths of the em, y up, the pen position at the origin.
    const QTransform toGlyph = glyph.toLogical * QTransform::fromScale(1000 / em, -1000 / em);
    const QByteArray place = matrixLine(Op::Transform, toGlyph, 6, 1);
    // A shape of the faces stays the same shape while it lives; one that is
    // gone may leave its address to another.
    Shape &seen = m_shapes[shape.get()];
    if (seen.alive.expired()) {
        seen.alive = shape;
        seen.generation = ++m_generation;
    }
    const quintptr address = quintptr(shape.get());
    QByteArray key(reinterpret_cast<const char *>(&address), sizeof address);
    key.append(reinterpret_cast<const char *>(&seen.generation), sizeof seen.generation);
    key += place;
    key += paintKey(glyph);

    auto it = m_slots.constFind(key);
    if (it == m_slots.constEnd()) {
        Font &font = openFont();
        Glyph g;
        g.width = advance / em * 1000;
        g.text = text.toString();
        const QByteArray procedure = pdfop::line(Op::GlyphWidth, {compact(g.width, 1), "0"}) + '\n' +
                                     pdfop::line(Op::Save) + '\n' + place + '\n' + shapeOperators(glyph) +
                                     pdfop::line(Op::Restore) + '\n';
        g.procedure = pdfsyntax::deflate(procedure);
        font.box |= toGlyph.mapRect(fonts::synthesizedGlyphBounds(glyph));
        font.glyphs.push_back(std::move(g));
        ++m_glyphCount;
        it = m_slots.insert(key, Slot{font.index, int(font.glyphs.size())});
    }
    // Text space in ems, y up: the glyph's em square on the page.
    const QTransform textToPage = QTransform::fromScale(em, -em) * penToPage;
    return {pdfop::line(Op::SetFont, {"/" + resourceName(it->font), "1"}),
            matrixLine(Op::TextMatrix, textToPage, 4, 2),
            pdfop::line(Op::ShowText, {'<' + QByteArray::number(it->code, 16).rightJustified(2, '0').toUpper() + '>'})};
}

void PdfSynthFonts::writeProcedures(PdfFile &file, Font &font)
{
    for (size_t k = size_t(font.written); k < font.glyphs.size(); ++k) {
        Glyph &g = font.glyphs[k];
        g.object = file.streamObject(g.procedure, "/Filter /FlateDecode");
        g.procedure = QByteArray();
    }
    font.written = int(font.glyphs.size());
}

void PdfSynthFonts::writeFont(PdfFile &file, Font &font)
{
    const int n = file.beginObject();
    const int glyphs = int(font.glyphs.size());
    auto whole = [](double v, bool up) { return QByteArray::number(qint64(up ? std::ceil(v) : std::floor(v))); };
    file.line("<<");
    file.line("/Type /Font");
    file.line("/Subtype /Type3");
    file.line("/FontBBox [" + whole(font.box.left(), false) + ' ' + whole(font.box.top(), false) + ' ' +
              whole(font.box.right(), true) + ' ' + whole(font.box.bottom(), true) + "]");
    file.line("/FontMatrix [0.001 0 0 0.001 0 0]");
    QByteArray procs = "/CharProcs <<", names = "/Differences [1", widths = "/Widths [";
    for (int k = 0; k < glyphs; ++k) {
        const QByteArray name = "/g" + QByteArray::number(k + 1);
        procs += ' ' + name + ' ' + QByteArray::number(font.glyphs[size_t(k)].object) + " 0 R";
        names += ' ' + name;
        widths += (k ? " " : "") + compact(font.glyphs[size_t(k)].width, 1);
    }
    file.line(procs + " >>");
    file.line("/Encoding << /Type /Encoding " + names + "] >>");
    file.line("/FirstChar 1");
    file.line("/LastChar " + QByteArray::number(glyphs));
    file.line(widths + "]");
    file.line("/Resources << >>");
    file.line("/ToUnicode " + QByteArray::number(n + 1) + " 0 R");
    file.line(">>");
    file.endObject();
    QList<QPair<quint32, QString>> codes;
    for (int k = 0; k < glyphs; ++k)
        if (!font.glyphs[size_t(k)].text.isEmpty())
            codes.append({quint32(k + 1), font.glyphs[size_t(k)].text});
    file.streamObject(pdfsyntax::deflate(pdfsyntax::toUnicodeMap(1, codes)), "/Filter /FlateDecode");
    m_written.push_back(Resource{resourceName(font.index), n});
}

void PdfSynthFonts::writePending(PdfFile &file)
{
    for (Font &f : m_full) {
        writeProcedures(file, f);
        writeFont(file, f);
    }
    m_full.clear();
    if (m_open)
        writeProcedures(file, *m_open);
}

void PdfSynthFonts::writeRest(PdfFile &file)
{
    writePending(file);
    if (m_open && !m_open->glyphs.empty())
        writeFont(file, *m_open);
    m_open.reset();
}
