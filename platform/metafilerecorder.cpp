#include "platform/metafilerecorder.h"

#include "platform/emf/emfcodec.h"
#include "platform/emf/emfdib.h"
#include "platform/emf/emfstrings.h"
#include "platform/fonts.h"
#include "platform/rperror.h"
#include "platform/screen.h"
#include "platform/units.h"

#include <cmath>

using namespace emf;

namespace {
enum : quint32 {
    STOCK = 0x80000000,
    WHITE_BRUSH = STOCK | 0,
    NULL_BRUSH = STOCK | 5,
    BLACK_PEN = STOCK | 7,
    NULL_PEN = STOCK | 8,
    SYSTEM_FONT = STOCK | 13,
};
enum : quint32 { RGN_COPY = 5, PATCOPY = 0x00F00021, GM_COMPATIBLE = 1, GM_ADVANCED = 2 };

qint32 roundi(qreal v) { return qint32(std::clamp<qreal>(std::round(v), -2147483647.0, 2147483647.0)); }

XForm toXForm(const QTransform &t)
{
    return {float(t.m11()), float(t.m12()), float(t.m21()), float(t.m22()), float(t.dx()), float(t.dy())};
}
} // namespace

MetafileRecorder::MetafileRecorder(int width, int height, const QString &description)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)), m_description(description), m_used(1, true)
{
}

MetafileRecorder::~MetafileRecorder() = default;

int MetafileRecorder::deviceCaps(int index) const
{
    switch (index) {
    case gdi::LOGPIXELSX:
    case gdi::LOGPIXELSY:
        return units::screenPixelsPerInch();
    case gdi::HORZRES:
        return m_width;
    case gdi::VERTRES:
        return m_height;
    case gdi::HORZSIZE:
        return roundi(m_width * 25.4 / units::screenPixelsPerInch());
    case gdi::VERTSIZE:
        return roundi(m_height * 25.4 / units::screenPixelsPerInch());
    case gdi::BITSPIXEL:
        return screenColorDepth();
    case gdi::PLANES:
        return 1;
    default:
        return 0;
    }
}

// --- records and object slots ---------------------------------------------------

void MetafileRecorder::checkOpen() const
{
    if (m_finished)
        throw RpError(strings::recorderFinished());
}

void MetafileRecorder::write(const Record &r)
{
    checkOpen();
    m_body.append(encode(r));
    ++m_recordCount;
}

quint32 MetafileRecorder::allocate()
{
    for (quint32 i = 1; i < m_used.size(); ++i) {
        if (!m_used[i]) {
            m_used[i] = true;
            return i;
        }
    }
    m_used.push_back(true);
    const auto index = quint32(m_used.size() - 1);
    m_maxIndex = std::max(m_maxIndex, index);
    return index;
}

bool MetafileRecorder::heldBySavedState(quint32 index) const
{
    for (const Handles &h : m_savedHandles)
        if (h.pen == index || h.brush == index || h.font == index)
            return true;
    return false;
}

void MetafileRecorder::release(quint32 index)
{
    if (index == 0 || index >= m_used.size() || !m_used[index])
        return;
    if (index == m_current.pen || index == m_current.brush || index == m_current.font || heldBySavedState(index))
        return;
    write(EMR_DELETEOBJECT{index});
    m_used[index] = false;
}

