// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A page of pictures recorded into a metafile and played back looks like the
// same page drawn straight onto an image; emf2svg, reading the recorded page
// on its own, finds every bitmap on it. Pictures travel in the report
// description, and the report's background image covers every page.
#include "../exampledb.h"
#include "../testsupport.h"
#include "controls/rpdbimage.h"
#include "controls/rpgrdbimage.h"
#include "controls/rpimage.h"
#include "data/memorytable.h"
#include "labelfixture.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"
#include "printer/exportfilter.h"
#include "printer/rpprinter.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int kPageW = 420, kPageH = 300;

QByteArray picture(const QString &name)
{
    return testsupport::readFile(testsupport::testdata(QStringLiteral("pictures/") + name));
}

// The largest difference of any channel of any pixel, and how many pixels
// differ by more than `loose`.
struct Difference {
    int worst = 0;
    int beyond = 0;
};
Difference compare(const QImage &a, const QImage &b, int loose)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int m = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            d.worst = std::max(d.worst, m);
            d.beyond += m > loose;
        }
    return d;
}

class ImagePage : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        table.setName(QStringLiteral("PHOTOS"));
        table.addField(QStringLiteral("PHOTO"), RpFieldType::Blob);
        table.appendRecord({picture(QStringLiteral("smiley-pal8.bmp"))});
        table.first();
        auto place = [this](RpPrintable *p, double l, double t, double w, double h) {
            p->setObjectName(QStringLiteral("P%1").arg(controls.size()));
            p->size()->readValueList({h, l, t, w});
            p->size()->updateOwnerBounds();
            controls.push_back(p);
        };
        // A bitmap at its own size, centred and clipped on both sides.
        auto *a = new RpImage(band);
        a->setCenter(true);
        a->setPicture(Picture::fromBytes(picture(QStringLiteral("smiley-rgb24.bmp"))));
        place(a, 20, 20, 150, 200);
        // A JPEG stretched over its control.
        auto *b = new RpImage(band);
        b->setStretch(true);
        b->setPicture(Picture::fromBytes(picture(QStringLiteral("header-baseline-444.jpg"))));
        place(b, 250, 20, 600, 200);
        // A PNG at its own size from the corner.
        auto *c = new RpImage(band);
        c->setPicture(Picture::fromBytes(picture(QStringLiteral("smiley.png"))));
        place(c, 20, 300, 300, 300);
        // The palette bitmap of a blob field, centred, and fitted inside.
        auto *d = new RpDBImage(band);
        d->setDataSetName(QStringLiteral("PHOTOS"));
        d->setDataField(QStringLiteral("PHOTO"));
        place(d, 400, 300, 300, 300);
        auto *e = new RpGrDBImage(band);
        e->setDataSetName(QStringLiteral("PHOTOS"));
        e->setDataField(QStringLiteral("PHOTO"));
        e->setFitMode(FitMode::fmInsideProp);
        place(e, 750, 300, 300, 150);
    }
    // Every control printed onto `canvas` at `dpi` pixels an inch, and
    // handed to `filter` when one is given.
    void printPage(Canvas &canvas, int dpi = 96, RpExportFilter *filter = nullptr)
    {
        RpCanvasPageDevice device(&canvas, dpi / 254.0, dpi / 254.0);
        RpReportRun run(*report, device, filter);
        run.setFinalPass(true);
        run.dataSets = {&table};
        for (RpPrintable *p : controls) {
            p->beginPrinting(run);
            p->printAt(run, 0, 0);
            p->endPrinting();
        }
        errors = run.errors();
    }
    QImage blank(int dpi = 96) const
    {
        QImage img(kPageW * dpi / 96, kPageH * dpi / 96, QImage::Format_RGB32);
        img.fill(Qt::white);
        return img;
    }
    Metafile recorded()
    {
        MetafileRecorder rec(kPageW, kPageH);
        printPage(rec);
        return rec.finish();
    }
    RpMemoryTable table;
    std::vector<RpPrintable *> controls;
    QStringList errors;
};

