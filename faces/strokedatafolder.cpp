// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokedatafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace faces {

namespace {
const QString kStrokes = QStringLiteral("tovrel/strokes");
}

QString installedStrokeDataFolder()
{
    const QString given = qEnvironmentVariable("TOVREL_DATA_DIR");
    if (!given.isEmpty())
        return QDir(given).filePath(QStringLiteral("strokes"));
    QString beside;
    if (QCoreApplication::instance())
        beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/") + kStrokes);
    if (!beside.isEmpty() && QDir(beside).exists())
        return QDir::cleanPath(beside);
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString candidate = QDir(dir).filePath(kStrokes);
        if (QDir(candidate).exists())
            return candidate;
    }
    // Nowhere: the place beside the program is named in what is missing.
    return beside.isEmpty() ? QDir(QStringLiteral("/usr/share")).filePath(kStrokes) : QDir::cleanPath(beside);
}

QString animCjkFile(const QString &folder) { return QDir(folder).filePath(QStringLiteral("animcjk/graphicsZhHant.txt")); }

QString hanziWriterFolder(const QString &folder) { return QDir(folder).filePath(QStringLiteral("hanzi-writer-data")); }

} // namespace faces
