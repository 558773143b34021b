// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The PDF document filter: its settings, the pages as they start and end,
// and the saving of the finished document.
#include "pdf/pdfdocumentfilter.h"

#include "pdf/pdfstrings.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"
#include "printer/stagedfiles.h"
#include "report/customreport.h"

#include <QFile>

#include <algorithm>

namespace {
// Points per millimetre.
constexpr double kPointsPerMm = 2.8346456692913385826;
} // namespace

RpPDFDocumentFilter::RpPDFDocumentFilter(const QString &filename)
    : RpPAbstractExportFilter(filename)
    , m_substitutedFonts{QStringLiteral("Arial:Helvetica"), QStringLiteral("Times New Roman:Times"),
                         QStringLiteral("Courier New:Courier")}
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    setDocumentInfo(QString::fromLatin1(pdfstrings::kCreator), QString(), QString(), QString());
}

RpPDFDocumentFilter::~RpPDFDocumentFilter() = default;

QString RpPDFDocumentFilter::name() const { return QString::fromLatin1(pdfstrings::kName); }
QString RpPDFDocumentFilter::description() const { return QString::fromLatin1(pdfstrings::kDescription); }
QString RpPDFDocumentFilter::fileExtension() const { return QString::fromLatin1(pdfstrings::kExtension); }

// --- settings ----------------------------------------------------------------------

void RpPDFDocumentFilter::setDocumentInfo(const QString &creator, const QString &author, const QString &title,
                                          const QString &subject)
{
    m_docCreator = creator;
    m_docAuthor = author;
    m_docTitle = title;
    m_docSubject = subject;
}

void RpPDFDocumentFilter::setMargins(int topMargin, int leftMargin)
{
    m_topMargin = topMargin;
    m_leftMargin = leftMargin;
}

void RpPDFDocumentFilter::setPageParams(double w, double h, double tm, double tma, double lma)
{
    m_pageWidth = w;
    m_pageHeight = h;
    m_topMargin = rpRound(tm);
    m_adjustTM = tma;
    m_adjustLM = lma;
}

void RpPDFDocumentFilter::addFontMap(const QString &map)
{
    const qsizetype colon = map.indexOf(QLatin1Char(':'));
    const QString entry = colon < 0 ? map.trimmed()
                                    : map.left(colon).trimmed() + QLatin1Char(':') + map.mid(colon + 1).trimmed();
    for (QString &e : m_substitutedFonts)
        if (e.compare(entry, Qt::CaseInsensitive) == 0) {
            e = entry;
            return;
        }
    m_substitutedFonts.append(entry);
}

void RpPDFDocumentFilter::addTTFont(const QString &fontName)
{
    if (!m_embedFonts.contains(fontName, Qt::CaseInsensitive))
        m_embedFonts.append(fontName);
}

void RpPDFDocumentFilter::addCustomWidths(const QString &fontName, const QString &widths)
{
    m_customWidths.add(fontName, widths);
}

void RpPDFDocumentFilter::addCustomEncoding(const QString &fontName, const QString &encoding)
{
    m_customEncodings.add(fontName, encoding);
}

// --- the owner's page ------------------------------------------------------------

ExportPageGeometry RpPDFDocumentFilter::geometry() const
{
    if (hasPageGeometry())
        return pageGeometry();
    ExportPageGeometry g;
    if (const auto *report = qobject_cast<const CustomReport *>(owner())) {
        g.pageWidth = report->pageWidthNative();
        g.pageLength = report->pageLengthNative();
    }
    if (const RpPrinter *p = runPrinter()) {
        g.xFactor = p->xFactor();
        g.yFactor = p->yFactor();
    }
    return g;
}

const RpPrinter *RpPDFDocumentFilter::runPrinter() const
{
    // A part of a composite report runs on the composite's printer.
    if (const RpPrinter *p = originalReportPrinter())
        return p;
    const auto *report = qobject_cast<const CustomReport *>(owner());
    return report ? report->reportPrinter() : nullptr;
}

// --- pages ------------------------------------------------------------------------

