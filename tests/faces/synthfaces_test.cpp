// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesised worksheet faces: the stroke-order glyph's numbers, the
// tracing glyph's dots, and what the canvases draw and record with them.
#include "emf_support.h"
#include "painter_support.h"
#include "registeredfaces.h"

#include "faces/emsquare.h"
#include "faces/modelform.h"
#include "faces/strokeorderglyph.h"
#include "faces/strokepaths.h"
#include "faces/strokestore.h"
#include "faces/synthesis.h"
#include "faces/tracingglyph.h"
#include "faces/worksheetfaces.h"
#include "platform/fonts.h"
#include "platform/synthglyphbitmaps.h"
#include "platform/metafilerecorder.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>

using namespace paintersupport;

namespace {

constexpr gdi::ColorRef kGrey = gdi::rgb(0x9D, 0x9D, 0x9D);

gdi::LogFont face(const QString &family, qint32 height)
{
    gdi::LogFont f;
    f.faceName = family;
    f.height = height;
    f.charSet = gdi::CHINESEBIG5_CHARSET;
    return f;
}
gdi::LogFont strokeFace(qint32 h) { return face(faces::strokeOrderFamily(), h); }
gdi::LogFont traceFace(qint32 h) { return face(faces::tracingFamily(), h); }
gdi::LogFont kaiFace(qint32 h) { return face(QStringLiteral("TW-Kai"), h); }

QImage draw(const gdi::LogFont &font, const QString &text, QSize size, QPoint at, gdi::ColorRef color = kGrey,
            quint32 align = gdi::TA_LEFT | gdi::TA_TOP)
{
    QImage img = whiteImage(size.width(), size.height());
    PainterCanvas c(&img);
    c.setFont(font);
    c.setTextColor(color);
    c.setBkMode(gdi::TRANSPARENT);
    c.setTextAlign(align);
    c.textOut(at.x(), at.y(), text);
    return img;
}

// Pixels darker than `level` (0..255).
int darker(const QImage &img, int level)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < level;
    return n;
}

// Separate pieces of ink (pixels darker than `level`, joined edge to edge).
int inkSpecks(const QImage &img, int level)
{
    const int w = img.width(), h = img.height();
    std::vector<char> seen(size_t(w) * h, 0);
    int specks = 0;
    std::vector<QPoint> stack;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (seen[size_t(y) * w + x] || qGray(img.pixel(x, y)) >= level)
                continue;
            ++specks;
            stack.push_back({x, y});
            seen[size_t(y) * w + x] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint q = p + d;
                    if (q.x() < 0 || q.y() < 0 || q.x() >= w || q.y() >= h || seen[size_t(q.y()) * w + q.x()] ||
                        qGray(img.pixel(q)) >= level)
                        continue;
                    seen[size_t(q.y()) * w + q.x()] = 1;
                    stack.push_back(q);
                }
            }
        }
    return specks;
}

strokes::Stroke squareStroke(QRectF r, bool clockwise, QPointF start)
{
    strokes::Stroke s;
    s.outline.ops = {strokes::Op::Move, strokes::Op::Line, strokes::Op::Line, strokes::Op::Line, strokes::Op::Close};
    if (clockwise)
        s.outline.points = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    else
        s.outline.points = {r.topLeft(), r.bottomLeft(), r.bottomRight(), r.topRight()};
    s.median = {start, start + QPointF(50, 0)};
    return s;
}

bool skipWithoutStrokeData()
{
    return !faces::StrokeStore::global().contains(U'變');
}

} // namespace

