// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/stagedfiles.h"

#include "platform/rperror.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <sys/stat.h>

namespace {

// What a new file gets: read and write for all, less the process's mask.
QFileDevice::Permissions newFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    if (mode & S_IRUSR) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP) p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP) p |= QFileDevice::WriteGroup;
    if (mode & S_IROTH) p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH) p |= QFileDevice::WriteOther;
    return p;
}

} // namespace

StagedFiles::~StagedFiles()
{
    if (m_committed)
        return;
    for (const QString &s : std::as_const(m_staged))
        QFile::remove(s);
}

QString StagedFiles::stage(const QString &targetName)
{
    // A link is followed: the file it names is the one replaced, as a
    // report file replaces it.
    const QFileInfo info(targetName);
    const QString target = info.isSymLink() ? info.symLinkTarget() : targetName;
    QTemporaryFile f(target + QStringLiteral(".XXXXXX"));
    f.setAutoRemove(false);
    if (!f.open())
        throw RpError::io(QStringLiteral("cannot write %1: %2").arg(targetName, f.errorString()), targetName, f.errorString());
    const QString name = f.fileName();
    f.close();
    m_targets << target;
    m_named << targetName;
    m_staged << name;
    return name;
}

void StagedFiles::commit()
{
    const QFileDevice::Permissions fresh = newFilePermissions();
    for (qsizetype i = 0; i < m_staged.size(); ++i) {
        const QFileInfo existing(m_targets[i]);
        QFile::setPermissions(m_staged[i], existing.exists() ? existing.permissions() : fresh);
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(m_staged[i]).toStdString(),
                                QFile::encodeName(m_targets[i]).toStdString(), ec);
        if (ec) {
            // What is left is removed; what was renamed stays complete.
            for (qsizetype j = i; j < m_staged.size(); ++j)
                QFile::remove(m_staged[j]);
            m_committed = true;
            throw RpError::io(QStringLiteral("cannot write %1: %2").arg(m_named[i], QString::fromLocal8Bit(ec.message())),
                              m_named[i], QString::fromLocal8Bit(ec.message()), ec.value());
        }
    }
    m_committed = true;
}

void writeDocumentFile(const QString &fileName, const QByteArray &document)
{
    StagedFiles files;
    QFile f(files.stage(fileName));
    if (!f.open(QIODevice::WriteOnly) || f.write(document) != document.size() || !f.flush())
        throw RpError::io(QStringLiteral("cannot write %1: %2").arg(fileName, f.errorString()), fileName, f.errorString());
    f.close();
    files.commit();
}

void writeDocument(QIODevice &out, const QByteArray &document)
{
    if (out.write(document) != document.size())
        throw RpError::io(QStringLiteral("cannot write the document: %1").arg(out.errorString()), QString(),
                          out.errorString());
}
