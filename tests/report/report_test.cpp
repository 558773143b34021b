// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportfixture.h"

#include "../controls/recordingcanvas.h"
#include "report/rpprintable.h"

namespace {

class PageSetupTest : public ReportTest {};

TEST_F(PageSetupTest, NewMetricReportIsA4WithTenMillimetreMargins)
{
    report->setUnits(RpUnit::MM);
    RpPage *p = report->page();
    EXPECT_DOUBLE_EQ(p->width(), 210);
    EXPECT_DOUBLE_EQ(p->length(), 297);
    for (double m : {p->topMargin(), p->bottomMargin(), p->leftMargin(), p->rightMargin()})
        EXPECT_DOUBLE_EQ(m, 10);
    EXPECT_EQ(report->size(), QSize(794, 1123));
    EXPECT_EQ(report->font().name, QStringLiteral("Arial"));
    EXPECT_EQ(report->font().size(), 10);
    ASSERT_EQ(report->functions().size(), 3);
    EXPECT_EQ(report->functions().at(2).second, QStringLiteral("''"));
}

TEST_F(PageSetupTest, ANewReportPrintsWhenEmptyAndStartsOnTheDefaultPrintersPaper)
{
    EXPECT_TRUE(report->printIfEmpty());
    EXPECT_EQ(report->tag(), 0);
    EXPECT_EQ(report->page()->paperSize(), RpPaperSize::Default); // no printer
    FakePrinterDevice letterPrinter;
    letterPrinter.mode->dmPaperSize = papers::deviceCode(RpPaperSize::Letter);
    UseDevice use(&letterPrinter);
    Report onLetter;
    EXPECT_EQ(onLetter.page()->paperSize(), RpPaperSize::Letter);
    onLetter.page()->setUnits(RpUnit::MM);
    EXPECT_NEAR(onLetter.page()->width(), 215.9, 1e-9);
}

TEST_F(PageSetupTest, WidthAndLengthChangeOnlyThroughThePaperSizeUnlessCustom)
{
    report->setUnits(RpUnit::MM);
    RpPage *p = report->page();
    p->setPaperSize(RpPaperSize::A4);
    p->setWidth(100);
    EXPECT_DOUBLE_EQ(p->width(), 210);
    p->setPaperSize(RpPaperSize::Letter);
    EXPECT_NEAR(p->width(), 215.9, 1e-9);
    EXPECT_EQ(report->width(), 816);
    EXPECT_EQ(p->units(), RpUnit::MM); // the unit comes back
    p->setPaperSize(RpPaperSize::Custom);
    p->setWidth(100);
    EXPECT_DOUBLE_EQ(p->width(), 100);
    EXPECT_EQ(report->width(), 378);
}

TEST_F(PageSetupTest, ChangingThePaperKeepsTheUnitEvenThoughTheBandsAreLaidOutMeanwhile)
{
    report->createBand(rbTitle);
    report->setUnits(RpUnit::Inches);
    report->page()->setPaperSize(RpPaperSize::A3);
    EXPECT_EQ(report->page()->units(), RpUnit::Inches);
    EXPECT_NEAR(report->page()->width(), 297 / 25.4, 1e-9);
    EXPECT_EQ(report->bandList().front()->size()->units(), RpUnit::Inches);
}

TEST_F(PageSetupTest, LandscapeExchangesTheTableDimensions)
{
    report->setUnits(RpUnit::MM);
    RpPage *p = report->page();
    p->setPaperSize(RpPaperSize::A4);
    p->setOrientation(PrinterOrientation::poLandscape);
    EXPECT_DOUBLE_EQ(p->width(), 297);
    EXPECT_DOUBLE_EQ(p->length(), 210);
    EXPECT_EQ(report->size(), QSize(1123, 794));
    EXPECT_EQ(report->storedPrinterSettings().orientation, int(PrinterOrientation::poLandscape));
    p->setOrientation(PrinterOrientation::poPortrait);
    EXPECT_DOUBLE_EQ(p->width(), 210);
}

TEST_F(PageSetupTest, OutOfRangeValuesAreIgnored)
{
    report->setZoom(0);
    report->setZoom(301);
    report->setZoom(-5);
    EXPECT_EQ(report->zoom(), 100);
    report->setZoom(300);
    EXPECT_EQ(report->zoom(), 300);
    report->page()->setColumns(0);
    report->page()->setColumns(-2);
    EXPECT_EQ(report->page()->columns(), 1);
    EXPECT_EQ(report->previewWidth(), 500); // stored 0 reads as 500
}

TEST_F(PageSetupTest, ZoomResizesTheSurfaceAndLaysTheBandsOutAgain)
{
    RpBand *band = worksheetPage();
    report->setZoom(50);
    EXPECT_EQ(report->size(), QSize(397, 561));
    EXPECT_EQ(band->pos(), QPoint(19, 19));
    EXPECT_EQ(band->height(), 522); // 1043.0 / 2 rounds to even
    EXPECT_EQ(band->width(), 397 - 32);
}

class BandListTest : public ReportTest {};

TEST_F(BandListTest, HasTitleTwiceMakesOneNamedBandAndFalseDestroysIt)
{
    ReportBands *bands = report->bands();
    bands->setHasTitle(true);
    bands->setHasTitle(true);
    ASSERT_EQ(report->bandList().size(), 1);
    EXPECT_EQ(report->bandList().front()->objectName(), QStringLiteral("TitleBand1"));
    EXPECT_EQ(bands->titleBand(), report->bandList().front());
    EXPECT_TRUE(bands->hasTitle());
    EXPECT_EQ(bands->columnFooterBand(), nullptr);
    EXPECT_EQ(bands->band(5), nullptr);
    bands->setHasTitle(false);
    EXPECT_TRUE(report->bandList().isEmpty());
    EXPECT_FALSE(bands->hasTitle());
}

TEST_F(BandListTest, NewBandsTakeTheNextFreeNumber)
{
    QWidget window;
    auto *rep = new Report(&window);
    rep->createBand(rbDetail);
    rep->createBand(rbDetail);
    auto *other = new QObject(&window);
    other->setObjectName(QStringLiteral("TitleBand1"));
    RpBand *t = rep->createBand(rbTitle);
    EXPECT_EQ(t->objectName(), QStringLiteral("TitleBand2"));
    EXPECT_EQ(rep->bandList().at(1)->objectName(), QStringLiteral("DetailBand1"));
}

TEST_F(BandListTest, BandsFollowPrintOrderAndLayOutTopToBottom)
{
    RpBand *footer = report->createBand(rbPageFooter);
    RpBand *detail = report->createBand(rbDetail);
    RpBand *title = report->createBand(rbTitle);
    RpBand *header = report->createBand(rbPageHeader);
    RpBand *column = report->createBand(rbColumnHeader);
    RpBand *summary = report->createBand(rbSummary);
    const QList<RpCustomBand *> want{header, title, column, detail, summary, footer};
    EXPECT_EQ(report->bandList(), want);
    int top = 38;
    for (RpCustomBand *b : report->bandList()) {
        EXPECT_EQ(b->top(), top) << b->objectName().toStdString();
        EXPECT_EQ(b->left(), 38);
        top += b->height();
    }
    report->setRotateBands(1);
    EXPECT_EQ(report->bandList().back(), header);
    EXPECT_EQ(report->bandList().front(), title);
    EXPECT_GT(header->top(), footer->top());
}

TEST_F(BandListTest, ChangingTheTypeReordersAndDeletingRemoves)
{
    RpBand *a = report->createBand(rbDetail);
    RpBand *b = report->createBand(rbDetail);
    b->setBandType(rbPageHeader);
    EXPECT_EQ(report->bandList().front(), b);
    delete b;
    ASSERT_EQ(report->bandList().size(), 1);
    EXPECT_EQ(report->bandList().front(), a);
}

TEST_F(BandListTest, ColumnsNarrowDetailBandsButNotTitles)
{
    RpBand *title = worksheetPage();
    RpBand *detail = report->createBand(rbDetail);
    report->page()->setColumnSpace(10);
    report->page()->setColumns(2);
    EXPECT_EQ(title->width(), 730);
    EXPECT_EQ(detail->width(), (730 - 38) / 2);
}

class SurfaceTest : public ReportTest {};

TEST_F(SurfaceTest, WorksheetMarginsAndTitleBandGeometry)
{
    RpBand *band = worksheetPage();
    EXPECT_EQ(band->pos(), QPoint(38, 38));
    EXPECT_EQ(band->width(), 730);
    EXPECT_EQ(band->height(), 1043);

    RecordingCanvas canvas;
    report->drawMargins(canvas);
    const auto rects = canvas.of(DrawOp::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].r, (gdi::Rect{38, 38, 768, 1085}));
    EXPECT_EQ(rects[0].pen.style, gdi::PS_DOT);
    EXPECT_EQ(rects[0].pen.color, gdi::rgb(0x80, 0x80, 0xFF));
    EXPECT_EQ(canvas.pen().style, gdi::PS_SOLID);
}

