#include "platform/emf/emfplayer.h"

#include "platform/canvas.h"
#include "platform/emf/emfcodec.h"
#include "platform/emf/emfdib.h"
#include "platform/fonts.h"
#include "platform/metafile.h"
#include "platform/rperror.h"

#include <QPainterPath>
#include <QStringDecoder>
#include <QtEndian>
#include <cmath>
#include <map>

namespace emf {

namespace {

enum : quint32 {
    MM_TEXT = 1,
    MM_LOMETRIC = 2,
    MM_HIMETRIC = 3,
    MM_LOENGLISH = 4,
    MM_HIENGLISH = 5,
    MM_TWIPS = 6,
    MM_ISOTROPIC = 7,
    MM_ANISOTROPIC = 8,
};
enum : quint32 { ALTERNATE = 1, WINDING = 2 };
enum : quint32 { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum : quint32 { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum : quint32 { PATCOPY = 0x00F00021, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062 };
enum : quint32 { STOCK = 0x80000000 };

using Poly = std::vector<gdi::Point>;

gdi::Rect normalized(const gdi::Rect &r)
{
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

bool finiteXForm(const XForm &x)
{
    for (float f : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy})
        if (!std::isfinite(f) || std::fabs(f) > 1e9f)
            return false;
    return true;
}

QTransform toQt(const XForm &x) { return QTransform(x.m11, x.m12, x.m21, x.m22, x.dx, x.dy); }

gdi::Point roundPoint(const QPointF &p)
{
    auto clamp = [](double v) { return qint32(std::clamp(std::round(v), -2147483647.0, 2147483647.0)); };
    return {clamp(p.x()), clamp(p.y())};
}

// An object of the metafile's handle table.
struct Object {
    enum Kind { None, Pen, Brush, Font } kind = None;
    gdi::LogPen pen;
    gdi::LogBrush brush;
    gdi::LogFont font;
};

// The brush a pattern bitmap stands for: its average colour.
gdi::LogBrush averageBrush(const Dib &dib)
{
    const QImage img = dibToImage(dib.bmi, dib.bits);
    if (img.isNull())
        return {gdi::BS_SOLID, gdi::rgb(128, 128, 128), 0};
    const QImage small = img.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QRgb c = small.pixel(0, 0);
    return {gdi::BS_SOLID, gdi::rgb(qRed(c), qGreen(c), qBlue(c)), 0};
}

class Player {
public:
    Player(const Metafile &mf, Canvas &canvas, const gdi::Rect &dest)
        : m_mf(mf), m_canvas(canvas), m_base(frameToDest(mf, dest) * canvas.transform())
    {
        m_objects.resize(std::max<size_t>(mf.handleCount(), 1));
    }

    void run()
    {
        m_baseDepth = m_canvas.saveDC();
        try {
            resetDc();
            RecordScanner scanner(QByteArrayView(m_mf.bytes()));
            RecordRef ref;
            while (!m_done && scanner.next(ref)) {
                m_ref = &ref;
                const Record rec = decode(ref);
                std::visit(*this, rec);
            }
        } catch (...) {
            m_canvas.restoreDC(m_baseDepth);
            throw;
        }
        m_canvas.restoreDC(m_baseDepth);
    }

    // --- header, end, comments and settings without effect here -------------
    void operator()(const EmrHeader &) {}
    void operator()(const EmrEof &) { m_done = true; }
    void operator()(const EmrGdiComment &) {} // EMF+ and private data: the EMF records draw
    void operator()(const Unknown &) {}

    template <quint32 N>
    void operator()(const Empty<N> &)
    {
        if constexpr (N == T_SAVEDC) {
            m_canvas.saveDC();
            m_saved.push_back(m_dc);
        } else if constexpr (N == T_BEGINPATH) {
            m_path = QPainterPath();
            m_path.moveTo(QPointF(m_canvas.currentPosition().x, m_canvas.currentPosition().y));
            m_inPath = true;
        } else if constexpr (N == T_ENDPATH) {
            m_inPath = false;
        } else if constexpr (N == T_CLOSEFIGURE) {
            if (m_inPath)
                m_path.closeSubpath();
        } else if constexpr (N == T_ABORTPATH) {
            m_inPath = false;
            m_path = QPainterPath();
        } else if constexpr (N == T_SETMETARGN || N == T_REALIZEPALETTE || N == T_FLATTENPATH ||
                             N == T_WIDENPATH) {
            // no effect on this canvas
        } else {
            static_assert(N == 0, "record without fields not handled");
        }
    }