TEST(StrokeOrderGlyph, EveryStrokeNumberedOnceNearItsStartWithoutOverlap)
{
    if (skipWithoutStrokeData())
        GTEST_SKIP() << "built without stroke data";
    for (char32_t ch : {U'變', U'學', U'口', U'入', U'鬱', U'龜'}) {
        const auto data = faces::StrokeStore::global().find(ch);
        ASSERT_TRUE(data) << uint(ch);
        const auto g = std::make_shared<const faces::StrokeOrderGlyph>(faces::buildStrokeOrderGlyph(*data));
        ASSERT_EQ(g->marks.size(), data->strokes.size());
        EXPECT_EQ(g->strokeCount, int(data->strokes.size()));
        const QRectF square(0, 0, faces::kEmSquare, faces::kEmSquare);
        int near = 0;
        for (size_t i = 0; i < g->marks.size(); ++i) {
            const faces::NumberMark &m = g->marks[i];
            EXPECT_EQ(m.number, int(i) + 1);
            EXPECT_TRUE(square.contains(m.box));
            // The stroke's start in the em square (y down from the top).
            const QPointF start(data->strokes[i].median[0].x(), 900 - data->strokes[i].median[0].y());
            EXPECT_EQ(m.start, start);
            const qreal reach = std::hypot(m.box.width(), m.box.height());
            const QPointF c = m.box.center();
            near += std::hypot(c.x() - start.x(), c.y() - start.y()) <= 2 * reach;
            for (size_t j = i + 1; j < g->marks.size(); ++j)
                EXPECT_FALSE(m.box.intersects(g->marks[j].box)) << uint(ch) << ": " << i + 1 << " and " << j + 1;
        }
        // A crowded character may push a few numbers further out.
        EXPECT_GE(near * 10, int(g->marks.size()) * 8) << uint(ch);
        // Each box holds its number's digits and their halo.
        EXPECT_GT(g->numberHeight, 40);
        EXPECT_GT(g->haloWidth, 0);
        const QRectF digits = g->digits.boundingRect();
        const QRectF boxes = std::accumulate(g->marks.begin(), g->marks.end(), QRectF(),
                                             [](const QRectF &a, const faces::NumberMark &m) { return a.united(m.box); });
        EXPECT_TRUE(boxes.contains(digits.adjusted(-g->haloWidth + 0.5, -g->haloWidth + 0.5, g->haloWidth - 0.5,
                                                   g->haloWidth - 0.5)));
    }
}

TEST(StrokeOrderGlyph, CrowdedStartsStillGetTheirOwnPlaces)
{
    // Sixty strokes that all start at one point near a corner.
    strokes::CharStrokes c;
    for (int i = 0; i < 60; ++i)
        c.strokes.push_back(squareStroke(QRectF(100 + i * 10, 100, 8, 700), true, QPointF(20, 880)));
    const faces::StrokeOrderGlyph g = faces::buildStrokeOrderGlyph(c);
    ASSERT_EQ(g.marks.size(), 60u);
    const QRectF square(0, 0, faces::kEmSquare, faces::kEmSquare);
    for (size_t i = 0; i < g.marks.size(); ++i) {
        EXPECT_TRUE(square.contains(g.marks[i].box)) << i;
        for (size_t j = i + 1; j < g.marks.size(); ++j)
            ASSERT_FALSE(g.marks[i].box.intersects(g.marks[j].box)) << i + 1 << " and " << j + 1;
    }
}

TEST(StrokeOrderGlyph, StrokesTurnedEitherWayFillTheirOverlap)
{
    // Two overlapping strokes drawn in opposite directions: a winding fill of
    // the outlines as given would leave the overlap empty.
    strokes::CharStrokes c;
    c.strokes.push_back(squareStroke(QRectF(100, 300, 500, 300), true, QPointF(100, 450)));
    c.strokes.push_back(squareStroke(QRectF(400, 100, 300, 700), false, QPointF(550, 800)));
    const faces::StrokeOrderGlyph g = faces::buildStrokeOrderGlyph(c);
    // In the em square y runs down from 900.
    EXPECT_TRUE(g.ink.contains(QPointF(500, 900 - 450)));  // the overlap
    EXPECT_TRUE(g.ink.contains(QPointF(200, 900 - 450)));  // first only
    EXPECT_TRUE(g.ink.contains(QPointF(650, 900 - 150)));  // second only
    EXPECT_FALSE(g.ink.contains(QPointF(200, 900 - 150))); // neither
}

