// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Text that code page 1252 cannot carry, and text in a face this program
// draws itself: laid out in the label's font as the recorded page lays it
// out, written through Unicode fonts; the glyphs of a synthesised face are
// shown in the document's fonts of the shapes the face draws.
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

QByteArray hexGlyph(quint32 g) { return QByteArray::number(g, 16).rightJustified(4, '0').toUpper(); }

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

    // Glyphs written as text in a Unicode font.
    auto writeGlyphs = [&](int uf, const std::vector<Placed> &glyphs) {
        if (glyphs.empty())
            return;
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
    };

    textLine(pdfop::line(Op::FillColor, {pdfnum::fixed(item.fillColor.red / 255.0, 2),
                                         pdfnum::fixed(item.fillColor.green / 255.0, 2),
                                         pdfnum::fixed(item.fillColor.blue / 255.0, 2)}));
    for (const fonts::GlyphRun &run : layout.runs) {
        const int uf = m_unicodeFonts.fontFor(run.rawFont);
        const bool renumbered = uf >= 0 && m_unicodeFonts.renumbered(uf);
        std::vector<Placed> visible;
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

            if (synthesized && u < text.size()) {
                const char32_t ch = cluster.isEmpty() ? 0 : cluster.toUcs4().value(0);
                const qreal advance = u < qsizetype(layout.advances.size()) ? layout.advances[size_t(u)] / hs
                                                                             : font->emSize();
                const fonts::SynthesizedGlyph sg = synthesized->glyph(
                    {ch, run.rawFont, glyph, font->emSize(), font->ascent(), font->descent(), advance, ink});
                if (sg.kind == fonts::SynthesizedGlyph::Kind::Shapes) {
                    const QTransform penToPage = QTransform::fromTranslate(pos.x(), pos.y()) *
                                                 QTransform(hs * sx, 0, 0, -sy, item.xPos, baseline);
                    for (const QByteArray &l : m_synthFonts.show(sg, cluster, font->emSize(), advance, penToPage))
                        textLine(l);
                    page().outlines = true;
                    continue;
                }
                if (sg.kind == fonts::SynthesizedGlyph::Kind::Blank)
                    continue; // no face has the character: the cell stays empty
            }
            // The glyph in the font that is written, when that is another
            // file of the face than the one that laid the text out.
            const quint32 written = uf < 0 ? 0 : renumbered ? m_unicodeFonts.glyphFor(uf, cluster) : glyph;
            if (written == 0 && (uf < 0 || glyph != 0)) {
                // Nothing to embed draws this glyph: its outline, as the page
                // shows it.
                const QTransform toPage = QTransform::fromTranslate(pos.x(), pos.y()) *
                                          QTransform(hs * sx, 0, 0, -sy, item.xPos, baseline);
                writeGlyphOutline(run.rawFont.pathForGlyph(glyph), toPage, ink);
                continue;
            }
            m_unicodeFonts.use(uf, written, cluster);
            visible.push_back(Placed{written, x});
        }
        writeGlyphs(uf, visible);
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
    graphicsLine(pdfop::line(Op::FillColor, {pdfnum::fixed(ink.redF(), 3), pdfnum::fixed(ink.greenF(), 3),
                                             pdfnum::fixed(ink.blueF(), 3)}));
    pdfop::pathLines(outline, 1, [this](const QByteArray &l) { graphicsLine(l); });
    graphicsLine(pdfop::line(pdfop::fillOf(outline)));
    graphicsLine(pdfop::line(Op::Restore));
}
