// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building small metafiles record by record for the metafile tests.
#include "painter_support.h"

#include "platform/emf/emfcodec.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QtEndian>

#include <cmath>
#include <functional>

#include <optional>
#include <vector>

namespace emfsupport {

// A metafile of `pixels` x `pixels` on a 96-dpi reference device (254 mm
// for 960 pixels) holding `body` and an EOF record.
inline QByteArray build(const std::vector<emf::Record> &body, int pixels = 96, quint16 handles = 8,
                        std::optional<gdi::Rect> bounds = std::nullopt)
{
    QByteArray records;
    for (const auto &r : body)
        records.append(emf::encode(r));
    records.append(emf::encode(emf::EMR_EOF{}));
    emf::EMR_HEADER h;
    h.bounds = bounds.value_or(gdi::Rect{0, 0, pixels - 1, pixels - 1});
    h.frame = {0, 0, pixels * 2540 / 96, pixels * 2540 / 96};
    h.device = {960, 960};
    h.millimeters = {254, 254};
    h.micrometers = {254000, 254000};
    h.handles = handles;
    h.records = quint32(body.size() + 2);
    const qsizetype headerSize = emf::encode(h).size();
    h.bytes = quint32(headerSize + records.size());
    return emf::encode(h) + records;
}

// Offset of the n-th record (0 = header).
inline quint32 recordOffset(const QByteArray &bytes, int n)
{
    quint32 off = 0;
    for (int i = 0; i < n; ++i)
        off += qFromLittleEndian<quint32>(bytes.constData() + off + 4);
    return off;
}

inline QImage render(const Metafile &mf, int w, int h, int dpi = 96)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    PainterCanvas canvas(&img, dpi);
    mf.play(canvas, {0, 0, w, h});
    return img;
}

// The metafile played onto an image of its size at `dpi` (96: the size it
// was made at; 600: a printer page).
inline QImage renderAt(const Metafile &mf, int dpi)
{
    const double s = dpi / 96.0;
    return render(mf, int(std::lround(mf.width() * s)), int(std::lround(mf.height() * s)), dpi);
}

// Pixels where having exactly `colour` and `inside(x, y)` disagree, `inside`
// being asked about the pixel in the metafile's own pixels (the image is
// `scale` times larger). As in the Windows graphics interface, a pixel's
// centre is at its whole device coordinates; a pixel on an edge belongs to
// the figure when the edge is a top or left one, so `inside` is written
// with >= at those edges and < at the others.
template <class Inside>
qint64 mismatches(const QImage &img, double scale, QRgb colour, Inside inside)
{
    qint64 n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const bool has = (img.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
            n += has != inside(x / scale, y / scale);
        }
    return n;
}

// Pixels whose channels differ by more than `threshold`.
inline qint64 differingPixels(const QImage &a, const QImage &b, int threshold = 64)
{
    qint64 n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                    std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
            if (d > threshold)
                ++n;
        }
    }
    return n;
}

inline QRgb qrgb(gdi::ColorRef c) { return qRgb(gdi::redOf(c), gdi::greenOf(c), gdi::blueOf(c)); }

// Pixels that are not the colour `expected(x, y)` gives them; the first is
// named in a failure.
inline qint64 wrongPixels(const QImage &img, const std::function<QRgb(int, int)> &expected)
{
    qint64 n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb got = img.pixel(x, y) & 0xffffff, want = expected(x, y) & 0xffffff;
            if (got != want && n++ == 0)
                ADD_FAILURE() << "(" << x << ", " << y << ") is " << std::hex << got << ", not " << want;
        }
    return n;
}

// A metafile of 96 x 96 pixels holding `body`.
inline Metafile metafile(const std::vector<emf::Record> &body) { return Metafile::fromBytes(build(body)); }

// Runs `check(image, scale)` on the picture at 96 and at 600 dpi (the image
// `scale` times the metafile's pixels). With TOVREL_CANVAS_PNG set the
// pictures are kept in /tmp.
template <class Check>
void atBothResolutions(const Metafile &mf, Check check)
{
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(::testing::Message() << dpi << " dpi");
        const QImage img = renderAt(mf, dpi);
        paintersupport::savePng(img, QStringLiteral("emf_gdi_%1").arg(dpi));
        check(img, dpi / 96.0);
    }
}

} // namespace emfsupport

namespace emf {

// Record lists joined.
inline std::vector<Record> operator+(std::vector<Record> a, const std::vector<Record> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace emf
