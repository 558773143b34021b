// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Text that code page 1252 cannot carry, and text in a face this program
// draws itself: laid out in the label's font as the recorded page lays it
// out, written through Unicode fonts; the glyphs of a synthesised face go
// in as the shapes the face draws, the text unseen beneath them.
#include "pdf/pdfdocumentfilter.h"

#include "pdf/pdfnumbers.h"
#include "pdf/pdfoperators.h"
#include "platform/fonts.h"
#include "platform/synthesizedface.h"

#include <QPainterPath>

#include <cmath>

using pdfnum::compact;
using pdfop::Op;

namespace {

struct Placed {
    quint32 glyph;
    double x; // points from the page's left edge
};

QByteArray colorOf(const QColor &c, Op op)
{
    return pdfop::line(op, {pdfnum::fixed(c.redF(), 3), pdfnum::fixed(c.greenF(), 3), pdfnum::fixed(c.blueF(), 3)});
}

QByteArray hexGlyph(quint32 g) { return QByteArray::number(g, 16).rightJustified(4, '0').toUpper(); }

// The path's outline, one operator a line, in its own units.
void pathLines(const QPainterPath &path, const std::function<void(const QByteArray &)> &out)
{
    auto n = [](double v) { return compact(v, 1); };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            out(pdfop::line(Op::MoveTo, {n(e.x), n(e.y)}));
        } else if (e.isLineTo()) {
            out(pdfop::line(Op::LineTo, {n(e.x), n(e.y)}));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            out(pdfop::line(Op::CurveTo, {n(e.x), n(e.y), n(c2.x), n(c2.y), n(end.x), n(end.y)}));
            i += 2;
        }
    }
}

Op fillOp(const QPainterPath &p) { return p.fillRule() == Qt::OddEvenFill ? Op::FillEvenOdd : Op::Fill; }

} // namespace

void RpPDFDocumentFilter::writeUnicodeText(const PDFItemRec &item)
{
    const auto font = fonts::resolve(item.logFont);
    const fonts::TextLayout layout = font->layout(item.text);
    const double sx = m_scale.sx, sy = m_scale.sy;
    const double hs = font->horizontalScale();
    // The baseline lies the font's ascent below the top of the line, as on
    // the recorded page.
    const double baseline = m_pageHeight - (item.lineTop + font->ascent() * sy);
    const double size = font->emSize() * sy;
    const fonts::SynthesizedFace *synthesized = font->synthesizedFace();
    const QColor ink(item.fillColor.red, item.fillColor.green, item.fillColor.blue);
    const QString &text = item.text;

    // Glyphs written as text: visible, or unseen under the shapes drawn for
    // them.
    auto writeGlyphs = [&](int uf, const std::vector<Placed> &glyphs, bool unseen) {
        if (glyphs.empty())
            return;
        if (unseen)
            textLine(pdfop::line(Op::TextRenderMode, {"3"}));
        textLine(pdfop::line(Op::SetFont, {"/" + PdfUnicodeFonts::resourceName(uf), compact(size, 2)}));
        textLine(pdfop::line(Op::TextMatrix, {"1", "0", "0", "1", compact(glyphs.front().x, 2), compact(baseline, 2)}));
        QByteArray shown = "[";
        for (size_t k = 0; k < glyphs.size(); ++k) {
            shown += '<' + hexGlyph(glyphs[k].glyph) + '>';
            if (k + 1 == glyphs.size())
                break;
            // Where the font's advance leaves the pen, and where the next glyph goes.
            const double pen = glyphs[k].x + m_unicodeFonts.advance(uf, glyphs[k].glyph) / 1000 * size;
            const double shift = size > 0 ? (pen - glyphs[k + 1].x) * 1000 / size : 0;
            if (std::abs(shift) >= 0.05)
                shown += ' ' + compact(shift, 1) + ' ';
        }
        shown += ']';
        textLine(pdfop::line(Op::ShowTextAdjusted, {shown}));
        if (unseen)
            textLine(pdfop::line(Op::TextRenderMode, {"0"}));
    };

    textLine(pdfop::line(Op::FillColor, {pdfnum::fixed(item.fillColor.red / 255.0, 2),
                                         pdfnum::fixed(item.fillColor.green / 255.0, 2),
                                         pdfnum::fixed(item.fillColor.blue / 255.0, 2)}));
    for (const fonts::GlyphRun &run : layout.runs) {
        const int uf = m_unicodeFonts.fontFor(run.rawFont);
        const bool renumbered = uf >= 0 && m_unicodeFonts.renumbered(uf);
        std::vector<Placed> visible, unseen;
        for (qsizetype g = 0; g < run.glyphs.size(); ++g) {
            const quint32 glyph = run.glyphs[g];
            const qsizetype u = run.units[size_t(g)];
            // The characters of the glyph: up to the next glyph's first code
            // unit, or its own character.
            qsizetype end = text.size();
            for (qsizetype k = 0; k < run.glyphs.size(); ++k)
                if (run.units[size_t(k)] > u && run.units[size_t(k)] < end)
                    end = run.units[size_t(k)];
            if (end == text.size() && u + 1 < text.size())
                end = (text[u].isHighSurrogate() && text[u + 1].isLowSurrogate()) ? u + 2 : u + 1;
            const QString cluster = u < text.size() ? text.mid(u, end - u) : QString();
            const QPointF pos = run.positions[g];
            const double x = item.xPos + pos.x() * hs * sx;

            bool asShape = false;
            if (synthesized && u < text.size()) {
                const char32_t ch = cluster.isEmpty() ? 0 : cluster.toUcs4().value(0);
                const qreal advance = u < qsizetype(layout.advances.size()) ? layout.advances[size_t(u)] / hs
                                                                             : font->emSize();
                const fonts::SynthesizedGlyph sg = synthesized->glyph(
                    {ch, run.rawFont, glyph, font->emSize(), font->ascent(), font->descent(), advance, ink});
                if (sg.kind == fonts::SynthesizedGlyph::Kind::Shapes) {
                    const QTransform toPage = sg.toLogical * QTransform::fromTranslate(pos.x(), pos.y()) *
                                              QTransform(hs * sx, 0, 0, -sy, item.xPos, baseline);
                    writeSynthesizedGlyph(sg, toPage);
                }
                asShape = sg.kind != fonts::SynthesizedGlyph::Kind::FaceGlyph;
            }
            // The glyph in the font that is written, when that is another
            // file of the face than the one that laid the text out.
            const quint32 written = uf < 0 ? 0 : renumbered ? m_unicodeFonts.glyphFor(uf, cluster) : glyph;
            if (!asShape && written == 0 && (uf < 0 || glyph != 0)) {
                // Nothing to embed draws this glyph: its outline, as the page
                // shows it.
                const QTransform toPage = QTransform::fromTranslate(pos.x(), pos.y()) *
                                          QTransform(hs * sx, 0, 0, -sy, item.xPos, baseline);
                writeGlyphOutline(run.rawFont.pathForGlyph(glyph), toPage, ink);
                continue;
            }
            if (asShape && written == 0)
                continue; // the face has nothing to stand beneath it
            m_unicodeFonts.use(uf, written, cluster);
            (asShape ? unseen : visible).push_back(Placed{written, x});
        }
        writeGlyphs(uf, visible, false);
        writeGlyphs(uf, unseen, true);
    }
}

