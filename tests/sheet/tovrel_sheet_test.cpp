// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-sheet run as a user runs it: its report files are read back by
// tovrel-tool, its pictures by QImage, and every refusal leaves the folder
// as it was.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSheet = QStringLiteral(TOVREL_BINARY_DIR "/sheet/tovrel-sheet");
const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");

struct Result {
    int code = -1;
    QString out, err;
};

Result run(const QString &program, const QStringList &args, const QString &dir = QString())
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    Result r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The text of each page of a report file, as tovrel-tool reads it.
QStringList pageTexts(const QString &trp)
{
    const Result r = run(kTool, {"trp", "text", trp});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    QStringList pages;
    for (const QString &line : r.out.split(u'\n')) {
        if (line.startsWith(u"Page "))
            pages << QString();
        else if (!pages.isEmpty())
            pages.last() += line;
    }
    return pages;
}

// What the sheet of `word` (its characters all different) shows: each
// character in every cell of its position, and no character of another word.
void expectSheetOf(const QString &page, const QString &word)
{
    static const int cellsPerPosition[] = {8, 5, 4, 4};
    for (QChar c : word) {
        EXPECT_EQ(page.count(c), cellsPerPosition[word.size() - 1])
            << QString(c).toStdString() << " on the sheet of " << word.toStdString();
    }
    EXPECT_TRUE(page.contains(QStringLiteral("班別："))) << word.toStdString();
}

int inkedPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

class TovrelSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString &exe : {kSheet, kTool}) {
            if (!QFile::exists(exe))
                FAIL() << "not built: " << exe.toStdString();
        }
        ASSERT_TRUE(tmp.isValid());
    }
    QString path(const QString &name) const { return tmp.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList files() const { return QDir(tmp.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name); }
    Result sheet(const QStringList &args) const { return run(kSheet, args, tmp.path()); }

    QTemporaryDir tmp;
};

} // namespace

TEST_F(TovrelSheet, OneWordMakesOneReportFilePage)
{
    const Result r = sheet({"變", "-o", "one.trp"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "one.trp\n");

    const Result info = run(kTool, {"trp", "info", path("one.trp")});
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains("pages: 1\n")) << info.out.toStdString();
    const QStringList pages = pageTexts(path("one.trp"));
    ASSERT_EQ(pages.size(), 1);
    expectSheetOf(pages[0], "變");
    EXPECT_TRUE(pages[0].contains("姓名："));
}

