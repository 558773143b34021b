// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Text of the painter canvas.
#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace paintercanvas_detail;

// --- text --------------------------------------------------------------------

const fonts::ResolvedFont &PainterCanvas::resolvedFont()
{
    if (!m_font || !(m_font->logFont() == m_state.font))
        m_font = fonts::resolve(m_state.font);
    return *m_font;
}

gdi::Size PainterCanvas::textExtent(const QString &text)
{
    const fonts::ResolvedFont &f = resolvedFont();
    return {roundi(f.advanceWidth(text)), f.textMetric().height};
}

gdi::TextMetric PainterCanvas::textMetrics() { return resolvedFont().textMetric(); }

void PainterCanvas::extTextOut(qint32 x, qint32 y, quint32 options, const gdi::Rect *rect, const QString &text,
                               const std::vector<qint32> *dx)
{
    if (!active())
        return;
    const fonts::ResolvedFont &font = resolvedFont();
    const quint32 align = m_state.textAlign;
    const bool rtl = (align & gdi::TA_RTLREADING) || (options & gdi::ETO_RTLREADING);
    const bool updateCp = align & gdi::TA_UPDATECP;
    if (updateCp) {
        x = m_state.position.x;
        y = m_state.position.y;
    }

    // The opaque box is drawn before the text and is not clipped by it.
    if (rect && (options & gdi::ETO_OPAQUE))
        fillRect(*rect, gdi::LogBrush{gdi::BS_SOLID, m_state.bkColor, 0});

    const bool glyphMode = options & gdi::ETO_GLYPH_INDEX;
    const fonts::TextLayout layout = glyphMode ? font.layoutGlyphs(text, rtl) : font.layout(text, rtl);
    qsizetype n = text.size();
    // Character cells: x offset of each code unit from the start of the text.
    std::vector<qreal> cellX(size_t(n) + 1, 0.0);
    qreal width = layout.width;
    if (dx && !dx->empty()) {
        qreal acc = 0;
        for (qsizetype i = 0; i < n; ++i) {
            cellX[size_t(i)] = acc;
            acc += i < qsizetype(dx->size()) ? (*dx)[size_t(i)] : layout.advances[size_t(i)];
        }
        cellX[size_t(n)] = acc;
        width = acc;
    }

    qreal startX = 0;
    switch (align & gdi::TA_HORZ_MASK) {
    case gdi::TA_RIGHT:
        startX = -width;
        break;
    case gdi::TA_CENTER:
        startX = -width / 2;
        break;
    default:
        break;
    }
    qreal baseline = 0;
    switch (align & gdi::TA_VERT_MASK) {
    case gdi::TA_BASELINE:
        break;
    case gdi::TA_BOTTOM:
        baseline = -font.descent();
        break;
    default: // TA_TOP: the top of the character cell at y
        baseline = font.ascent();
        break;
    }

    QTransform textT;
    textT.translate(x, y);
    if (font.logFont().escapement != 0)
        textT.rotate(-font.logFont().escapement / 10.0);
    const QTransform full = textT * fullTransform();
    // Text whose origin is beyond any device (damaged input) is not drawn.
    const QPointF origin = full.map(QPointF(0, 0));
    const bool onDevice = std::abs(origin.x()) < kDeviceLimit && std::abs(origin.y()) < kDeviceLimit;

    const bool clipped = rect && (options & gdi::ETO_CLIPPED);
    if (clipped) {
        m_painter->save();
        m_painter->setWorldTransform(QTransform());
        const QRegion r = deviceRegion(*rect);
        m_painter->setClipRegion(r, m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }

    m_painter->setWorldTransform(full);
    if (!onDevice)
        n = 0;
    if (m_state.bkMode == gdi::OPAQUE && n > 0)
        m_painter->fillRect(QRectF(startX, baseline - font.ascent(), width, font.ascent() + font.descent()),
                            qcolor(m_state.bkColor));

    const qreal hs = font.horizontalScale();
    QTransform glyphT = QTransform::fromTranslate(startX, baseline);
    glyphT.scale(hs, 1);
    m_painter->setWorldTransform(glyphT * full);
    m_painter->setPen(qcolor(m_state.textColor));
    // Glyphs larger than a page, or squashed flat in one direction, are
    // filled as outlines: the font engine fails to make bitmaps of them
    // (damaged input).
    const QTransform gt = glyphT * full;
    const bool outlines = outlinesOnly(gt, font.emSize());
    for (const fonts::GlyphRun &run : onDevice ? layout.runs : std::vector<fonts::GlyphRun>{}) {
        QList<QPointF> pos = run.positions;
        if (dx && !dx->empty()) {
            for (qsizetype g = 0; g < pos.size(); ++g) {
                const size_t u = size_t(run.units[size_t(g)]);
                const size_t len = (!glyphMode && u + 1 < size_t(n) && text[qsizetype(u)].isHighSurrogate() &&
                                    text[qsizetype(u) + 1].isLowSurrogate())
                                       ? 2
                                       : 1;
                const qreal cx = rtl ? width - cellX[u + len] : cellX[u];
                pos[g].setX(cx / hs);
            }
        }
        // Synthesised faces draw their own shapes at any size (a printer's
        // resolution puts a large cell's glyph beyond the bitmap limit).
        if (outlines && !font.synthesizedFace()) {
            QPainterPath path;
            for (qsizetype g = 0; g < run.glyphs.size() && g < pos.size(); ++g)
                path.addPath(run.rawFont.pathForGlyph(run.glyphs[g]).translated(pos[g]));
            m_painter->setWorldTransform(QTransform());
            m_painter->fillPath(mappedPath(path, gt), qcolor(m_state.textColor));
            m_painter->setWorldTransform(gt);
            continue;
        }
        QGlyphRun gr;
        gr.setRawFont(run.rawFont);
        gr.setGlyphIndexes(run.glyphs);
        gr.setPositions(pos);
        if (font.synthesizedFace())
            drawSynthesized(font, run, gr, text, glyphMode, layout.advances);
        else
            m_painter->drawGlyphRun(QPointF(0, 0), gr);
    }

    if ((font.logFont().underline || font.logFont().strikeOut) && n > 0) {
        m_painter->setWorldTransform(full);
        const qreal minThick = 1.0 / std::max<qreal>(deviceScale(), 1e-6);
        const qreal thick = std::max(font.lineThickness(), minThick);
        const QColor c = qcolor(m_state.textColor);
        if (font.logFont().underline)
            m_painter->fillRect(QRectF(startX, baseline + font.underlineOffset() - thick / 2, width, thick), c);
        if (font.logFont().strikeOut)
            m_painter->fillRect(QRectF(startX, baseline + font.strikeOutOffset() - thick / 2, width, thick), c);
    }

    if (clipped)
        m_painter->restore();

    if (updateCp)
        advanceTextPosition(x, y, width, font.logFont().escapement);
}