TEST_F(ImagePage, ARecordedPagePlaysBackAsItWasDrawn)
{
    QImage direct = blank();
    {
        PainterCanvas canvas(&direct);
        printPage(canvas);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    const Metafile page = recorded();
    QImage played = blank();
    {
        PainterCanvas canvas(&played);
        page.play(canvas, {0, 0, kPageW, kPageH});
    }
    // Something of every picture is on the page, and only where it belongs.
    EXPECT_NE(direct.pixel(200, 40), qRgb(255, 255, 255)); // the stretched JPEG
    EXPECT_NE(direct.pixel(36, 45), qRgb(255, 255, 255)); // the centred bitmap
    EXPECT_EQ(direct.pixel(kPageW - 2, kPageH - 2), qRgb(255, 255, 255));
    const Difference d = compare(direct, played, 8);
    EXPECT_LE(d.beyond, kPageW * kPageH / 1000) << "worst " << d.worst;
    if (HasFailure()) {
        direct.save(QStringLiteral("image_page_direct.png"));
        played.save(QStringLiteral("image_page_played.png"));
    }
}

// A filter that draws each picture it is handed over the rectangle the
// picture gives, as a document reader draws an image.
class PictureFilter : public RpExportFilter {
public:
    PictureFilter(QImage *page, double factor) : m_page(page), m_factor(factor) {}
    void acceptGraphic(double x, double y, QWidget *control) override
    {
        const auto *picture = dynamic_cast<const RpExportPicture *>(control);
        ASSERT_TRUE(picture) << control->objectName().toStdString();
        const ExportPictureRec r = picture->exportPicture(m_factor, m_factor);
        if (r.bitmap.isNull())
            return;
        ++pictures;
        QPainter p(m_page);
        p.drawImage(QRectF(x + r.dx, y + r.dy, r.placedWidth, r.placedHeight), r.bitmap);
    }
    int pictures = 0;

private:
    QImage *m_page;
    double m_factor;
};

// Every picture control hands an export filter its picture over the part of
// the page it covers there, stretched, centred, fitted or clipped as printed.
TEST_F(ImagePage, AnExportFilterReceivesEachPictureWhereThePageShowsIt)
{
    // Besides the page's pictures: a bitmap larger than its control, centred
    // and clipped on every side, and a metafile clipped at the right and bottom.
    auto *big = new RpImage(band);
    big->setCenter(true);
    big->setPicture(Picture::fromBytes(picture(QStringLiteral("smiley.png"))));
    auto *drawing = new RpImage(band);
    {
        MetafileRecorder rec(80, 60);
        rec.setBrush(gdi::LogBrush{gdi::BS_SOLID, gdi::rgb(200, 30, 30), 0});
        rec.ellipse({0, 0, 80, 60});
        rec.setBrush(gdi::LogBrush{gdi::BS_SOLID, gdi::rgb(30, 30, 200), 0});
        rec.rectangle({50, 35, 80, 60});
        drawing->setPicture(Picture::fromBytes(rec.finish().bytes()));
    }
    ASSERT_TRUE(drawing->picture().isMetafile());
    for (auto [control, left] : {std::pair<RpImage *, double>{big, 20}, {drawing, 200}}) {
        control->setObjectName(QStringLiteral("P%1").arg(controls.size()));
        control->size()->readValueList({100, left, 620, 120});
        control->size()->updateOwnerBounds();
        controls.push_back(control);
    }
    for (int dpi : {96, 150}) {
        SCOPED_TRACE(dpi);
        QImage printed = blank(dpi), exported = blank(dpi);
        PictureFilter filter(&exported, dpi / 254.0);
        {
            PainterCanvas canvas(&printed, dpi);
            printPage(canvas, dpi, &filter);
        }
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        EXPECT_EQ(filter.pictures, int(controls.size()));
        // Pictures scaled by different hands may differ at their edges.
        const Difference d = compare(printed, exported, 24);
        EXPECT_LE(d.beyond, printed.width() * printed.height() / 200) << "worst " << d.worst;
        if (HasFailure()) {
            printed.save(QStringLiteral("image_export_printed.png"));
            exported.save(QStringLiteral("image_export_filter.png"));
        }
    }
}

// A picture control without a picture hands a filter nothing to draw.
TEST_F(ImagePage, AnEmptyPictureOrFieldExportsNothing)
{
    auto *empty = new RpImage(band);
    empty->size()->readValueList({100, 10, 10, 100});
    EXPECT_TRUE(empty->exportPicture(1, 1).bitmap.isNull());
    auto *unbound = new RpDBImage(band);
    unbound->setDataSetName(QStringLiteral("PHOTOS"));
    unbound->setDataField(QStringLiteral("PHOTO"));
    unbound->size()->readValueList({100, 10, 10, 100});
    EXPECT_TRUE(unbound->exportPicture(1, 1).bitmap.isNull()); // not bound outside a run
}

// Tagged 999, an image hands its picture's own pixels to be stretched over
// the whole control, stretched or not; otherwise an unstretched picture
// keeps its size on the page.
TEST_F(ImagePage, TaggedNineNineNineTheImageIsStretchedOverTheControlForExport)
{
    auto *image = static_cast<RpImage *>(controls[2]); // the PNG from the corner, unstretched
    const double f = 96 / 254.0;
    const ExportPictureRec plain = image->exportPicture(f, f);
    EXPECT_EQ(plain.bitmap.size(), QSize(70, 90));
    EXPECT_EQ(QSizeF(plain.placedWidth, plain.placedHeight), QSizeF(70, 90));
    image->setTag(999);
    const ExportPictureRec tagged = image->exportPicture(f, f);
    EXPECT_EQ(tagged.bitmap.size(), QSize(70, 90));
    EXPECT_EQ(QPointF(tagged.dx, tagged.dy), QPointF(0, 0));
    EXPECT_EQ(QSizeF(tagged.placedWidth, tagged.placedHeight), QSizeF(rpRound(300 * f), rpRound(300 * f)));
}

TEST_F(ImagePage, Emf2SvgFindsEveryBitmapOfTheRecordedPage)
{
    const QString conv = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
    if (conv.isEmpty())
        GTEST_SKIP() << "emf2svg-conv is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath(QStringLiteral("page.emf")), out = dir.filePath(QStringLiteral("page.svg"));
    {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(recorded().bytes());
    }
    QProcess p;
    p.start(conv, {QStringLiteral("-i"), in, QStringLiteral("-o"), out});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(f.readAll());
    // One embedded picture for each control, each with a size of its own.
    static const QRegularExpression image(QStringLiteral("<image[^>]*>"));
    EXPECT_EQ(svg.count(image), int(controls.size())) << svg.left(2000).toStdString();
}

TEST_F(ImagePage, PicturesAndFittingTravelInTheDescription)
{
    desc::Registry &reg = reportRegistry();
    auto *damaged = new RpImage(band);
    damaged->setObjectName(QStringLiteral("Damaged"));
    QByteArray bad = Picture::fromBytes(picture(QStringLiteral("smiley-rgb24.bmp"))).storedData();
    bad.chop(100);
    damaged->pictureRef().setData(bad);
    auto *grdb = static_cast<RpGrDBImage *>(controls[4]);
    grdb->setClipImage(true);
    grdb->setCenter(false);
    const QByteArray text = desc::write(reg, reg.ref(report.get()));
    std::unique_ptr<Report> back(desc::readAs<Report>(reg, text));
    ASSERT_TRUE(back);
    for (int i : {0, 1, 2}) {
        const auto *was = static_cast<RpImage *>(controls[size_t(i)]);
        const auto *now = back->findChild<RpImage *>(was->objectName());
        ASSERT_TRUE(now);
        EXPECT_EQ(now->picture().bytes(), was->picture().bytes());
        EXPECT_EQ(now->picture().kind(), was->picture().kind());
        EXPECT_EQ(now->picture().width(), was->picture().width());
        EXPECT_EQ(now->center(), was->center());
        EXPECT_EQ(now->stretch(), was->stretch());
    }
    // A damaged picture loads, stays damaged and is written back unchanged.
    const auto *d = back->findChild<RpImage *>(QStringLiteral("Damaged"));
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->picture().damaged());
    EXPECT_EQ(d->picture().storedData(), bad);
    const auto *g = back->findChild<RpGrDBImage *>(grdb->objectName());
    ASSERT_TRUE(g);
    EXPECT_EQ(g->fitMode(), FitMode::fmInsideProp);
    EXPECT_TRUE(g->clipImage());
    EXPECT_FALSE(g->center());
    EXPECT_EQ(g->dataSetName(), QStringLiteral("PHOTOS"));
    EXPECT_EQ(g->dataField(), QStringLiteral("PHOTO"));
    EXPECT_EQ(desc::write(reg, reg.ref(back.get())), text);
}