void MetafileRecorder::selectPen()
{
    const gdi::LogPen &pen = m_state.pen;
    if (pen == m_recPen)
        return;
    checkOpen();
    const quint32 old = m_current.pen;
    if ((pen.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL || pen == gdi::LogPen{}) {
        write(EMR_SELECTOBJECT{(pen.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL ? quint32(NULL_PEN) : quint32(BLACK_PEN)});
        m_current.pen = 0;
    } else {
        const quint32 index = allocate();
        if (pen.style & ~gdi::PS_STYLE_MASK) {
            // End caps, joins and geometric pens need the extended form.
            EMR_EXTCREATEPEN r;
            r.index = index;
            r.style = pen.style;
            r.width = quint32(std::max(pen.width, 0));
            r.brushStyle = gdi::BS_SOLID;
            r.color = pen.color;
            write(r);
        } else {
            write(EMR_CREATEPEN{index, pen.style, {pen.width, 0}, pen.color});
        }
        write(EMR_SELECTOBJECT{index});
        m_current.pen = index;
    }
    release(old);
    m_recPen = pen;
}

void MetafileRecorder::selectBrush()
{
    const gdi::LogBrush &brush = m_state.brush;
    if (brush == m_recBrush)
        return;
    checkOpen();
    const quint32 old = m_current.brush;
    if (brush.style == gdi::BS_NULL || brush == gdi::LogBrush{}) {
        write(EMR_SELECTOBJECT{brush.style == gdi::BS_NULL ? quint32(NULL_BRUSH) : quint32(WHITE_BRUSH)});
        m_current.brush = 0;
    } else {
        const quint32 index = allocate();
        const quint32 style = brush.style == gdi::BS_HATCHED ? quint32(gdi::BS_HATCHED) : quint32(gdi::BS_SOLID);
        write(EMR_CREATEBRUSHINDIRECT{index, style, brush.color, style == gdi::BS_HATCHED ? brush.hatch : 0});
        write(EMR_SELECTOBJECT{index});
        m_current.brush = index;
    }
    release(old);
    m_recBrush = brush;
}

void MetafileRecorder::selectFont()
{
    const gdi::LogFont &font = m_state.font;
    if (font == m_recFont)
        return;
    checkOpen();
    const quint32 old = m_current.font;
    if (font == gdi::LogFont{}) {
        write(EMR_SELECTOBJECT{SYSTEM_FONT});
        m_current.font = 0;
    } else {
        const quint32 index = allocate();
        EMR_EXTCREATEFONTINDIRECTW r;
        r.index = index;
        r.font.font = font;
        write(r);
        write(EMR_SELECTOBJECT{index});
        m_current.font = index;
    }
    release(old);
    m_recFont = font;
}

// --- state ----------------------------------------------------------------------

void MetafileRecorder::setPen(const gdi::LogPen &pen)
{
    Canvas::setPen(pen);
    selectPen();
}

void MetafileRecorder::setBrush(const gdi::LogBrush &brush)
{
    Canvas::setBrush(brush);
    selectBrush();
}

void MetafileRecorder::setFont(const gdi::LogFont &font)
{
    Canvas::setFont(font);
    selectFont();
}

void MetafileRecorder::setTextColor(gdi::ColorRef color)
{
    Canvas::setTextColor(color);
    if (color != m_recTextColor) {
        write(EMR_SETTEXTCOLOR{color});
        m_recTextColor = color;
    }
}

void MetafileRecorder::setBkColor(gdi::ColorRef color)
{
    Canvas::setBkColor(color);
    if (color != m_recBkColor) {
        write(EMR_SETBKCOLOR{color});
        m_recBkColor = color;
    }
}

void MetafileRecorder::setBkMode(qint32 mode)
{
    Canvas::setBkMode(mode);
    if (mode != m_recBkMode) {
        write(EMR_SETBKMODE{quint32(mode)});
        m_recBkMode = mode;
    }
}

void MetafileRecorder::setTextAlign(quint32 align)
{
    Canvas::setTextAlign(align);
    if (align != m_recTextAlign) {
        write(EMR_SETTEXTALIGN{align});
        m_recTextAlign = align;
    }
}

void MetafileRecorder::setStretchBltMode(qint32 mode)
{
    Canvas::setStretchBltMode(mode);
    if (mode != m_recStretchMode) {
        write(EMR_SETSTRETCHBLTMODE{quint32(mode)});
        m_recStretchMode = mode;
    }
}

void MetafileRecorder::setTransform(const QTransform &t)
{
    Canvas::setTransform(t);
    if (t == m_recTransform)
        return;
    if (t.isIdentity())
        write(EMR_MODIFYWORLDTRANSFORM{XForm{}, MWT_IDENTITY});
    else
        write(EMR_SETWORLDTRANSFORM{toXForm(t)});
    m_recTransform = t;
}

int MetafileRecorder::saveDC()
{
    write(EMR_SAVEDC{});
    m_savedHandles.push_back(m_current);
    m_savedRecorded.push_back({m_recPen, m_recBrush, m_recFont, m_recTextColor, m_recBkColor, m_recBkMode,
                               m_recTextAlign, m_recStretchMode, m_recTransform});
    return Canvas::saveDC();
}

bool MetafileRecorder::restoreDC(int n)
{
    checkOpen();
    const int depth = int(m_saved.size());
    const int target = n < 0 ? depth + n : n - 1;
    if (!Canvas::restoreDC(n))
        return false;
    write(EMR_RESTOREDC{qint32(target - depth)}); // always relative
    // The device context selects the saved objects again; those that only
    // the dropped levels and the current state held are deleted.
    std::vector<quint32> dropped{m_current.pen, m_current.brush, m_current.font};
    for (size_t i = size_t(target) + 1; i < m_savedHandles.size(); ++i)
        dropped.insert(dropped.end(), {m_savedHandles[i].pen, m_savedHandles[i].brush, m_savedHandles[i].font});
    m_current = m_savedHandles[size_t(target)];
    const Recorded &r = m_savedRecorded[size_t(target)];
    m_recPen = r.pen;
    m_recBrush = r.brush;
    m_recFont = r.font;
    m_recTextColor = r.textColor;
    m_recBkColor = r.bkColor;
    m_recBkMode = r.bkMode;
    m_recTextAlign = r.textAlign;
    m_recStretchMode = r.stretchMode;
    m_recTransform = r.transform;
    m_savedHandles.resize(size_t(target));
    m_savedRecorded.resize(size_t(target));
    for (quint32 index : dropped)
        release(index);
    return true;
}

// --- bounds -----------------------------------------------------------------------

gdi::Rect MetafileRecorder::deviceBounds(const QRectF &logical, qreal grow) const
{
    const QRectF d = m_state.transform.mapRect(logical.normalized()).adjusted(-grow, -grow, grow, grow);
    // Inclusive pixels: the right and bottom edges of a figure are not drawn.
    const auto l = qint32(std::floor(std::clamp<qreal>(d.left(), -2e9, 2e9)));
    const auto t = qint32(std::floor(std::clamp<qreal>(d.top(), -2e9, 2e9)));
    const auto r = qint32(std::ceil(std::clamp<qreal>(d.right(), -2e9, 2e9))) - 1;
    const auto b = qint32(std::ceil(std::clamp<qreal>(d.bottom(), -2e9, 2e9))) - 1;
    return {l, t, std::max(l, r), std::max(t, b)};
}

void MetafileRecorder::include(const QRectF &logical, qreal grow)
{
    const gdi::Rect b = deviceBounds(logical, grow);
    if (!m_hasBounds) {
        m_bounds = b;
        m_hasBounds = true;
        return;
    }
    m_bounds = {std::min(m_bounds.left, b.left), std::min(m_bounds.top, b.top), std::max(m_bounds.right, b.right),
                std::max(m_bounds.bottom, b.bottom)};
}

qreal MetafileRecorder::penGrow() const
{
    if ((m_state.pen.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL)
        return 0;
    const qreal scale = std::sqrt(std::abs(m_state.transform.determinant()));
    return std::max<qreal>(1, m_state.pen.width * scale / 2 + 1);
}

QRectF MetafileRecorder::pointsRect(std::span<const gdi::Point> points) const
{
    if (points.empty())
        return {};
    qint64 l = points[0].x, r = l, t = points[0].y, b = t;
    for (const auto &p : points) {
        l = std::min<qint64>(l, p.x);
        r = std::max<qint64>(r, p.x);
        t = std::min<qint64>(t, p.y);
        b = std::max<qint64>(b, p.y);
    }
    return QRectF(QPointF(l, t), QPointF(r, b));
}

bool MetafileRecorder::fits16(std::span<const gdi::Point> points)
{
    for (const auto &p : points)
        if (p.x < -32768 || p.x > 32767 || p.y < -32768 || p.y > 32767)
            return false;
    return true;
}

// --- drawing -----------------------------------------------------------------------

void MetafileRecorder::moveTo(qint32 x, qint32 y)
{
    write(EMR_MOVETOEX{{x, y}});
    Canvas::moveTo(x, y);
}

void MetafileRecorder::lineTo(qint32 x, qint32 y)
{
    const gdi::Point from = m_state.position;
    include(QRectF(QPointF(from.x, from.y), QPointF(x, y)), penGrow());
    write(EMR_LINETO{{x, y}});
    Canvas::moveTo(x, y);
}

void MetafileRecorder::polyline(std::span<const gdi::Point> points)
{
    const QRectF r = pointsRect(points);
    include(r, penGrow());
    const gdi::Rect b = deviceBounds(r, penGrow());
    std::vector<gdi::Point> pts(points.begin(), points.end());
    if (fits16(points))
        write(EMR_POLYLINE16{b, {pts}});
    else
        write(EMR_POLYLINE{b, {pts}});
}

void MetafileRecorder::polygon(std::span<const gdi::Point> points)
{
    const QRectF r = pointsRect(points);
    include(r, penGrow());
    const gdi::Rect b = deviceBounds(r, penGrow());
    std::vector<gdi::Point> pts(points.begin(), points.end());
    if (fits16(points))
        write(EMR_POLYGON16{b, {pts}});
    else
        write(EMR_POLYGON{b, {pts}});
}

void MetafileRecorder::rectangle(const gdi::Rect &r)
{
    include(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)));
    write(EMR_RECTANGLE{r});
}

void MetafileRecorder::roundRect(const gdi::Rect &r, qint32 cornerWidth, qint32 cornerHeight)
{
    include(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)));
    write(EMR_ROUNDRECT{r, {cornerWidth, cornerHeight}});
}