    template <quint32 N>
    void operator()(const U32<N> &r)
    {
        const quint32 v = r.value;
        if constexpr (N == T_SETMAPMODE) {
            if (v >= MM_TEXT && v <= MM_ANISOTROPIC) {
                m_dc.mapMode = v;
                m_dirty = true;
            }
        } else if constexpr (N == T_SETBKMODE) {
            m_canvas.setBkMode(qint32(v));
        } else if constexpr (N == T_SETPOLYFILLMODE) {
            m_dc.fillMode = v;
        } else if constexpr (N == T_SETSTRETCHBLTMODE) {
            m_canvas.setStretchBltMode(qint32(v));
        } else if constexpr (N == T_SETTEXTALIGN) {
            m_canvas.setTextAlign(v);
        } else if constexpr (N == T_SETTEXTCOLOR) {
            m_canvas.setTextColor(v & 0xffffff);
        } else if constexpr (N == T_SETBKCOLOR) {
            m_canvas.setBkColor(v & 0xffffff);
        } else if constexpr (N == T_SELECTOBJECT) {
            selectObject(v);
        } else if constexpr (N == T_DELETEOBJECT) {
            if (v < m_objects.size())
                m_objects[v] = Object{};
        } else if constexpr (N == T_SETARCDIRECTION) {
            m_dc.arcDirection = v;
        } else if constexpr (N == T_SELECTCLIPPATH) {
            clipToPath(v);
        } else if constexpr (N == T_SETMAPPERFLAGS || N == T_SETROP2 || N == T_SELECTPALETTE ||
                             N == T_SETMITERLIMIT || N == T_SETICMMODE || N == T_SETLAYOUT) {
            // no effect on this canvas
        } else {
            static_assert(N == 0, "record with one value not handled");
        }
    }

    void operator()(const I32<T_RESTOREDC> &r) { restoreDc(r.value); }

    template <quint32 N>
    void operator()(const PointRec<N> &r)
    {
        if constexpr (N == T_SETWINDOWORGEX) {
            m_dc.winOrg = r.pt;
            m_dirty = true;
        } else if constexpr (N == T_SETVIEWPORTORGEX) {
            m_dc.vpOrg = r.pt;
            m_dirty = true;
        } else if constexpr (N == T_MOVETOEX) {
            m_canvas.moveTo(r.pt.x, r.pt.y);
            if (m_inPath)
                m_path.moveTo(r.pt.x, r.pt.y);
        } else if constexpr (N == T_LINETO) {
            if (m_inPath) {
                m_path.lineTo(r.pt.x, r.pt.y);
                m_canvas.moveTo(r.pt.x, r.pt.y);
            } else {
                sync();
                m_canvas.lineTo(r.pt.x, r.pt.y);
            }
        } else if constexpr (N == T_SETBRUSHORGEX || N == T_OFFSETCLIPRGN) {
            // no effect on this canvas
        } else {
            static_assert(N == 0, "point record not handled");
        }
    }

    template <quint32 N>
    void operator()(const SizeRec<N> &r)
    {
        if constexpr (N == T_SETWINDOWEXTEX) {
            if (r.size.cx != 0 && r.size.cy != 0)
                m_dc.winExt = r.size;
        } else if constexpr (N == T_SETVIEWPORTEXTEX) {
            if (r.size.cx != 0 && r.size.cy != 0)
                m_dc.vpExt = r.size;
        } else {
            static_assert(N == 0, "size record not handled");
        }
        m_dirty = true;
    }

    template <quint32 N>
    void operator()(const ScaleExtRec<N> &r)
    {
        if (r.xDenom == 0 || r.yDenom == 0 || r.xNum == 0 || r.yNum == 0)
            return;
        gdi::Size &e = N == T_SCALEVIEWPORTEXTEX ? m_dc.vpExt : m_dc.winExt;
        const qint64 cx = qint64(e.cx) * r.xNum / r.xDenom, cy = qint64(e.cy) * r.yNum / r.yDenom;
        if (cx != 0 && cy != 0 && std::abs(cx) < (qint64(1) << 31) && std::abs(cy) < (qint64(1) << 31))
            e = {qint32(cx), qint32(cy)};
        m_dirty = true;
    }

    void operator()(const EmrSetWorldTransform &r)
    {
        if (finiteXForm(r.xform)) {
            m_dc.world = toQt(r.xform);
            m_dirty = true;
        }
    }

    void operator()(const EmrModifyWorldTransform &r)
    {
        if (r.mode == MWT_IDENTITY) {
            m_dc.world = QTransform();
        } else if (finiteXForm(r.xform)) {
            const QTransform x = toQt(r.xform);
            if (r.mode == MWT_LEFTMULTIPLY)
                m_dc.world = x * m_dc.world;
            else if (r.mode == MWT_RIGHTMULTIPLY)
                m_dc.world = m_dc.world * x;
            else if (r.mode == MWT_SET)
                m_dc.world = x;
        }
        m_dirty = true;
    }

