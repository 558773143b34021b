// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpPDFDocumentFilter: the export filter that writes a report as a PDF 1.3
// document. While the report runs with the filter attached, every text line
// and graphic it receives becomes lines of page-content operators kept in
// memory, one text block and one graphics block a page, with a running
// byte count; the fonts the text uses are listed as it goes. Finish
// assembles the whole document (catalogue, outlines, page tree, pages and
// their contents, fonts, information, procedure set, cross-reference table
// and trailer) and saves it in one piece to the file, or to the filter's
// own in-memory stream when no file name was given.
//
// Text that code page 1252 carries goes in as it always has: a simple font
// per distinct font (a standard Type 1 font when fonts are substituted, a
// TrueType font measured from its file otherwise) and the text's bytes.
// Any other text (Chinese, say) goes through a Unicode font with the glyphs
// it uses embedded (unicodefonts.h), laid out as the recorded page lays it
// out; text in a face this program draws itself is written as the shapes
// it draws, with the text unseen underneath so it can be found and copied.
// Numbers never follow the user's locale.
#include "pdf/pdfdictionary.h"
#include "pdf/pdffonts.h"
#include "pdf/pdfimages.h"
#include "pdf/pdfitem.h"
#include "pdf/unicodefonts.h"
#include "printer/abstractexportfilter.h"
#include "printer/bidimode.h"

#include <QBuffer>
#include <QDateTime>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class RpPrinter;
class QColor;
class QPainterPath;
class QTransform;
namespace fonts {
struct SynthesizedGlyph;
}

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
    // Writes the document (unless concatenating). Throws the file's error,
    // or the error of a font that cannot be measured; nothing is saved then.
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
    int pageCount() const { return int(m_pages.size()); }

    // True once finish has written the document.
    bool written() const { return m_finished && !active(); }
    // The document written without a file name (after finish).
    QByteArray documentBytes() const;
    // The clock of the creation date (the current local time by default).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    // Recorded pages are drawn into the document's pages through a canvas
    // (pdfpagecanvas.h), in their drawing order.
    friend class PdfPageCanvas;
    friend class PdfRecordedPages;

    struct Page {
        double width = 0, height = 0; // points
        QByteArray text, graphics;    // content lines, each ended by CR LF
        // The page carries glyphs drawn as their outlines (a synthesised
        // face, a face with nothing to embed): its content, many times the
        // text it stands for, is deflated.
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
    Page &page() { return m_pages.back(); }
    void textLine(const QByteArray &line);
    void graphicsLine(const QByteArray &line);
    int fontIndex(const PDFItemRec &item);
    void processItem(const PDFItemRec &item);
    void writeText(const PDFItemRec &item);
    void writeUnicodeText(const PDFItemRec &item);
    void writeSynthesizedGlyph(const fonts::SynthesizedGlyph &glyph, const QTransform &toPage);
    void writeGlyphOutline(const QPainterPath &outline, const QTransform &toPage, const QColor &ink);
    void writeGraphic(const PDFItemRec &item);
    void writeImage(const PDFItemRec &item);
    void acceptShape(double xoff, double yoff, QWidget *control);
    void acceptPicture(double xoff, double yoff, QWidget *control);
    bool throughUnicodeFont(const PDFItemRec &item) const;
    QByteArray assemble();
    void save(const QByteArray &document);

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
    std::vector<Page> m_pages;
    QStringList m_reportFonts;
    QStringList m_embedFonts;
    QStringList m_substitutedFonts;
    PdfUnicodeFonts m_unicodeFonts;
    PdfImages m_images;
    double m_pageWidth = 595.0, m_pageHeight = 840.0;
    double m_extTopMargin = 0;
    double m_adjustTM = 0, m_adjustLM = 0;
    Scale m_scale;
    bool m_finished = false;
    std::unique_ptr<QBuffer> m_ownStream;
    std::function<QDateTime()> m_clock;
};
