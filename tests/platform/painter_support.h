// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pixel helpers for the canvas tests: white images and where the ink is.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace paintersupport {

inline QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline bool isWhite(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }
inline bool isInk(const QImage &img, int x, int y) { return !isWhite(img.pixel(x, y)); }
inline bool isColor(const QImage &img, int x, int y, QColor c) { return (img.pixel(x, y) & 0xFFFFFF) == (c.rgb() & 0xFFFFFF); }

// Bounding box of the pixels for which `pred(rgb)` holds; empty when none.
template <typename Pred>
QRect boundsOf(const QImage &img, Pred pred)
{
    int l = img.width(), t = img.height(), r = -1, b = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(img.pixel(x, y))) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}
inline QRect inkBounds(const QImage &img) { return boundsOf(img, [](QRgb c) { return !isWhite(c); }); }
inline QRect colorBounds(const QImage &img, QColor col)
{
    return boundsOf(img, [&](QRgb c) { return (c & 0xFFFFFF) == (col.rgb() & 0xFFFFFF); });
}

// One row as a string: '#' for ink, '.' for white, from x0 to x1 inclusive.
inline QString rowString(const QImage &img, int y, int x0, int x1)
{
    QString s;
    for (int x = x0; x <= x1; ++x)
        s += isInk(img, x, y) ? u'#' : u'.';
    return s;
}
inline QString columnString(const QImage &img, int x, int y0, int y1)
{
    QString s;
    for (int y = y0; y <= y1; ++y)
        s += isInk(img, x, y) ? u'#' : u'.';
    return s;
}

// Number of pixels of exactly this colour.
inline int countColor(const QImage &img, QColor col)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (col.rgb() & 0xFFFFFF);
    return n;
}

inline void savePng(const QImage &img, const QString &name)
{
    if (qEnvironmentVariableIsSet("TOVREL_CANVAS_PNG"))
        img.save(QStringLiteral("/tmp/") + name + QStringLiteral(".png"));
}

} // namespace paintersupport
