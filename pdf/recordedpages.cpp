// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/recordedpages.h"

#include "pdf/pdfdocumentfilter.h"
#include "pdf/pdfpagecanvas.h"
#include "platform/metafile.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"

#include <algorithm>

PdfRecordedPages::PdfRecordedPages(RpPDFDocumentFilter &document) : m_doc(document) {}

void PdfRecordedPages::add(const Metafile &page)
{
    const int w = std::max(page.width(), 1), h = std::max(page.height(), 1);
    const double dpiX = page.pixelsPerInchX(), dpiY = page.pixelsPerInchY();
    // The paper the page was recorded on, in tenths of a millimetre, and its
    // pixels.
    ExportPageGeometry g;
    g.pageWidth = w / dpiX * units::kNativePerInch;
    g.pageLength = h / dpiY * units::kNativePerInch;
    g.xFactor = units::devicePerNative(dpiX);
    g.yFactor = units::devicePerNative(dpiY);
    if (m_doc.m_madeFirstPageFiles)
        m_doc.endCurrentPage();
    m_doc.m_firstPage = false;
    m_doc.setPageGeometry(g);
    m_doc.startPage();
    // A page's drawing runs to many times its text: its content is deflated.
    m_doc.page().outlines = true;
    PdfPageCanvas canvas(m_doc, w, h, dpiX, dpiY);
    page.play(canvas, gdi::Rect{0, 0, w, h});
    canvas.finish();
}

void writeRecordedPagesPdf(RpPrinter &printer, const QString &fileName, int fromPage, int toPage)
{
    RpPDFDocumentFilter document(fileName);
    document.setDocumentInfo(QStringLiteral("Tovrel"), QString(), printer.title(), QString());
    document.start(0, 0, nullptr);
    PdfRecordedPages pages(document);
    for (int i = fromPage; i <= toPage; ++i) {
        const std::optional<Metafile> page = printer.getPage(i);
        if (!page)
            throw RpError(RpErrorKind::DamagedInput, QStringLiteral("page %1 of the document is missing").arg(i));
        pages.add(*page);
    }
    document.finish();
}