void RpPDFDocumentFilter::writeGlyphOutline(const QPainterPath &outline, const QTransform &toPage, const QColor &ink)
{
    if (outline.isEmpty())
        return;
    graphicsLine(pdfop::line(Op::Save));
    graphicsLine(pdfop::line(Op::Transform, {compact(toPage.m11(), 6), compact(toPage.m12(), 6),
                                             compact(toPage.m21(), 6), compact(toPage.m22(), 6),
                                             compact(toPage.dx(), 3), compact(toPage.dy(), 3)}));
    page().outlines = true;
    graphicsLine(colorOf(ink, Op::FillColor));
    pathLines(outline, [this](const QByteArray &l) { graphicsLine(l); });
    graphicsLine(pdfop::line(fillOp(outline)));
    graphicsLine(pdfop::line(Op::Restore));
}

void RpPDFDocumentFilter::writeSynthesizedGlyph(const fonts::SynthesizedGlyph &glyph, const QTransform &toPage)
{
    const auto out = [this](const QByteArray &l) { graphicsLine(l); };
    page().outlines = true;
    graphicsLine(pdfop::line(Op::Save));
    graphicsLine(pdfop::line(Op::Transform, {compact(toPage.m11(), 6), compact(toPage.m12(), 6),
                                             compact(toPage.m21(), 6), compact(toPage.m22(), 6),
                                             compact(toPage.dx(), 3), compact(toPage.dy(), 3)}));
    bool roundPen = false;
    for (const fonts::GlyphShape &shape : glyph.shapes) {
        if (!shape.path || shape.path->isEmpty())
            continue;
        if (shape.penWidth <= 0) {
            graphicsLine(colorOf(shape.color, Op::FillColor));
            pathLines(*shape.path, out);
            graphicsLine(pdfop::line(fillOp(*shape.path)));
            continue;
        }
        // Stroked with a round pen: a subpath of no length is a round dot.
        if (!roundPen) {
            graphicsLine(pdfop::line(Op::LineCap, {"1"}));
            graphicsLine(pdfop::line(Op::LineJoin, {"1"}));
            roundPen = true;
        }
        graphicsLine(colorOf(shape.color, Op::StrokeColor));
        graphicsLine(pdfop::line(Op::LineWidth, {compact(shape.penWidth, 2)}));
        pathLines(*shape.path, out);
        graphicsLine(pdfop::line(Op::Stroke));
    }
    graphicsLine(pdfop::line(Op::Restore));
}
