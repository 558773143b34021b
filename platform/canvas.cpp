#include "platform/canvas.h"

#include "platform/metafile.h"

#include <cmath>

Canvas::Canvas() = default;
Canvas::~Canvas() = default;

void Canvas::setPen(const gdi::LogPen &pen) { m_state.pen = pen; }
void Canvas::setBrush(const gdi::LogBrush &brush) { m_state.brush = brush; }
void Canvas::setFont(const gdi::LogFont &font) { m_state.font = font; }
void Canvas::setTextColor(gdi::ColorRef color) { m_state.textColor = color; }
void Canvas::setBkColor(gdi::ColorRef color) { m_state.bkColor = color; }
void Canvas::setBkMode(qint32 mode) { m_state.bkMode = mode; }
void Canvas::setTextAlign(quint32 align) { m_state.textAlign = align; }
void Canvas::setStretchBltMode(qint32 mode) { m_state.stretchBltMode = mode; }
void Canvas::setTransform(const QTransform &t) { m_state.transform = t; }
void Canvas::moveTo(qint32 x, qint32 y) { m_state.position = {x, y}; }

void Canvas::advanceTextPosition(qint32 x, qint32 y, double width, qint32 escapement)
{
    double move = 0;
    switch (m_state.textAlign & gdi::TA_HORZ_MASK) {
    case gdi::TA_RIGHT:
        move = -width;
        break;
    case gdi::TA_CENTER:
        break;
    default:
        move = width;
    }
    const double ang = -escapement / 10.0 * M_PI / 180.0;
    m_state.position = {qint32(x + std::lround(move * std::cos(ang))), qint32(y + std::lround(move * std::sin(ang)))};
}

void Canvas::stretchDraw(const gdi::Rect &dest, const QImage &image)
{
    stretchDIBits(dest, gdi::Rect{0, 0, image.width(), image.height()}, image, gdi::SRCCOPY);
}

void Canvas::stretchDrawMetafile(const gdi::Rect &dest, const Metafile &metafile)
{
    metafile.play(*this, dest);
}

int Canvas::saveDC()
{
    m_saved.push_back(m_state);
    return int(m_saved.size());
}

bool Canvas::restoreDC(int n)
{
    const int depth = int(m_saved.size());
    const int target = n < 0 ? depth + n : n - 1;
    if (n == 0 || target < 0 || target >= depth)
        return false;
    m_state = m_saved[size_t(target)];
    m_saved.resize(size_t(target));
    stateRestored();
    return true;
}
