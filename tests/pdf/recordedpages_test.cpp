// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Metafiles made by other programs, whole and damaged, played into a PDF
// document: every one ends as a page (a damaged one with what came before
// its damage) or an error, never a crash, and the document reads.
#include "pdfdocs.h"
#include "pdf/pdfdocumentfilter.h"
#include "pdf/recordedpages.h"
#include "platform/metafile.h"
#include "platform/rperror.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RecordedPagesPdf, MetafilesOfOtherProgramsBecomePagesOrErrorsAndTheDocumentReads)
{
    QTemporaryDir tmp;
    int pages = 0, errors = 0;
    for (const char *folder : {"emf", "emf-corrupted", "emf-ea"}) {
        SCOPED_TRACE(folder);
        const QDir dir(testsupport::testdata(QStringLiteral("emf-corpus/") + QLatin1String(folder)));
        RpPDFDocumentFilter doc;
        doc.start(0, 0, nullptr);
        PdfRecordedPages recorded(doc);
        for (const QString &name : dir.entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name)) {
            try {
                recorded.add(Metafile::fromBytes(testsupport::readFile(dir.filePath(name))));
                ++pages;
            } catch (const RpError &) {
                ++errors;
            }
        }
        doc.finish();
        const QString file = tmp.filePath(QLatin1String(folder) + QStringLiteral(".pdf"));
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(doc.documentBytes());
        }
        const pdfdocs::Run check = pdfdocs::run(QStringLiteral("qpdf"), {"--check", file});
        EXPECT_EQ(check.code, 0) << check.out.toStdString() << check.err.toStdString();
        const pdfdocs::Run drawn = pdfdocs::run(QStringLiteral("pdftoppm"), {"-r", "10", "-png", file, tmp.filePath(folder)});
        EXPECT_EQ(drawn.code, 0) << drawn.err.toStdString();
    }
    EXPECT_GT(pages, 150);
    EXPECT_GT(errors, 0); // the damaged ones
}
