// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The report surface on screen against golden images, and the same content
// printed at 96 and 600 dpi.
#include "labelfixture.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"
#include "testsupport.h"

#include <QDir>
#include <QPainter>

namespace {

class SurfaceImageTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        auto *l = new RpLabel(band);
        l->setObjectName(QStringLiteral("Heading"));
        l->setAutoSize(false);
        l->setBounds(20, 20, 300, 40);
        l->setFont(arial(16));
        l->setCaption(QStringLiteral("Class Name"));
        heading = l;
        int x = 20;
        for (int k = 0; k <= int(RpShapeType::rpsRightDiagonal); ++k) {
            auto *s = new RpShape(band);
            s->setShape(RpShapeType(k));
            s->setBounds(x, 100, 60, 40);
            s->setRoundFactor(0.3f);
            s->setBrush({gdi::BS_NULL, rpcolor::clWhite, 0});
            s->setPen({k % 2 ? gdi::PS_DOT : gdi::PS_SOLID, 1, k % 3 ? rpcolor::clGray : rpcolor::clBlack});
            shapes.push_back(s);
            x += 75;
        }
    }

    void compareGolden(const QImage &image, const QString &name)
    {
        const QString path = QStringLiteral(TOVREL_TEST_DIR "/golden/") + name + QStringLiteral(".png");
        image.save(QStringLiteral("/tmp/tovrel_") + name + QStringLiteral(".png"));
        if (testsupport::regenerateGoldens()) {
            QDir().mkpath(QStringLiteral(TOVREL_TEST_DIR "/golden"));
            ASSERT_TRUE(image.save(path));
            return;
        }
        QImage golden(path);
        ASSERT_FALSE(golden.isNull()) << "missing golden " << path.toStdString();
        const QImage a = image.convertToFormat(QImage::Format_RGB32);
        const QImage b = golden.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(a.size(), b.size());
        int differing = 0;
        for (int y = 0; y < a.height(); ++y) {
            const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
            const auto *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
            for (int x = 0; x < a.width(); ++x)
                if (pa[x] != pb[x])
                    ++differing;
        }
        // Glyph rasterising may move a few pixels between font engine builds.
        EXPECT_LE(differing, a.width() * a.height() / 2000) << name.toStdString();
    }

    RpLabel *heading = nullptr;
    std::vector<RpShape *> shapes;
};

TEST_F(SurfaceImageTest, ScreenAtZoom100Millimetres)
{
    compareGolden(report->grab().toImage(), QStringLiteral("surface_mm_100"));
}

TEST_F(SurfaceImageTest, ScreenAtZoom50And60Millimetres)
{
    report->setZoom(50);
    EXPECT_EQ(report->size(), QSize(397, 561));
    EXPECT_EQ(shapes[0]->geometry(), QRect(10, 50, 30, 20));
    compareGolden(report->grab().toImage(), QStringLiteral("surface_mm_50"));
    report->setZoom(60);
    compareGolden(report->grab().toImage(), QStringLiteral("surface_mm_60"));
}

TEST_F(SurfaceImageTest, ScreenAtZoom100Inches)
{
    report->setUnits(RpUnit::Inches);
    compareGolden(report->grab().toImage(), QStringLiteral("surface_in_100"));
}