void MetafileRecorder::ellipse(const gdi::Rect &r)
{
    include(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)));
    write(EMR_ELLIPSE{r});
}

void MetafileRecorder::fillRect(const gdi::Rect &r, const gdi::LogBrush &brush)
{
    if (brush.style == gdi::BS_NULL || r.isEmpty())
        return;
    checkOpen();
    // FillRect is a pattern copy with a brush of its own, as a device
    // context records it.
    const quint32 index = allocate();
    const quint32 style = brush.style == gdi::BS_HATCHED ? quint32(gdi::BS_HATCHED) : quint32(gdi::BS_SOLID);
    write(EMR_CREATEBRUSHINDIRECT{index, style, brush.color, style == gdi::BS_HATCHED ? brush.hatch : 0});
    write(EMR_SELECTOBJECT{index});
    const QRectF lr(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
    include(lr);
    EMR_BITBLT b;
    b.bounds = deviceBounds(lr);
    b.xDest = r.left;
    b.yDest = r.top;
    b.cxDest = r.width();
    b.cyDest = r.height();
    b.rop = PATCOPY;
    write(b);
    const quint32 current = m_current.brush ? m_current.brush
                                            : (m_recBrush.style == gdi::BS_NULL ? quint32(NULL_BRUSH) : quint32(WHITE_BRUSH));
    write(EMR_SELECTOBJECT{current});
    write(EMR_DELETEOBJECT{index});
    m_used[index] = false;
}

void MetafileRecorder::extTextOut(qint32 x, qint32 y, quint32 options, const gdi::Rect *rect, const QString &text,
                                  const std::vector<qint32> *dx)
{
    checkOpen();
    const auto font = fonts::resolve(m_state.font);
    const quint32 align = m_state.textAlign;
    const bool updateCp = align & gdi::TA_UPDATECP;
    if (updateCp) {
        x = m_state.position.x;
        y = m_state.position.y;
    }

    // Every character's advance is stored: the font's advances rounded along
    // the line, unless the caller gave its own.
    std::vector<qint32> advances;
    if (dx && dx->size() == size_t(text.size())) {
        advances = *dx;
    } else {
        const fonts::TextLayout layout = font->layout(text);
        qreal acc = 0;
        qint64 prev = 0;
        for (qreal a : layout.advances) {
            acc += a;
            const qint64 next = std::llround(acc);
            advances.push_back(qint32(next - prev));
            prev = next;
        }
        advances.resize(size_t(text.size()), 0);
    }
    qint64 width = 0;
    for (qint32 a : advances)
        width += a;

    const gdi::TextMetric &tm = font->textMetric();
    qint64 left = x;
    switch (align & gdi::TA_HORZ_MASK) {
    case gdi::TA_RIGHT:
        left = x - width;
        break;
    case gdi::TA_CENTER:
        left = x - width / 2;
        break;
    default:
        break;
    }
    qint64 top = y;
    switch (align & gdi::TA_VERT_MASK) {
    case gdi::TA_BASELINE:
        top = y - tm.ascent;
        break;
    case gdi::TA_BOTTOM:
        top = y - tm.height;
        break;
    default:
        break;
    }
    const QRectF box(QPointF(left, top), QPointF(left + width, top + tm.height));
    const gdi::Rect textBox{qint32(left), qint32(top), qint32(left + width), qint32(top + tm.height)};

    QRectF drawn = box;
    if (rect && (options & gdi::ETO_OPAQUE))
        drawn = drawn.united(QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom)));
    if (rect && (options & gdi::ETO_CLIPPED) && !(options & gdi::ETO_OPAQUE))
        drawn = drawn.intersected(QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom)).normalized());
    if (font->logFont().escapement != 0) {
        // Rotated text: a square around the reference point covers it.
        const qreal reach = std::hypot(qreal(width), qreal(tm.height)) + 1;
        drawn = QRectF(x - reach, y - reach, 2 * reach, 2 * reach);
    }
    if (!text.isEmpty() || (rect && (options & gdi::ETO_OPAQUE)))
        include(drawn, 1);

    EMR_EXTTEXTOUTW r;
    r.bounds = deviceBounds(drawn, 1);
    r.graphicsMode = m_state.transform.isIdentity() ? GM_COMPATIBLE : GM_ADVANCED;
    r.exScale = r.eyScale = float(2540.0 / 96 / 100); // 0.01 mm per pixel, over 100
    r.text.reference = {x, y};
    r.text.options = options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED | gdi::ETO_RTLREADING);
    r.text.rect = rect ? *rect : textBox;
    r.text.chars = QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    r.text.dx = advances;
    write(r);

    if (updateCp)
        advanceTextPosition(x, y, double(width), font->logFont().escapement);
}

