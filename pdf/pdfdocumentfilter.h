// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpPDFDocumentFilter: the export filter that writes a report as a PDF 1.3
// document. While the report runs with the filter attached, every text line
// and graphic it receives becomes lines of page-content operators, one text
// block and one graphics block a page, with a running byte count; the fonts
// the text uses are listed as it goes. The document is written as it goes:
// the header and catalogue with the first page, each page with its content
// once the page is finished, and at finish the fonts, the information, the
// procedure set, the page tree, the cross-reference table and the trailer;
// so memory stays the same however many pages there are. It goes to a file
// staged beside the file it becomes (renamed onto it at finish, removed if
// the document is never finished), or to the filter's stream when no file
// name was given.
//
// Text that code page 1252 carries goes in as it always has: a simple font
// per distinct font (a standard Type 1 font when fonts are substituted, a
// TrueType font measured from its file otherwise) and the text's bytes.
// Any other text (Chinese, say) goes through a Unicode font with the glyphs
// it uses embedded (unicodefonts.h), laid out as the recorded page lays it
// out; text in a face this program draws itself is shown in fonts of the
// shapes it draws, each glyph written once (synthfonts.h), so it can be
// found and copied as the text it is.
// Numbers never follow the user's locale.
#include "pdf/pdfdictionary.h"
#include "pdf/pdffonts.h"
#include "pdf/pdfimages.h"
#include "pdf/pdfitem.h"
#include "pdf/synthfonts.h"
#include "pdf/unicodefonts.h"
#include "printer/abstractexportfilter.h"
#include "printer/bidimode.h"

#include <QBuffer>
#include <QDateTime>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class PdfOutput;
class RpPrinter;
class QColor;
class QPainterPath;
class QTransform;

using FontHandling = pdffonts::FontHandling;

class RpPDFDocumentFilter : public RpPAbstractExportFilter {
public:
    // The name the filter library knows the class by.
    static QString className() { return QStringLiteral("TRpPDFDocumentFilter"); }

    explicit RpPDFDocumentFilter(const QString &filename = QString());
    ~RpPDFDocumentFilter() override;

    QString name() const override;
    QString description() const override;
    QString fileExtension() const override;
    bool streaming() const override { return false; }
    bool isPdfDocumentFilter() const override { return true; }

    // --- the calling protocol ---------------------------------------------
    void start(qint32 paperWidth, qint32 paperHeight, const RpFont *font) override;
    // The first call only notes that pages begin; every later one ends the
    // page and starts the next.
    void newPage() override;
    void endPage() override {}
    // Ends the document (unless concatenating). Throws the file's error,
    // or the error of a font that cannot be measured; nothing is saved then.
    // The file's error can also come from newPage, which writes the page
    // that ends.
    void finish() override;
    void textOut(double x, double y, const RpFont &font, gdi::ColorRef bgColor, Alignment alignment,
                 const QString &text) override;
    void acceptGraphic(double xoff, double yoff, QWidget *control) override;
    void openStream(const QString &filename) override;
    void closeStream() override;
    void processPage() override;

    // Writes the document of reports exported in turn with concatenating on.
    void endConcat();

    // Adds an item made elsewhere: makes sure a page is started, applies the
    // page adjustments and writes its lines (a text reversed when the
    // reading order is right to left and `reverse`). Throws RpError
    // "Internal error: IT_INVALID" for an item of no kind.
    void addItem(PDFItemRec item, bool reverse = true);

    // --- settings -----------------------------------------------------------
    void setDocumentInfo(const QString &creator, const QString &author, const QString &title, const QString &subject);
    void setMargins(int topMargin, int leftMargin);
    void setPageParams(double w, double h, double tm, double tma, double lma);
    // "windows-name:standard-name": the first entry for a name wins.
    void addFontMap(const QString &map);
    // Embeds the TrueType font of this base-font name ("Arial,Bold").
    void addTTFont(const QString &fontName);
    void addCustomWidths(const QString &fontName, const QString &widths);
    void addCustomEncoding(const QString &fontName, const QString &encoding);

