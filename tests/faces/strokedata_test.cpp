// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stroke data: the stored form of a character, the per-character JSON files,
// the file of one character a line, the installed data and a folder
// overriding it.
#include "painter_support.h"
#include "faces/strokecodec.h"
#include "faces/strokedataoption.h"
#include "faces/strokejson.h"
#include "faces/strokelines.h"
#include "faces/strokestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

#include "testsupport.h"

#include <gtest/gtest.h>

using namespace strokes;

namespace {

// Two strokes using every kind of op; coordinates in half units.
CharStrokes sample()
{
    CharStrokes c;
    Stroke a;
    a.outline.ops = {Op::Move, Op::Line, Op::Quad, Op::Cubic, Op::Close};
    a.outline.points = {{100, 800}, {900.5, 800}, {950, 700}, {900, 600}, {600, 550}, {300, 560}, {100, 600}};
    a.median = {{120, 700}, {880, 690}};
    Stroke b;
    b.outline.ops = {Op::Move, Op::Line, Op::Line, Op::Close, Op::Move, Op::Line, Op::Line};
    b.outline.points = {{-124, -124}, {1023, -100}, {500, 0}, {10, 10}, {20, 10}, {10, 20}};
    b.median = {{0, 0}};
    c.strokes = {a, b};
    return c;
}


} // namespace

TEST(StrokeCodec, RecordsReadBackWhole)
{
    const CharStrokes c = sample();
    const QByteArray rec = encodeRecord(c);
    EXPECT_EQ(decodeRecord({rec.constData(), size_t(rec.size())}), c);
}

TEST(StrokeCodec, DamagedRecordsAreNoDataNeverPartOfACharacter)
{
    const QByteArray rec = encodeRecord(sample());
    // Every shortened record, and one with a byte too many.
    for (qsizetype n = 0; n < rec.size(); ++n)
        EXPECT_FALSE(decodeRecord({rec.constData(), size_t(n)})) << n;
    const QByteArray longer = rec + '\0';
    EXPECT_FALSE(decodeRecord({longer.constData(), size_t(longer.size())}));
    // An op code beyond the known ones (the first op byte follows two counts).
    QByteArray badOp = rec;
    badOp[2] = char(0x57);
    EXPECT_FALSE(decodeRecord({badOp.constData(), size_t(badOp.size())}));
    // A count that asks for more strokes than a character may have.
    QByteArray many;
    many.append(char(0xFF)).append(char(0x7F));
    EXPECT_FALSE(decodeRecord({many.constData(), size_t(many.size())}));
    // An outline that does not start with a move.
    CharStrokes noMove = sample();
    noMove.strokes[0].outline.ops[0] = Op::Line;
    const QByteArray nm = encodeRecord(noMove);
    EXPECT_FALSE(decodeRecord({nm.constData(), size_t(nm.size())}));
}

