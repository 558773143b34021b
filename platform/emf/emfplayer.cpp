// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplayer.h"

#include "platform/canvas.h"
#include "platform/emf/emfcodec.h"
#include "platform/emf/emfdib.h"
#include "platform/emf/emfglyphs.h"
#include "platform/emf/emfregion.h"
#include "platform/fonts.h"
#include "platform/metafile.h"
#include "platform/regionunion.h"
#include "platform/rperror.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRegion>
#include <QStringDecoder>
#include <QtEndian>
#include <climits>
#include <cmath>
#include <cstring>

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
enum : quint32 { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum : quint32 { STOCK = 0x80000000 };
enum : quint32 { AC_SRC_ALPHA = 1 };
enum : quint32 { BS_DIBPATTERNPT = 6 };
// An EXTCREATEPEN with more dash lengths than this is refused, as the
// graphics interface refuses it.
constexpr size_t kMaxStyleEntries = 16;

using Poly = std::vector<gdi::Point>;

gdi::Rect normalized(const gdi::Rect &r)
{
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

QTransform toQt(const XForm &x) { return QTransform(x.m11, x.m12, x.m21, x.m22, x.dx, x.dy); }

// A world transform the graphics interface takes: finite, within reason and
// invertible (a singular one would fold the picture onto a line).
bool usableTransform(const QTransform &t)
{
    for (qreal f : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        if (!std::isfinite(f) || std::fabs(f) > 1e9)
            return false;
    return t.determinant() != 0 && std::isfinite(t.determinant());
}

gdi::Point roundPoint(const QPointF &p)
{
    auto clamp = [](double v) { return qint32(std::clamp(std::round(v), -2147483647.0, 2147483647.0)); };
    return {clamp(p.x()), clamp(p.y())};
}

QPointF qpt(const gdi::Point &p) { return QPointF(p.x, p.y); }

// Sums and differences of coordinates from a file, held within 32 bits.
qint32 sat(qint64 v) { return qint32(std::clamp<qint64>(v, INT_MIN, INT_MAX)); }

// An object of the metafile's handle table.
struct Object {
    enum Kind { None, Pen, Brush, Font } kind = None;
    gdi::LogPen pen;
    std::vector<quint32> penStyle; // PS_USERSTYLE lengths
    gdi::LogBrush brush;           // brushes, and what a pen's stroke is filled with
    QImage pattern;                // pattern brushes and pens
    gdi::LogFont font;
};

// The 8-bit code page text of a character set is written in.
const char *codePageOf(quint8 charSet)
{
    switch (charSet) {
    case gdi::ANSI_CHARSET:
    case gdi::DEFAULT_CHARSET:
        return "windows-1252";
    case 128: // SHIFTJIS
        return "Shift_JIS";
    case 129: // HANGUL
        return "windows-949";
    case gdi::GB2312_CHARSET:
        return "GB18030";
    case gdi::CHINESEBIG5_CHARSET:
        return "Big5";
    case 161: // GREEK
        return "windows-1253";
    case 162: // TURKISH
        return "windows-1254";
    case 163: // VIETNAMESE
        return "windows-1258";
    case 177: // HEBREW
        return "windows-1255";
    case 178: // ARABIC
        return "windows-1256";
    case 186: // BALTIC
        return "windows-1257";
    case 204: // RUSSIAN
        return "windows-1251";
    case 222: // THAI
        return "windows-874";
    case 238: // EASTEUROPE
        return "windows-1250";
    default: // SYMBOL and the rest: the byte is the code
        return nullptr;
    }
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
        // The canvas is as it was afterwards, also when a damaged record ends
        // the play.
        struct Restore {
            Canvas &canvas;
            int depth;
            ~Restore() { canvas.restoreDC(depth); }
        } restore{m_canvas, m_baseDepth};
        // The clip at the start bounds the picture: the metafile's own clip
        // operations cannot reach beyond it.
        m_canvas.setMetaRgn();
        resetDc();
        RecordScanner scanner(QByteArrayView(m_mf.bytes()));
        RecordRef ref;
        while (!m_done && scanner.next(ref)) {
            m_ref = &ref;
            const Record rec = decode(ref);
            std::visit(*this, rec);
        }
    }

    // --- header, end, comments and settings without effect here -------------
    void operator()(const EmrHeader &) {}
    void operator()(const EmrEof &) { m_done = true; }
    void operator()(const EmrGdiComment &) {} // EMF+ and private data: the EMF records draw
    void operator()(const Unknown &) {}
    void operator()(const EmrSetLinkedUfis &) {} // the font engine links its own fallbacks

    template <quint32 N>
    void operator()(const Empty<N> &)
    {
        if constexpr (N == T_SAVEDC) {
            m_canvas.saveDC();
            m_saved.push_back(m_dc);
        } else if constexpr (N == T_BEGINPATH) {
            m_path = QPainterPath();
            m_pathPos = toDevice().map(qpt(m_canvas.currentPosition()));
            m_inPath = true;
            m_figureOpen = false;
            m_widened = false;
        } else if constexpr (N == T_ENDPATH) {
            m_inPath = false;
        } else if constexpr (N == T_CLOSEFIGURE) {
            if (m_inPath && m_figureOpen) {
                m_path.closeSubpath();
                m_figureOpen = false;
            }
        } else if constexpr (N == T_ABORTPATH) {
            m_inPath = false;
            m_path = QPainterPath();
        } else if constexpr (N == T_WIDENPATH) {
            widenPath();
        } else if constexpr (N == T_SETMETARGN) {
            m_canvas.setMetaRgn();
        } else if constexpr (N == T_REALIZEPALETTE || N == T_FLATTENPATH) {
            // palettes: no effect on this canvas; paths are flattened when drawn
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
            m_canvas.setPolyFillMode(qint32(v));
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
        } else if constexpr (N == T_SETMITERLIMIT) {
            // Written as a whole number; a few writers store the float's bits.
            float limit = float(v);
            if (v >= 0x10000)
                std::memcpy(&limit, &v, 4);
            m_canvas.setMiterLimit(limit);
        } else if constexpr (N == T_SETROP2) {
            m_canvas.setRop2(qint32(v));
        } else if constexpr (N == T_SETMAPPERFLAGS || N == T_SELECTPALETTE || N == T_SETICMMODE || N == T_SETLAYOUT ||
                             N == T_SETCOLORSPACE) {
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
            m_pathPos = toDevice().map(qpt(r.pt));
            m_figureOpen = false;
        } else if constexpr (N == T_LINETO) {
            if (m_inPath) {
                pathLineTo(r.pt);
            } else {
                sync();
                m_canvas.lineTo(r.pt.x, r.pt.y);
            }
        } else if constexpr (N == T_OFFSETCLIPRGN) {
            sync();
            m_canvas.offsetClipRgn(r.pt.x, r.pt.y);
        } else if constexpr (N == T_SETBRUSHORGEX) {
            // brushes are tiled from the device's origin
        } else {
            static_assert(N == 0, "point record not handled");
        }
    }

    template <quint32 N>
    void operator()(const SizeRec<N> &r)
    {
        // An extent of zero is refused and the mapping stays as it was.
        if (r.size.cx == 0 || r.size.cy == 0)
            return;
        if constexpr (N == T_SETWINDOWEXTEX)
            m_dc.winExt = r.size;
        else if constexpr (N == T_SETVIEWPORTEXTEX)
            m_dc.vpExt = r.size;
        else
            static_assert(N == 0, "size record not handled");
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
        const QTransform t = toQt(r.xform);
        if (usableTransform(t)) {
            m_dc.world = t;
            m_dirty = true;
        }
    }

    void operator()(const EmrModifyWorldTransform &r)
    {
        QTransform result;
        if (r.mode == MWT_IDENTITY) {
            result = QTransform();
        } else {
            const QTransform x = toQt(r.xform);
            if (r.mode == MWT_LEFTMULTIPLY)
                result = x * m_dc.world;
            else if (r.mode == MWT_RIGHTMULTIPLY)
                result = m_dc.world * x;
            else if (r.mode == MWT_SET)
                result = x;
            else
                return;
            if (!usableTransform(x) || !usableTransform(result))
                return;
        }
        m_dc.world = result;
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
        const bool user = (r.style & gdi::PS_STYLE_MASK) == gdi::PS_USERSTYLE;
        if (user && (r.styleEntries.empty() || r.styleEntries.size() > kMaxStyleEntries))
            return; // the pen is refused; what was selected stays
        // A cosmetic pen is one device pixel wide whatever its width says.
        const bool geometric = (r.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC;
        Object o;
        o.kind = Object::Pen;
        o.pen = cleanPen({r.brushStyle == gdi::BS_NULL ? quint32(gdi::PS_NULL) : r.style,
                          geometric ? qint32(std::min<quint32>(r.width, 1u << 24)) : 0, r.color & 0xffffff});
        if (user)
            o.penStyle = r.styleEntries;
        // A geometric pen strokes with a brush of its own: a hatch in the
        // pen's colour, or a picture (a cosmetic pen is always solid).
        o.brush = {gdi::BS_SOLID, o.pen.color, 0};
        if (geometric && r.brushStyle == gdi::BS_HATCHED) {
            o.brush = {gdi::BS_HATCHED, o.pen.color, cleanHatch(r.hatch)};
        } else if (geometric && (r.brushStyle == gdi::BS_PATTERN || r.brushStyle == BS_DIBPATTERNPT ||
                                 r.brushStyle == gdi::BS_DIBPATTERN)) {
            const bool mono = r.brushStyle == gdi::BS_PATTERN;
            o.pattern = mono ? dibToMonoImage(r.dib.bmi, r.dib.bits) : dibToImage(r.dib.bmi, r.dib.bits);
            if (!o.pattern.isNull())
                o.brush = {mono ? quint32(gdi::BS_PATTERN) : quint32(gdi::BS_DIBPATTERN), o.pen.color, 0};
        }
        store(r.index, o);
    }
    void operator()(const EmrCreateBrushIndirect &r)
    {
        Object o;
        o.kind = Object::Brush;
        o.brush = {r.style, r.color & 0xffffff, r.hatch};
        if (o.brush.style != gdi::BS_SOLID && o.brush.style != gdi::BS_NULL && o.brush.style != gdi::BS_HATCHED)
            o.brush.style = gdi::BS_SOLID;
        if (o.brush.style == gdi::BS_HATCHED)
            o.brush.hatch = cleanHatch(o.brush.hatch);
        store(r.index, o);
    }
    template <quint32 N>
    void operator()(const PatternBrushRec<N> &r)
    {
        // A monochrome brush takes the text and background colours when it
        // draws; a DIB pattern brush has colours of its own.
        Object o;
        o.kind = Object::Brush;
        o.pattern = N == T_CREATEMONOBRUSH ? dibToMonoImage(r.dib.bmi, r.dib.bits) : dibToImage(r.dib.bmi, r.dib.bits);
        if (o.pattern.isNull())
            o.brush = {gdi::BS_SOLID, gdi::rgb(128, 128, 128), 0};
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
                addToPath(pts, false);
            } else if (pts.size() >= 2) {
                sync();
                m_canvas.polyline(pts);
            }
        } else if constexpr (base == T_POLYGON) {
            if (m_inPath) {
                addToPath(pts, true);
            } else if (pts.size() >= 2) {
                sync();
                m_canvas.polygon(pts);
            }
        } else if constexpr (base == T_POLYLINETO) {
            if (m_inPath) {
                for (const gdi::Point &p : pts)
                    pathLineTo(p);
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
            // Whole curves only: three points each after the start.
            const size_t first = to ? 0 : 1;
            const size_t curves = (pts.size() - first) / 3;
            QPainterPath p;
            p.moveTo(qpt(to ? m_canvas.currentPosition() : pts[0]));
            for (size_t c = 0, i = first; c < curves; ++c, i += 3)
                p.cubicTo(qpt(pts[i]), qpt(pts[i + 1]), qpt(pts[i + 2]));
            if (m_inPath) {
                addPiece(p, to);
            } else {
                sync();
                m_canvas.drawPath(p, false, true);
            }
            if (to && curves > 0)
                m_canvas.moveTo(pts[3 * curves - 1].x, pts[3 * curves - 1].y);
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
                    addToPath(pts, false);
                } else if (pts.size() >= 2) {
                    sync();
                    m_canvas.polyline(pts);
                }
            }
        } else if constexpr (base == T_POLYPOLYGON) {
            if (m_inPath) {
                for (const Poly &pts : r.points.polys)
                    addToPath(pts, true);
            } else {
                sync();
                m_canvas.polyPolygon(r.points.polys);
            }
        } else {
            static_assert(N == 0, "poly-polygon record not handled");
        }
    }