    int pageLength() const { return m_pageLength; }
    void setPageLength(int v) { m_pageLength = v; }
    bool freeStream() const { return m_freeStream; }
    void setFreeStream(bool v) { m_freeStream = v; }
    // True: a page's graphics are written first and its text over them.
    bool textOnTop() const { return !m_textFirst; }
    void setTextOnTop(bool v) { m_textFirst = !v; }
    bool concatenating() const { return m_concatenating; }
    void setConcatenating(bool v) { m_concatenating = v; }
    int topMargin() const { return m_topMargin; }
    void setTopMargin(int v) { m_topMargin = v; }
    int leftMargin() const { return m_leftMargin; }
    void setLeftMargin(int v) { m_leftMargin = v; }
    bool compressionOn() const { return m_compressionOn; }
    void setCompressionOn(bool v) { m_compressionOn = v; }
    FontHandling fontHandling() const { return m_fontHandling; }
    void setFontHandling(FontHandling v) { m_fontHandling = v; }
    BiDiMode biDiMode() const { return m_biDiMode; }
    void setBiDiMode(BiDiMode v) { m_biDiMode = v; }

    const QStringList &substitutedFonts() const { return m_substitutedFonts; }
    const QStringList &embedFonts() const { return m_embedFonts; }
    const QStringList &reportFonts() const { return m_reportFonts; }
    int pageCount() const { return m_pageNumber; }
    // The fonts of the synthesised faces' glyphs, for any writer of this
    // document's page content.
    PdfSynthFonts &synthFonts() { return m_synthFonts; }

    // True once finish has written the document.
    bool written() const { return m_finished && !active(); }
    // The document written without a file name, once finish has written it.
    QByteArray documentBytes() const;
    // The clock of the creation date (the current local time by default).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    // Recorded pages are drawn into the document's pages through a canvas
    // (pdfpagecanvas.h), in their drawing order.
    friend class PdfPageCanvas;
    friend class PdfRecordedPages;

    // The page being made.
    struct Page {
        double width = 0, height = 0; // points
        QByteArray text, graphics;    // content lines, each ended by CR LF
        // The page carries glyphs drawn as their outlines (a face with
        // nothing to embed), or shows glyphs of the synthesised faces, each
        // with a matrix of its own: its content, many times the text it
        // stands for, is deflated.
        bool outlines = false;
    };
    // What an item's coordinates are measured against.
    struct Scale {
        double sx = 0.75, sy = 0.75; // points per device pixel
        double xFactor = 0, yFactor = 0; // device pixels per 0.1 mm
    };

    ExportPageGeometry geometry() const;
    // The printer whose device pixels the run's positions are in.
    const RpPrinter *runPrinter() const;
    void startPage();
    void endCurrentPage();
    Page &page() { return m_page; }
    void beginDocument();
    void writePage();
    void endDocument();
    void textLine(const QByteArray &line);
    void graphicsLine(const QByteArray &line);
    int fontIndex(const PDFItemRec &item);
    void processItem(const PDFItemRec &item);
    void writeText(const PDFItemRec &item);
    void writeUnicodeText(const PDFItemRec &item);
    void writeGlyphOutline(const QPainterPath &outline, const QTransform &toPage, const QColor &ink);
    void writeGraphic(const PDFItemRec &item);
    void writeImage(const PDFItemRec &item);
    void acceptShape(double xoff, double yoff, QWidget *control);
    void acceptPicture(double xoff, double yoff, QWidget *control);
    bool throughUnicodeFont(const PDFItemRec &item) const;

    bool m_freeStream = false;
    gdi::ColorRef m_bodyColor = 0xFFFFFF;
    bool m_firstPage = true;
    int m_pageLength = 2500;
    int m_pageNumber = 0;
    int m_leftMargin = 0, m_topMargin = 0;
    bool m_concatenating = false;
    FontHandling m_fontHandling = FontHandling::fhNoEmbedding;
    BiDiMode m_biDiMode = BiDiMode::bdLeftToRight;
    bool m_madeFirstPageFiles = false;
    bool m_textFirst = false;
    QString m_docSubject, m_docCreator, m_docTitle, m_docAuthor;
    PdfDictionary m_customWidths, m_customEncodings;
    bool m_compressionOn = true;
    Page m_page;
    std::unique_ptr<PdfOutput> m_output; // where the document goes while it is written
    std::vector<int> m_pageObjects;
    double m_firstPageWidth = 0, m_firstPageHeight = 0;
    QStringList m_reportFonts;
    QStringList m_embedFonts;
    QStringList m_substitutedFonts;
    PdfUnicodeFonts m_unicodeFonts;
    PdfSynthFonts m_synthFonts;
    PdfImages m_images;
    double m_pageWidth = 595.0, m_pageHeight = 840.0;
    double m_extTopMargin = 0;
    double m_adjustTM = 0, m_adjustLM = 0;
    Scale m_scale;
    bool m_finished = false;
    std::unique_ptr<QBuffer> m_ownStream;
    std::function<QDateTime()> m_clock;
};