gdi::Size MetafileRecorder::textExtent(const QString &text)
{
    const auto font = fonts::resolve(m_state.font);
    return {roundi(font->advanceWidth(text)), font->textMetric().height};
}

gdi::TextMetric MetafileRecorder::textMetrics() { return fonts::resolve(m_state.font)->textMetric(); }

void MetafileRecorder::stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32 rop)
{
    checkOpen();
    if (image.isNull())
        return;
    const bool mirrorX = src.right < src.left, mirrorY = src.bottom < src.top;
    const QRect s = QRect(QPoint(std::min(src.left, src.right), std::min(src.top, src.bottom)),
                          QPoint(std::max(src.left, src.right) - 1, std::max(src.top, src.bottom) - 1));
    const QRect part = s.intersected(image.rect());
    if (part.isEmpty() || dest.width() == 0 || dest.height() == 0)
        return;
    // A source partly outside the picture shrinks the destination with it.
    const qreal fx = qreal(dest.width()) / s.width(), fy = qreal(dest.height()) / s.height();
    const qreal sl = mirrorX ? s.right() + 1 - (part.right() + 1) : part.left() - s.left();
    const qreal st = mirrorY ? s.bottom() + 1 - (part.bottom() + 1) : part.top() - s.top();
    gdi::Rect d{roundi(dest.left + sl * fx), roundi(dest.top + st * fy), 0, 0};
    d.right = roundi(d.left + part.width() * fx);
    d.bottom = roundi(d.top + part.height() * fy);

    QImage sub = image.copy(part);
    if (mirrorX || mirrorY)
        sub = sub.mirrored(mirrorX, mirrorY);
    const QRectF lr(QPointF(d.left, d.top), QPointF(d.right, d.bottom));
    include(lr);
    EMR_STRETCHDIBITS r;
    r.bounds = deviceBounds(lr);
    r.xDest = d.left;
    r.yDest = d.top;
    r.cxDest = d.width();
    r.cyDest = d.height();
    r.xSrc = 0;
    r.ySrc = 0;
    r.cxSrc = sub.width();
    r.cySrc = sub.height();
    r.dib = imageToDib(sub);
    r.usage = 0; // DIB_RGB_COLORS
    r.rop = rop;
    write(r);
}

