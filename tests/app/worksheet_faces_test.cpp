// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheets in the synthesised faces: each layout with a word, in the
// window and as a recorded page played at 300 dpi. The model cells carry
// stroke numbers and the tracing cells are dotted, not grey. The pictures are
// kept in the build tree (review/) for people to look at.
#include "../printer/fakeprinter.h"
#include "app/form73.h"
#include "app/pagecontrol.h"
#include "controls/rplabel.h"
#include "faces/strokestore.h"
#include "faces/synthesis.h"
#include "faces/worksheetfaces.h"
#include "registeredfaces.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "report/customreport.h"
#include "printer/rpprinter.h"
#include "report/rpband.h"
#include "report/rpprintable.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Sheet {
    int layout;
    const char *word;
    const char *name;
};
const Sheet kSheets[] = {
    {1, "變", "layout1-變"},
    {2, "學校", "layout2-學校"},
    {3, "從口入", "layout3-從口入"},
    {4, "病從口入", "layout4-病從口入"},
    {1, "祐", "layout1-祐-without-stroke-data"},
};

constexpr int kDpi = 300;
constexpr double kMargin = 100; // tenths of a millimetre, as the layouts have

QString reviewDir()
{
    const QString dir = QStringLiteral(TOVREL_BINARY_DIR "/review");
    QDir().mkpath(dir);
    return dir;
}

// The layout's page as generation records it (at the screen's 96 dpi), then
// played at the review resolution.
QImage playedPage(CustomReport *report)
{
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice use(&noPrinter);
    report->prepare();
    const Metafile page = report->reportPrinter()->getPage(1).value();
    const int w = rpRound(2100 / 254.0 * kDpi), h = rpRound(2970 / 254.0 * kDpi);
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    PainterCanvas canvas(&img, kDpi);
    page.play(canvas, {0, 0, w, h});
    return img;
}

QRect onPage(const RpLabel *l)
{
    const double s = kDpi / 254.0;
    const RpPrintableSize *z = l->size();
    auto native = [&](int i) { return z->nativeValue(i); };
    return QRect(int((kMargin + native(RpPrintableSize::LeftIdx)) * s), int((kMargin + native(RpPrintableSize::TopIdx)) * s),
                 int(native(RpPrintableSize::WidthIdx) * s), int(native(RpPrintableSize::HeightIdx) * s));
}

int darker(const QImage &img, int level)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < level;
    return n;
}

// Pixels of about the grey of `c`.
int nearGrey(const QImage &img, QColor c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += std::abs(qGray(img.pixel(x, y)) - qGray(c.rgb())) <= 16;
    return n;
}

// The largest square of solid ink (pixels darker than `level`) in the image.
int solidSquare(const QImage &img, int level)
{
    const int w = img.width(), h = img.height();
    std::vector<int> prev(size_t(w) + 1, 0), cur(size_t(w) + 1, 0);
    int best = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            cur[size_t(x) + 1] = qGray(img.pixel(x, y)) < level
                                     ? 1 + std::min({prev[size_t(x)], prev[size_t(x) + 1], cur[size_t(x)]})
                                     : 0;
            best = std::max(best, cur[size_t(x) + 1]);
        }
        std::swap(prev, cur);
    }
    return best;
}

} // namespace

TEST(WorksheetFaces, ModelCellsAreNumberedAndTracingCellsDottedOnWindowAndPage)
{
    if (faces::synthesisFor(faces::strokeOrderFamily()) != faces::Synthesis::StrokeOrder ||
        faces::synthesisFor(faces::tracingFamily()) != faces::Synthesis::Tracing)
        GTEST_SKIP() << "the worksheet fonts are installed: nothing is synthesised";
    if (!faces::StrokeStore::global().contains(U'變'))
        GTEST_SKIP() << "built without stroke data";
    const QString dir = reviewDir();
    const QColor number = faces::numberColor(QColor(0x9D, 0x9D, 0x9D));

    for (const Sheet &sheet : kSheets) {
        SCOPED_TRACE(sheet.name);
        Form73 form;
        form.show();
        form.formActivate();
        form.edit1()->setText(QString::fromUtf8(sheet.word));
        QApplication::processEvents();
        const QImage window = form.grab().toImage();
        ASSERT_FALSE(window.isNull());
        window.save(dir + QStringLiteral("/window-%1.png").arg(QString::fromUtf8(sheet.name)));
        CustomReport *report = form.report(sheet.layout);
        const QImage surface = report->grab().toImage();
        const QImage page = playedPage(report);
        page.save(dir + QStringLiteral("/page300-%1.png").arg(QString::fromUtf8(sheet.name)));

        int strokeCells = 0, traceCells = 0;
        for (RpLabel *l : report->findChildren<RpLabel *>()) {
            const QString family = l->font().name;
            if (l->caption().isEmpty() || (family != faces::strokeOrderFamily() && family != faces::tracingFamily()))
                continue;
            SCOPED_TRACE(l->objectName().toStdString());
            const QImage cell = page.copy(onPage(l));
            const QImage shown = surface.copy(QRect(l->mapTo(report, QPoint(0, 0)), l->QWidget::size()));
            const auto data = faces::StrokeStore::global().find(l->caption().at(0).unicode());
            if (family == faces::strokeOrderFamily()) {
                ++strokeCells;
                // Numbers at print size: at 300 dpi a digit is some 30 pixels
                // high, so every number makes hundreds of dark pixels. In the
                // window they are there too, smaller.
                // (The design surface marks the labels' corners in black,
                // so only the numbers' own grey is counted.)
                const int n = data ? int(data->strokes.size()) : 0;
                if (data) {
                    EXPECT_GT(nearGrey(cell, number), 300 * n);
                    EXPECT_GT(nearGrey(shown, number), 20 * n);
                } else {
                    EXPECT_EQ(nearGrey(cell, number), 0);
                    EXPECT_EQ(nearGrey(shown, number), 0);
                }
            } else {
                ++traceCells;
                // Dotted: ink, but not one solid patch of it larger than a dot.
                EXPECT_GT(darker(cell, 0xF0), 500);
                EXPECT_LT(solidSquare(cell, 0xF0), 12);
                EXPECT_GT(darker(shown, 0xF0), 50);
                EXPECT_LT(solidSquare(shown, 0xF0), 4);
            }
        }
        EXPECT_GT(strokeCells, 0);
        EXPECT_GT(traceCells, 0);
    }
}