TEST(StrokeLines, EachCharacterFromItsOwnLineAndDamageStaysOnItsLine)
{
    const QByteArray square = R"("strokes":["M100,800L900,800L900,0L100,0Z"],"medians":[[[100,800],[900,0]]]})";
    const QByteArray file = "{\"character\":\"口\"," + square + "\n" +
                            // damaged strokes: no data for 入, nothing else lost
                            R"({"character":"入","strokes":["M 1 2 L"],"medians":[[[1,2]]]})" "\n"
                            "\n" +
                            // a character beyond the basic plane, written as an escape
                            R"({ "character" : "\ud840\udc00", )" + square + "\r\n" +
                            // a second line for 口 does not replace the first
                            R"({"character":"口","strokes":["M0,0L1,0L1,1Z"],"medians":[[[0,0]]]})" "\n" +
                            R"(not a line of data)" "\n" +
                            "{\"character\":\"變\"," + square; // no line break at the end
    const auto lines = StrokeLines::fromBytes(file);
    EXPECT_EQ(lines->count(), 4);
    ASSERT_TRUE(lines->find(U'口'));
    EXPECT_EQ(lines->find(U'口')->strokes[0].median.back(), QPointF(900, 0));
    EXPECT_TRUE(lines->contains(U'入'));
    EXPECT_FALSE(lines->find(U'入'));
    ASSERT_TRUE(lines->find(U'\U00020000'));
    EXPECT_TRUE(lines->find(U'變'));
    EXPECT_FALSE(lines->find(U'A'));
    // Every truncation reads without fault.
    for (qsizetype n = 0; n < file.size(); ++n) {
        const auto t = StrokeLines::fromBytes(file.left(n));
        for (char32_t ch : t->characters())
            (void)t->find(ch);
    }
    QString why;
    EXPECT_FALSE(StrokeLines::open(QStringLiteral("/nonexistent/graphics.txt"), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(StrokeJson, PathDataInAbsoluteAndRelativeFormsReadTheSame)
{
    const auto abs = parsePathData(QStringLiteral("M 10 20 L 30 20 L 30 40 Q 40 50 50 40 C 60 30 70 30 80 40 Z"));
    ASSERT_TRUE(abs);
    EXPECT_EQ(abs->ops, (std::vector<Op>{Op::Move, Op::Line, Op::Line, Op::Quad, Op::Cubic, Op::Close}));
    // Relative commands, H and V, implicit lines after a move, commas.
    const auto rel = parsePathData(QStringLiteral("m10,20 20 0 v20 q10 10 20 0 c10-10 20-10 30 0z"));
    ASSERT_TRUE(rel);
    EXPECT_EQ(rel->ops, abs->ops);
    EXPECT_EQ(rel->points, abs->points);
    const auto hv = parsePathData(QStringLiteral("M10 20H30V40"));
    ASSERT_TRUE(hv);
    EXPECT_EQ(hv->points, (std::vector<QPointF>{{10, 20}, {30, 20}, {30, 40}}));
    // Exponents and repeated commands.
    const auto rep = parsePathData(QStringLiteral("M1e2 2E1 L 3 4 5 6"));
    ASSERT_TRUE(rep);
    EXPECT_EQ(rep->points, (std::vector<QPointF>{{100, 20}, {3, 4}, {5, 6}}));

    for (const char *bad : {"", "M 10", "L 1 2", "M 1 2 X 3 4", "10 20", "M 1 2 Q 3 4", "M 1 2 L 3 4 Z 5 6",
                            "M 1 2 L 99999 4", "M 1 2 L nan 4"})
        EXPECT_FALSE(parsePathData(QString::fromLatin1(bad))) << bad;
}

TEST(StrokeJson, FilesReadOrSayWhatIsWrong)
{
    const auto good = parseCharJson(R"({"strokes": ["M 0 0 L 100 0 L 100 100 Z", "M 0 0 L 10 10 L 0 10 Z"],
                                        "medians": [[[0, 50], [100, 50]], [[0, 0]]]})");
    ASSERT_TRUE(std::holds_alternative<CharStrokes>(good));
    const CharStrokes &c = std::get<CharStrokes>(good);
    ASSERT_EQ(c.strokes.size(), 2u);
    EXPECT_EQ(c.strokes[0].median, (std::vector<QPointF>{{0, 50}, {100, 50}}));

    const std::pair<const char *, const char *> bad[] = {
        {"{", "not JSON"},
        {"[]", "not a JSON object"},
        {R"({"strokes": []})", "lists"},
        {R"({"strokes": [], "medians": []})", "no strokes"},
        {R"({"strokes": ["M 0 0 L 1 1 Z"], "medians": []})", "1 strokes but 0 medians"},
        {R"({"strokes": ["M 0 0 X"], "medians": [[[0, 0]]]})", "stroke 1"},
        {R"({"strokes": [3], "medians": [[[0, 0]]]})", "stroke 1"},
        {R"({"strokes": ["M 0 0 L 1 1 Z"], "medians": [[[0]]]})", "median 1"},
        {R"({"strokes": ["M 0 0 L 1 1 Z"], "medians": [[]]})", "median 1"},
    };
    for (const auto &[json, why] : bad) {
        const auto r = parseCharJson(QByteArray(json));
        ASSERT_TRUE(std::holds_alternative<QString>(r)) << json;
        EXPECT_TRUE(std::get<QString>(r).contains(QString::fromUtf8(why))) << json << " -> "
                                                                           << std::get<QString>(r).toStdString();
    }
}

TEST(StrokeJson, FileNamesStandForOneCharacter)
{
    EXPECT_EQ(characterOfFileName(QStringLiteral("變.json")), U'變');
    EXPECT_EQ(characterOfFileName(QString::fromUcs4(U"\U00020000.json")), U'\U00020000');
    EXPECT_EQ(characterOfFileName(QStringLiteral("package.json")), 0u);
    EXPECT_EQ(characterOfFileName(QStringLiteral("變口.json")), 0u);
    EXPECT_EQ(characterOfFileName(QStringLiteral("a.json")), 0u);
    EXPECT_EQ(characterOfFileName(QStringLiteral("變.txt")), 0u);
}

TEST(StrokeStore, TaiwanFormsFirstThenTheMainlandData)
{
    faces::StrokeStore &store = faces::StrokeStore::global();
    ASSERT_TRUE(store.missingData().empty()) << faces::describeMissing(store.missingData().front()).toStdString();
    EXPECT_EQ(store.animCjkCount(), 1013);
    // Stroke counts as Taiwan's dictionaries give them: 艹 in four strokes,
    // 阝 in three, 辶 in four.
    const std::pair<char32_t, size_t> known[] = {{U'口', 3}, {U'入', 2}, {U'學', 16}, {U'草', 10}, {U'花', 8},
                                                 {U'那', 7}, {U'近', 8}, {U'從', 11}, {U'病', 10}, {U'變', 23}};
    for (const auto &[ch, n] : known) {
        const auto all = store.findAll(ch);
        ASSERT_FALSE(all.empty()) << uint(ch);
        EXPECT_EQ(all.front().source, faces::StrokeSource::AnimCJK) << uint(ch);
        EXPECT_EQ(all.front().strokes->strokes.size(), n) << uint(ch);
        for (const Stroke &s : all.front().strokes->strokes) {
            EXPECT_FALSE(s.median.empty());
            EXPECT_EQ(s.outline.ops.front(), Op::Move);
        }
    }
    // The mainland forms come second: 草 with 艹 in three strokes.
    const auto grass = store.findAll(U'草');
    ASSERT_EQ(grass.size(), 2u);
    EXPECT_EQ(grass[1].source, faces::StrokeSource::HanziWriter);
    EXPECT_EQ(grass[1].strokes->strokes.size(), 9u);
    // 骨 is in the mainland data only.
    const auto bone = store.findAll(U'骨');
    ASSERT_EQ(bone.size(), 1u);
    EXPECT_EQ(bone[0].source, faces::StrokeSource::HanziWriter);
    EXPECT_FALSE(store.contains(U'祐'));
    EXPECT_FALSE(store.find(U'A'));
}

TEST(StrokeStore, BothSourcesShareOneEmSquare)
{
    // A character of both sources lands in the same box from each: the
    // traditional data needs no mapping onto the mainland data's square.
    faces::StrokeStore &store = faces::StrokeStore::global();
    for (char32_t ch : {U'口', U'日', U'一', U'丈', U'國', U'入', U'小'}) {
        const auto all = store.findAll(ch);
        ASSERT_EQ(all.size(), 2u) << uint(ch);
        QRectF box[2];
        for (int k = 0; k < 2; ++k)
            for (const Stroke &s : all[size_t(k)].strokes->strokes)
                for (const QPointF &p : s.outline.points)
                    box[k] = box[k].united(QRectF(p, QSizeF(0.01, 0.01)));
        // Within 5 % of the em on every side: the two hands place a dot or
        // a hook a little differently, a mapping fault moves the whole box.
        EXPECT_NEAR(box[0].left(), box[1].left(), 51) << uint(ch);
        EXPECT_NEAR(box[0].right(), box[1].right(), 51) << uint(ch);
        EXPECT_NEAR(box[0].top(), box[1].top(), 51) << uint(ch);
        EXPECT_NEAR(box[0].bottom(), box[1].bottom(), 51) << uint(ch);
        // Medians run the same way: each first stroke starts at the same end.
        const QPointF a = all[0].strokes->strokes[0].median.front(), b = all[1].strokes->strokes[0].median.front();
        EXPECT_LT(std::hypot(a.x() - b.x(), a.y() - b.y()), 60) << uint(ch);
    }
}

TEST(StrokeStore, AMissingDataFileIsNoDataAndSaysWhich)
{
    QTemporaryDir dir;
    faces::StrokeStore store;
    store.setInstalledFolder(dir.path());
    const auto missing = store.missingData();
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[0].source, faces::StrokeSource::AnimCJK);
    EXPECT_TRUE(missing[0].path.endsWith(QStringLiteral("animcjk/graphicsZhHant.txt")));
    EXPECT_EQ(missing[1].source, faces::StrokeSource::HanziWriter);
    const QString line = faces::describeMissing(missing[0]);
    EXPECT_FALSE(line.contains(u'\n'));
    EXPECT_TRUE(line.contains(QDir::toNativeSeparators(missing[0].path))) << line.toStdString();
    EXPECT_TRUE(store.findAll(U'口').empty());
    EXPECT_EQ(store.animCjkCount(), 0);
    // The hanzi-writer files alone: those characters, from that source.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("hanzi-writer-data")));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("hanzi-writer-data/口.json")),
              R"({"strokes": ["M 100 800 L 900 800 L 900 0 Z"], "medians": [[[100, 800]]]})"));
    store.setInstalledFolder(dir.path());
    EXPECT_EQ(store.missingData().size(), 1u);
    ASSERT_EQ(store.findAll(U'口').size(), 1u);
    EXPECT_EQ(store.findAll(U'口')[0].source, faces::StrokeSource::HanziWriter);
}