    // --- objects ---------------------------------------------------------------
    void operator()(const EmrCreatePen &r)
    {
        Object o;
        o.kind = Object::Pen;
        o.pen = cleanPen({r.style, r.width.x, r.color & 0xffffff});
        store(r.index, o);
    }
    void operator()(const EmrExtCreatePen &r)
    {
        Object o;
        o.kind = Object::Pen;
        o.pen = cleanPen({r.brushStyle == gdi::BS_NULL ? quint32(gdi::PS_NULL) : r.style, qint32(std::min<quint32>(r.width, 1u << 24)),
                          r.color & 0xffffff});
        store(r.index, o);
    }
    void operator()(const EmrCreateBrushIndirect &r)
    {
        Object o;
        o.kind = Object::Brush;
        o.brush = {r.style, r.color & 0xffffff, r.hatch};
        if (o.brush.style != gdi::BS_SOLID && o.brush.style != gdi::BS_NULL && o.brush.style != gdi::BS_HATCHED)
            o.brush.style = gdi::BS_SOLID;
        if (o.brush.style == gdi::BS_HATCHED && o.brush.hatch > gdi::HS_DIAGCROSS)
            o.brush.hatch = gdi::HS_CROSS;
        store(r.index, o);
    }
    template <quint32 N>
    void operator()(const PatternBrushRec<N> &r)
    {
        Object o;
        o.kind = Object::Brush;
        o.brush = averageBrush(r.dib);
        store(r.index, o);
    }
    void operator()(const EmrExtCreateFontIndirectW &r)
    {
        Object o;
        o.kind = Object::Font;
        o.font = r.font.font;
        // Heights beyond any page are not drawable; keep them within reason.
        o.font.height = std::clamp(o.font.height, -100000, 100000);
        o.font.width = std::clamp(o.font.width, -100000, 100000);
        store(r.index, o);
    }

