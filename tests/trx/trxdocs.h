// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading back XML report documents, and running xmllint over them.
#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace trxdocs {

struct Run {
    int code = -1;
    QByteArray out, err;
};

inline Run run(const QString &program, const QStringList &args, const QStringList &env = {})
{
    QProcess p;
    if (!env.isEmpty()) {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const QString &kv : env)
            e.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
        p.setProcessEnvironment(e);
    }
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000))
        return r;
    p.closeWriteChannel();
    if (!p.waitForFinished(180000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// The lines of a document written in UTF-8 or the system's encoding
// (each must end with CR LF).
inline QStringList lines(const QByteArray &doc)
{
    QByteArray d = doc;
    if (d.startsWith("\xEF\xBB\xBF"))
        d.remove(0, 3);
    QStringList out = QString::fromUtf8(d).split(QStringLiteral("\r\n"));
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

// The index of the first line that starts with `prefix` at or after `from`, or -1.
inline int find(const QStringList &l, const QString &prefix, int from = 0)
{
    for (int i = from; i < l.size(); ++i)
        if (l[i].startsWith(prefix))
            return i;
    return -1;
}

// An attribute of an Item start tag.
inline QString attribute(const QString &tag, const QString &name)
{
    const QRegularExpression re(QStringLiteral(" %1=\"([^\"]*)\"").arg(name));
    const auto m = re.match(tag);
    return m.hasMatch() ? m.captured(1) : QString();
}

// What xmllint --valid says beyond the warnings our definition itself
// causes: it declares Item's Height attribute twice, so every validation
// warns of it, in the "file:line: validity warning" form, with the line and
// a caret after it.
struct Lint {
    int code = -1;
    QStringList unexpected;
    QStringList expected;
};

inline Lint xmllint(const QString &path)
{
    const Run r = run(QStringLiteral("xmllint"), {QStringLiteral("--valid"), QStringLiteral("--noout"), path});
    Lint l;
    l.code = r.code;
    const QStringList err = QString::fromUtf8(r.err).split(u'\n');
    for (int i = 0; i < err.size(); ++i) {
        const QString &line = err[i];
        if (line.trimmed().isEmpty())
            continue;
        if (line.contains(QStringLiteral("validity warning : Attribute Height of element Item: already defined"))) {
            l.expected << line;
            i += 2; // the offending line and the caret under it
            continue;
        }
        l.unexpected << line;
    }
    return l;
}

} // namespace trxdocs