TEST(StrokeStore, AFolderOverridesCharacterByCharacterAndSkipsDamagedFiles)
{
    QTemporaryDir dir;
    // 口 as a single square stroke; 入 damaged; files that are not a
    // character's are left alone.
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("口.json")),
              R"({"strokes": ["M 100 800 L 900 800 L 900 0 L 100 0 Z"], "medians": [[[100, 800], [900, 0]]]})"));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("入.json")), R"({"strokes": ["M 1 2 L"], "medians": [[[1, 2]]]})"));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("package.json")), "{}"));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("notes.txt")), "not data"));

    faces::StrokeStore store;
    const quint64 before = store.generation();
    ASSERT_EQ(store.find(U'口')->strokes.size(), 3u);
    ASSERT_EQ(store.findAll(U'口').front().source, faces::StrokeSource::AnimCJK);
    const QStringList warnings = store.setOverrideFolder(dir.path());
    ASSERT_EQ(warnings.size(), 1) << warnings.join(u'\n').toStdString();
    EXPECT_TRUE(warnings[0].contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("入.json")))))
        << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("stroke 1"))) << warnings[0].toStdString();
    EXPECT_NE(store.generation(), before);
    EXPECT_EQ(store.overrideCount(), 1);
    EXPECT_EQ(store.overrideFolder(), QDir(dir.path()).absolutePath());

    ASSERT_EQ(store.find(U'口')->strokes.size(), 1u);
    EXPECT_EQ(store.findAll(U'口').front().source, faces::StrokeSource::Override);
    EXPECT_EQ(store.findAll(U'口').size(), 3u);
    EXPECT_EQ(store.find(U'口')->strokes[0].median.back(), QPointF(900, 0));
    EXPECT_EQ(store.find(U'入')->strokes.size(), 2u); // the damaged file left the installed data
    EXPECT_EQ(store.find(U'變')->strokes.size(), 23u);

    // A character the installed data lacks can be given.
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("祐.json")),
              R"({"strokes": ["M 100 800 L 900 800 L 900 0 Z"], "medians": [[[100, 800]]]})"));
    EXPECT_EQ(store.setOverrideFolder(dir.path()).size(), 1);
    EXPECT_TRUE(store.contains(U'祐'));

    // Without the folder the installed data is back.
    EXPECT_TRUE(store.setOverrideFolder(QString()).isEmpty());
    EXPECT_EQ(store.find(U'口')->strokes.size(), 3u);
    EXPECT_FALSE(store.contains(U'祐'));

    const QStringList missing = store.setOverrideFolder(dir.filePath(QStringLiteral("nothing-here")));
    ASSERT_EQ(missing.size(), 1);
    EXPECT_TRUE(missing[0].contains(QStringLiteral("nothing-here")));
    EXPECT_EQ(store.overrideCount(), 0);
}