    // --- figures ----------------------------------------------------------------
    template <quint32 N, bool S>
    void operator()(const PolyRec<N, S> &r)
    {
        const Poly &pts = r.points.pts;
        if (pts.empty())
            return;
        constexpr quint32 base = S ? N - 83 : N; // the 32-bit type of the 16-bit forms
        if constexpr (base == T_POLYLINE) {
            if (m_inPath) {
                addToPath(pts, false, true);
            } else if (pts.size() >= 2) {
                sync();
                m_canvas.polyline(pts);
            }
        } else if constexpr (base == T_POLYGON) {
            if (m_inPath) {
                addToPath(pts, true, true);
            } else if (pts.size() >= 2) {
                drawPolys({pts}, true, true);
            }
        } else if constexpr (base == T_POLYLINETO) {
            if (m_inPath) {
                addToPath(pts, false, false);
            } else {
                Poly all;
                all.reserve(pts.size() + 1);
                all.push_back(m_canvas.currentPosition());
                all.insert(all.end(), pts.begin(), pts.end());
                sync();
                m_canvas.polyline(all);
            }
            m_canvas.moveTo(pts.back().x, pts.back().y);
        } else if constexpr (base == T_POLYBEZIER || base == T_POLYBEZIERTO) {
            constexpr bool to = base == T_POLYBEZIERTO;
            QPainterPath p;
            const gdi::Point start = to ? m_canvas.currentPosition() : pts[0];
            p.moveTo(start.x, start.y);
            for (size_t i = to ? 0 : 1; i + 2 < pts.size(); i += 3)
                p.cubicTo(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
            if (m_inPath) {
                if (!to)
                    m_path.moveTo(start.x, start.y);
                for (size_t i = to ? 0 : 1; i + 2 < pts.size(); i += 3)
                    m_path.cubicTo(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
            } else {
                sync();
                for (const QPolygonF &poly : p.toSubpathPolygons())
                    m_canvas.polyline(toPoints(poly));
            }
            if constexpr (to)
                m_canvas.moveTo(pts.back().x, pts.back().y);
        } else {
            static_assert(N == 0, "point-list record not handled");
        }
    }

    template <quint32 N, bool S>
    void operator()(const PolyPolyRec<N, S> &r)
    {
        constexpr quint32 base = S ? N - 83 : N;
        if constexpr (base == T_POLYPOLYLINE) {
            for (const Poly &pts : r.points.polys) {
                if (m_inPath) {
                    addToPath(pts, false, true);
                } else if (pts.size() >= 2) {
                    sync();
                    m_canvas.polyline(pts);
                }
            }
        } else if constexpr (base == T_POLYPOLYGON) {
            if (m_inPath) {
                for (const Poly &pts : r.points.polys)
                    addToPath(pts, true, true);
            } else {
                drawPolys(r.points.polys, true, true);
            }
        } else {
            static_assert(N == 0, "poly-polygon record not handled");
        }
    }

    template <quint32 N>
    void operator()(const RectRec<N> &r)
    {
        const gdi::Rect box = normalized(r.rect);
        if constexpr (N == T_RECTANGLE) {
            if (m_inPath) {
                m_path.addRect(box.left, box.top, box.width(), box.height());
            } else {
                sync();
                m_canvas.rectangle(box);
            }
        } else if constexpr (N == T_ELLIPSE) {
            if (m_inPath) {
                m_path.addEllipse(box.left, box.top, box.width(), box.height());
            } else {
                sync();
                m_canvas.ellipse(box);
            }
        } else if constexpr (N == T_INTERSECTCLIPRECT) {
            sync();
            m_canvas.intersectClipRect(box);
        } else if constexpr (N == T_EXCLUDECLIPRECT) {
            // The canvas clips to rectangles only; an excluded hole is not kept.
        } else if constexpr (N == T_FILLPATH || N == T_STROKEPATH || N == T_STROKEANDFILLPATH) {
            drawPath(N != T_STROKEPATH, N != T_FILLPATH);
        } else {
            static_assert(N == 0, "rectangle record not handled");
        }
    }

    void operator()(const EmrRoundRect &r)
    {
        const gdi::Rect box = normalized(r.box);
        if (m_inPath) {
            m_path.addRoundedRect(box.left, box.top, box.width(), box.height(), r.corner.cx / 2.0,
                                  r.corner.cy / 2.0);
        } else {
            sync();
            m_canvas.roundRect(box, r.corner.cx, r.corner.cy);
        }
    }

    template <quint32 N>
    void operator()(const ArcRec<N> &r)
    {
        const gdi::Rect box = normalized(r.box);
        const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
        const double a = box.width() / 2.0, b = box.height() / 2.0;
        if (a <= 0 || b <= 0)
            return;
        // Parametric angles of the radials through the start and end points.
        auto angle = [&](const gdi::Point &p) {
            return std::atan2(-(p.y - cy) / b, (p.x - cx) / a) * 180.0 / M_PI;
        };
        const double start = angle(r.start), end = angle(r.end);
        double sweep = end - start;
        if (m_dc.arcDirection == AD_CLOCKWISE) {
            while (sweep >= 0)
                sweep -= 360;
        } else {
            while (sweep <= 0)
                sweep += 360;
        }
        const QRectF rf(box.left, box.top, box.width(), box.height());
        QPainterPath p;
        if constexpr (N == T_PIE) {
            p.moveTo(cx, cy);
            p.arcTo(rf, start, sweep);
            p.closeSubpath();
        } else if constexpr (N == T_ARCTO) {
            const gdi::Point cur = m_canvas.currentPosition();
            p.moveTo(cur.x, cur.y);
            p.arcTo(rf, start, sweep);
        } else {
            p.arcMoveTo(rf, start);
            p.arcTo(rf, start, sweep);
            if constexpr (N == T_CHORD)
                p.closeSubpath();
        }
        constexpr bool closed = N == T_CHORD || N == T_PIE;
        if (m_inPath) {
            if constexpr (N == T_ARCTO)
                m_path.connectPath(p);
            else
                m_path.addPath(p);
        } else if constexpr (closed) {
            std::vector<Poly> polys;
            for (const QPolygonF &poly : p.toSubpathPolygons())
                polys.push_back(toPoints(poly));
            drawPolys(polys, true, true);
        } else {
            sync();
            for (const QPolygonF &poly : p.toSubpathPolygons())
                m_canvas.polyline(toPoints(poly));
        }
        if constexpr (N == T_ARCTO) {
            const gdi::Point e = roundPoint(p.currentPosition());
            m_canvas.moveTo(e.x, e.y);
        }
    }

    void operator()(const EmrSetPixelV &r)
    {
        sync();
        m_canvas.fillRect({r.pt.x, r.pt.y, r.pt.x + 1, r.pt.y + 1}, {gdi::BS_SOLID, r.color & 0xffffff, 0});
    }

    // --- clipping ----------------------------------------------------------------
    void operator()(const EmrExtSelectClipRgn &r)
    {
        if (r.mode == RGN_COPY && r.rgnData.data.isEmpty()) {
            m_canvas.selectClipRgnNone();
            return;
        }
        const QByteArray &d = r.rgnData.data;
        if (d.size() < 32)
            return;
        const quint32 count = qFromLittleEndian<quint32>(d.constData() + 8);
        if (quint64(count) * 16 > quint64(d.size() - 32))
            throw RpError(damagedMessage(m_ref->type, m_ref->offset, QStringLiteral("region rectangles")));
        // Region rectangles are in device units of the reference device; the
        // canvas clips to one rectangle: their bounding box.
        gdi::Rect box{0, 0, 0, 0};
        for (quint32 i = 0; i < count; ++i) {
            const char *p = d.constData() + 32 + 16 * i;
            const gdi::Rect rc = normalized({qFromLittleEndian<qint32>(p), qFromLittleEndian<qint32>(p + 4),
                                             qFromLittleEndian<qint32>(p + 8), qFromLittleEndian<qint32>(p + 12)});
            if (i == 0)
                box = rc;
            else
                box = {std::min(box.left, rc.left), std::min(box.top, rc.top), std::max(box.right, rc.right),
                       std::max(box.bottom, rc.bottom)};
        }
        clipDeviceRect(box, r.mode);
    }

    // --- text ----------------------------------------------------------------------
    template <quint32 N>
    void operator()(const TextOutRec<N> &r)
    {
        const Text &t = r.text;
        QString text;
        if constexpr (N == T_EXTTEXTOUTW) {
            text = QString::fromUtf16(reinterpret_cast<const char16_t *>(t.chars.constData()), t.chars.size() / 2);
        } else {
            text = decode8(t.chars);
        }
        const gdi::Rect rect = normalized(t.rect);
        const bool hasRect = t.options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED);
        sync();
        if (t.options & gdi::ETO_GLYPH_INDEX) {
            // Glyph indexes of a face we may not have: only the opaque box.
            if ((t.options & gdi::ETO_OPAQUE) && !rect.isEmpty())
                m_canvas.fillRect(rect, {gdi::BS_SOLID, m_canvas.bkColor(), 0});
            return;
        }
        std::vector<qint32> dx;
        if (!t.dx.empty()) {
            const size_t step = (t.options & ETO_PDY) ? 2 : 1;
            for (size_t i = 0; i < t.dx.size(); i += step)
                dx.push_back(t.dx[i]);
        }
        const bool useDx = dx.size() == size_t(text.size()) && !isNaturalSpacing(text, dx);
        const quint32 options = t.options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED | gdi::ETO_RTLREADING);

        // Glyphs stand upright whatever the mapping does with the y axis.
        const QTransform full = m_canvas.transform();
        if (full.determinant() < 0 && full.m12() == 0 && full.m21() == 0) {
            const QTransform flip(1, 0, 0, -1, 0, 0);
            m_canvas.setTransform(flip * full);
            const gdi::Rect fr = normalized({rect.left, -rect.top, rect.right, -rect.bottom});
            m_canvas.extTextOut(t.reference.x, -t.reference.y, options, hasRect ? &fr : nullptr, text,
                                useDx ? &dx : nullptr);
            m_dirty = true;
            return;
        }
        m_canvas.extTextOut(t.reference.x, t.reference.y, options, hasRect ? &rect : nullptr, text,
                            useDx ? &dx : nullptr);
    }