TEST_F(SurfaceTest, PaletteSchemeDashesTheMargins)
{
    testsupport::ScopedValue<std::optional<SurfaceScheme>> palette(reportState().surfaceScheme, paletteScheme());
    RecordingCanvas canvas;
    report->drawMargins(canvas);
    ASSERT_EQ(canvas.of(DrawOp::Rectangle).size(), 1u);
    EXPECT_EQ(canvas.of(DrawOp::Rectangle)[0].pen.style, gdi::PS_DASH);
    EXPECT_EQ(canvas.of(DrawOp::Rectangle)[0].pen.color, gdi::rgb(0x80, 0x80, 0x80));
}

TEST_F(SurfaceTest, PageFrameLinesSitInsideTheMargins)
{
    worksheetPage();
    RpFrame *f = report->frame();
    f->setDrawTop(true);
    f->setDrawRight(true);
    RecordingCanvas canvas;
    report->drawPageFrame(canvas);
    const auto lines = canvas.of(DrawOp::Line);
    ASSERT_EQ(lines.size(), 2u);
    // R = round(793.70 - 26.46) - 1 = 766, B = round(1122.52 - 37.80) - 1 = 1084
    EXPECT_EQ(lines[0].r, (gdi::Rect{38, 38, 766, 38}));
    EXPECT_EQ(lines[1].r, (gdi::Rect{766, 38, 766, 1084}));
}

