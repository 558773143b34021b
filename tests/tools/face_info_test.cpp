// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool face --info: how the model cell numbers each character, and
// from which stroke data; Taiwan's standard forms first, a mainland form
// never numbered over a tracing glyph of the other form.
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

using toolrun::tool;

// The lines of face --info, one a character: character -> (count, source).
std::map<QString, std::pair<QString, QString>> info(const QString &text, const QStringList &more = {})
{
    const toolrun::Result r = tool(QStringList{QStringLiteral("face"), QStringLiteral("--info"), text} + more);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    std::map<QString, std::pair<QString, QString>> out;
    for (const QString &line : r.out.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u'\t');
        EXPECT_EQ(f.size(), 3) << line.toStdString();
        if (f.size() == 3)
            out[f[0]] = {f[1], f[2]};
    }
    return out;
}


} // namespace

TEST(FaceInfo, TaiwanFormsAreNumberedAndAMainlandOnlyFormIsNot)
{
    const auto lines = info(QString::fromUcs4(U"草花那近學變芥陳\U0002000B") + QChar(0x378));
    const std::pair<const char16_t *, const char *> numbered[] = {{u"草", "10"}, {u"花", "8"},  {u"那", "7"},
                                                                 {u"近", "8"},  {u"學", "16"}, {u"變", "23"}};
    for (const auto &[ch, count] : numbered) {
        const QString c = QString::fromUtf16(ch);
        ASSERT_TRUE(lines.count(c)) << c.toStdString();
        EXPECT_EQ(lines.at(c).first, QString::fromLatin1(count)) << c.toStdString();
        EXPECT_EQ(lines.at(c).second, QStringLiteral("AnimCJK")) << c.toStdString();
    }
    // 芥 and 陳: the only stroke data has the mainland form (艹 in three
    // strokes, 阝 in two).
    EXPECT_EQ(lines.at(QStringLiteral("芥")), std::make_pair(QStringLiteral("-"), QStringLiteral("Kai")));
    EXPECT_EQ(lines.at(QStringLiteral("陳")), std::make_pair(QStringLiteral("-"), QStringLiteral("Kai")));
    // One line for a character beyond the basic plane, and one for a
    // character that nothing draws.
    EXPECT_TRUE(lines.count(QString::fromUcs4(U"\U0002000B")));
    EXPECT_EQ(lines.at(QString(QChar(0x378))), std::make_pair(QStringLiteral("-"), QStringLiteral("none")));
    EXPECT_EQ(lines.size(), 10u);
}

TEST(FaceInfo, TheUsersOwnDataComesFirstAndKeepsToTheTracingForm)
{
    // The installed data's lines, as files of a folder: the mainland 芥 and
    // 草, and the Taiwan 那 moved to the folder.
    QTemporaryDir dir;
    const QString installed = QStringLiteral(TOVREL_BINARY_DIR "/share/tovrel/strokes");
    for (const char *ch : {"芥", "草"})
        ASSERT_TRUE(QFile::copy(installed + QStringLiteral("/hanzi-writer-data/") + QString::fromUtf8(ch) + ".json",
                                dir.filePath(QString::fromUtf8(ch) + ".json")));
    QFile lines(installed + QStringLiteral("/animcjk/graphicsZhHant.txt"));
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    for (const QByteArray &line : lines.readAll().split('\n'))
        if (line.startsWith("{\"character\":\"那\""))
            ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("那.json")), line));
    const auto got = info(QStringLiteral("芥草那"), {QStringLiteral("--stroke-data"), dir.path()});
    EXPECT_EQ(got.at(QStringLiteral("芥")), std::make_pair(QStringLiteral("-"), QStringLiteral("Kai")));
    // The mainland 草 of the folder is passed over for the Taiwan form.
    EXPECT_EQ(got.at(QStringLiteral("草")), std::make_pair(QStringLiteral("10"), QStringLiteral("AnimCJK")));
    EXPECT_EQ(got.at(QStringLiteral("那")), std::make_pair(QStringLiteral("7"), QStringLiteral("override")));
}
