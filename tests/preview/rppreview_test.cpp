// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "previewfixture.h"
#include "preview/rppreview.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace previewfixture;

namespace {

struct PreviewTest : ::testing::Test {
    FakePrinterDevice dev;
    UseDevice use{&dev};
};

// Fraction of the pixels in `r` darker than mid-grey.
double darkShare(const QImage &img, const QRect &r)
{
    int dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            dark += qGray(img.pixel(x, y)) < 128;
    return double(dark) / (r.width() * r.height());
}

} // namespace

TEST_F(PreviewTest, ImageSizeFollowsThePaperAndTheZoom)
{
    RpPrinter p;
    generate(p, 1);
    RpPreview v;
    v.setReportPrinter(&p);
    v.setZoom(100);
    // A4 at 96 dpi is 794 x 1123 pixels; the border and shadow add 4.
    EXPECT_EQ(v.previewImage()->size(), QSize(798, 1127));
    v.setZoom(50);
    EXPECT_EQ(v.previewImage()->size(), QSize(397 + 4, 561 + 4));
    EXPECT_EQ(v.previewImage()->zoom(), 50);

    // Without a printer the paper is Letter.
    RpPreview bare;
    bare.setZoom(100);
    EXPECT_EQ(bare.previewImage()->size(), QSize(216 + 4, 279 + 4));
}

TEST_F(PreviewTest, ZoomLimitsAndModes)
{
    RpPrinter p;
    generate(p, 1);
    RpPreview v;
    v.setReportPrinter(&p);
    EXPECT_EQ(v.zoomState(), RpZoomState::rpZoomOther);
    v.show(); // resizes reach a shown control
    v.resize(2000, 1000);
    v.zoomToFit();
    // 1000 / 1123 * 95 = 84.6.
    EXPECT_EQ(v.zoom(), 85);
    EXPECT_EQ(v.zoomState(), RpZoomState::rpZoomToFit);
    // A resize fits again.
    v.resize(2000, 500);
    EXPECT_EQ(v.zoom(), 42);

    v.zoomToWidth();
    // 2000 / 794 * 90 = 226.7.
    EXPECT_EQ(v.zoom(), 227);
    EXPECT_EQ(v.zoomState(), RpZoomState::rpZoomToWidth);
    v.resize(1000, 500);
    EXPECT_EQ(v.zoom(), 113);

    for (int refused : {1, 0, -5, 2001}) {
        v.setZoom(refused);
        EXPECT_EQ(v.zoom(), 113) << refused;
        EXPECT_EQ(v.zoomState(), RpZoomState::rpZoomToWidth) << refused;
    }
    v.setZoom(2);
    EXPECT_EQ(v.zoom(), 2);
    v.setZoom(2000);
    EXPECT_EQ(v.zoom(), 2000);
    // A direct zoom stays through resizes.
    EXPECT_EQ(v.zoomState(), RpZoomState::rpZoomOther);
    v.resize(700, 700);
    EXPECT_EQ(v.zoom(), 2000);

    // Without a printer the width takes 95 % of Letter's 215.9.
    RpPreview bare;
    bare.resize(1000, 400);
    bare.zoomToWidth();
    EXPECT_EQ(bare.zoom(), 440);
}

TEST_F(PreviewTest, PageNumberIgnoresPagesItCannotShow)
{
    RpPrinter p;
    generate(p, 3);
    RpPreview v;
    v.setReportPrinter(&p);
    ASSERT_TRUE(v.previewImage()->imageOK());
    EXPECT_EQ(v.pageNumber(), 1);
    const QByteArray first = v.previewImage()->page()->bytes();
    v.setPageNumber(3);
    EXPECT_EQ(v.pageNumber(), 3);
    EXPECT_NE(v.previewImage()->page()->bytes(), first);
    for (int bad : {0, -1, 4}) {
        v.setPageNumber(bad);
        EXPECT_EQ(v.pageNumber(), 3) << bad;
        EXPECT_EQ(v.previewImage()->pageNumber(), 3) << bad;
    }
    // Attaching again starts at page 1.
    v.setReportPrinter(&p);
    EXPECT_EQ(v.pageNumber(), 1);
    EXPECT_EQ(v.previewImage()->page()->bytes(), first);
}

