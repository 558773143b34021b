// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The picture controls on the page: their own size on any device, centring
// and clipping, AutoSize and the opaque flag, the fitting modes of the
// graphic database image, the expanded height a database image gives its
// band, and damaged pictures that print nothing and say so once.
#include "../testsupport.h"
#include "controls/rpdbimage.h"
#include "controls/rpgrdbimage.h"
#include "controls/rpimage.h"
#include "data/memorytable.h"
#include "labelfixture.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"

namespace {

QImage solid(int w, int h, QRgb c = qRgb(200, 30, 30))
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

Picture bitmap(int w, int h) { return Picture::fromImage(solid(w, h)); }

Picture metafile(int w, int h)
{
    MetafileRecorder rec(w, h);
    rec.fillRect({0, 0, w, h}, gdi::LogBrush{gdi::BS_SOLID, gdi::rgb(0, 0, 255), 0});
    return Picture::fromBytes(rec.finish().bytes());
}

QByteArray jpegBytes() { return testsupport::readFile(testsupport::testdata(QStringLiteral("pictures/python-small.jpg"))); }

class ImageTest : public ControlTest {
protected:
    // A control at native (left, top) of `w` x `h` on the band.
    template <class C> C *control(double l, double t, double w, double h)
    {
        auto *c = new C(band);
        c->setObjectName(QStringLiteral("Pic"));
        c->size()->readValueList({h, l, t, w});
        c->size()->updateOwnerBounds();
        return c;
    }
    // One print as a run does it, with the table as the run's data set.
    void printWith(RpPrintable *p, Canvas &canvas, double dpi)
    {
        RpCanvasPageDevice device(&canvas, dpi / 254.0, dpi / 254.0);
        RpReportRun run(*report, device, exportTo);
        run.setFinalPass(finalPass);
        run.dataSets = {&table};
        p->beginPrinting(run);
        p->printAt(run, 0, 0);
        p->printAt(run, 0, 0);
        p->endPrinting();
        errors = run.errors();
    }
    // A table PHOTOS with one blob field holding `bytes`.
    void photo(const QByteArray &bytes)
    {
        table.clear();
        table.setName(QStringLiteral("PHOTOS"));
        table.addField(QStringLiteral("PHOTO"), RpFieldType::Blob);
        table.appendRecord({bytes});
        table.first();
    }
    template <class D> D *dbImage(double w, double h)
    {
        D *d = control<D>(0, 0, w, h);
        d->setDataSetName(QStringLiteral("photos"));
        d->setDataField(QStringLiteral("photo"));
        return d;
    }
    RpMemoryTable table;
    QStringList errors;
};

TEST_F(ImageTest, AutoSizeTakesThePicturesPixelSizeUnlessItHasNone)
{
    RpImage *img = control<RpImage>(0, 0, 300, 300);
    img->setAutoSize(true);
    img->setPicture(bitmap(200, 100));
    EXPECT_EQ(img->pixelBounds().width, 200);
    EXPECT_EQ(img->pixelBounds().height, 100);
    img->setPicture(Picture());
    EXPECT_EQ(img->pixelBounds().width, 200);
    EXPECT_EQ(img->pixelBounds().height, 100);
    img->setPicture(Picture::fromBytes("damaged"));
    EXPECT_EQ(img->pixelBounds().width, 200);
}

TEST_F(ImageTest, OnlyABitmapCoveringTheControlMakesItOpaque)
{
    RpImage *img = control<RpImage>(0, 0, 100, 100);
    const int W = img->pixelBounds().width, H = img->pixelBounds().height;
    img->setPicture(bitmap(W, H));
    EXPECT_FALSE(img->transparentStyle());
    img->setPicture(bitmap(W - 1, H + 10));
    EXPECT_TRUE(img->transparentStyle());
    img->setPicture(bitmap(W + 10, H - 1));
    EXPECT_TRUE(img->transparentStyle());
    img->setPicture(bitmap(W + 10, H + 10));
    EXPECT_FALSE(img->transparentStyle());
    img->setPicture(metafile(W + 50, H + 50));
    EXPECT_TRUE(img->transparentStyle());
}

TEST_F(ImageTest, AnUnstretchedPicturePrintsAtItsScreenSizeOnAnyDevice)
{
    // 96 pixels on the 96-dpi screen are one inch, 254 native units.
    for (const double dpi : {96.0, 300.0, 600.0, 1200.0}) {
        RpImage *img = control<RpImage>(100, 100, 500, 500);
        img->setPicture(bitmap(96, 48));
        RecordingCanvas c{int(dpi)};
        printWith(img, c, dpi);
        const auto bitmaps = c.of(DrawOp::Bitmap);
        ASSERT_EQ(bitmaps.size(), 2u) << dpi;
        RpCanvasPageDevice device(&c, dpi / 254.0, dpi / 254.0);
        EXPECT_EQ(bitmaps[0].r.width(), device.xSize(254)) << dpi;
        EXPECT_EQ(bitmaps[0].r.height(), device.ySize(127)) << dpi;
        EXPECT_EQ(bitmaps[0].r.left, device.xPos(100));
        EXPECT_EQ(bitmaps[0].src, (gdi::Rect{0, 0, 96, 48}));
        EXPECT_EQ(bitmaps[0].stretchMode, gdi::COLORONCOLOR);
        delete img;
    }
}

TEST_F(ImageTest, ACentredPictureLargerThanTheControlIsClippedOnBothSides)
{
    RpImage *img = control<RpImage>(0, 0, 254, 254); // 96 x 96 screen pixels
    img->setCenter(true);
    img->setPicture(bitmap(192, 48));
    RecordingCanvas c(96);
    c.recordClips = true;
    printWith(img, c, 96);
    const auto clips = c.of(DrawOp::Clip);
    const auto bitmaps = c.of(DrawOp::Bitmap);
    ASSERT_EQ(clips.size(), 2u);
    ASSERT_EQ(bitmaps.size(), 2u);
    EXPECT_EQ(clips[0].r, (gdi::Rect{0, 0, 96, 96}));
    // dx = (96 - 192) div 2 = -48, dy = (96 - 48) div 2 = 24
    EXPECT_EQ(bitmaps[0].r, (gdi::Rect{-48, 24, 144, 72}));
    EXPECT_LT(bitmaps[0].r.left, clips[0].r.left);
    EXPECT_GT(bitmaps[0].r.right, clips[0].r.right);
}

TEST_F(ImageTest, NoClippingRegionRemainsAfterAnUnstretchedPicture)
{
    QImage page(400, 400, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PainterCanvas canvas(&painter, 96, 96, page.size());
    canvas.intersectClipRect({10, 10, 50, 50});
    ASSERT_TRUE(canvas.clipRegion().has_value());
    RpImage *img = control<RpImage>(100, 100, 200, 200);
    img->setPicture(bitmap(40, 40));
    printWith(img, canvas, 96);
    EXPECT_FALSE(canvas.clipRegion().has_value());
    // The picture was clipped to the control, not to the earlier region.
    EXPECT_EQ(page.pixel(40, 40), qRgb(200, 30, 30));

    // The database images leave none either.
    photo(Picture::fromImage(solid(40, 40)).bytes());
    for (RpPrintable *d : std::initializer_list<RpPrintable *>{dbImage<RpDBImage>(200, 200), dbImage<RpGrDBImage>(200, 200)}) {
        canvas.intersectClipRect({10, 10, 50, 50});
        printWith(d, canvas, 96);
        EXPECT_FALSE(canvas.clipRegion().has_value());
    }
}

TEST_F(ImageTest, ADatabaseImagesExpandedHeightIsItsBitmapsHeightAndZeroForOtherPictures)
{
    auto *d = dbImage<RpDBImage>(500, 300);
    const double own = d->pixelBounds().height;
    double h = -1;
    d->getExpandedHeight(h); // not bound: its own height
    EXPECT_EQ(h, own);
    struct Case {
        QByteArray bytes;
        double want;
    };
    const std::vector<Case> cases{
        {Picture::fromImage(solid(30, 77)).bytes(), 77},
        {jpegBytes(), 0},
        {metafile(40, 40).bytes(), 0},
        {QByteArray(), 0},
    };
    for (const Case &k : cases) {
        photo(k.bytes);
        RecordingCanvas c(96);
        RpCanvasPageDevice device(&c);
        RpReportRun run(*report, device);
        run.dataSets = {&table};
        d->beginPrinting(run);
        double e = -1;
        d->getExpandedHeight(e);
        EXPECT_EQ(e, k.want) << k.bytes.size();
        d->endPrinting();
    }
    // A field that is not a blob: the control's own height.
    table.clear();
    table.addField(QStringLiteral("PHOTO"), RpFieldType::String);
    table.appendRecord({QStringLiteral("x")});
    table.first();
    RecordingCanvas c(96);
    RpCanvasPageDevice device(&c);
    RpReportRun run(*report, device);
    run.dataSets = {&table};
    d->beginPrinting(run);
    double e = -1;
    d->getExpandedHeight(e);
    EXPECT_EQ(e, own);
    d->endPrinting();
}

TEST_F(ImageTest, FittingModesPlaceThePictureInsideTheControl)
{
    RecordingCanvas c(96);
    RpCanvasPageDevice device(&c, 96 / 254.0, 96 / 254.0);
    auto *g = dbImage<RpGrDBImage>(254, 127); // 96 x 48 pixels
    const gdi::Rect page{0, 0, 96, 48};
    auto place = [&](FitMode m, bool stretch, const Picture &pic) {
        g->setFitMode(m);
        g->setStretch(stretch);
        return g->placement(device, 0, 0, pic);
    };
    // Stretched, the fitting plays no part: the whole rectangle is filled.
    for (FitMode m : {FitMode::fmKeepWidth, FitMode::fmKeepHeight, FitMode::fmProportional, FitMode::fmInsideProp}) {
        const PicturePlacement p = place(m, true, bitmap(10, 90));
        EXPECT_EQ(p.dest, page);
        EXPECT_FALSE(p.clipped);
    }
    // The control's own proportions inside: nothing moves.
    const PicturePlacement same = place(FitMode::fmInsideProp, false, bitmap(200, 100));
    EXPECT_EQ(same.dest, page);
    EXPECT_EQ(same.clip, page);
    // Relatively wider: full width, height to the proportions, centred.
    const PicturePlacement wide = place(FitMode::fmInsideProp, false, bitmap(400, 100));
    EXPECT_EQ(wide.dest, (gdi::Rect{0, 12, 96, 36}));
    const PicturePlacement tall = place(FitMode::fmInsideProp, false, bitmap(100, 200));
    EXPECT_EQ(tall.dest, (gdi::Rect{36, 0, 60, 48}));
    // Covering, a relatively wider picture keeps the height, centred: it
    // overflows both sides and is clipped to the control.
    g->setCenter(true);
    const PicturePlacement cover = place(FitMode::fmProportional, false, bitmap(400, 100));
    EXPECT_EQ(cover.dest.height(), 48);
    EXPECT_EQ(cover.dest.width(), 192);
    EXPECT_EQ(cover.dest.left, -48);
    EXPECT_EQ(cover.clip, page);
    // Keeping the width of a taller picture, centred vertically.
    const PicturePlacement keepWidth = place(FitMode::fmKeepWidth, false, bitmap(100, 100));
    EXPECT_EQ(keepWidth.dest, (gdi::Rect{0, -24, 96, 72}));
    EXPECT_EQ(keepWidth.clip, page);
    g->setCenter(false);
    const PicturePlacement keepHeight = place(FitMode::fmKeepHeight, false, bitmap(100, 100));
    EXPECT_EQ(keepHeight.dest, (gdi::Rect{0, 0, 48, 48}));
    EXPECT_EQ(keepHeight.clip, keepHeight.dest);
    // ClipImage: the picture at its own size from the fitted corner.
    g->setClipImage(true);
    const PicturePlacement own = place(FitMode::fmKeepHeight, false, bitmap(30, 20));
    EXPECT_EQ(own.dest, (gdi::Rect{0, 0, 30, 20}));
}

TEST_F(ImageTest, AStretchedDatabaseImageWithAnEmptyFieldFillsWithItsColour)
{
    photo(QByteArray());
    auto *d = dbImage<RpDBImage>(254, 254);
    d->setStretch(true);
    d->setColor(gdi::rgb(0, 200, 0));
    RecordingCanvas c(96);
    printWith(d, c, 96);
    const auto fills = c.of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].r, (gdi::Rect{0, 0, 96, 96}));
    EXPECT_EQ(fills[0].brush.color, gdi::rgb(0, 200, 0));
    // Unstretched and empty: nothing.
    d->setStretch(false);
    RecordingCanvas e(96);
    printWith(d, e, 96);
    EXPECT_TRUE(e.of(DrawOp::FillRect).empty());
    EXPECT_TRUE(e.of(DrawOp::Bitmap).empty());
    // Without a data set or with a field it does not have, only the frame.
    d->setDataSetName(QStringLiteral("nosuch"));
    d->frame()->setDrawTop(true);
    RecordingCanvas f(96);
    printWith(d, f, 96);
    EXPECT_TRUE(f.of(DrawOp::Bitmap).empty());
    EXPECT_EQ(f.of(DrawOp::FillRect).size(), 2u); // the frame's top side, twice
}

