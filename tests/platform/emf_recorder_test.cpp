// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder: what it writes (header, objects, text records) and that a
// recorded page played back looks like the page drawn directly.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/emf/emfdemo.h"
#include "platform/metafilerecorder.h"
#include "platform/rperror.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace emf;

namespace {

std::vector<std::pair<RecordRef, Record>> records(const Metafile &mf)
{
    std::vector<std::pair<RecordRef, Record>> out;
    RecordScanner s{QByteArrayView(mf.bytes())};
    RecordRef r;
    while (s.next(r))
        out.emplace_back(r, decode(r));
    return out;
}

Metafile demoMetafile()
{
    MetafileRecorder rec(kDemoWidth, kDemoHeight);
    drawDemoScene(rec);
    return rec.finish();
}

} // namespace

TEST(EmfRecorder, HeaderDescribesThePageAtNinetySixDpi)
{
    MetafileRecorder rec(794, 1123, QStringLiteral("Tovrel") + QChar(0) + QStringLiteral("page"));
    rec.setBrush({gdi::BS_SOLID, gdi::rgb(1, 2, 3), 0});
    rec.rectangle({10, 20, 110, 70});
    const Metafile mf = rec.finish();
    EXPECT_EQ(mf.width(), 794);
    EXPECT_EQ(mf.height(), 1123);
    EXPECT_EQ(mf.frame(), (gdi::Rect{0, 0, 21008, 29713}));
    EXPECT_EQ(mf.deviceSize(), (gdi::Size{794, 1123}));
    EXPECT_EQ(mf.deviceMillimeters(), (gdi::Size{210, 297}));
    EXPECT_EQ(mf.bounds(), (gdi::Rect{10, 20, 109, 69})); // inclusive
    EXPECT_EQ(mf.description(), QStringLiteral("Tovrel") + QChar(0) + QStringLiteral("page"));
    EXPECT_EQ(mf.fileSize(), quint32(mf.bytes().size()));
    const auto recs = records(mf);
    EXPECT_EQ(mf.recordCount(), quint32(recs.size()));
    EXPECT_EQ(recs.front().first.size % 4, 0u);
    EXPECT_GE(recs.front().first.size, 108u);
    // EOF: no palette, nSizeLast is the record size.
    const auto &eof = std::get<EMR_EOF>(recs.back().second);
    EXPECT_EQ(eof.sizeLast, 20u);
    EXPECT_EQ(recs.back().first.size, 20u);
    // The page's logical size survives a trip through the bytes.
    const Metafile again = Metafile::fromBytes(mf.bytes());
    EXPECT_EQ(again.width(), 794);
    EXPECT_EQ(again.height(), 1123);
}

TEST(EmfRecorder, ObjectsAreCreatedOnSelectionAndDeletedWhenReplaced)
{
    const Metafile mf = demoMetafile();
    std::set<quint32> live;
    quint32 highest = 0;
    int fonts = 0;
    for (const auto &[ref, rec] : records(mf)) {
        std::visit(
            [&](const auto &r) {
                using T = std::decay_t<decltype(r)>;
                auto create = [&](quint32 index) {
                    EXPECT_FALSE(live.count(index)) << "slot " << index << " reused while alive at " << ref.offset;
                    EXPECT_NE(index, 0u);
                    live.insert(index);
                    highest = std::max(highest, index);
                };
                if constexpr (std::is_same_v<T, EMR_CREATEPEN> || std::is_same_v<T, EMR_CREATEBRUSHINDIRECT> ||
                              std::is_same_v<T, EMR_EXTCREATEPEN> || std::is_same_v<T, EMR_CREATEDIBPATTERNBRUSHPT> ||
                              std::is_same_v<T, EMR_CREATEMONOBRUSH>) {
                    create(r.index);
                } else if constexpr (std::is_same_v<T, EMR_EXTCREATEFONTINDIRECTW>) {
                    create(r.index);
                    EXPECT_EQ(ref.size, 368u);
                    ++fonts;
                } else if constexpr (std::is_same_v<T, EMR_SELECTOBJECT>) {
                    if (!(r.value & 0x80000000)) {
                        EXPECT_TRUE(live.count(r.value)) << "selects dead object " << r.value << " at " << ref.offset;
                    }
                } else if constexpr (std::is_same_v<T, EMR_DELETEOBJECT>) {
                    EXPECT_TRUE(live.erase(r.value)) << "deletes dead object " << r.value << " at " << ref.offset;
                } else if constexpr (std::is_same_v<T, EMR_EXTTEXTOUTW>) {
                    // Always with its rectangle and one advance per character.
                    EXPECT_FALSE(r.text.rect.isEmpty()) << ref.offset;
                    EXPECT_EQ(r.text.dx.size(), size_t(r.text.chars.size() / 2)) << ref.offset;
                }
            },
            rec);
    }
    EXPECT_GT(fonts, 2);
    EXPECT_EQ(mf.handleCount(), highest + 1);
    // Objects still alive at the end are only those selected at the end.
    EXPECT_LE(live.size(), 3u);
}