TEST(TracingGlyph, DotsFollowTheOuterEdgeOfOverlappingContours)
{
    QPainterPath two;
    two.addRect(0, 0, 600, 400);
    two.addRect(300, 200, 600, 400); // overlaps the first
    const QPainterPath dots = faces::dottedOutline(two, 1024);
    int count = 0;
    for (const QPolygonF &dot : dots.toSubpathPolygons()) {
        // A dot: a stroke of no length that the round pen makes round.
        const QPointF c = dot.boundingRect().center();
        EXPECT_LT(dot.boundingRect().width() + dot.boundingRect().height(), 0.1);
        // On the union's edge, never on the edges inside it.
        const bool inner = QRectF(300, 200, 300, 200).adjusted(1, 1, -1, -1).contains(c);
        EXPECT_FALSE(inner) << c.x() << "," << c.y();
        ++count;
    }
    // The union's perimeter (2 x 1000 + 2 x 600 = 3200) at the dot spacing.
    const qreal spacing = faces::kTracingDotSpacing * 1024;
    EXPECT_NEAR(count, 3200 / spacing, 0.1 * 3200 / spacing);
}

TEST(TracingGlyph, UnitedStrokesLeaveNoSeamBetweenStrokes)
{
    // Two strokes that touch along x = 500 (as the stroke data cuts a shape
    // into strokes) and one that overlaps both.
    strokes::CharStrokes c;
    c.strokes.push_back(squareStroke(QRectF(100, 300, 400, 200), true, QPointF(100, 400)));
    c.strokes.push_back(squareStroke(QRectF(500, 300, 400, 200), true, QPointF(500, 400)));
    c.strokes.push_back(squareStroke(QRectF(450, 100, 100, 700), true, QPointF(500, 800)));
    const QPainterPath dots = faces::dottedOutline(faces::inkOf(c), 1024);
    ASSERT_FALSE(dots.isEmpty());
    for (const QPolygonF &dot : dots.toSubpathPolygons()) {
        const QPointF c_ = dot.boundingRect().center();
        // Em-square y of the data's y = 300..500 is 400..600.
        EXPECT_FALSE(QRectF(105, 405, 790, 190).contains(c_)) << c_.x() << "," << c_.y();
    }
}

TEST(SynthesisedFaces, DrawnForTheWorksheetFamiliesOnly)
{
    EXPECT_EQ(faces::synthesisFor(QStringLiteral("華康標楷筆順體")), faces::Synthesis::StrokeOrder);
    EXPECT_EQ(faces::synthesisFor(QStringLiteral("華康標楷虛線體")), faces::Synthesis::Tracing);
    EXPECT_EQ(faces::synthesisFor(QStringLiteral("標楷體")), faces::Synthesis::None);
    EXPECT_EQ(faces::synthesisFor(QStringLiteral("TW-Kai")), faces::Synthesis::None);
    // Both take the Kai stand-in's metrics: the same cell, the same advances.
    const auto s = fonts::resolve(strokeFace(-160));
    const auto k = fonts::resolve(kaiFace(-160));
    EXPECT_NE(s->synthesizedFace(), nullptr);
    EXPECT_EQ(s->family(), QStringLiteral("TW-Kai"));
    EXPECT_EQ(s->textMetric().height, k->textMetric().height);
    EXPECT_EQ(s->textMetric().ascent, k->textMetric().ascent);
    EXPECT_EQ(s->advanceWidth(QStringLiteral("病從口入")), k->advanceWidth(QStringLiteral("病從口入")));
}

TEST(SynthesisedFaces, StrokeOrderGlyphIsNumberedInkInsideTheKaiCell)
{
    if (skipWithoutStrokeData())
        GTEST_SKIP() << "built without stroke data";
    const QImage s = draw(strokeFace(-160), QStringLiteral("變"), {320, 320}, {80, 80});
    const QImage k = draw(kaiFace(-160), QStringLiteral("變"), {320, 320}, {80, 80});
    savePng(s, QStringLiteral("synth_stroke"));
    ASSERT_FALSE(inkBounds(s).isEmpty());
    EXPECT_NE(s, k);
    const auto f = fonts::resolve(kaiFace(-160));
    const QRect cell(80, 80, int(f->advanceWidth(QStringLiteral("變"))), f->textMetric().height);
    EXPECT_TRUE(cell.contains(inkBounds(s))) << inkBounds(s).x() << "," << inkBounds(s).y() << " "
                                             << inkBounds(s).width() << "x" << inkBounds(s).height();
    // The numbers: darker than the ink, with light halos around them. The
    // plain glyph has neither.
    const QColor number = faces::numberColor(QColor(0x9D, 0x9D, 0x9D));
    EXPECT_GT(darker(s, number.value() + 20), 23 * 10);
    EXPECT_EQ(darker(k, 0x9D - 10), 0);
    // Where the strokes are, roughly: the ink covers about the same area as
    // the Kai glyph's.
    const QRect a = inkBounds(s), b = inkBounds(k);
    EXPECT_NEAR(a.center().x(), b.center().x(), 16);
    EXPECT_NEAR(a.center().y(), b.center().y(), 24);
}

