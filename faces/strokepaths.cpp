// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokepaths.h"

#include <QPolygonF>

#include <algorithm>

namespace faces {

namespace {

qreal signedArea(const QPolygonF &poly)
{
    qreal a = 0;
    for (qsizetype i = 0; i < poly.size(); ++i) {
        const QPointF &p = poly[i], &q = poly[(i + 1) % poly.size()];
        a += p.x() * q.y() - q.x() * p.y();
    }
    return a / 2;
}

} // namespace

QPainterPath outlinePath(const strokes::Outline &o)
{
    QPainterPath path;
    size_t k = 0;
    const auto &pts = o.points;
    for (strokes::Op op : o.ops) {
        switch (op) {
        case strokes::Op::Move:
            path.moveTo(toSquare(pts[k]));
            break;
        case strokes::Op::Line:
            path.lineTo(toSquare(pts[k]));
            break;
        case strokes::Op::Quad:
            path.quadTo(toSquare(pts[k]), toSquare(pts[k + 1]));
            break;
        case strokes::Op::Cubic:
            path.cubicTo(toSquare(pts[k]), toSquare(pts[k + 1]), toSquare(pts[k + 2]));
            break;
        case strokes::Op::Close:
            path.closeSubpath();
            break;
        }
        k += size_t(strokes::pointsOf(op));
    }
    return path;
}

QPainterPath inkOf(const strokes::CharStrokes &c)
{
    QPainterPath ink;
    ink.setFillRule(Qt::WindingFill);
    for (const strokes::Stroke &s : c.strokes) {
        const QPainterPath p = outlinePath(s.outline);
        for (const QPolygonF &poly : p.toSubpathPolygons()) {
            QPolygonF ring = poly;
            if (signedArea(ring) < 0)
                std::reverse(ring.begin(), ring.end());
            ink.addPolygon(ring);
            ink.closeSubpath();
        }
    }
    return ink;
}

} // namespace faces
