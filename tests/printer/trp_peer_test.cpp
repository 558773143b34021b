// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Report files against a second reader and writer written separately
// (trpfile.py beside this file), through tovrel-tool trp.
#include "emfbytes.h"
#include "printer/rppagelist.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");
const QString kPeer = QStringLiteral(TOVREL_TEST_DIR "/trpfile.py");

struct ProcResult {
    int code = -1;
    QByteArray out, err;
};

ProcResult run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    ProcResult r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

void writeFile(const QString &path, const QByteArray &b)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

// Metafiles from the shared corpus (real pages of other programs) and two of
// our own small ones.
QStringList samplePages(const QString &dir)
{
    QStringList paths;
    const QDir corpus(testsupport::testdata("emf-corpus/emf"));
    for (const QString &name : corpus.entryList({"*.emf"}, QDir::Files, QDir::Name)) {
        const QByteArray b = testsupport::readFile(corpus.filePath(name));
        if (b.size() < 52 || b.size() > 120000 || qFromLittleEndian<quint32>(b.constData() + 48) != quint32(b.size()))
            continue;
        paths << corpus.filePath(name);
        if (paths.size() == 4)
            break;
    }
    for (int i = 1; i <= 2; ++i) {
        const QString p = dir + QStringLiteral("/own%1.emf").arg(i);
        writeFile(p, emftest::pageEmf(i, 5000 * i));
        paths << p;
    }
    return paths;
}

class TrpPeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(kTool))
            FAIL() << "tovrel-tool is not built: " << kTool.toStdString();
        if (QStandardPaths::findExecutable("python3").isEmpty())
            GTEST_SKIP() << "python3 is not installed";
        ASSERT_TRUE(tmp.isValid());
        pages = samplePages(tmp.path());
        ASSERT_GE(pages.size(), 3);
    }
    QTemporaryDir tmp;
    QStringList pages;
};

} // namespace

TEST_F(TrpPeer, FilesPackedByTheToolReadBackInThePeer)
{
    for (bool compressed : {false, true}) {
        const QString trp = tmp.filePath(compressed ? "c.trp" : "p.trp");
        QStringList args{"trp", "pack", trp};
        if (compressed)
            args << "--compress";
        args << pages;
        const ProcResult pack = run(kTool, args);
        ASSERT_EQ(pack.code, 0) << pack.err.toStdString();

        const QString outDir = tmp.filePath(compressed ? "dc" : "dp");
        const ProcResult dump = run("python3", {kPeer, "dump", trp, outDir});
        ASSERT_EQ(dump.code, 0) << dump.err.toStdString();
        EXPECT_EQ(dump.out.trimmed(), QStringLiteral("pages %1 compressed %2").arg(pages.size()).arg(compressed ? 1 : 0).toUtf8());
        for (int i = 0; i < pages.size(); ++i)
            EXPECT_EQ(testsupport::readFile(outDir + QStringLiteral("/page-%1.emf").arg(i + 1)),
                      testsupport::readFile(pages[i]))
                << "page " << i + 1 << " compressed " << compressed;
    }
}

TEST_F(TrpPeer, FilesWrittenByThePeerLoadInTheTool)
{
    for (bool compressed : {false, true}) {
        const QString trp = tmp.filePath(compressed ? "pc.trp" : "pp.trp");
        QStringList args{kPeer, "pack", trp};
        if (compressed)
            args << "--compress";
        args << pages;
        const ProcResult pack = run("python3", args);
        ASSERT_EQ(pack.code, 0) << pack.err.toStdString();

        const ProcResult info = run(kTool, {"trp", "info", trp});
        ASSERT_EQ(info.code, 0) << info.err.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("pages: %1\n").arg(pages.size()).toUtf8()));
        EXPECT_TRUE(info.out.contains(compressed ? "compression: on" : "compression: off"));

        // Backwards, so the walk uses the backward links too.
        for (int i = pages.size(); i >= 1; --i) {
            const QString emf = tmp.filePath(QStringLiteral("x%1.emf").arg(i));
            const ProcResult ex = run(kTool, {"trp", "extract", trp, QString::number(i), emf});
            ASSERT_EQ(ex.code, 0) << ex.err.toStdString();
            EXPECT_EQ(testsupport::readFile(emf), testsupport::readFile(pages[i - 1])) << "page " << i;
        }
    }
}