TEST(SynthesisedFaces, WithoutStrokeDataTheKaiGlyphIsDrawn)
{
    ASSERT_FALSE(faces::StrokeStore::global().contains(U'祐'));
    const QString text = QStringLiteral("祐A");
    EXPECT_EQ(draw(strokeFace(-96), text, {260, 140}, {10, 10}), draw(kaiFace(-96), text, {260, 140}, {10, 10}));
}

TEST(SynthesisedFaces, TracingGlyphIsADottedOutlineWithoutFill)
{
    const QImage t = draw(traceFace(-213), QStringLiteral("口"), {300, 300}, {40, 40}, gdi::rgb(0, 0, 0));
    const QImage k = draw(kaiFace(-213), QStringLiteral("口"), {300, 300}, {40, 40}, gdi::rgb(0, 0, 0));
    savePng(t, QStringLiteral("synth_trace"));
    ASSERT_FALSE(inkBounds(t).isEmpty());
    // About the same extent as the glyph it outlines...
    const QRect a = inkBounds(t), b = inkBounds(k);
    EXPECT_LE(std::abs(a.left() - b.left()), 3);
    EXPECT_LE(std::abs(a.right() - b.right()), 3);
    EXPECT_LE(std::abs(a.top() - b.top()), 3);
    EXPECT_LE(std::abs(a.bottom() - b.bottom()), 3);
    // ...but far less ink, and none deep inside the strokes: the middle of
    // the left stroke of 口 is white.
    EXPECT_LT(darker(t, 128) * 5, darker(k, 128));
    int insideInk = 0, inside = 0;
    for (int y = b.top(); y <= b.bottom(); ++y)
        for (int x = b.left(); x <= b.right(); ++x) {
            bool deep = true;
            for (int dy = -4; dy <= 4 && deep; ++dy)
                for (int dx = -4; dx <= 4 && deep; ++dx)
                    deep = qGray(k.pixel(x + dx, y + dy)) < 128;
            if (deep) {
                ++inside;
                insideInk += qGray(t.pixel(x, y)) < 192;
            }
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(insideInk, 0);
    // Dots, not a line: the ink falls apart into many separate specks.
    EXPECT_GT(inkSpecks(t, 160), 60);
    EXPECT_LT(inkSpecks(k, 160), 3);
}

TEST(SynthesisedFaces, CentredAndNarrowedTextKeepsItsPlace)
{
    if (skipWithoutStrokeData())
        GTEST_SKIP() << "built without stroke data";
    // A label centres its caption; a font of half the width narrows it.
    for (qint32 width : {0, 40}) {
        gdi::LogFont s = strokeFace(-120), k = kaiFace(-120);
        s.width = k.width = width;
        const quint32 align = gdi::TA_CENTER | gdi::TA_BASELINE;
        const QRect a = inkBounds(draw(s, QStringLiteral("口"), {300, 200}, {150, 150}, kGrey, align));
        const QRect b = inkBounds(draw(k, QStringLiteral("口"), {300, 200}, {150, 150}, kGrey, align));
        EXPECT_NEAR(a.center().x(), b.center().x(), 6) << width;
        EXPECT_NEAR(a.width(), b.width(), b.width() / 4 + 4) << width;
    }
}

TEST(SynthesisedFaces, RecordedTextKeepsTheRequestedFamilyAndPlaysBackSynthesised)
{
    if (skipWithoutStrokeData())
        GTEST_SKIP() << "built without stroke data";
    MetafileRecorder rec(400, 200);
    rec.setFont(strokeFace(-120));
    rec.setTextColor(kGrey);
    rec.setBkMode(gdi::TRANSPARENT);
    rec.textOut(10, 10, QStringLiteral("從"));
    rec.setFont(traceFace(-120));
    rec.textOut(200, 10, QStringLiteral("從"));
    const Metafile mf = rec.finish();

    // Text records with the text, fonts under the names the labels asked for.
    const auto texts = mf.textRecords();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, QStringLiteral("從"));
    QStringList names;
    emf::RecordScanner scan{QByteArrayView(mf.bytes())};
    emf::RecordRef ref;
    while (scan.next(ref)) {
        const emf::Record r = emf::decode(ref);
        if (const auto *f = std::get_if<emf::EMR_EXTCREATEFONTINDIRECTW>(&r))
            names << f->font.font.faceName;
    }
    EXPECT_TRUE(names.contains(faces::strokeOrderFamily())) << names.join(u',').toStdString();
    EXPECT_TRUE(names.contains(faces::tracingFamily())) << names.join(u',').toStdString();

    // Played back at 96 dpi it is what the canvas draws directly...
    QImage direct = whiteImage(400, 200);
    {
        PainterCanvas c(&direct);
        c.setTextColor(kGrey);
        c.setBkMode(gdi::TRANSPARENT);
        c.setFont(strokeFace(-120));
        c.textOut(10, 10, QStringLiteral("從"));
        c.setFont(traceFace(-120));
        c.textOut(200, 10, QStringLiteral("從"));
    }
    const QImage played = emfsupport::render(mf, 400, 200);
    EXPECT_LE(emfsupport::differingPixels(direct, played), 400 * 200 / 1000);
    // ...and at 300 dpi the same shapes, finer: numbers in the left cell.
    const QImage fine = emfsupport::render(mf, 1250, 625, 300);
    savePng(fine, QStringLiteral("synth_played300"));
    const QColor number = faces::numberColor(QColor(0x9D, 0x9D, 0x9D));
    EXPECT_GT(darker(fine.copy(0, 0, 625, 625), number.value() + 20), 11 * 60);
    EXPECT_EQ(darker(fine.copy(625, 0, 625, 625), 0x9D - 10), 0);
}