void RpPDFDocumentFilter::startPage()
{
    const ExportPageGeometry g = geometry();
    const double mmX = 1 / (g.xFactor * 10), mmY = 1 / (g.yFactor * 10);
    m_scale = Scale{mmX * kPointsPerMm, mmY * kPointsPerMm, g.xFactor, g.yFactor};
    m_adjustTM = 0;
    m_adjustLM = 0;
    ++m_pageNumber;
    m_pageWidth = rpRound(g.pageWidth) * 0.1 * kPointsPerMm;
    m_pageHeight = rpRound(g.pageLength) * 0.1 * kPointsPerMm;
    Page p;
    p.width = m_pageWidth;
    p.height = m_pageHeight;
    m_pages.push_back(std::move(p));
    m_madeFirstPageFiles = true;
}

void RpPDFDocumentFilter::endCurrentPage() { textLine("ET"); }

void RpPDFDocumentFilter::textLine(const QByteArray &line)
{
    if (line.isEmpty())
        return;
    Page &p = page();
    p.text += line;
    p.text += "\r\n";
}

void RpPDFDocumentFilter::graphicsLine(const QByteArray &line)
{
    if (line.isEmpty())
        return;
    Page &p = page();
    p.graphics += line;
    p.graphics += "\r\n";
}

void RpPDFDocumentFilter::start(qint32 paperWidth, qint32 paperHeight, const RpFont *font)
{
    RpPAbstractExportFilter::start(paperWidth, paperHeight, font);
    openStream(filename());
}

void RpPDFDocumentFilter::newPage()
{
    if (m_firstPage) {
        m_firstPage = false;
        return;
    }
    PDFItemRec item;
    item.itemType = IT_NEWPAGE;
    addItem(item);
}

void RpPDFDocumentFilter::addItem(PDFItemRec item, bool reverse)
{
    if (!m_madeFirstPageFiles)
        startPage();
    item.yPos += m_adjustTM;
    item.xPos += m_adjustLM;
    item.lineTop += m_adjustTM;
    if (reverse && m_biDiMode == BiDiMode::bdRightToLeft) {
        // Characters in reverse order; a pair of surrogates stays a pair.
        const QList<uint> ucs4 = item.text.toUcs4();
        QString reversed;
        reversed.reserve(item.text.size());
        for (qsizetype i = ucs4.size() - 1; i >= 0; --i) {
            const char32_t c = ucs4[i];
            reversed += QString::fromUcs4(&c, 1);
        }
        item.text = reversed;
    }
    processItem(item);
}

void RpPDFDocumentFilter::processPage()
{
    m_pageProcessed = true;
    storePage();
}

// --- the document -------------------------------------------------------------------

void RpPDFDocumentFilter::openStream(const QString &filename)
{
    if (!filename.isEmpty())
        return;
    m_ownStream = std::make_unique<QBuffer>();
    m_ownStream->open(QIODevice::ReadWrite);
    setStream(m_ownStream.get());
    m_freeStream = false;
}

void RpPDFDocumentFilter::closeStream()
{
    if (stream() == m_ownStream.get())
        setStream(nullptr);
    m_ownStream.reset();
}

QByteArray RpPDFDocumentFilter::documentBytes() const { return m_ownStream ? m_ownStream->data() : QByteArray(); }

void RpPDFDocumentFilter::endConcat()
{
    m_concatenating = false;
    finish();
}

void RpPDFDocumentFilter::finish()
{
    if (m_concatenating || m_finished)
        return;
    // One document a filter, also when writing it fails.
    m_finished = true;
    if (!m_madeFirstPageFiles)
        startPage();
    const QByteArray document = assemble();
    save(document);
    RpPAbstractExportFilter::finish();
}

void RpPDFDocumentFilter::save(const QByteArray &document)
{
    if (!filename().isEmpty()) {
        writeDocumentFile(filename(), document);
    } else {
        if (!stream())
            openStream(QString());
        stream()->seek(0);
        writeDocument(*stream(), document);
        if (auto *buffer = qobject_cast<QBuffer *>(stream()))
            buffer->buffer().truncate(document.size());
        stream()->seek(0);
    }
    if (m_freeStream)
        closeStream();
}