TEST_F(SurfaceTest, ColumnMarksAtEachColumnEdge)
{
    report->setUnits(RpUnit::MM);
    report->page()->setColumns(1);
    {
        RecordingCanvas canvas;
        report->drawColumnMarks(canvas);
        EXPECT_TRUE(canvas.ops.empty());
    }
    report->page()->setColumns(2);
    report->page()->setColumnSpace(10);
    RecordingCanvas canvas;
    report->drawColumnMarks(canvas);
    const auto lines = canvas.of(DrawOp::Line);
    ASSERT_EQ(lines.size(), 2u);
    // c = round((793.7 - 2 * 37.8 - 37.8) / 2) = 340
    EXPECT_EQ(lines[0].r, (gdi::Rect{38 + 340, 0, 38 + 340, 38}));
    EXPECT_EQ(lines[1].r, (gdi::Rect{416, 0, 416, 38}));
}

// Which vertical ruler lines a panel draws, and which labels.
struct RulerCount {
    int minor = 0, major = 0, labels = 0;
};
RulerCount countRuler(const RecordingCanvas &c, gdi::ColorRef minor, gdi::ColorRef major)
{
    RulerCount n;
    for (const DrawOp &o : c.ops) {
        if (o.kind == DrawOp::Line && o.r.top == 0 && o.r.left == o.r.right) {
            if (o.pen.color == minor)
                ++n.minor;
            else if (o.pen.color == major)
                ++n.major;
        }
        if (o.kind == DrawOp::Text && o.r.top == 2)
            ++n.labels;
    }
    return n;
}