TEST(SynthesisedFaces, DocumentsKeepTheTextUnderTheShapes)
{
    if (skipWithoutStrokeData())
        GTEST_SKIP() << "built without stroke data";
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftotext.isEmpty() || pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are needed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("faces.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(96);
        QPainter painter(&writer);
        PainterCanvas c(&painter, 96, 96);
        c.setBkMode(gdi::TRANSPARENT);
        c.setTextColor(kGrey);
        c.setFont(strokeFace(-120));
        c.textOut(40, 40, QStringLiteral("病從"));
        c.setFont(traceFace(-120));
        c.textOut(40, 240, QStringLiteral("口入"));
    }
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString extracted = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(extracted.contains(QStringLiteral("病從"))) << extracted.toStdString();
    EXPECT_TRUE(extracted.contains(QStringLiteral("口入"))) << extracted.toStdString();

    // The text itself is not seen: the page shows numbers (darker than the
    // ink) and no solid tracing glyph.
    QProcess ppm;
    ppm.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                         pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(ppm.waitForFinished(30000));
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(darker(page.copy(0, 0, 400, 200), 0x9D - 40), 50);
    const QImage traced = page.copy(30, 230, 300, 170);
    const QImage kai = draw(kaiFace(-120), QStringLiteral("口入"), {300, 170}, {10, 10});
    EXPECT_GT(darker(traced, 0xF0), 50);
    EXPECT_LT(darker(traced, 0xF0) * 3, darker(kai, 0xF0));
}

TEST(SynthesisedFaces, DrawingFromSeveralThreadsGivesWhatOneThreadGives)
{
    const QString chars = QStringLiteral("變學校從口入病祐鬱龜");
    std::vector<std::pair<QString, bool>> jobs;
    for (int round = 0; round < 3; ++round)
        for (QChar c : chars)
            for (bool stroke : {true, false})
                jobs.emplace_back(QString(c), stroke);
    auto render = [](const std::pair<QString, bool> &job) {
        return draw(job.second ? strokeFace(-100) : traceFace(-100), job.first, {140, 140}, {10, 10});
    };
    std::vector<QImage> parallel(jobs.size());
    std::atomic<size_t> next{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (size_t i = next++; i < jobs.size(); i = next++)
                parallel[i] = render(jobs[i]);
        });
    for (std::thread &t : threads)
        t.join();
    for (size_t i = 0; i < jobs.size(); ++i)
        EXPECT_EQ(parallel[i], render(jobs[i])) << jobs[i].first.toStdString();
}