    // --- bitmaps ---------------------------------------------------------------------
    void operator()(const EmrStretchDIBits &r)
    {
        bool bottomUp = true;
        const QImage img = dibToImage(r.dib.bmi, r.dib.bits, &bottomUp);
        if (img.isNull())
            return;
        gdi::Rect src{r.xSrc, r.ySrc, r.xSrc + r.cxSrc, r.ySrc + r.cySrc};
        if (bottomUp) // the source origin of a bottom-up bitmap is its lower-left corner
            src = {r.xSrc, img.height() - r.ySrc - r.cySrc, r.xSrc + r.cxSrc, img.height() - r.ySrc};
        blit({r.xDest, r.yDest, r.xDest + r.cxDest, r.yDest + r.cyDest}, src, img, r.rop);
    }

    template <quint32 N>
    void operator()(const BltRec<N> &r)
    {
        const gdi::Rect dest{r.xDest, r.yDest, r.xDest + r.cxDest, r.yDest + r.cyDest};
        if (r.dib.bmi.isEmpty()) {
            sync();
            const gdi::Rect box = normalized(dest);
            if (r.rop == PATCOPY)
                m_canvas.fillRect(box, m_canvas.brush());
            else if (r.rop == BLACKNESS)
                m_canvas.fillRect(box, {gdi::BS_SOLID, 0, 0});
            else if (r.rop == WHITENESS)
                m_canvas.fillRect(box, {gdi::BS_SOLID, gdi::rgb(255, 255, 255), 0});
            return;
        }
        const QImage img = dibToImage(r.dib.bmi, r.dib.bits);
        if (img.isNull())
            return;
        const qint32 cx = N == T_STRETCHBLT ? r.cxSrc : r.cxDest;
        const qint32 cy = N == T_STRETCHBLT ? r.cySrc : r.cyDest;
        blit(dest, {r.xSrc, r.ySrc, r.xSrc + cx, r.ySrc + cy}, img, r.rop);
    }

private:
    struct Dc {
        quint32 mapMode = MM_TEXT;
        gdi::Point winOrg, vpOrg;
        gdi::Size winExt{1, 1}, vpExt{1, 1};
        QTransform world;
        quint32 fillMode = ALTERNATE;
        quint32 arcDirection = AD_COUNTERCLOCKWISE;
    };

