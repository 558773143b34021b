// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real CUPS server with cups-pdf queues for the tests that print through
// it. Needs root (to start cupsd and make the queues); the fixture skips
// its tests elsewhere.
#include "printedpages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <pwd.h>
#include <set>
#include <unistd.h>

namespace cupsserver {

using namespace printedpages;

inline const QString kQueue = QStringLiteral("tovrel-test-pdf");
inline const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
inline const QString kSpool = QStringLiteral("/var/spool/cups");

inline bool schedulerRunning()
{
    int code = 0;
    const QByteArray out = run("lpstat", {"-r"}, &code, 10000);
    return code == 0 && out.contains("scheduler is running") && !out.contains("not running");
}

using Attributes = std::map<QString, QString>;

inline QString attr(const Attributes &a, const QString &name)
{
    const auto it = a.find(name);
    return it == a.end() ? QStringLiteral("none") : it->second;
}

// A CUPS server for a test: started unless one runs, with a cups-pdf
// queue of its own, taken by one test process at a time; ipptool reads
// back the jobs it gets.
class CupsPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to run cupsd";
        for (const char *path : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/sbin/cupsenable",
                                 "/usr/sbin/cupsdisable", "/usr/lib/cups/backend/cups-pdf"})
            if (!QFile::exists(path))
                GTEST_SKIP() << path << " is not installed (cups, printer-driver-cups-pdf)";
        if (!QFile::exists(kPpd))
            GTEST_SKIP() << "the cups-pdf PPD is not installed";
        for (const char *program : {"ipptool", "lpstat", "lpoptions", "pdfinfo", "pdftotext", "pdftoppm"})
            if (!haveProgram(program))
                GTEST_SKIP() << program << " is not installed (cups-ipp-utils, cups-client, poppler-utils)";
        ASSERT_TRUE(tmp.isValid());
        // The CUPS tests share the server and cups-pdf's folder: one at a time
        // across test processes.
        lock = std::make_unique<QLockFile>(QDir::tempPath() + "/tovrel-cups-tests.lock");
        lock->setStaleLockTime(300000); // a test holds it far shorter; a crashed one's is taken over
        ASSERT_TRUE(lock->tryLock(180000)) << "another CUPS test holds the lock";
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
        const passwd *pw = getpwuid(geteuid());
        outDir = QString::fromLocal8Bit(pw ? pw->pw_dir : "/root") + "/PDF";
        writeIppTests();
        addQueue(kQueue, kPpd);
    }
    void TearDown() override
    {
        for (const QString &q : queues)
            run("lpadmin", {"-x", q});
        for (const QString &pdf : outputs)
            QFile::remove(pdf);
        if (cupsd) {
            cupsd->terminate();
            if (!cupsd->waitForFinished(10000)) {
                cupsd->kill();
                cupsd->waitForFinished(5000);
            }
        }
    }

    void addQueue(const QString &name, const QString &ppd)
    {
        int code = 0;
        const QByteArray out = run("lpadmin", {"-p", name, "-E", "-v", "cups-pdf:/", "-P", ppd}, &code);
        ASSERT_EQ(code, 0) << out.toStdString();
        queues << name;
    }

    void writeIppTests()
    {
        const QByteArray head = "  GROUP operation-attributes-tag\n"
                                "  ATTR charset attributes-charset utf-8\n"
                                "  ATTR naturalLanguage attributes-natural-language en\n"
                                "  ATTR uri printer-uri $uri\n"
                                "  ATTR name requesting-user-name root\n";
        QFile jobs(tmp.filePath("get-jobs.test"));
        ASSERT_TRUE(jobs.open(QIODevice::WriteOnly));
        jobs.write("{\n  OPERATION Get-Jobs\n" + head +
                   "  ATTR keyword which-jobs all\n  ATTR keyword requested-attributes job-id\n"
                   "  STATUS successful-ok\n}\n");
        QFile job(tmp.filePath("get-job.test"));
        ASSERT_TRUE(job.open(QIODevice::WriteOnly));
        job.write("{\n  OPERATION Get-Job-Attributes\n" + head +
                  "  ATTR integer job-id $job_id\n  ATTR keyword requested-attributes all\n"
                  "  STATUS successful-ok\n}\n");
    }

    // The response attributes of an ipptool request, by name.
    Attributes ipp(const QString &queue, const QString &test, const QStringList &vars = {})
    {
        QStringList args{"-t", "-v"};
        for (const QString &v : vars)
            args << "-d" << v;
        args << "ipp://localhost/printers/" + queue << tmp.filePath(test);
        int code = 0;
        const QString out = QString::fromUtf8(run("ipptool", args, &code, 20000));
        Attributes attrs;
        const qsizetype at = out.indexOf("RECEIVED:");
        if (code != 0 || at < 0 || !out.contains("[PASS]")) {
            ADD_FAILURE() << "ipptool " << test.toStdString() << " failed: " << out.toStdString();
            return attrs;
        }
        static const QRegularExpression line(QStringLiteral("^\\s+([\\w-]+) \\([^)]*\\) = (.*)$"),
                                             QRegularExpression::MultilineOption);
        auto it = line.globalMatch(out.mid(at));
        while (it.hasNext()) {
            const auto m = it.next();
            QString &v = attrs[m.captured(1)];
            v = v.isEmpty() ? m.captured(2) : v + ',' + m.captured(2);
        }
        return attrs;
    }

    std::set<int> jobIds(const QString &queue)
    {
        std::set<int> ids;
        const Attributes a = ipp(queue, "get-jobs.test");
        const auto it = a.find("job-id");
        if (it != a.end())
            for (const QString &id : it->second.split(','))
                ids.insert(id.toInt());
        return ids;
    }

    // The one job the queue has beyond `before`; 0 (and a failure) without.
    int newJob(const QString &queue, const std::set<int> &before)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            std::set<int> now = jobIds(queue);
            for (int id : before)
                now.erase(id);
            if (now.size() == 1)
                return *now.begin();
            if (now.size() > 1) {
                ADD_FAILURE() << now.size() << " new jobs on " << queue.toStdString();
                return 0;
            }
            QThread::msleep(200);
        }
        ADD_FAILURE() << "no job reached " << queue.toStdString();
        return 0;
    }

    Attributes jobAttributes(const QString &queue, int id)
    {
        return ipp(queue, "get-job.test", {QStringLiteral("job_id=%1").arg(id)});
    }

    // The job's attributes once it has completed, with the PDF cups-pdf
    // wrote for it; fails when the job ends otherwise or takes too long.
    Attributes waitCompleted(const QString &queue, int id, QString *pdf = nullptr)
    {
        QElapsedTimer t;
        t.start();
        Attributes a;
        while (t.elapsed() < 60000) {
            a = jobAttributes(queue, id);
            const QString state = attr(a, "job-state");
            if (state == "completed")
                break;
            if (state == "canceled" || state == "aborted") {
                ADD_FAILURE() << "job " << id << " ended " << state.toStdString() << ": "
                              << attr(a, "job-printer-state-message").toStdString();
                return a;
            }
            QThread::msleep(250);
        }
        EXPECT_EQ(attr(a, "job-state"), "completed") << "job " << id;
        // cups-pdf names its file after the title and the job.
        const QString suffix = QStringLiteral("-job_%1.pdf").arg(id);
        QString found;
        for (const QString &name : QDir(outDir).entryList({"*" + suffix}, QDir::Files))
            found = outDir + "/" + name;
        if (!found.isEmpty())
            outputs << found;
        if (pdf) {
            EXPECT_FALSE(found.isEmpty()) << "no *" << suffix.toStdString() << " in " << outDir.toStdString();
            *pdf = found;
        }
        return a;
    }

    QTemporaryDir tmp;
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<QProcess> cupsd;
    QString outDir;
    QStringList queues, outputs;
};

} // namespace cupsserver