TEST_F(SurfaceImageTest, PrintedRectanglesAndTextAt96And600Dpi)
{
    for (int dpi : {96, 600}) {
        const double f = dpi / 254.0;
        QImage page(rpRound(2100 * f), rpRound(700 * f), QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            PainterCanvas canvas(&page, dpi);
            RpCanvasPageDevice device(&canvas, f, f);
            RpReportRun run(*report, device);
            const int ofsX = 100, ofsY = 100; // the band at the page margins
            for (RpPrintable *p : band->printables()) {
                p->beginPrinting(run);
                p->printAt(run, ofsX, ofsY);
                p->endPrinting();
            }
        }
        page.save(QStringLiteral("/tmp/tovrel_print_%1.png").arg(dpi));
        // The rectangle shape's outline: its left column and top row are
        // inked exactly at XPos/YPos of its stored position.
        RpShape *rect = shapes[0];
        const double l = 100 + rect->size()->nativeValue(RpPrintableSize::LeftIdx);
        const double t = 100 + rect->size()->nativeValue(RpPrintableSize::TopIdx);
        const double w = rect->size()->nativeValue(RpPrintableSize::WidthIdx);
        const double h = rect->size()->nativeValue(RpPrintableSize::HeightIdx);
        const int L = rpRound(l * f), T = rpRound(t * f), R = rpRound((l + w) * f), B = rpRound((t + h) * f);
        auto dark = [&page](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
        EXPECT_TRUE(dark(L, (T + B) / 2)) << dpi;
        EXPECT_TRUE(dark(R - 1, (T + B) / 2)) << dpi;
        EXPECT_FALSE(dark(R, (T + B) / 2)) << dpi; // right edge exclusive
        EXPECT_TRUE(dark((L + R) / 2, T)) << dpi;
        EXPECT_FALSE(dark((L + R) / 2, T - 1)) << dpi;
        EXPECT_TRUE(dark((L + R) / 2, B - 1)) << dpi;
        EXPECT_FALSE(dark(L + 2, T + 2)) << dpi; // clear brush
        // The heading's text lies below and right of its anchor.
        const int tx = rpRound((100 + heading->size()->nativeValue(RpPrintableSize::LeftIdx)) * f);
        const int ty = rpRound((100 + heading->size()->nativeValue(RpPrintableSize::TopIdx)) * f);
        int minX = page.width(), minY = page.height();
        const int xEnd = std::min(page.width(), tx + rpRound(800 * f));
        for (int y = ty - 5; y < ty + rpRound(100 * f); ++y)
            for (int x = tx - 5; x < xEnd; ++x)
                if (dark(x, y)) {
                    minX = std::min(minX, x);
                    minY = std::min(minY, y);
                }
        EXPECT_GE(minX, tx) << dpi;
        EXPECT_LE(minX, tx + rpRound(20 * f)) << dpi;
        EXPECT_GE(minY, ty) << dpi;
        EXPECT_LE(minY, ty + rpRound(60 * f)) << dpi;
    }
}

TEST_F(SurfaceImageTest, RecordedAtScreenResolutionTheTextAndFiguresSitWhereTheConversionsSay)
{
    const double f = 96 / 254.0;
    MetafileRecorder rec(rpRound(2100 * f), rpRound(2970 * f));
    RpCanvasPageDevice device(&rec, f, f);
    {
        RpReportRun run(*report, device);
        for (RpPrintable *p : band->printables()) {
            p->beginPrinting(run);
            p->printAt(run, 100, 100);
            p->endPrinting();
        }
    }
    const Metafile mf = rec.finish();
    const auto texts = mf.textRecords();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, QStringLiteral("Class Name"));
    EXPECT_EQ(texts[0].reference.x, rpRound((100 + heading->size()->nativeValue(RpPrintableSize::LeftIdx)) * f));
    EXPECT_EQ(texts[0].reference.y, rpRound((100 + heading->size()->nativeValue(RpPrintableSize::TopIdx)) * f));

    RecordingCanvas played(96);
    mf.play(played, gdi::Rect{0, 0, mf.width(), mf.height()});
    const auto rects = played.of(DrawOp::Rectangle);
    ASSERT_FALSE(rects.empty());
    RpShape *r = shapes[0];
    const double l = 100 + r->size()->nativeValue(RpPrintableSize::LeftIdx);
    const double t = 100 + r->size()->nativeValue(RpPrintableSize::TopIdx);
    EXPECT_EQ(rects[0].r, (gdi::Rect{rpRound(l * f), rpRound(t * f),
                                     rpRound((l + r->size()->nativeValue(RpPrintableSize::WidthIdx)) * f),
                                     rpRound((t + r->size()->nativeValue(RpPrintableSize::HeightIdx)) * f)}));
}

} // namespace