TEST_F(ImageTest, DamagedPicturesPrintNothingAndAreReportedOncePerRun)
{
    QByteArray truncated = jpegBytes();
    truncated.chop(40);
    RpImage *img = control<RpImage>(0, 0, 200, 200);
    img->pictureRef().setData(Picture::fromBytes(jpegBytes()).storedData().left(30));
    ASSERT_TRUE(img->picture().damaged());
    RecordingCanvas c(96);
    printWith(img, c, 96);
    EXPECT_TRUE(c.of(DrawOp::Bitmap).empty());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Pic: the picture stored with the report was not printed: ")))
        << errors[0].toStdString();

    photo(truncated);
    for (RpPrintable *d : std::initializer_list<RpPrintable *>{dbImage<RpDBImage>(200, 200), dbImage<RpGrDBImage>(200, 200)}) {
        RecordingCanvas e(96);
        printWith(d, e, 96);
        EXPECT_TRUE(e.of(DrawOp::Bitmap).empty());
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(QStringLiteral("in field photo of data set PHOTOS")));
        EXPECT_TRUE(errors[0].contains(QStringLiteral("damaged JPEG data"))) << errors[0].toStdString();
    }
}

TEST_F(ImageTest, AnExportRunHandsEveryImageToTheFilterAndDrawsNothing)
{
    RecordingFilter filter;
    exportTo = &filter;
    finalPass = false;
    photo(jpegBytes());
    RpImage *img = control<RpImage>(100, 50, 200, 200);
    img->setPicture(bitmap(20, 20));
    RecordingCanvas c(96);
    printWith(img, c, 96);
    printWith(dbImage<RpDBImage>(100, 100), c, 96);
    printWith(dbImage<RpGrDBImage>(100, 100), c, 96);
    EXPECT_TRUE(c.of(DrawOp::Bitmap).empty());
    ASSERT_EQ(filter.graphics.size(), 6u);
    RpCanvasPageDevice device(&c, 96 / 254.0, 96 / 254.0);
    EXPECT_EQ(filter.graphics[0].x, device.xPos(100));
    EXPECT_EQ(filter.graphics[0].y, device.yPos(50));
}

} // namespace
