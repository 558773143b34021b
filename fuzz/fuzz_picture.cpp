// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a picture from arbitrary bytes, both as the bytes of a blob field and
// as the stored form of a report description, and draws it onto a small
// image and into a metafile recorder. A damaged picture must come back with
// a reason and draw nothing; anything else (a crash, a hang, an exception
// leaving the loaders) is a fault.
#include "fuzzapp.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"
#include "platform/picture/picture.h"

#include <QGuiApplication>
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
void ensureApplication() { fuzzapp::ensure<QGuiApplication>(); }

void exercise(const Picture &p)
{
    if (p.damaged() && (p.error().isEmpty() || p.width() != 0 || p.height() != 0))
        std::abort();
    (void)p.palette();
    (void)p.storedData();
    QImage img(48, 32, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        PainterCanvas canvas(&img);
        QString error;
        (void)p.stretchDraw(canvas, {0, 0, 48, 32}, &error);
        (void)p.stretchDraw(canvas, {-20, -10, 30, 20}, &error);
    }
    MetafileRecorder rec(48, 32);
    QString error;
    (void)p.stretchDraw(rec, {2, 2, 40, 30}, &error);
    (void)rec.finish();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    exercise(Picture::fromBytes(bytes));
    const Picture stored = Picture::fromStoredData(bytes);
    exercise(stored);
    // A stored form is written back as it was read, damaged or not.
    if (!stored.isEmpty() && stored.storedData() != bytes && stored.damaged())
        std::abort();
    return 0;
}