    void resetDc()
    {
        m_canvas.setPen(gdi::LogPen{});
        m_canvas.setBrush(gdi::LogBrush{});
        m_canvas.setFont(gdi::LogFont{});
        m_canvas.setTextColor(gdi::rgb(0, 0, 0));
        m_canvas.setBkColor(gdi::rgb(255, 255, 255));
        m_canvas.setBkMode(gdi::OPAQUE);
        m_canvas.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
        m_canvas.setStretchBltMode(gdi::BLACKONWHITE);
        m_canvas.moveTo(0, 0);
        m_dirty = true;
    }

    // Reference-device pixels per logical unit in the fixed mapping modes.
    double unitPixels(double mm, bool y) const
    {
        const double ppm = y ? m_mf.pixelsPerHundredthMmY() * 100 : m_mf.pixelsPerHundredthMmX() * 100;
        return mm * ppm;
    }

    QTransform pageTransform() const
    {
        double sx = 1, sy = 1;
        switch (m_dc.mapMode) {
        case MM_LOMETRIC:
            sx = unitPixels(0.1, false), sy = -unitPixels(0.1, true);
            break;
        case MM_HIMETRIC:
            sx = unitPixels(0.01, false), sy = -unitPixels(0.01, true);
            break;
        case MM_LOENGLISH:
            sx = unitPixels(0.254, false), sy = -unitPixels(0.254, true);
            break;
        case MM_HIENGLISH:
            sx = unitPixels(0.0254, false), sy = -unitPixels(0.0254, true);
            break;
        case MM_TWIPS:
            sx = unitPixels(25.4 / 1440, false), sy = -unitPixels(25.4 / 1440, true);
            break;
        case MM_ISOTROPIC:
        case MM_ANISOTROPIC:
            sx = double(m_dc.vpExt.cx) / m_dc.winExt.cx;
            sy = double(m_dc.vpExt.cy) / m_dc.winExt.cy;
            if (m_dc.mapMode == MM_ISOTROPIC) {
                const double s = std::min(std::fabs(sx), std::fabs(sy));
                sx = std::copysign(s, sx);
                sy = std::copysign(s, sy);
            }
            break;
        default:
            break;
        }
        return QTransform(sx, 0, 0, sy, m_dc.vpOrg.x - m_dc.winOrg.x * sx, m_dc.vpOrg.y - m_dc.winOrg.y * sy);
    }

    // Brings the canvas's transform up to date before drawing.
    void sync()
    {
        if (!m_dirty)
            return;
        m_canvas.setTransform(m_dc.world * pageTransform() * m_base);
        m_dirty = false;
    }

    void restoreDc(qint32 n)
    {
        const int inner = int(m_saved.size());
        int target; // the inner depth to return to
        if (n < 0)
            target = inner + n;
        else if (n > 0)
            target = n - 1;
        else
            return;
        if (target < 0 || target >= inner)
            return;
        if (!m_canvas.restoreDC(m_baseDepth + target + 1))
            return;
        m_dc = m_saved[size_t(target)];
        m_saved.resize(size_t(target));
        m_dirty = true;
    }

    gdi::LogPen cleanPen(gdi::LogPen p)
    {
        const quint32 style = p.style & gdi::PS_STYLE_MASK;
        if (style == gdi::PS_USERSTYLE)
            p.style = (p.style & ~gdi::PS_STYLE_MASK) | gdi::PS_DASH;
        else if (style == gdi::PS_ALTERNATE)
            p.style = (p.style & ~gdi::PS_STYLE_MASK) | gdi::PS_DOT;
        else if (style > gdi::PS_ALTERNATE)
            p.style = (p.style & ~gdi::PS_STYLE_MASK) | gdi::PS_SOLID;
        p.width = std::clamp(p.width, 0, 1 << 24);
        return p;
    }

