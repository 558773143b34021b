// Prints recorded pages through a real CUPS server onto a cups-pdf queue and
// reads the PDF it writes. Needs root (to start cupsd and make the queue);
// skipped elsewhere.
#include "platform/metafilerecorder.h"
#include "printer/rppagelist.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");
const QString kQueue = QStringLiteral("tovrel-test-pdf");
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");

QByteArray runOut(const QString &program, const QStringList &args, int *code = nullptr, int ms = 60000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(ms);
    if (code)
        *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAll();
}

bool schedulerRunning()
{
    int code = 0;
    const QByteArray out = runOut("lpstat", {"-r"}, &code);
    return code == 0 && out.contains("scheduler is running") && !out.contains("not running");
}

QByteArray page(int n)
{
    MetafileRecorder rec(794, 1123);
    gdi::LogFont f;
    f.height = -32;
    f.faceName = QStringLiteral("DejaVu Sans");
    rec.setFont(f);
    rec.setBkMode(gdi::TRANSPARENT);
    // Page n carries 3n more letters than "Tovrel page n", so pages tell
    // themselves apart by their glyph count too.
    rec.extTextOut(96, 96, 0, nullptr, QStringLiteral("Tovrel page %1 ").arg(n) + QString(3 * n, QLatin1Char('x')));
    return rec.finish().bytes();
}

class CupsPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to run cupsd";
        if (!QFile::exists("/usr/sbin/cupsd") || !QFile::exists("/usr/lib/cups/backend/cups-pdf") || !QFile::exists(kPpd))
            GTEST_SKIP() << "cups or cups-pdf is not installed";
        if (!schedulerRunning()) {
            cupsd = std::make_unique<QProcess>();
            cupsd->start("/usr/sbin/cupsd", {"-f"});
            ASSERT_TRUE(cupsd->waitForStarted());
            QElapsedTimer t;
            t.start();
            while (!schedulerRunning() && t.elapsed() < 20000)
                QThread::msleep(200);
            ASSERT_TRUE(schedulerRunning()) << "cupsd did not start";
        }
        int code = 0;
        const QByteArray out = runOut("lpadmin", {"-p", kQueue, "-E", "-v", "cups-pdf:/", "-P", kPpd}, &code);
        ASSERT_EQ(code, 0) << out.toStdString();
        outDir = QDir::homePath() + "/PDF";
        QDir().mkpath(outDir);
        before = QDir(outDir).entryList({"*.pdf"}, QDir::Files);
    }
    void TearDown() override
    {
        if (geteuid() == 0 && QFile::exists("/usr/sbin/lpadmin"))
            runOut("lpadmin", {"-x", kQueue});
        if (cupsd) {
            cupsd->terminate();
            cupsd->waitForFinished(10000);
        }
    }
    // The PDF the job wrote, once it is complete.
    QString waitForPdf()
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 90000) {
            for (const QString &name : QDir(outDir).entryList({"*.pdf"}, QDir::Files))
                if (!before.contains(name)) {
                    const QString path = outDir + "/" + name;
                    // cups-pdf writes the file and then closes the job.
                    const QByteArray jobs = runOut("lpstat", {"-o", kQueue});
                    if (jobs.trimmed().isEmpty() && QFileInfo(path).size() > 0)
                        return path;
                }
            QThread::msleep(300);
        }
        return {};
    }
    std::unique_ptr<QProcess> cupsd;
    QString outDir;
    QStringList before;
    QTemporaryDir tmp;
};

} // namespace

TEST_F(CupsPrint, RecordedPagesReachAPdfQueueWithRangeAndCopies)
{
    ASSERT_TRUE(QFile::exists(kTool));
    RpPageList list;
    list.setStream(std::make_unique<RpStream>());
    for (int i = 1; i <= 4; ++i)
        list.addPage(page(i));
    list.finish();
    const QString trp = tmp.filePath("cupsjob.trp");
    list.saveToFile(trp);

    int code = 0;
    const QByteArray out = runOut(kTool, {"trp", "print", trp, "--printer", kQueue, "--from", "2", "--to", "3",
                                          "--copies", "2"},
                                  &code, 120000);
    ASSERT_EQ(code, 0) << out.toStdString();
    const QString pdf = waitForPdf();
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF in " << outDir.toStdString();

    const QString info = QString::fromUtf8(runOut("pdfinfo", {pdf}));
    // Pages 2 and 3, twice: copies reach the job (the PDF queue writes them out).
    const QRegularExpression pagesRe(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = pagesRe.match(info);
    ASSERT_TRUE(m.hasMatch()) << info.toStdString();
    const int pages = m.captured(1).toInt();
    EXPECT_TRUE(pages == 2 || pages == 4) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12]"))))
        << info.toStdString();
    // Which pages came out: by their text where the PDF maps glyphs back to
    // characters, else by the number of glyphs on each page.
    auto pageText = [&](int k) {
        return QString::fromUtf8(runOut("pdftotext", {"-f", QString::number(k), "-l", QString::number(k), pdf, "-"}));
    };
    auto glyphs = [](const QString &t) {
        int n = 0;
        for (QChar c : t)
            n += !c.isSpace() && c != QChar(0x0c);
        return n;
    };
    const QString first = pageText(1), second = pageText(2);
    if (first.contains("Tovrel")) {
        EXPECT_TRUE(first.contains("Tovrel page 2")) << first.toStdString();
        EXPECT_TRUE(second.contains("Tovrel page 3")) << second.toStdString();
    }
    EXPECT_GT(glyphs(first), 0);
    EXPECT_GT(glyphs(second), glyphs(first)) << first.toStdString() << " / " << second.toStdString();

    // Copies reach the job as its "copies" attribute, whether or not the
    // queue writes them out as extra pages.
    if (pages == 2) {
        bool found = false;
        for (const QString &name : QDir("/var/spool/cups").entryList({"c*"}, QDir::Files, QDir::Time)) {
            const QByteArray job = testsupport::readFile("/var/spool/cups/" + name);
            if (!job.contains("cupsjob"))
                continue;
            const qsizetype at = job.indexOf(QByteArray("\x06" "copies", 7));
            ASSERT_GE(at, 0);
            ASSERT_GE(job.size(), at + 7 + 6);
            const QByteArray v = job.mid(at + 7 + 2, 4);
            EXPECT_EQ(qFromBigEndian<qint32>(v.constData()), 2);
            found = true;
            break;
        }
        // cupsd writes job control files when it gets round to it; without
        // one the copies cannot be read back here.
        if (!found)
            std::printf("note: no job control file to read the copies from\n");
    }
    QFile::remove(pdf);
}
