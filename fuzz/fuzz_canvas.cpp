// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws arbitrary canvas calls into a recorder, reads the recorded bytes back
// as a metafile and plays them onto an image and into a second recorder.
// What the recorder writes must read and play: a recording its own reader
// refuses, or that fails on playback, is a fault. A call the recorder itself
// refuses with an RpError is fine.
#include "fuzzapp.h"
#include "platform/metafile.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"
#include "platform/rperror.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainterPath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
void ensureApplication() { fuzzapp::ensure<QGuiApplication>(); }

// Takes values from the input; zeros once it is used up.
class Input {
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_pos >= m_size; }
    quint8 byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    quint16 u16() { return quint16(byte() | byte() << 8); }
    quint32 u32() { return quint32(u16()) | quint32(u16()) << 16; }
    // Mostly coordinates near the page; now and then any 32-bit value.
    qint32 coord()
    {
        const quint8 kind = byte();
        if (kind < 240)
            return qint16(u16()) / 8;
        return qint32(u32());
    }
    gdi::Point point() { return {coord(), coord()}; }
    gdi::Rect rect() { return {coord(), coord(), coord(), coord()}; }
    std::vector<gdi::Point> points()
    {
        std::vector<gdi::Point> pts(byte() % 24);
        for (auto &p : pts)
            p = point();
        return pts;
    }
    QString text()
    {
        QString s;
        const int n = byte() % 16;
        for (int i = 0; i < n; ++i)
            s += QChar(char16_t(u16()));
        return s;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

void draw(Canvas &c, Input &in)
{
    switch (in.byte() % 28) {
    case 0: c.setPen({in.u32() % 9, in.coord(), in.u32()}); break;
    case 1: c.setBrush({in.u32() % 7, in.u32(), in.u32() % 7}); break;
    case 2: {
        gdi::LogFont f;
        f.height = in.coord();
        f.width = in.coord() / 4;
        f.escapement = in.coord();
        f.weight = in.u16() % 1000;
        f.italic = in.byte() & 1;
        f.underline = in.byte() & 1;
        f.strikeOut = in.byte() & 1;
        f.charSet = in.byte();
        static const char *const faces[] = {"Arial", "Courier New", "Wingdings", "Symbol", "", "AR PL UKai TW"};
        f.faceName = QString::fromLatin1(faces[in.byte() % 6]);
        c.setFont(f);
        break;
    }
    case 3: c.setTextColor(in.u32()); break;
    case 4: c.setBkColor(in.u32()); break;
    case 5: c.setBkMode(qint32(in.byte() % 3)); break;
    case 6: c.setTextAlign(in.u32() & 0x1f); break;
    case 7: c.setPolyFillMode(qint32(in.byte() % 3)); break;
    case 8: {
        QTransform t(in.coord() / 64.0, in.coord() / 64.0, in.coord() / 64.0, in.coord() / 64.0, in.coord(), in.coord());
        c.setTransform(t);
        break;
    }
    case 9: c.moveTo(in.coord(), in.coord()); break;
    case 10: c.lineTo(in.coord(), in.coord()); break;
    case 11: {
        const auto pts = in.points();
        c.polyline(pts);
        break;
    }
    case 12: c.rectangle(in.rect()); break;
    case 13: c.roundRect(in.rect(), in.coord(), in.coord()); break;
    case 14: c.ellipse(in.rect()); break;
    case 15: {
        const auto pts = in.points();
        c.polygon(pts);
        break;
    }
    case 16: {
        std::vector<std::vector<gdi::Point>> polys(in.byte() % 4);
        for (auto &p : polys)
            p = in.points();
        c.polyPolygon(polys);
        break;
    }
    case 17: {
        QPainterPath path;
        path.moveTo(in.coord(), in.coord());
        for (int i = in.byte() % 6; i > 0; --i)
            path.cubicTo(in.coord(), in.coord(), in.coord(), in.coord(), in.coord(), in.coord());
        if (in.byte() & 1)
            path.closeSubpath();
        const quint8 how = in.byte();
        c.drawPath(path, how & 1, how & 2);
        break;
    }
    case 18: c.fillRect(in.rect(), {in.u32() % 3, in.u32(), 0}); break;
    case 19: {
        std::vector<gdi::TriVertex> v(in.byte() % 6);
        for (auto &t : v)
            t = {in.coord(), in.coord(), in.u16(), in.u16(), in.u16(), in.u16()};
        std::vector<quint32> mesh(in.byte() % 7);
        for (auto &m : mesh)
            m = in.byte() % 8; // sometimes past the vertices
        c.gradientFill(v, mesh, in.byte() % 3);
        break;
    }
    case 20: {
        const gdi::Point at = in.point();
        const quint32 options = in.u32() & 0x16;
        const gdi::Rect r = in.rect();
        const QString s = in.text();
        std::vector<qint32> dx;
        const bool withDx = in.byte() & 1;
        if (withDx)
            for (qsizetype i = 0; i < s.size(); ++i)
                dx.push_back(in.coord());
        c.extTextOut(at.x, at.y, options, (options & 0x6) ? &r : nullptr, s, withDx ? &dx : nullptr);
        break;
    }
    case 21: {
        QImage img(1 + in.byte() % 16, 1 + in.byte() % 16, QImage::Format_ARGB32);
        img.fill(QColor::fromRgba(in.u32()));
        if (in.byte() & 1)
            c.stretchDIBits(in.rect(), in.rect(), img);
        else
            c.alphaBlend(in.rect(), in.rect(), img, in.byte());
        break;
    }
    case 22: c.intersectClipRect(in.rect()); break;
    case 23: c.excludeClipRect(in.rect()); break;
    case 24: c.selectClipRgnNone(); break;
    case 25: c.offsetClipRgn(in.coord(), in.coord()); break;
    case 26: (void)c.saveDC(); break;
    case 27: (void)c.restoreDC(-qint32(in.byte() % 4) - 1); break;
    }
}

[[noreturn]] void fault(const char *what, const RpError &e)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(e.message()));
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    Input in(data, size);
    const int w = 1 + in.byte() % 200, h = 1 + in.byte() % 200;
    MetafileRecorder rec(w, h);
    for (int calls = 0; !in.done() && calls < 200; ++calls) {
        try {
            draw(rec, in);
        } catch (const RpError &) {
            // refused by the recorder: the recording goes on
        }
    }
    const Metafile recorded = rec.finish();
    Metafile read;
    try {
        read = Metafile::fromBytes(recorded.bytes());
    } catch (const RpError &e) {
        fault("the recorder wrote a metafile its reader refuses", e);
    }
    if (read.recordCount() != recorded.recordCount() || read.bytes() != recorded.bytes())
        std::abort();
    (void)read.textRecords();
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::white);
    try {
        PainterCanvas canvas(&img);
        read.play(canvas, {0, 0, 64, 48});
    } catch (const RpError &e) {
        fault("a recorded metafile did not play", e);
    }
    try {
        MetafileRecorder again(w, h);
        again.stretchDrawMetafile({0, 0, w, h}, read);
        (void)Metafile::fromBytes(again.finish().bytes());
    } catch (const RpError &e) {
        fault("a recorded metafile did not record again", e);
    }
    return 0;
}