    void store(quint32 index, const Object &o)
    {
        // Index 0 is the metafile itself; a table larger than the header says
        // grows, within the 16-bit handle count.
        if (index == 0 || index > 0xffff)
            return;
        if (index >= m_objects.size())
            m_objects.resize(index + 1);
        m_objects[index] = o;
    }

    void selectObject(quint32 v)
    {
        if (v & STOCK) {
            const quint32 s = v & ~STOCK;
            auto brush = [&](int g) { m_canvas.setBrush({gdi::BS_SOLID, gdi::rgb(g, g, g), 0}); };
            switch (s) {
            case 0:
            case 18: // DC_BRUSH
                brush(255);
                break;
            case 1:
                brush(192);
                break;
            case 2:
                brush(128);
                break;
            case 3:
                brush(64);
                break;
            case 4:
                brush(0);
                break;
            case 5:
                m_canvas.setBrush({gdi::BS_NULL, 0, 0});
                break;
            case 6:
                m_canvas.setPen({gdi::PS_SOLID, 0, gdi::rgb(255, 255, 255)});
                break;
            case 7:
            case 19: // DC_PEN
                m_canvas.setPen({gdi::PS_SOLID, 0, 0});
                break;
            case 8:
                m_canvas.setPen({gdi::PS_NULL, 0, 0});
                break;
            case 10:
            case 11:
            case 16: {
                gdi::LogFont f;
                f.faceName = QStringLiteral("Courier New");
                m_canvas.setFont(f);
                break;
            }
            case 12:
            case 13:
            case 14:
            case 17:
                m_canvas.setFont(gdi::LogFont{});
                break;
            default:
                break;
            }
            return;
        }
        if (v >= m_objects.size())
            return;
        const Object &o = m_objects[v];
        switch (o.kind) {
        case Object::Pen:
            m_canvas.setPen(o.pen);
            break;
        case Object::Brush:
            m_canvas.setBrush(o.brush);
            break;
        case Object::Font:
            m_canvas.setFont(o.font);
            break;
        case Object::None:
            break;
        }
    }

    static Poly toPoints(const QPolygonF &poly)
    {
        Poly out;
        out.reserve(size_t(poly.size()));
        for (const QPointF &p : poly) {
            const gdi::Point q = roundPoint(p);
            if (out.empty() || !(out.back() == q))
                out.push_back(q);
        }
        return out;
    }

    void addToPath(const Poly &pts, bool close, bool newFigure)
    {
        for (size_t i = 0; i < pts.size(); ++i) {
            if (i == 0 && newFigure)
                m_path.moveTo(pts[0].x, pts[0].y);
            else
                m_path.lineTo(pts[i].x, pts[i].y);
        }
        if (close)
            m_path.closeSubpath();
        if (!close && !pts.empty())
            m_canvas.moveTo(pts.back().x, pts.back().y);
    }

    // Fills and/or outlines figures. Several figures are filled as one
    // polygon joined through seams that cover no area, so holes stay holes.
    void drawPolys(const std::vector<Poly> &polys, bool fill, bool stroke)
    {
        std::vector<const Poly *> figs;
        for (const Poly &p : polys)
            if (p.size() >= 2)
                figs.push_back(&p);
        if (figs.empty())
            return;
        sync();
        const gdi::LogPen pen = m_canvas.pen();
        const gdi::LogBrush brush = m_canvas.brush();
        if (figs.size() == 1 && fill && stroke) {
            m_canvas.polygon(*figs[0]);
            return;
        }
        if (fill && brush.style != gdi::BS_NULL) {
            Poly joined;
            const gdi::Point anchor = figs[0]->front();
            for (size_t i = 0; i < figs.size(); ++i) {
                joined.insert(joined.end(), figs[i]->begin(), figs[i]->end());
                joined.push_back(figs[i]->front());
                if (i > 0)
                    joined.push_back(anchor);
            }
            m_canvas.setPen({gdi::PS_NULL, 0, 0});
            m_canvas.polygon(joined);
            m_canvas.setPen(pen);
        }
        if (stroke && (pen.style & gdi::PS_STYLE_MASK) != gdi::PS_NULL) {
            for (const Poly *p : figs) {
                Poly closed = *p;
                if (!(closed.front() == closed.back()))
                    closed.push_back(closed.front());
                m_canvas.polyline(closed);
            }
        }
    }