TEST_F(TovrelSheet, WordsFileMakesOneSheetPerWordInOrder)
{
    // A byte-order mark, comments, blank lines, white space and CR-LF line
    // ends; two words of the same length each get a sheet of their own.
    writeFile("words.txt", "\xEF\xBB\xBF# practice words\n"
                           "  山水 \r\n"
                           "\n"
                           "日\r\n"
                           "   \n"
                           "#日月\n"
                           "天地人\n"
                           "春夏秋冬\n"
                           "花草");
    const Result r = sheet({"--words", "words.txt", "-o", "all.trp"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList pages = pageTexts(path("all.trp"));
    const QStringList words{"山水", "日", "天地人", "春夏秋冬", "花草"};
    ASSERT_EQ(pages.size(), words.size());
    for (qsizetype i = 0; i < words.size(); ++i) {
        SCOPED_TRACE(i + 1);
        expectSheetOf(pages[i], words[i]);
        for (qsizetype j = 0; j < words.size(); ++j) {
            for (QChar c : words[j]) {
                if (j != i && !words[i].contains(c)) {
                    EXPECT_FALSE(pages[i].contains(c)) << QString(c).toStdString();
                }
            }
        }
    }
}

TEST_F(TovrelSheet, PicturesForOneAndForSeveralPages)
{
    // One page: OUT.png itself, at the resolution asked for (A4 at 48 dpi),
    // the same picture tovrel-tool plays from the report file.
    ASSERT_EQ(sheet({"變", "-o", "one.png", "--dpi", "48"}).code, 0);
    ASSERT_EQ(sheet({"變", "-o", "one.trp"}).code, 0);
    const QImage one(path("one.png"));
    ASSERT_FALSE(one.isNull());
    EXPECT_EQ(one.size(), QSize(397, 561));
    EXPECT_GT(inkedPixels(one), 2000);
    ASSERT_EQ(run(kTool, {"trp", "render", path("one.trp"), "1", path("ref.png"), "--dpi", "48"}).code, 0);
    EXPECT_EQ(one.convertToFormat(QImage::Format_RGB32), QImage(path("ref.png")).convertToFormat(QImage::Format_RGB32));

    // Several pages: OUT-1.png, OUT-2.png, ..., each the page of its word.
    const Result r = sheet({"變", "山水", "天地人", "-o", "many.png", "--dpi", "30"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "many-1.png\nmany-2.png\nmany-3.png\n");
    EXPECT_FALSE(QFile::exists(path("many.png")));
    ASSERT_EQ(sheet({"變", "山水", "天地人", "-o", "many.trp"}).code, 0);
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        const QImage page(path(QStringLiteral("many-%1.png").arg(i)));
        EXPECT_EQ(page.size(), QSize(248, 351)); // 210 x 297 mm at 30 dpi, rounded
        const QString ref = path(QStringLiteral("ref-%1.png").arg(i));
        ASSERT_EQ(run(kTool, {"trp", "render", path("many.trp"), QString::number(i), ref, "--dpi", "30"}).code, 0);
        EXPECT_EQ(page.convertToFormat(QImage::Format_RGB32), QImage(ref).convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_NE(QImage(path("many-1.png")), QImage(path("many-2.png")));
}

TEST_F(TovrelSheet, RefusedWordsWriteNothing)
{
    writeFile("old.trp", "what was there");
    writeFile("words.txt", "# five characters on line 4\n山水\n\n病從口入家\n天地\n");
    const QStringList before = files();
    for (const char *out : {"old.trp", "new.trp", "new.png"}) {
        SCOPED_TRACE(out);
        const Result longWord = sheet({"--words", "words.txt", "-o", out});
        EXPECT_EQ(longWord.code, 2);
        EXPECT_TRUE(longWord.err.contains("words.txt:4: the word \"病從口入家\" has 5 characters")) << longWord.err.toStdString();
        EXPECT_FALSE(longWord.err.contains("words.txt:2")) << longWord.err.toStdString();

        const Result empty = sheet({"山水", "", "天地", "-o", out});
        EXPECT_EQ(empty.code, 2);
        EXPECT_TRUE(empty.err.contains("word 2 is empty")) << empty.err.toStdString();
        EXPECT_EQ(longWord.out + empty.out, "");
    }
    EXPECT_EQ(files(), before);
    EXPECT_EQ(testsupport::readFile(path("old.trp")), "what was there");
}

TEST_F(TovrelSheet, CharacterOutsideTheBasicPlaneIsOneCharacter)
{
    // "𠀀入" is two characters: the two-character sheet, 入 in its five
    // second-position cells, 𠀀 whole in the five first-position cells.
    const Result r = sheet({"𠀀入", "-o", "wide.trp"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("U+20000")) << r.err.toStdString();
    const QStringList pages = pageTexts(path("wide.trp"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].count(u'入'), 5);
    EXPECT_EQ(pages[0].count(QString::fromUcs4(U"\U00020000")), 5);

    const Result four = sheet({"𠀀病從口", "-o", "four.trp"});
    EXPECT_EQ(four.code, 0) << four.err.toStdString();
    const Result five = sheet({"𠀀病從口入", "-o", "five.trp"});
    EXPECT_EQ(five.code, 2);
    EXPECT_TRUE(five.err.contains("has 5 characters")) << five.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("five.trp")));
}

TEST_F(TovrelSheet, CharactersDrawnWithoutStrokeNumbersAreNamedInOneLine)
{
    // 芥 and 陳 have stroke data of the mainland form only; 草 and 口 are
    // numbered.
    const Result r = sheet({"芥草", "口陳芥", "-o", "grass.trp"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err.count("drawn without stroke numbers"), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("warning: drawn without stroke numbers: 芥陳\n")) << r.err.toStdString();
}

TEST_F(TovrelSheet, CharacterNoFaceDrawsIsAWarning)
{
    // U+0378 is not assigned: no face has it. The sheet is made all the same.
    const Result r = sheet({QString(QChar(0x378)) + "口", "-o", "odd.trp"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("warning: no installed face can draw '\u0378' (U+0378) in the word")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("its cells are left empty")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("U+53E3")) << "口 is drawn: " << r.err.toStdString();
    EXPECT_EQ(pageTexts(path("odd.trp")).size(), 1);
}

TEST_F(TovrelSheet, BadOptionsAreRefused)
{
    const struct {
        QStringList args;
        const char *message;
    } cases[] = {
        {{"變"}, "no output"},
        {{"-o", "x.trp"}, "no words"},
        {{"變", "-o", "x.bmp"}, "not 'x.bmp'"},
        {{"變", "-o", "x.trp", "--dpi", "300"}, "--dpi is for PNG output only"},
        {{"變", "-o", "x.png", "--dpi", "5"}, "--dpi takes a number from 10 to 1200"},
        {{"變", "-o", "x.trp", "--words", "w.txt"}, "not both"},
        {{"--words", "missing.txt", "-o", "x.trp"}, "cannot read the words file missing.txt"},
        {{"變", "-o", "x.trp", "--frobnicate"}, "unknown option '--frobnicate'"},
        {{"變", "-o", "x.trp", "--stroke-data"}, "--stroke-data"},
        {{"變", "-o", "no-such-folder/x.trp"}, "no-such-folder/x.trp"},
        {{"變", "-o", "x.trp", "--copies", "2"}, "--copies and --duplex are for --print only"},
        {{"變", "-o", "x.trp", "--duplex"}, "--copies and --duplex are for --print only"},
        {{"--print", "--copies", "0", "--", "變"}, "--copies takes a number from 1 to 999, not '0'"},
        {{"--print", "--dpi", "96", "--", "變"}, "--dpi is for PNG output only"},
    };
    writeFile("w.txt", "變\n");
    // Latin 1 that is no Big5 either (0xE9 0x74 pairs no Big5 character).
    writeFile("latin1.txt", "caf\xE9t\xE9\n");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const Result r = sheet(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    }
    const Result latin1 = sheet({"--words", "latin1.txt", "-o", "x.trp"});
    EXPECT_EQ(latin1.code, 2);
    EXPECT_TRUE(latin1.err.contains("latin1.txt:1: the line is not UTF-8")) << latin1.err.toStdString();
    EXPECT_EQ(files(), QStringList({"latin1.txt", "w.txt"}));

    const Result help = sheet({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char *option : {"-o OUT.trp", "-o OUT.png", "--dpi N", "--words FILE", "--stroke-data DIR",
                               "--print [QUEUE]", "--copies N", "--duplex"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(option))) << option;
}

TEST_F(TovrelSheet, MessagesSayWhatWentWrongAndWhatToDo)
{
    // A words file in Big5: one message naming Big5 and the command that
    // converts it, not an error for every line.
    writeFile("big5.txt", "\xBE\xC7\xAE\xD5\n\xA4\xA4\xA4\xE5\n"); // 學校, 中文
    const Result big5 = sheet({"--words", "big5.txt", "-o", "x.trp"});
    EXPECT_EQ(big5.code, 2);
    EXPECT_EQ(big5.err, "tovrel-sheet: the words file big5.txt is not UTF-8: it reads as Big5. Convert it with:\n"
                        "tovrel-sheet:   iconv -f BIG5 -t UTF-8 big5.txt > big5-utf8.txt\n");

    // "--print 必" takes 必 for the queue: the message says so and how to
    // give the word.
    const Result queue = sheet({"--print", "必"});
    EXPECT_EQ(queue.code, 2);
    EXPECT_TRUE(queue.err.contains("no words: '必' was read as the printer queue of --print; give the words before "
                                   "--print or after -- (tovrel-sheet --print -- 必)"))
        << queue.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("x.trp")));

    // Nothing of the toolkit's own notes reaches the terminal: a run that
    // goes well says nothing on stderr.
    const Result quiet = sheet({"變", "-o", "quiet.png", "--dpi", "20"});
    EXPECT_EQ(quiet.code, 0);
    EXPECT_EQ(quiet.err, "");
    const Result tool = run(kTool, {"trp", "text", path("missing.trp")});
    EXPECT_EQ(tool.err, "tovrel-tool trp: no such file: " + path("missing.trp") + "\n");
}

TEST_F(TovrelSheet, AFailedPictureLeavesNoTemporaryFiles)
{
    // The second picture's name is taken by a folder: nothing may remain
    // of the run but what was there.
    ASSERT_TRUE(QDir(tmp.path()).mkdir("pages-2.png"));
    const Result r = sheet({"變", "山水", "天地人", "-o", "pages.png"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("cannot write pages-2.png")) << r.err.toStdString();
    for (const QString &f : files())
        EXPECT_FALSE(f.contains(".png.")) << f.toStdString();
    EXPECT_FALSE(QFile::exists(path("pages-3.png")));
}

TEST_F(TovrelSheet, StrokeDataOptionIsTaken)
{
    // The override folder's damaged file is named, as tovrel does.
    const QString folder = testsupport::testdata("stroke-override");
    const Result r = sheet({"--stroke-data", folder, "入", "-o", "in.trp"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("stroke-override/入.json skipped"))) << r.err.toStdString();
}

TEST_F(TovrelSheet, ProgressLineOnlyOnATerminalAndAboveTwentySheets)
{
    if (QStandardPaths::findExecutable("script").isEmpty())
        GTEST_SKIP() << "script (util-linux) is not installed";
    QByteArray words;
    for (int i = 0; i < 21; ++i)
        words += "山水\n";
    writeFile("21.txt", words);
    writeFile("20.txt", words.left(words.size() - 7));

    // On a terminal (script gives the program one), more than 20 sheets show
    // the line and 20 do not.
    auto onTerminal = [&](const QString &file) {
        const QString cmd = QStringLiteral("'%1' --words %2 -o out.trp").arg(kSheet, file);
        const Result r = run("script", {"-q", "-e", "-c", cmd, "/dev/null"}, tmp.path());
        EXPECT_EQ(r.code, 0) << r.out.toStdString();
        return r.out;
    };
    const QString shown = onTerminal("21.txt");
    EXPECT_TRUE(shown.contains("\rtovrel-sheet: sheet 1/21")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\rtovrel-sheet: sheet 21/21")) << shown.toStdString();
    EXPECT_FALSE(onTerminal("20.txt").contains("sheet 1/20"));
    EXPECT_EQ(pageTexts(path("out.trp")).size(), 20);

    // Through a pipe, no line.
    const Result piped = sheet({"--words", "21.txt", "-o", "out.trp"});
    ASSERT_EQ(piped.code, 0);
    EXPECT_FALSE(piped.err.contains("sheet 1/21")) << piped.err.toStdString();
    EXPECT_EQ(pageTexts(path("out.trp")).size(), 21);
}

TEST_F(TovrelSheet, AnOutputThatIsALinkReplacesTheFileItNames)
{
    for (const char *name : {"sheet.trp", "sheet.png"}) {
        SCOPED_TRACE(name);
        const QString real = path(QStringLiteral("real-") + name), link = path(name);
        writeFile(QStringLiteral("real-") + name, "old");
        ASSERT_TRUE(QFile::link(real, link));
        ASSERT_EQ(sheet({"變", "-o", name}).code, 0);
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_NE(testsupport::readFile(real), "old");
        EXPECT_GT(testsupport::readFile(real).size(), 1000);
    }
}
