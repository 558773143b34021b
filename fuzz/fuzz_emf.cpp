// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a metafile from arbitrary bytes, lists its text and plays it onto a
// small image, then into a recorder and back. Any outcome but success or an
// RpError is a fault.
#include "fuzzapp.h"
#include "platform/metafile.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"
#include "platform/rperror.h"

#include <QGuiApplication>
#include <QImage>
#include <cstddef>
#include <cstdint>

namespace {
void ensureApplication() { fuzzapp::ensure<QGuiApplication>(); }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    Metafile mf;
    try {
        mf = Metafile::fromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const RpError &) {
        return 0;
    }
    (void)mf.textRecords();
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::white);
    try {
        PainterCanvas canvas(&img);
        mf.play(canvas, {0, 0, 64, 48});
    } catch (const RpError &) {
    }
    try {
        MetafileRecorder rec(64, 48);
        rec.stretchDrawMetafile({0, 0, 64, 48}, mf);
        const Metafile again = rec.finish();
        QImage img2(32, 24, QImage::Format_RGB32);
        PainterCanvas canvas(&img2);
        again.play(canvas, {0, 0, 32, 24});
    } catch (const RpError &) {
    }
    return 0;
}