    void drawPath(bool fill, bool stroke)
    {
        m_inPath = false;
        const QPainterPath path = m_path;
        m_path = QPainterPath();
        if (path.isEmpty())
            return;
        const QList<QPolygonF> subs = path.toSubpathPolygons();
        if (fill) {
            std::vector<Poly> polys;
            for (const QPolygonF &s : subs)
                polys.push_back(toPoints(s));
            drawPolys(polys, true, false);
        }
        if (stroke) {
            sync();
            for (const QPolygonF &s : subs) {
                const Poly p = toPoints(s);
                if (p.size() >= 2)
                    m_canvas.polyline(p);
            }
        }
    }

    // Clips to a rectangle of the reference device.
    void clipDeviceRect(const gdi::Rect &box, quint32 mode)
    {
        if (mode == RGN_COPY)
            m_canvas.selectClipRgnNone();
        else if (mode != RGN_AND)
            return; // union, difference and exclusive-or are not kept
        m_canvas.setTransform(m_base);
        m_canvas.intersectClipRect(box);
        m_dirty = true;
    }

    void clipToPath(quint32 mode)
    {
        m_inPath = false;
        const QPainterPath path = m_path;
        m_path = QPainterPath();
        if (path.isEmpty())
            return;
        const QTransform toDevice = m_dc.world * pageTransform();
        const QRectF r = toDevice.map(path).boundingRect();
        clipDeviceRect({roundPoint(r.topLeft()).x, roundPoint(r.topLeft()).y, roundPoint(r.bottomRight()).x,
                        roundPoint(r.bottomRight()).y},
                       mode);
    }

    void blit(gdi::Rect dest, gdi::Rect src, QImage img, quint32 rop)
    {
        // Mirroring by a negative destination extent flips the picture.
        if (dest.right < dest.left) {
            std::swap(dest.left, dest.right);
            img = img.mirrored(true, false);
            src = {img.width() - src.right, src.top, img.width() - src.left, src.bottom};
        }
        if (dest.bottom < dest.top) {
            std::swap(dest.top, dest.bottom);
            img = img.mirrored(false, true);
            src = {src.left, img.height() - src.bottom, src.right, img.height() - src.top};
        }
        if (dest.isEmpty() || normalized(src).isEmpty())
            return;
        sync();
        m_canvas.stretchDIBits(dest, src, img, rop);
    }

    QString decode8(const QByteArray &chars) const
    {
        const quint8 cs = m_canvas.font().charSet;
        const char *codec = cs == gdi::CHINESEBIG5_CHARSET ? "Big5" : cs == gdi::GB2312_CHARSET ? "GB18030" : nullptr;
        if (codec) {
            QStringDecoder dec(codec);
            if (dec.isValid())
                return dec(chars);
        }
        return QString::fromLatin1(chars);
    }

    // True when `dx` is what the recorder writes for text without spacing of
    // its own: the font's advances rounded along the line. Such text is drawn
    // with the font's own advances, exactly as when drawn directly.
    bool isNaturalSpacing(const QString &text, const std::vector<qint32> &dx) const
    {
        if (text.size() > 4096)
            return false;
        const auto font = fonts::resolve(m_canvas.font());
        const fonts::TextLayout layout = font->layout(text);
        if (layout.advances.size() != dx.size())
            return false;
        qreal acc = 0;
        qint64 prev = 0;
        for (size_t i = 0; i < dx.size(); ++i) {
            acc += layout.advances[i];
            const qint64 next = qint64(std::llround(acc));
            if (next - prev != dx[i])
                return false;
            prev = next;
        }
        return true;
    }

    const Metafile &m_mf;
    Canvas &m_canvas;
    const QTransform m_base;
    const RecordRef *m_ref = nullptr;
    std::vector<Object> m_objects;
    Dc m_dc;
    std::vector<Dc> m_saved;
    int m_baseDepth = 0;
    bool m_dirty = true;
    bool m_done = false;
    bool m_inPath = false;
    QPainterPath m_path;
};

} // namespace

QTransform frameToDest(const Metafile &mf, const gdi::Rect &dest)
{
    const double w = std::max(mf.width(), 1), h = std::max(mf.height(), 1);
    QTransform t;
    t.translate(dest.left, dest.top);
    t.scale(dest.width() / w, dest.height() / h);
    t.translate(-mf.frameLeftPixels(), -mf.frameTopPixels());
    return t;
}

void play(const Metafile &mf, Canvas &canvas, const gdi::Rect &dest)
{
    if (mf.isNull())
        return;
    Player p(mf, canvas, dest);
    p.run();
}

} // namespace emf