TEST_F(TrpPeer, ToolRefusesBadInputWithOneLine)
{
    const QString bad = tmp.filePath("bad.trp");
    writeFile(bad, QByteArray(300, 'x'));
    for (const QStringList &args : {QStringList{"trp", "info", bad},
                                    QStringList{"trp", "info", tmp.filePath("missing.trp")},
                                    QStringList{"trp", "extract", bad, "1", tmp.filePath("o.emf")},
                                    QStringList{"trp", "frobnicate"},
                                    QStringList{"trp", "pack", tmp.filePath("o.trp"), bad}}) {
        const ProcResult r = run(kTool, args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        // Qt may add its own warnings before ours; ours is the last line.
        EXPECT_TRUE(lines.last().startsWith("tovrel-tool trp: ")) << r.err.toStdString();
    }
    const QString good = tmp.filePath("g.trp");
    ASSERT_EQ(run(kTool, {"trp", "pack", good, pages[0]}).code, 0);
    EXPECT_EQ(run(kTool, {"trp", "extract", good, "2", tmp.filePath("o.emf")}).code, 2);
    EXPECT_EQ(run(kTool, {"trp", "extract", good, "0", tmp.filePath("o.emf")}).code, 2);
}

// The two readers accept the same files and read the same pages from them:
// whole files, files with records past the counted pages (saved after an
// aborted document), any non-zero compression byte, and they refuse the same
// damaged ones.
TEST_F(TrpPeer, BothReadersAcceptTheSameFilesAndReadTheSamePages)
{
    for (bool compressed : {false, true}) {
        const QString base = tmp.filePath(compressed ? "agree-c.trp" : "agree-p.trp");
        QStringList packArgs{"trp", "pack", base};
        if (compressed)
            packArgs << "--compress";
        ASSERT_EQ(run(kTool, packArgs + pages).code, 0);
        const QByteArray good = testsupport::readFile(base);
        const qint32 rec2 = qFromLittleEndian<qint32>(good.constData() + 132);

        struct Variant {
            const char *what;
            QByteArray bytes;
        };
        std::vector<Variant> variants{{"whole", good}};
        QByteArray v = good;
        qToLittleEndian<qint32>(2, v.data() + 8);
        variants.push_back({"two counted, more records after", v});
        v = good + "trailing bytes";
        variants.push_back({"bytes after the last record", v});
        v = good;
        v[25] = compressed ? 2 : 0;
        variants.push_back({"compression byte 2 or 0", v});
        variants.push_back({"cut in the second record", good.left(rec2 + 20)});
        v = good;
        qToLittleEndian<qint32>(9, v.data() + rec2);
        variants.push_back({"second record numbered 9", v});

        for (size_t i = 0; i < variants.size(); ++i) {
            const QString file = tmp.filePath(QStringLiteral("v%1-%2.trp").arg(compressed).arg(i));
            writeFile(file, variants[i].bytes);
            const ProcResult info = run(kTool, {"trp", "info", file});
            const QString outDir = tmp.filePath(QStringLiteral("dv%1-%2").arg(compressed).arg(i));
            const ProcResult dump = run("python3", {kPeer, "dump", file, outDir});
            SCOPED_TRACE(std::string(variants[i].what) + (compressed ? ", compressed" : ", plain"));
            ASSERT_EQ(info.code == 0, dump.code == 0) << info.err.toStdString() << dump.err.toStdString();
            if (info.code != 0)
                continue;
            const QList<QByteArray> words = dump.out.trimmed().split(' '); // pages N compressed X
            ASSERT_EQ(words.size(), 4);
            const int n = words[1].toInt();
            EXPECT_TRUE(info.out.contains(QStringLiteral("pages: %1\n").arg(n).toUtf8())) << info.out.toStdString();
            EXPECT_TRUE(info.out.contains(words[3] == "1" ? "compression: on" : "compression: off"));
            for (int page = 1; page <= n; ++page) {
                const QString emf = tmp.filePath(QStringLiteral("e%1-%2-%3.emf").arg(compressed).arg(i).arg(page));
                ASSERT_EQ(run(kTool, {"trp", "extract", file, QString::number(page), emf}).code, 0);
                EXPECT_EQ(testsupport::readFile(emf),
                          testsupport::readFile(outDir + QStringLiteral("/page-%1.emf").arg(page)))
                    << "page " << page;
            }
        }
    }
}
