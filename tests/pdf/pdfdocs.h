// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading back what the PDF document filter wrote, and running the peer
// programs over it.
#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pdfdocs {

// The text of object `n`, from "n 0 obj" to its "endobj".
inline QByteArray object(const QByteArray &doc, int n)
{
    const QByteArray head = "\r\n" + QByteArray::number(n) + " 0 obj\r\n";
    const qsizetype at = doc.indexOf(head);
    if (at < 0)
        return {};
    const qsizetype end = doc.indexOf("endobj", at);
    return doc.mid(at + 2, end - at - 2);
}

// The data of the stream object `n`.
inline QByteArray streamOf(const QByteArray &doc, int n)
{
    const QByteArray o = object(doc, n);
    const qsizetype s = o.indexOf("stream\r\n");
    const qsizetype e = o.lastIndexOf("endstream");
    if (s < 0 || e < 0)
        return {};
    return o.mid(s + 8, e - s - 8);
}

inline int lengthOf(const QByteArray &doc, int n)
{
    const QRegularExpression re(QStringLiteral("/Length (\\d+)"));
    const auto m = re.match(QString::fromLatin1(object(doc, n)));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The data of stream object n as a reader sees it: inflated when the
// stream is deflated.
inline QByteArray decodedStreamOf(const QByteArray &doc, int n)
{
    const QByteArray data = streamOf(doc, n).left(lengthOf(doc, n));
    if (!object(doc, n).contains("/FlateDecode"))
        return data;
    QByteArray sized(4, '\0');
    sized[0] = char(0x01); // a first guess at the size; qUncompress grows it
    return qUncompress(sized + data);
}

struct Run {
    int code = -1;
    QByteArray out, err;
};

inline Run run(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000))
        return r;
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// What a renderer said on its error stream, without the notice this
// machine's MuPDF gives for every file (it is built without colour
// management) and the name of each page it draws.
inline QByteArray complaints(const QByteArray &err)
{
    QByteArray out;
    for (const QByteArray &line : err.split('\n'))
        if (!line.trimmed().isEmpty() && !line.contains("ICC support is not available") && !line.startsWith("page "))
            out += line + '\n';
    return out;
}

} // namespace pdfdocs