TEST(EmfRecorder, ObjectsHeldBySavedStatesSurviveUntilRestored)
{
    MetafileRecorder rec(100, 100);
    rec.setPen({gdi::PS_SOLID, 2, gdi::rgb(255, 0, 0)});
    rec.saveDC();
    rec.setPen({gdi::PS_SOLID, 3, gdi::rgb(0, 255, 0)}); // the red pen is still held by the saved state
    rec.restoreDC(-1);                                   // red again; the green pen goes
    rec.moveTo(10, 50);
    rec.lineTo(90, 50);
    const Metafile mf = rec.finish();
    std::vector<QString> kinds;
    for (const auto &[ref, r] : records(mf))
        kinds.push_back(typeName(ref.type) + QStringLiteral(" ") + dumpFields(r));
    const QString all = QStringList(kinds.begin(), kinds.end()).join(u'\n');
    EXPECT_FALSE(all.contains(QStringLiteral("EMR_DELETEOBJECT value=1"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("EMR_DELETEOBJECT value=2"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("EMR_RESTOREDC value=-1")));
    // Played back, the line is red and two pixels wide.
    const QImage img = emfsupport::render(mf, 100, 100);
    const QRect red = paintersupport::colorBounds(img, Qt::red);
    EXPECT_EQ(red.height(), 2);
    EXPECT_NEAR(red.width(), 80, 2);
}

TEST(EmfRecorder, TextRecordsAreEnumeratedInOrder)
{
    const Metafile mf = demoMetafile();
    QString error;
    const auto texts = mf.textRecords(&error);
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(int(texts.size()), kDemoTextCount);
    for (int i = 0; i < kDemoTextCount; ++i) {
        EXPECT_EQ(texts[size_t(i)].text, QString::fromUtf16(kDemoTexts[i]));
        EXPECT_EQ(texts[size_t(i)].type, T_EXTTEXTOUTW);
    }
    EXPECT_EQ(texts[0].reference, (gdi::Point{20, 250}));
    EXPECT_LT(texts[0].offset, texts[1].offset);
}

TEST(EmfRecorder, TextIsMeasuredLikeThePainterCanvas)
{
    QImage img = paintersupport::whiteImage(10, 10);
    PainterCanvas painter(&img);
    MetafileRecorder rec(100, 100);
    for (const char16_t *face : {u"Arial", u"標楷體"}) {
        gdi::LogFont f;
        f.faceName = QString::fromUtf16(face);
        f.height = -23;
        painter.setFont(f);
        rec.setFont(f);
        for (const QString &s : {QStringLiteral("Width test"), QStringLiteral("班別：姓名")}) {
            EXPECT_EQ(rec.textExtent(s), painter.textExtent(s));
        }
        EXPECT_EQ(rec.textMetrics().height, painter.textMetrics().height);
        EXPECT_EQ(rec.textMetrics().ascent, painter.textMetrics().ascent);
    }
    EXPECT_EQ(rec.logPixelsX(), 96);
}

TEST(EmfRecorder, DrawingAfterFinishIsAnError)
{
    MetafileRecorder rec(10, 10);
    rec.finish();
    EXPECT_THROW(rec.lineTo(1, 1), RpError);
    EXPECT_EQ(rec.finish().width(), 10); // finishing again gives the same metafile
}

TEST(EmfRecordThenPlay, EqualsDrawingDirectlyAt96Dpi)
{
    QImage direct = paintersupport::whiteImage(kDemoWidth, kDemoHeight);
    {
        PainterCanvas c(&direct);
        drawDemoScene(c);
    }
    const QImage played = emfsupport::render(demoMetafile(), kDemoWidth, kDemoHeight);
    const qint64 diff = emfsupport::differingPixels(direct, played);
    if (diff > 0) {
        direct.save(QStringLiteral("/tmp/emf_direct96.png"));
        played.save(QStringLiteral("/tmp/emf_played96.png"));
    }
    EXPECT_LE(diff, kDemoWidth * kDemoHeight / 1000) << diff << " pixels differ";
}

TEST(EmfRecordThenPlay, EqualsDrawingDirectlyAt600Dpi)
{
    const double s = 600.0 / 96;
    const int w = int(kDemoWidth * s), h = int(kDemoHeight * s);
    QImage direct = paintersupport::whiteImage(w, h);
    {
        PainterCanvas c(&direct, 600);
        c.setTransform(QTransform::fromScale(s, s));
        drawDemoScene(c);
    }
    const QImage played = emfsupport::render(demoMetafile(), w, h, 600);
    const qint64 diff = emfsupport::differingPixels(direct, played);
    if (diff > 0) {
        direct.save(QStringLiteral("/tmp/emf_direct600.png"));
        played.save(QStringLiteral("/tmp/emf_played600.png"));
    }
    EXPECT_LE(diff, qint64(w) * h / 1000) << diff << " pixels differ";
}

TEST(EmfRecordThenPlay, PageRecordedIntoAnotherRecorderStillLooksTheSame)
{
    // A recorded page stretch-drawn into a second recording, then played.
    const Metafile page = demoMetafile();
    MetafileRecorder outer(kDemoWidth, kDemoHeight);
    outer.stretchDrawMetafile({0, 0, kDemoWidth, kDemoHeight}, page);
    const Metafile twice = outer.finish();
    const QImage once = emfsupport::render(page, kDemoWidth, kDemoHeight);
    const QImage again = emfsupport::render(twice, kDemoWidth, kDemoHeight);
    EXPECT_LE(emfsupport::differingPixels(once, again), kDemoWidth * kDemoHeight / 1000);
    EXPECT_EQ(twice.textRecords().size(), page.textRecords().size());
}

TEST(EmfRecorder, TextThatMovesThePositionMovesItAsTheScreenDoes)
{
    // Recording and drawing must leave the same current position behind,
    // along the text's direction when it is rotated.
    const QString text = QStringLiteral("Tovrel 班別");
    for (int escapement : {0, 900, 1800, 450}) {
        for (quint32 horz : {quint32(gdi::TA_LEFT), quint32(gdi::TA_RIGHT), quint32(gdi::TA_CENTER)}) {
            gdi::LogFont f;
            f.faceName = QStringLiteral("Arial");
            f.height = -20;
            f.escapement = escapement;
            f.orientation = escapement;
            MetafileRecorder rec(400, 400);
            QImage img = paintersupport::whiteImage(400, 400);
            PainterCanvas paint(&img);
            for (Canvas *c : {static_cast<Canvas *>(&rec), static_cast<Canvas *>(&paint)}) {
                c->setFont(f);
                c->setTextAlign(gdi::TA_UPDATECP | horz);
                c->moveTo(200, 200);
                c->textOut(0, 0, text);
            }
            // Within a pixel: the recorder moves by the sum of whole-pixel
            // advances, the screen by the text's exact width.
            EXPECT_NEAR(rec.currentPosition().x, paint.currentPosition().x, 1) << escapement << " " << horz;
            EXPECT_NEAR(rec.currentPosition().y, paint.currentPosition().y, 1) << escapement << " " << horz;
            if (escapement == 900 && horz == gdi::TA_LEFT) {
                // Text running upwards moves the position up.
                EXPECT_EQ(rec.currentPosition().x, 200);
                EXPECT_LT(rec.currentPosition().y, 200 - 50);
            }
        }
    }
}
