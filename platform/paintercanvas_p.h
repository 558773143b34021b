#pragma once
// Small helpers shared by the files of the painter canvas.
#include "platform/gdi.h"

#include <QColor>

#include <cmath>

namespace paintercanvas_detail {

inline QColor qcolor(gdi::ColorRef c) { return QColor(gdi::redOf(c), gdi::greenOf(c), gdi::blueOf(c)); }

inline int roundi(qreal v) { return int(std::lround(v)); }

// Device coordinates are kept within +-2^24 pixels (far beyond any page), so
// that figures from damaged input cannot overflow the rasterizer.
constexpr qreal kDeviceLimit = 16777216.0;

} // namespace paintercanvas_detail
