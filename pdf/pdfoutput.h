// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a PDF document goes while it is written: a file staged beside the
// file it becomes, renamed onto it once the document is whole and removed
// when it never is, so a document that fails half way leaves the old file
// as it was; or a stream the caller owns, written from its start (a stream
// that cannot seek gets the document in one piece at the end).
#include "pdf/pdffile.h"
#include "printer/stagedfiles.h"

#include <QBuffer>
#include <QFile>

#include <memory>

class PdfOutput {
public:
    // Throws RpError naming `target` when the staged file cannot be made.
    static std::unique_ptr<PdfOutput> toFile(const QString &target);
    // `stream` must be open for writing; it stays the caller's.
    static std::unique_ptr<PdfOutput> toStream(QIODevice *stream);

    PdfFile &file() { return *m_file; }
    // Hands over the whole document: renames the staged file onto its
    // target, or leaves the stream holding exactly the document, at its
    // start. Throws RpError when that fails.
    void commit();

private:
    PdfOutput() = default;
    QString m_target;
    StagedFiles m_staged;
    QFile m_staging;
    QIODevice *m_stream = nullptr;
    std::unique_ptr<PdfFile> m_file;
};