// The class list with a picture placed on the report itself and named as its
// background: every page starts with the picture stretched over the
// control's rectangle, and the control prints nowhere else.
TEST(BackgroundImage, EveryPageStartsWithThePictureStretchedOverItsRectangle)
{
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice useNoPrinter{&noPrinter};
    const example::Database db(300);
    std::unique_ptr<Report> report = example::report();
    QImage paper(64, 48, QImage::Format_RGB32);
    paper.fill(qRgb(250, 245, 220));
    auto *back = new RpImage;
    back->setParent(report.get());
    back->setObjectName(QStringLiteral("Paper"));
    back->size()->readValueList({1000, 100, 200, 1500}); // height, left, top, width
    back->setPicture(Picture::fromImage(paper));
    report->setBackImageControl(QStringLiteral("Paper"));
    auto data = db.dataSet();
    report->setFormDataSets({data.get()});
    report->prepare();
    RpPrinter &printer = *report->reportPrinter();
    ASSERT_GT(printer.pageCount(), 2);
    for (int n = 1; n <= printer.pageCount(); ++n) {
        const Metafile page = printer.getPage(n).value();
        RecordingCanvas canvas(96);
        page.play(canvas, {0, 0, page.width(), page.height()});
        ASSERT_FALSE(canvas.ops.empty());
        std::vector<DrawOp> backgrounds;
        for (const DrawOp &op : canvas.of(DrawOp::Bitmap))
            if (op.image.size() == paper.size())
                backgrounds.push_back(op);
        ASSERT_EQ(backgrounds.size(), 1u) << "page " << n;
        EXPECT_EQ(canvas.ops.front().kind, DrawOp::Bitmap) << "page " << n;
        EXPECT_EQ(canvas.ops.front().image.size(), paper.size()) << "page " << n;
        const gdi::Rect &r = backgrounds[0].r;
        // 1500 x 1000 tenths of a millimetre at 100, 200, in the pixels of
        // the resolution the page was recorded at.
        const double dpi = page.pixelsPerInchX();
        EXPECT_NEAR(r.left, 100 * dpi / 254.0, 1.5);
        EXPECT_NEAR(r.top, 200 * dpi / 254.0, 1.5);
        EXPECT_NEAR(r.width(), 1500 * dpi / 254.0, 1.5);
        EXPECT_NEAR(r.height(), 1000 * dpi / 254.0, 1.5);
    }
}

} // namespace
