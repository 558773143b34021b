// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files written under temporary names beside the files they become, and
// renamed onto them together once all are written: a run that fails leaves
// neither a half-written file nor a part of its set, and files of the same
// names stay as they were until the renaming.
#include <QString>
#include <QStringList>

class StagedFiles {
public:
    StagedFiles() = default;
    // Removes the temporary files of a set that was not committed.
    ~StagedFiles();
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;

    // A new empty file in the folder of `target`, for the caller to write,
    // that commit() renames onto `target` (onto the file it names, when
    // `target` is a symbolic link). Throws RpError naming `target` when it
    // cannot be made.
    QString stage(const QString &target);

    // Renames every staged file onto its target, in order, with the
    // permissions a new file gets (or the target's, when it exists). Throws
    // RpError when one cannot be renamed; the targets renamed before it
    // stay.
    void commit();

private:
    QStringList m_targets, m_named, m_staged;
    bool m_committed = false;
};

class QByteArray;
class QIODevice;

// A whole document written to `fileName` through a staged file: the file
// holds all of it or is as it was. Throws RpError (input/output, disk full)
// naming the file.
void writeDocumentFile(const QString &fileName, const QByteArray &document);
// A whole document written to `out` at its position. Throws RpError
// (input/output, disk full) when it does not take every byte.
void writeDocument(QIODevice &out, const QByteArray &document);