    template <quint32 N, bool S>
    void operator()(const PolyDrawRec<N, S> &r)
    {
        // Every Bézier point comes in threes, or nothing is drawn.
        const Poly &pts = r.points.pts;
        const QByteArray &types = r.types.data;
        for (size_t i = 0; i < pts.size(); ++i) {
            const quint8 t = quint8(types[qsizetype(i)]) & ~PT_CLOSEFIGURE;
            if (t == PT_BEZIERTO) {
                if (i + 2 >= pts.size() || (quint8(types[qsizetype(i + 1)]) & ~PT_CLOSEFIGURE) != PT_BEZIERTO ||
                    (quint8(types[qsizetype(i + 2)]) & ~PT_CLOSEFIGURE) != PT_BEZIERTO)
                    return;
                i += 2;
            } else if (t != PT_MOVETO && t != PT_LINETO) {
                return;
            }
        }
        QPainterPath p;
        gdi::Point cur = m_canvas.currentPosition();
        p.moveTo(qpt(cur));
        for (size_t i = 0; i < pts.size(); ++i) {
            const quint8 raw = quint8(types[qsizetype(i)]);
            const quint8 t = raw & ~PT_CLOSEFIGURE;
            if (t == PT_MOVETO) {
                p.moveTo(qpt(pts[i]));
            } else if (t == PT_LINETO) {
                p.lineTo(qpt(pts[i]));
            } else {
                p.cubicTo(qpt(pts[i]), qpt(pts[i + 1]), qpt(pts[i + 2]));
                i += 2;
            }
            cur = pts[i];
            if (raw & PT_CLOSEFIGURE)
                p.closeSubpath();
        }
        if (m_inPath) {
            addPiece(p, true);
        } else {
            sync();
            m_canvas.drawPath(p, false, true);
        }
        m_canvas.moveTo(cur.x, cur.y);
    }