TEST(StrokeDataOption, CommandLineFirstThenTheEnvironment)
{
    qputenv("TOVREL_STROKE_DATA", "/from/env");
    QStringList args{QStringLiteral("tovrel"), QStringLiteral("--stroke-data"), QStringLiteral("/a"),
                     QStringLiteral("x")};
    faces::StrokeDataOption o = faces::takeStrokeDataOption(args);
    EXPECT_EQ(o.folder, QStringLiteral("/a"));
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(args, (QStringList{QStringLiteral("tovrel"), QStringLiteral("x")}));

    args = {QStringLiteral("--stroke-data=/b"), QStringLiteral("--stroke-data=/c")};
    EXPECT_EQ(faces::takeStrokeDataOption(args).folder, QStringLiteral("/c"));
    EXPECT_TRUE(args.isEmpty());

    args = {QStringLiteral("x")};
    EXPECT_EQ(faces::takeStrokeDataOption(args).folder, QStringLiteral("/from/env"));

    args = {QStringLiteral("--stroke-data")};
    o = faces::takeStrokeDataOption(args);
    EXPECT_FALSE(o.error.isEmpty());
    EXPECT_TRUE(args.isEmpty());
    qunsetenv("TOVREL_STROKE_DATA");
    args = {};
    EXPECT_TRUE(faces::takeStrokeDataOption(args).folder.isEmpty());
}
