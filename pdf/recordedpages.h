// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recorded pages (a report file's, a preview's) written as a PDF document:
// each page played by the metafile player onto a canvas over the document's
// page content (pdfpagecanvas.h), so its text stays text in its face and its
// lines, fills and pictures stay what they are. Each page is the size its
// metafile's frame gives; fonts and pictures are written once a document.
#include <QString>

class Metafile;
class QIODevice;
class RpPDFDocumentFilter;
class RpPrinter;

class PdfRecordedPages {
public:
    explicit PdfRecordedPages(RpPDFDocumentFilter &document);
    // Adds `page` as the document's next page. Throws RpError for a damaged
    // record (the page keeps what was drawn before it).
    void add(const Metafile &page);

private:
    RpPDFDocumentFilter &m_doc;
};

// Writes pages `fromPage` to `toPage` of the printer's finished document
// into `fileName` (written whole under a temporary name, then renamed).
// Throws RpError when a page is missing or damaged or the file cannot be
// written; nothing is left behind then.
void writeRecordedPagesPdf(RpPrinter &printer, const QString &fileName, int fromPage, int toPage);