TEST_F(PreviewTest, PagesArriveWhileTheReportIsGenerated)
{
    RpPrinter p;
    p.beginDoc();
    p.newPage();
    drawBox(p, 1);
    RpPreview v;
    std::vector<int> available, progress;
    v.onPageAvailable = [&](RpPreview *, int n) { available.push_back(n); };
    v.onProgressUpdate = [&](RpPreview *, int n) { progress.push_back(n); };
    v.show(); // a control without a window gets no messages
    v.setReportPrinter(&p);
    EXPECT_EQ(p.client(), &v);
    EXPECT_TRUE(p.showingPreview());
    // Page 1 is still being drawn: a blank image.
    EXPECT_FALSE(v.previewImage()->imageOK());

    // Another page than the one shown only tells the owner.
    deliver(&v, CM_PAGEAVAILABLE, 2);
    EXPECT_FALSE(v.previewImage()->imageOK());
    EXPECT_EQ(available, std::vector<int>{2});

    p.newPage(); // page 1 is stored
    processMessages();
    EXPECT_TRUE(v.previewImage()->imageOK());
    EXPECT_EQ(available, (std::vector<int>{2, 1}));

    // Only the low 16 bits carry the value.
    deliver(&v, CM_REPORTPROGRESS, 0x10000 + 42);
    EXPECT_EQ(progress, std::vector<int>{42});
    p.endDoc();
}

TEST_F(PreviewTest, DetachingAndFreeingThePrinter)
{
    auto p = std::make_unique<RpPrinter>();
    generate(*p, 1);
    RpPreview v;
    v.setReportPrinter(p.get());
    v.setReportPrinter(nullptr);
    EXPECT_EQ(p->client(), nullptr);
    EXPECT_FALSE(p->showingPreview());
    EXPECT_FALSE(v.previewImage()->imageOK());

    // A printer freed under the preview is forgotten, not touched.
    v.setReportPrinter(p.get());
    p.reset();
    EXPECT_EQ(v.reportPrinter(), nullptr);
    v.setPageNumber(1);
    // Zoom falls back to Letter: in 250 x 250, 250 / 279 * 95 = 85.1.
    v.resize(250, 250);
    v.zoomToFit();
    EXPECT_EQ(v.zoom(), 85);
    EXPECT_EQ(v.previewImage()->size(), QSize(184 + 4, 237 + 4));
}

TEST_F(PreviewTest, PaintsTheSheetWithBorderAndShadow)
{
    RpPrinter p;
    generate(p, 1);
    RpPreview v;
    v.setReportPrinter(&p);
    v.setZoom(50);
    RpPreviewImage *img = v.previewImage();
    const QSize s = img->size();
    QImage shot(s, QImage::Format_RGB32);
    shot.fill(Qt::green);
    img->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    const int w = s.width(), h = s.height();
    // The border's corners and the shadow are black, the sheet white.
    EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(w - 3, h - 3), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(w - 1, h / 2), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(w / 2, h - 1), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(w / 2, h - 20), qRgb(255, 255, 255));
    // The shadow starts 2 pixels in: the top right corner shows the
    // background, not the sheet.
    const QRgb background = img->autoFillBackground() ? img->palette().color(img->backgroundRole()).rgb() : qRgb(0, 255, 0);
    EXPECT_NE(background, qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(w - 1, 0), background);
    EXPECT_EQ(shot.pixel(0, h - 1), background);
    // The box of page 1 (10 mm from the corner, 15 x 30 mm) is drawn at the zoom.
    const double scale = (w - 4) / 210.0;
    const QRect box(int(12 * scale), int(12 * scale), int(11 * scale), int(26 * scale));
    EXPECT_GT(darkShare(shot, box), 0.95);
    EXPECT_LT(darkShare(shot, QRect(int(40 * scale), int(60 * scale), 50, 50)), 0.01);
}