TEST_F(SurfaceTest, MillimetreRulerShowsFiveMillimetreLinesAndLabelsFromZoomSixty)
{
    report->setUnits(RpUnit::MM);
    const gdi::ColorRef minor = surfaceScheme().rulerMinor.color;
    const gdi::ColorRef major = surfaceScheme().rulerMajor.color;
    report->setZoom(50);
    {
        RecordingCanvas c;
        report->drawRuler(c, RpUnit::MM);
        const RulerCount n = countRuler(c, minor, major);
        EXPECT_EQ(n.minor, 0);
        EXPECT_EQ(n.major, 21); // 42 steps of 5 mm across 397 pixels
        EXPECT_EQ(n.labels, 0);
    }
    report->setZoom(60);
    RecordingCanvas c;
    report->drawRuler(c, RpUnit::MM);
    const RulerCount n = countRuler(c, minor, major);
    EXPECT_EQ(n.minor, 21);
    EXPECT_EQ(n.major, 21);
    EXPECT_EQ(n.labels, 21);
    const auto texts = c.of(DrawOp::Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].text, QStringLiteral("1"));
    EXPECT_EQ(texts[0].r.left, rpRound(2 * 96 / 5.08 * 0.6) + 2);
    EXPECT_EQ(texts[0].face, QStringLiteral("Small Fonts"));
}

TEST_F(SurfaceTest, InchRulerLabelsEveryInchAtAnyZoom)
{
    report->setZoom(40);
    RecordingCanvas c;
    report->drawRuler(c, RpUnit::Inches);
    const RulerCount n = countRuler(c, surfaceScheme().rulerMinor.color, surfaceScheme().rulerMajor.color);
    EXPECT_EQ(n.minor, 0);
    EXPECT_EQ(n.major, 8); // 33 quarter inches across 318 pixels
    EXPECT_EQ(n.labels, 8);
}

TEST_F(SurfaceTest, CharacterRulerIgnoresZoomAndPixelsDrawNothing)
{
    report->setZoom(50);
    RecordingCanvas c;
    report->drawRuler(c, RpUnit::Characters);
    const auto lines = c.of(DrawOp::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].pen.style, gdi::PS_DOT);
    EXPECT_EQ(lines[0].r.left, rpRound(80.0 / 10 / 2.54 * 96 / 2.54)); // ten characters
    RecordingCanvas none;
    report->drawRuler(none, RpUnit::Pixels);
    report->drawRuler(none, RpUnit::Native);
    EXPECT_TRUE(none.of(DrawOp::Line).empty());
}

TEST_F(SurfaceTest, TextMeasurementAddsOneAndMeasuresTheLetterA)
{
    const RpFont &f = report->font();
    RecordingCanvas ref;
    ref.setFont(f.toLogFont(96));
    EXPECT_EQ(report->textWidth(f, QStringLiteral("Hello")), ref.textWidth(QStringLiteral("Hello")) + 1);
    EXPECT_EQ(report->textWidth(f, QString()), 1);
    EXPECT_EQ(report->textHeight(f, QStringLiteral("gjpq")), ref.textHeight(QStringLiteral("A")));
    EXPECT_EQ(report->textHeight(f, QStringLiteral("x")), report->textHeight(f, QStringLiteral("W")));
}

TEST_F(SurfaceTest, ModifyDropsThePreviewPageAndPaintingClearsTheMark)
{
    QImage page(10, 10, QImage::Format_RGB32);
    report->setPreviewPage(page);
    EXPECT_TRUE(report->hasPreviewPage());
    report->modify();
    EXPECT_TRUE(report->modified());
    EXPECT_FALSE(report->hasPreviewPage());
    RecordingCanvas c;
    report->paintSurface(c);
    EXPECT_FALSE(report->modified());
}

} // namespace