TEST(SynthesisedFaces, CopiedGlyphsLookLikeDrawnOnes)
{
    if (skipWithoutStrokeData())
        GTEST_SKIP() << "built without stroke data";
    const auto font = fonts::resolve(strokeFace(-213));
    const fonts::TextLayout layout = font->layout(QStringLiteral("變"));
    ASSERT_FALSE(layout.runs.empty());
    const fonts::GlyphRun &run = layout.runs[0];
    const QColor ink(0x9D, 0x9D, 0x9D);
    const fonts::GlyphRequest request{U'變', run.rawFont, run.glyphs[0], font->emSize(), font->ascent(),
                                      font->descent(), layout.advances[0], ink};
    for (const fonts::SynthesizedGlyph &g : {faces::strokeOrderGlyphFor(request), faces::tracingGlyphFor(request)}) {
        ASSERT_EQ(g.kind, fonts::SynthesizedGlyph::Kind::Shapes);
        for (qreal scale : {1.0, 300.0 / 96}) {
            SCOPED_TRACE(scale);
            const int side = int(300 * scale);
            // The pen at a position that is no whole pixel.
            const QTransform at = QTransform::fromTranslate(20.3, 230.6) * QTransform::fromScale(scale, scale);
            QImage drawn = whiteImage(side, side), copied = whiteImage(side, side);
            {
                QPainter p(&drawn);
                p.setWorldTransform(at);
                fonts::paintSynthesizedGlyph(p, g);
            }
            {
                QPainter p(&copied);
                p.setWorldTransform(at);
                ASSERT_TRUE(fonts::paintFromBitmapCache(p, g));
                // A second time from the cache.
                ASSERT_TRUE(fonts::paintFromBitmapCache(p, g));
            }
            EXPECT_FALSE(inkBounds(drawn).isEmpty());
            EXPECT_LE(emfsupport::differingPixels(drawn, copied, 48), qint64(side) * side / 500);
        }
        // Turned text, and documents, get the shapes themselves.
        QImage img = whiteImage(100, 100);
        QPainter p(&img);
        p.rotate(10);
        EXPECT_FALSE(fonts::paintFromBitmapCache(p, g));
        p.end();
        QTemporaryDir dir;
        QPdfWriter pdf(dir.filePath(QStringLiteral("x.pdf")));
        QPainter q(&pdf);
        EXPECT_FALSE(fonts::paintFromBitmapCache(q, g));
    }
}

TEST(SynthesisedFaces, SmallGlyphsStayVisibleAndInsideTheirCells)
{
    if (skipWithoutStrokeData())
        GTEST_SKIP() << "built without stroke data";
    // As on a thumbnail: dots are kept a pixel wide, and the numbers' halo,
    // too thin to see, does not spill out of the cell.
    for (qint32 em : {16, 24, 32}) {
        for (const QString ch : {QStringLiteral("一"), QStringLiteral("末"), QStringLiteral("申"), QStringLiteral("夸")}) {
            SCOPED_TRACE(ch.toStdString() + " at " + std::to_string(em));
            const auto f = fonts::resolve(kaiFace(-em));
            const QRectF cell(10, 10, f->advanceWidth(ch), f->textMetric().height);
            const QImage s = draw(strokeFace(-em), ch, {2 * em + 20, 2 * em + 20}, {10, 10});
            const QRect ink = inkBounds(s);
            ASSERT_FALSE(ink.isEmpty());
            EXPECT_TRUE(cell.contains(QRectF(ink))) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
            const QImage t = draw(traceFace(-em), ch, {2 * em + 20, 2 * em + 20}, {10, 10});
            EXPECT_GT(darker(t, 0xE0), em / 2);
        }
    }
}