void MetafileRecorder::intersectClipRect(const gdi::Rect &r) { write(EMR_INTERSECTCLIPRECT{r}); }

void MetafileRecorder::selectClipRgnNone() { write(EMR_EXTSELECTCLIPRGN{0, RGN_COPY, {}}); }

// --- finishing ----------------------------------------------------------------------

Metafile MetafileRecorder::finish()
{
    if (m_finished)
        return *m_finished;
    write(EMR_EOF{});

    const double dpi = units::screenPixelsPerInch();
    EMR_HEADER h;
    h.bounds = m_hasBounds ? m_bounds : gdi::Rect{0, 0, -1, -1};
    h.frame = {0, 0, roundi(m_width * 2540.0 / dpi), roundi(m_height * 2540.0 / dpi)};
    h.records = m_recordCount + 1;
    h.handles = quint16(std::min<quint32>(m_maxIndex + 1, 0xffff));
    h.description = m_description.isEmpty() ? QString() : m_description + QChar(0);
    h.device = {m_width, m_height};
    h.millimeters = {std::max(roundi(m_width * 25.4 / dpi), 1), std::max(roundi(m_height * 25.4 / dpi), 1)};
    h.micrometers = {roundi(m_width * 25400.0 / dpi), roundi(m_height * 25400.0 / dpi)};
    h.bytes = 0;
    const qsizetype headerSize = encode(h).size();
    h.bytes = quint32(headerSize + m_body.size());
    QByteArray all = encode(h);
    all.append(m_body);
    m_body.clear();
    m_finished = Metafile::fromBytes(all);
    return *m_finished;
}