    template <quint32 N>
    void operator()(const RectRec<N> &r)
    {
        const gdi::Rect box = normalized(r.rect);
        const QRectF rf(box.left, box.top, box.width(), box.height());
        if constexpr (N == T_RECTANGLE) {
            if (m_inPath) {
                QPainterPath p;
                p.addRect(rf);
                addClosed(p);
            } else {
                sync();
                m_canvas.rectangle(box);
            }
        } else if constexpr (N == T_ELLIPSE) {
            if (m_inPath) {
                QPainterPath p;
                p.addEllipse(rf);
                addClosed(p);
            } else {
                sync();
                m_canvas.ellipse(box);
            }
        } else if constexpr (N == T_INTERSECTCLIPRECT) {
            sync();
            m_canvas.intersectClipRect(box);
        } else if constexpr (N == T_EXCLUDECLIPRECT) {
            sync();
            m_canvas.excludeClipRect(box);
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
            QPainterPath p;
            p.addRoundedRect(box.left, box.top, box.width(), box.height(), r.corner.cx / 2.0, r.corner.cy / 2.0);
            addClosed(p);
        } else {
            sync();
            m_canvas.roundRect(box, r.corner.cx, r.corner.cy);
        }
    }

    template <quint32 N>
    void operator()(const ArcRec<N> &r)
    {
        const gdi::Rect box = normalized(r.box);
        const double cx = (double(box.left) + box.right) / 2.0, cy = (double(box.top) + box.bottom) / 2.0;
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
            p.moveTo(qpt(m_canvas.currentPosition()));
            p.arcTo(rf, start, sweep);
        } else {
            p.arcMoveTo(rf, start);
            p.arcTo(rf, start, sweep);
            if constexpr (N == T_CHORD)
                p.closeSubpath();
        }
        constexpr bool closed = N == T_CHORD || N == T_PIE;
        if (m_inPath) {
            if constexpr (closed)
                addClosed(p);
            else
                addPiece(p, N == T_ARCTO);
        } else {
            sync();
            QPainterPath fillable = p;
            fillable.setFillRule(Qt::OddEvenFill);
            m_canvas.drawPath(fillable, closed, true);
        }
        if constexpr (N == T_ARCTO) {
            const gdi::Point e = roundPoint(p.currentPosition());
            m_canvas.moveTo(e.x, e.y);
        }
    }

    void operator()(const EmrAngleArc &r)
    {
        const double radius = std::min<double>(r.radius, 1 << 30);
        if (!std::isfinite(r.start) || !std::isfinite(r.sweep))
            return;
        const double start = std::fmod(double(r.start), 360.0);
        const double sweep = std::clamp(double(r.sweep), -3600.0, 3600.0);
        const QRectF rf(r.center.x - radius, r.center.y - radius, 2 * radius, 2 * radius);
        QPainterPath p;
        p.moveTo(qpt(m_canvas.currentPosition()));
        p.arcTo(rf, start, sweep);
        if (m_inPath) {
            addPiece(p, true);
        } else {
            sync();
            m_canvas.drawPath(p, false, true);
        }
        const gdi::Point e = roundPoint(p.currentPosition());
        m_canvas.moveTo(e.x, e.y);
    }

    void operator()(const EmrSetPixelV &r)
    {
        sync();
        m_canvas.fillRect({r.pt.x, r.pt.y, sat(qint64(r.pt.x) + 1), sat(qint64(r.pt.y) + 1)},
                          {gdi::BS_SOLID, r.color & 0xffffff, 0});
    }

    // --- regions -------------------------------------------------------------------
    template <quint32 N>
    void operator()(const RgnRec<N> &r)
    {
        // The region's rectangles are logical units, joined into one region
        // (so that an inverted overlap is not inverted back).
        const std::vector<gdi::Rect> rects = regionOf(r.rgnData.data);
        std::vector<QRegion> parts;
        parts.reserve(rects.size());
        for (const gdi::Rect &rc : rects) {
            auto lim = [](qint32 v) { return std::clamp(v, -(1 << 28), 1 << 28); };
            parts.push_back(QRect(QPoint(lim(rc.left), lim(rc.top)), QPoint(lim(rc.right) - 1, lim(rc.bottom) - 1)));
        }
        QRegion region = unitedRegion(std::move(parts));
        if (region.isEmpty())
            return;
        if constexpr (N == T_FRAMERGN) {
            // The frame is the part of the region within the stroke's width
            // and height of its edge.
            const int w = std::clamp(r.stroke.cx, 0, 1 << 20), h = std::clamp(r.stroke.cy, 0, 1 << 20);
            if (w == 0 && h == 0)
                return;
            QRegion inner = region;
            for (int dx : {-w, 0, w})
                for (int dy : {-h, 0, h})
                    inner &= region.translated(dx, dy);
            region -= inner;
        }
        sync();
        const auto draw = [&](quint32 rop) {
            for (const QRect &q : region)
                m_canvas.patBlt({q.left(), q.top(), q.right() + 1, q.bottom() + 1}, rop);
        };
        if constexpr (N == T_INVERTRGN) {
            draw(gdi::DSTINVERT);
        } else if constexpr (N == T_PAINTRGN) {
            draw(gdi::PATCOPY);
        } else {
            // With a brush of its own, given back afterwards.
            const gdi::LogBrush old = m_canvas.brush();
            const QImage oldPattern = m_canvas.brushPattern();
            if (!selectBrushObject(r.brush))
                return;
            draw(gdi::PATCOPY);
            if (oldPattern.isNull())
                m_canvas.setBrush(old);
            else
                m_canvas.setPatternBrush(oldPattern);
        }
    }

    // --- clipping ----------------------------------------------------------------
    void operator()(const EmrExtSelectClipRgn &r)
    {
        if (r.rgnData.data.isEmpty()) {
            if (r.mode == gdi::RGN_COPY)
                m_canvas.selectClipRgnNone();
            return;
        }
        if (r.rgnData.data.size() < 32)
            return; // not a region
        // Region rectangles are in device units of the reference device.
        const std::vector<gdi::Rect> rects = regionOf(r.rgnData.data);
        m_canvas.setTransform(m_base);
        m_canvas.extSelectClipRects(rects, r.mode);
        m_dirty = true;
    }

    // --- text ----------------------------------------------------------------------
    template <quint32 N>
    void operator()(const TextOutRec<N> &r)
    {
        const Text &t = r.text;
        QString text;
        if constexpr (N == T_EXTTEXTOUTW)
            text = QString::fromUtf16(reinterpret_cast<const char16_t *>(t.chars.constData()), t.chars.size() / 2);
        else
            text = decode8(t.chars);
        std::vector<qint32> dx;
        if (!t.dx.empty()) {
            const size_t step = (t.options & ETO_PDY) ? 2 : 1;
            for (size_t i = 0; i < t.dx.size(); i += step)
                dx.push_back(t.dx[i]);
        }
        drawText(t.reference, t.options, t.rect, std::move(text), std::move(dx));
    }

    void operator()(const EmrSmallTextOut &r)
    {
        QString text;
        if (r.options & ETO_SMALL_CHARS)
            text = decode8(r.chars.data);
        else
            text = QString::fromUtf16(reinterpret_cast<const char16_t *>(r.chars.data.constData()),
                                      r.chars.data.size() / 2);
        const quint32 options = (r.options & ETO_NO_RECT) ? r.options & ~(gdi::ETO_OPAQUE | gdi::ETO_CLIPPED) : r.options;
        drawText(r.reference, options, r.clip, std::move(text), {});
    }

    // --- bitmaps ---------------------------------------------------------------------
    void operator()(const EmrStretchDIBits &r)
    {
        bool bottomUp = true;
        const QImage img = dibToImage(r.dib.bmi, r.dib.bits, &bottomUp);
        if (img.isNull())
            return;
        gdi::Rect src{r.xSrc, r.ySrc, sat(qint64(r.xSrc) + r.cxSrc), sat(qint64(r.ySrc) + r.cySrc)};
        if (bottomUp) // the source origin of a bottom-up bitmap is its lower-left corner
            src = {r.xSrc, sat(qint64(img.height()) - r.ySrc - r.cySrc), src.right, sat(qint64(img.height()) - r.ySrc)};
        blit({r.xDest, r.yDest, sat(qint64(r.xDest) + r.cxDest), sat(qint64(r.yDest) + r.cyDest)}, src, img, r.rop);
    }

    void operator()(const EmrSetDIBitsToDevice &r)
    {
        // The bits hold `scans` rows from row `startScan` (counted from the
        // bitmap's bottom); the picture is drawn at its size in logical units.
        if (r.dib.bmi.size() < 40 || r.scans == 0 || r.scans > (1u << 24))
            return;
        QByteArray bmi = r.dib.bmi;
        const qint32 height = qFromLittleEndian<qint32>(bmi.constData() + 8);
        const qint64 fullHeight = std::abs(qint64(height));
        if (qFromLittleEndian<quint32>(bmi.constData()) < 40 || r.startScan >= fullHeight)
            return;
        const qint32 scans = qint32(std::min<qint64>(r.scans, fullHeight - r.startScan));
        qToLittleEndian<qint32>(height < 0 ? -scans : scans, bmi.data() + 8);
        bool bottomUp = true;
        const QImage part = dibToImage(bmi, r.dib.bits, &bottomUp);
        if (part.isNull())
            return;
        // Rows of the whole bitmap from the top, and where the part lies.
        const qint64 partTop = bottomUp ? fullHeight - r.startScan - scans : r.startScan;
        const qint64 srcTop = bottomUp ? fullHeight - qint64(r.ySrc) - r.cySrc : r.ySrc;
        const gdi::Rect src{r.xSrc, sat(srcTop - partTop), sat(qint64(r.xSrc) + r.cxSrc), sat(srcTop - partTop + r.cySrc)};
        blit({r.xDest, r.yDest, sat(qint64(r.xDest) + r.cxSrc), sat(qint64(r.yDest) + r.cySrc)}, src, part, gdi::SRCCOPY);
    }

    template <quint32 N>
    void operator()(const BltRec<N> &r)
    {
        const gdi::Rect dest{r.xDest, r.yDest, sat(qint64(r.xDest) + r.cxDest), sat(qint64(r.yDest) + r.cyDest)};
        if (r.dib.bmi.isEmpty()) {
            if constexpr (N == T_BITBLT || N == T_STRETCHBLT) {
                // Without a bitmap: a fill with the selected brush.
                sync();
                m_canvas.patBlt(normalized(dest), r.rop);
            }
            return;
        }
        const qint32 cx = N == T_BITBLT ? r.cxDest : r.cxSrc;
        const qint32 cy = N == T_BITBLT ? r.cyDest : r.cySrc;
        const gdi::Rect src{r.xSrc, r.ySrc, sat(qint64(r.xSrc) + cx), sat(qint64(r.ySrc) + cy)};
        if constexpr (N == T_ALPHABLEND) {
            // The blend function: operation, flags, constant alpha, format.
            const quint8 constantAlpha = quint8(r.rop >> 16);
            const bool sourceAlpha = (r.rop >> 24) & AC_SRC_ALPHA;
            const QImage img = sourceAlpha ? dibToAlphaImage(r.dib.bmi, r.dib.bits) : dibToImage(r.dib.bmi, r.dib.bits);
            if (!img.isNull())
                blit(dest, src, img, gdi::SRCCOPY, constantAlpha);
        } else if constexpr (N == T_TRANSPARENTBLT) {
            // The colour in `rop` is left out.
            QImage img = dibToImage(r.dib.bmi, r.dib.bits).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            if (img.isNull())
                return;
            const QRgb key = qRgb(gdi::redOf(r.rop), gdi::greenOf(r.rop), gdi::blueOf(r.rop));
            for (int y = 0; y < img.height(); ++y) {
                QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    if ((line[x] & 0xffffff) == (key & 0xffffff))
                        line[x] = 0;
            }
            blit(dest, src, img, gdi::SRCCOPY, 255);
        } else {
            const QImage img = dibToImage(r.dib.bmi, r.dib.bits);
            if (!img.isNull())
                blit(dest, src, img, r.rop);
        }
    }

    void operator()(const EmrGradientFill &r)
    {
        if (r.mode > gdi::GRADIENT_FILL_TRIANGLE)
            return;
        sync();
        m_canvas.gradientFill(r.vertices, r.mesh, r.mode);
    }

