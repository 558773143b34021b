// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textmeasurer.h"

#include "platform/paintercanvas.h"
#include "platform/units.h"

#include <QCoreApplication>
#include <QImage>
#include <memory>

namespace textmeasure {

namespace {

struct Surface {
    QImage image{1, 1, QImage::Format_ARGB32_Premultiplied};
    PainterCanvas canvas{&image, units::screenPixelsPerInch()};
};

// A thread's surface goes with its thread; the one of the last thread to end
// after the application object is gone (the main thread at exit) is left to
// the process, since its fonts may already be gone with the application.
struct SurfaceDeleter {
    void operator()(Surface *s) const
    {
        if (QCoreApplication::instance())
            delete s;
    }
};

PainterCanvas &surface()
{
    thread_local std::unique_ptr<Surface, SurfaceDeleter> s;
    if (!s)
        s.reset(new Surface);
    return s->canvas;
}

} // namespace

gdi::Size extent(const gdi::LogFont &font, const QString &text)
{
    PainterCanvas &c = surface();
    c.setFont(font);
    return c.textExtent(text);
}

} // namespace textmeasure
