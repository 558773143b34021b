// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pages, report files and PDF readers shared by the tests that print through
// a real printer device (a PDF file or a CUPS queue).
#include "platform/gdi.h"
#include "platform/metafilerecorder.h"
#include "printer/rppagelist.h"

#include <QImage>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) { *os << '{' << l.join(", ").toStdString() << '}'; }

namespace printedpages {

// Runs a program; its standard output and error together. `code` is -1 when
// it could not start, crashed or did not finish in `ms`.
inline QByteArray run(const QString &program, const QStringList &args, int *code = nullptr, int ms = 60000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool finished = p.waitForFinished(ms);
    if (!finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    if (code)
        *code = finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAll();
}

inline bool haveProgram(const QString &name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

// An A4 page at 96 dpi reading "Tovrel page n" and then 3n x's, so pages
// tell themselves apart by their text and by their number of glyphs.
inline QByteArray page(int n)
{
    MetafileRecorder rec(794, 1123);
    gdi::LogFont f;
    f.height = -32;
    f.faceName = QStringLiteral("DejaVu Sans");
    rec.setFont(f);
    rec.setBkMode(gdi::TRANSPARENT);
    rec.extTextOut(96, 96, 0, nullptr, QStringLiteral("Tovrel page %1 ").arg(n) + QString(3 * n, QLatin1Char('x')));
    return rec.finish().bytes();
}

// Page n with its first record after the header claiming more bytes than
// the page has: the page store takes it, playing it fails.
inline QByteArray damagedPage(int n)
{
    QByteArray b = page(n);
    const quint32 headerSize = qFromLittleEndian<quint32>(b.constData() + 4);
    qToLittleEndian<quint32>(0x7ffffff0, b.data() + headerSize + 4);
    return b;
}

// A report file of `pages` pages (page `damaged`, when given, damaged).
inline void saveReport(const QString &path, int pages, int damaged = 0)
{
    RpPageList list;
    list.setStream(std::make_unique<RpStream>());
    for (int i = 1; i <= pages; ++i)
        list.addPage(i == damaged ? damagedPage(i) : page(i));
    list.finish();
    list.saveToFile(path);
}

inline int pdfPageCount(const QString &pdf)
{
    const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf}));
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline QString pdfPageText(const QString &pdf, int k)
{
    return QString::fromUtf8(run(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-f"), QString::number(k), QStringLiteral("-l"),
                                  QString::number(k), pdf, QStringLiteral("-")}));
}

// The dark pixels of page k rendered at `dpi` (pdftoppm); -1 when it cannot
// be rendered. `scratch` is a file name prefix for the picture.
inline qint64 pdfPageInk(const QString &pdf, int k, const QString &scratch, int dpi = 72)
{
    int code = 0;
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-f"), QString::number(k), QStringLiteral("-l"), QString::number(k), QStringLiteral("-r"),
         QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
         scratch},
        &code);
    const QImage img(scratch + QStringLiteral(".png"));
    if (code != 0 || img.isNull())
        return -1;
    qint64 n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < 128;
    return n;
}

// Where a word starts on a page: xMin, yMin in points from pdftotext -bbox,
// or (-1, -1) when the word is not there.
inline QPointF pdfWordAt(const QString &pdf, int k, const QString &word)
{
    const QString html = QString::fromUtf8(run(QStringLiteral("pdftotext"),
                                               {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(k),
                                                QStringLiteral("-l"), QString::number(k), pdf, QStringLiteral("-")}));
    const QRegularExpression re(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>%1</word>")
                                    .arg(QRegularExpression::escape(word)));
    const auto m = re.match(html);
    return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
}

} // namespace printedpages
