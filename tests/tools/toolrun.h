// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the build tree's tovrel-tool and takes what it said.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace toolrun {

inline const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");

struct Result {
    int code = -1;
    QString out, err;
};

inline Result tool(const QStringList &args)
{
    QProcess p;
    p.start(kTool, args);
    Result r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace toolrun
