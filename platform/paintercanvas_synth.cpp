// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Text of the painter canvas in a face the program draws itself
// (synthesizedface.h).
#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"
#include "platform/synthesizedface.h"
#include "platform/synthglyphbitmaps.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QPainter>

using namespace paintercanvas_detail;

void PainterCanvas::drawSynthesized(const fonts::ResolvedFont &font, const fonts::GlyphRun &run,
                                    const QGlyphRun &placed, const QString &text, bool glyphMode,
                                    const std::vector<qreal> &advances)
{
    const QList<QPointF> pos = placed.positions();
    const QColor ink = qcolor(m_state.textColor);
    const qreal hs = font.horizontalScale();
    const QTransform glyphs = m_painter->worldTransform();
    const fonts::SynthesizedFace &face = *font.synthesizedFace();
    QList<quint32> asText;
    QList<QPointF> asTextPos;
    bool drawnBySelf = false;
    for (qsizetype g = 0; g < run.glyphs.size(); ++g) {
        const qsizetype u = run.units[size_t(g)];
        char32_t ch = 0;
        if (!glyphMode && u < text.size()) {
            ch = text[u].unicode();
            if (text[u].isHighSurrogate() && u + 1 < text.size() && text[u + 1].isLowSurrogate())
                ch = QChar::surrogateToUcs4(text[u], text[u + 1]);
        }
        const qreal advance = u < qsizetype(advances.size()) ? advances[size_t(u)] / hs : font.emSize();
        const fonts::SynthesizedGlyph sg = face.glyph({ch, run.rawFont, run.glyphs[g], font.emSize(), font.ascent(),
                                                       font.descent(), advance, ink});
        if (sg.kind == fonts::SynthesizedGlyph::Kind::FaceGlyph) {
            asText.append(run.glyphs[g]);
            asTextPos.append(pos[g]);
            continue;
        }
        drawnBySelf = true;
        if (sg.kind == fonts::SynthesizedGlyph::Kind::Blank)
            continue;
        m_painter->setWorldTransform(QTransform::fromTranslate(pos[g].x(), pos[g].y()) * glyphs);
        if (!fonts::paintFromBitmapCache(*m_painter, sg))
            fonts::paintSynthesizedGlyph(*m_painter, sg);
    }
    m_painter->setWorldTransform(glyphs);
    if (!asText.isEmpty() && outlinesOnly(glyphs, font.emSize())) {
        // Too large for the font engine's bitmaps: filled as outlines.
        QPainterPath path;
        for (qsizetype g = 0; g < asText.size(); ++g)
            path.addPath(run.rawFont.pathForGlyph(asText[g]).translated(asTextPos[g]));
        m_painter->setWorldTransform(QTransform());
        m_painter->fillPath(mappedPath(path, glyphs), ink);
        m_painter->setWorldTransform(glyphs);
    } else if (!asText.isEmpty()) {
        QGlyphRun rest = placed;
        rest.setGlyphIndexes(asText);
        rest.setPositions(asTextPos);
        m_painter->drawGlyphRun(QPointF(0, 0), rest);
    }
    // Documents (a printer's PDF, for one) keep the text itself, unseen,
    // under the drawn shapes, so that it can be searched and copied.
    const QPaintEngine *engine = m_painter->paintEngine();
    if (engine && engine->type() != QPaintEngine::Raster && drawnBySelf) {
        m_painter->save();
        m_painter->setPen(QColor(0, 0, 0, 0));
        m_painter->drawGlyphRun(QPointF(0, 0), placed);
        m_painter->restore();
    }
}