private:
    struct Dc {
        quint32 mapMode = MM_TEXT;
        gdi::Point winOrg, vpOrg;
        gdi::Size winExt{1, 1}, vpExt{1, 1};
        QTransform world;
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
        m_canvas.setPolyFillMode(gdi::ALTERNATE);
        m_canvas.setMiterLimit(10);
        m_canvas.setRop2(gdi::R2_COPYPEN);
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

    // Logical units to the reference device.
    QTransform toDevice() const { return m_dc.world * pageTransform(); }

    // Brings the canvas's transform up to date before drawing.
    void sync()
    {
        if (!m_dirty)
            return;
        m_canvas.setTransform(toDevice() * m_base);
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
        if (style == gdi::PS_ALTERNATE)
            p.style = (p.style & ~gdi::PS_STYLE_MASK) | gdi::PS_DOT;
        else if (style > gdi::PS_ALTERNATE)
            p.style = (p.style & ~gdi::PS_STYLE_MASK) | gdi::PS_SOLID;
        p.width = std::clamp(p.width, 0, 1 << 24);
        return p;
    }

    // The hatch styles that are patterns (0 to 5) and those that fill solid
    // (6 to 11); anything else is taken for a cross-hatch.
    static quint32 cleanHatch(quint32 hatch) { return hatch <= gdi::HS_DITHEREDBKCLR ? hatch : quint32(gdi::HS_CROSS); }

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

    // Selects a brush by handle or stock number; false when there is none.
    bool selectBrushObject(quint32 v)
    {
        if (v & STOCK) {
            const quint32 s = v & ~STOCK;
            if (s > 5 && s != 18)
                return false;
            selectObject(v);
            return true;
        }
        if (v >= m_objects.size() || m_objects[v].kind != Object::Brush)
            return false;
        selectObject(v);
        return true;
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
            m_canvas.setExtPen(o.pen, o.penStyle);
            if (o.brush.style != gdi::BS_SOLID)
                m_canvas.setPenBrush(o.brush, o.pattern);
            break;
        case Object::Brush:
            if (!o.pattern.isNull())
                m_canvas.setPatternBrush(o.pattern);
            else
                m_canvas.setBrush(o.brush);
            break;
        case Object::Font:
            m_canvas.setFont(o.font);
            break;
        case Object::None:
            break;
        }
    }

    std::vector<gdi::Rect> regionOf(const QByteArray &data) const
    {
        auto rects = regionRects(data);
        if (!rects)
            throw damagedError(m_ref->type, m_ref->offset, QStringLiteral("region rectangles"));
        return std::move(*rects);
    }

    // --- paths ---------------------------------------------------------------------
    // The path is kept in reference-device units: points are fixed by the
    // transform in force when they are added, as the graphics interface does.

    // A line or curve goes on from the current position (a device point,
    // fixed when it was reached): in the open figure when it ends there,
    // else in a new figure starting there.
    void pathStart()
    {
        if (!m_figureOpen || m_path.currentPosition() != m_pathPos) {
            m_path.moveTo(m_pathPos);
            m_figureOpen = true;
        }
    }

    void pathLineTo(const gdi::Point &p)
    {
        pathStart();
        m_pathPos = toDevice().map(qpt(p));
        m_path.lineTo(m_pathPos);
        m_canvas.moveTo(p.x, p.y);
    }

    // A polyline or polygon starts a figure of its own.
    void addToPath(const Poly &pts, bool close)
    {
        if (pts.empty())
            return;
        const QTransform t = toDevice();
        m_path.moveTo(t.map(qpt(pts[0])));
        for (size_t i = 1; i < pts.size(); ++i)
            m_path.lineTo(t.map(qpt(pts[i])));
        m_figureOpen = !close;
        if (close)
            m_path.closeSubpath();
    }

    // A closed figure (rectangle, ellipse, chord, pie) of its own.
    void addClosed(const QPainterPath &logical)
    {
        m_path.addPath(toDevice().map(logical));
        m_figureOpen = false;
    }

    // Lines and curves of logical units; the first figure goes on from the
    // current position when `fromCurrent`.
    void addPiece(const QPainterPath &logical, bool fromCurrent)
    {
        const QPainterPath dev = toDevice().map(logical);
        for (int i = 0; i < dev.elementCount(); ++i) {
            const QPainterPath::Element e = dev.elementAt(i);
            switch (e.type) {
            case QPainterPath::MoveToElement:
                if (i == 0 && fromCurrent)
                    pathStart();
                else
                    m_path.moveTo(e);
                break;
            case QPainterPath::LineToElement:
                m_path.lineTo(e);
                break;
            case QPainterPath::CurveToElement:
                if (i + 2 < dev.elementCount()) {
                    m_path.cubicTo(e, dev.elementAt(i + 1), dev.elementAt(i + 2));
                    i += 2;
                }
                break;
            case QPainterPath::CurveToDataElement:
                break;
            }
        }
        m_pathPos = m_path.currentPosition();
        m_figureOpen = true;
    }

    // The path as the selected pen would outline it.
    void widenPath()
    {
        if (m_path.isEmpty())
            return;
        const gdi::LogPen pen = m_canvas.pen();
        if ((pen.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL)
            return;
        // A pen of logical width is widened in logical units, so that a
        // transform stretching one way more than another stretches the
        // outline with the figure; a cosmetic pen (and one thinner than a
        // pixel every way) is one pixel wide.
        const QTransform t = toDevice();
        bool invertible = false;
        const QTransform back = t.inverted(&invertible);
        const double sum = t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22();
        const double det = t.determinant();
        const double largest = std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * det * det))) / 2);
        const bool logical = invertible && pen.width >= 1 && pen.width * largest >= 1;
        QPainterPathStroker stroker;
        stroker.setWidth(logical ? pen.width : 1.0);
        const bool geometric = (pen.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC;
        const quint32 cap = pen.style & gdi::PS_ENDCAP_MASK, join = pen.style & gdi::PS_JOIN_MASK;
        stroker.setCapStyle(!geometric || cap == gdi::PS_ENDCAP_ROUND ? Qt::RoundCap
                            : cap == gdi::PS_ENDCAP_SQUARE            ? Qt::SquareCap
                                                                      : Qt::FlatCap);
        stroker.setJoinStyle(!geometric || join == gdi::PS_JOIN_ROUND ? Qt::RoundJoin
                             : join == gdi::PS_JOIN_BEVEL             ? Qt::BevelJoin
                                                                      : Qt::SvgMiterJoin);
        stroker.setMiterLimit(m_canvas.miterLimit());
        m_path = logical ? t.map(stroker.createStroke(back.map(m_path))) : stroker.createStroke(m_path);
        m_figureOpen = false;
        m_widened = true;
    }

    // The path as it is filled: a widened path covers all its strokes.
    QPainterPath takePath()
    {
        m_inPath = false;
        QPainterPath path = m_path;
        m_path = QPainterPath();
        m_figureOpen = false;
        path.setFillRule(m_widened || m_canvas.polyFillMode() == gdi::WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        return path;
    }

    void drawPath(bool fill, bool stroke)
    {
        const QPainterPath path = takePath();
        if (path.isEmpty())
            return;
        // Back into logical units of the transform in force now, so that the
        // pen's width is scaled as it is now.
        bool invertible = false;
        const QTransform back = toDevice().inverted(&invertible);
        if (!invertible)
            return;
        QPainterPath logical = back.map(path);
        logical.setFillRule(path.fillRule());
        sync();
        m_canvas.drawPath(logical, fill, stroke);
    }

    void clipToPath(quint32 mode)
    {
        const QPainterPath path = takePath();
        m_canvas.setTransform(m_base);
        m_canvas.selectClipPath(path, mode);
        m_dirty = true;
    }

    // --- bitmaps and text -------------------------------------------------------------
    // `alpha` of 0 to 255 blends the bitmap; -1 draws it with `rop`.
    void blit(gdi::Rect dest, gdi::Rect src, QImage img, quint32 rop, int alpha = -1)
    {
        // Mirroring by a negative destination extent flips the picture.
        if (dest.right < dest.left) {
            std::swap(dest.left, dest.right);
            img = img.mirrored(true, false);
            src = {sat(qint64(img.width()) - src.right), src.top, sat(qint64(img.width()) - src.left), src.bottom};
        }
        if (dest.bottom < dest.top) {
            std::swap(dest.top, dest.bottom);
            img = img.mirrored(false, true);
            src = {src.left, sat(qint64(img.height()) - src.bottom), src.right, sat(qint64(img.height()) - src.top)};
        }
        if (dest.isEmpty() || normalized(src).isEmpty())
            return;
        sync();
        if (alpha >= 0)
            m_canvas.alphaBlend(dest, src, img, quint8(alpha));
        else
            m_canvas.stretchDIBits(dest, src, img, rop);
    }

    QString decode8(const QByteArray &chars) const
    {
        if (const char *codec = codePageOf(m_canvas.font().charSet)) {
            QStringDecoder dec(codec);
            if (dec.isValid())
                return dec(chars);
        }
        return QString::fromLatin1(chars);
    }

    void drawText(const gdi::Point &reference, quint32 options, const gdi::Rect &box, QString text,
                  std::vector<qint32> dx)
    {
        const gdi::Rect rect = normalized(box);
        const bool hasRect = options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED);
        sync();
        if (options & gdi::ETO_GLYPH_INDEX) {
            // Glyph numbers mean something only in the face that has them:
            // read back into characters through its character map, or left
            // out (with the opaque box) when that face is not here.
            // A glyph without a character is drawn as the glyph it is.
            quint32 keep = 0;
            if (!faceAtHand(m_canvas.font())) {
                if ((options & gdi::ETO_OPAQUE) && !rect.isEmpty())
                    m_canvas.fillRect(rect, {gdi::BS_SOLID, m_canvas.bkColor(), 0});
                return;
            }
            if (std::optional<QString> chars = glyphsToText(m_canvas.font(), text, &dx))
                text = *chars;
            else
                keep = gdi::ETO_GLYPH_INDEX;
            options = (options & ~gdi::ETO_GLYPH_INDEX) | keep;
        }
        const bool useDx = dx.size() == size_t(text.size()) &&
                           ((options & gdi::ETO_GLYPH_INDEX) || !isNaturalSpacing(text, dx));
        const quint32 drawOptions =
            options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED | gdi::ETO_RTLREADING | gdi::ETO_GLYPH_INDEX);

        // Glyphs stand upright whatever the mapping does with the y axis.
        const QTransform full = m_canvas.transform();
        if (full.determinant() < 0 && full.m12() == 0 && full.m21() == 0) {
            const QTransform flip(1, 0, 0, -1, 0, 0);
            m_canvas.setTransform(flip * full);
            const gdi::Rect fr = normalized({rect.left, sat(-qint64(rect.top)), rect.right, sat(-qint64(rect.bottom))});
            m_canvas.extTextOut(reference.x, sat(-qint64(reference.y)), drawOptions, hasRect ? &fr : nullptr, text,
                                useDx ? &dx : nullptr);
            m_dirty = true;
            return;
        }
        m_canvas.extTextOut(reference.x, reference.y, drawOptions, hasRect ? &rect : nullptr, text,
                            useDx ? &dx : nullptr);
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
    bool m_figureOpen = false; // the path's last figure takes more lines
    bool m_widened = false;
    QPainterPath m_path; // reference-device units
    QPointF m_pathPos;   // the current position as the path knows it
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
