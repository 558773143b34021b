// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpXDocumentFilter: the export filter that writes a report as an XML
// report document, page by page as positioned items: text runs, shapes,
// bands and images. The document is kept as lines while the report runs
// (the document type definition and header at start, then the pages) and
// saved in one piece at finish, in the process-wide text encoding, to the
// file, or, without a file name, to the filter's stream.
//
// Lengths are millimetres (from the run's device pixels, or from tenths of
// a millimetre divided by 10), except the header's page size and the band
// positions, which stay in tenths of a millimetre. Numbers never follow
// the user's locale.
#include "trx/xabstractexportfilter.h"

#include <QBuffer>
#include <QStringList>

#include <functional>
#include <memory>

class CustomReport;
class RpPrinter;
class QImage;

class RpXDocumentFilter : public RpXAbstractExportFilter {
public:
    // The name the filter library knows the class by.
    static QString className() { return QStringLiteral("TRpXDocumentFilter"); }

    explicit RpXDocumentFilter(const QString &filename = QString());
    ~RpXDocumentFilter() override;

    QString name() const override;
    QString description() const override;
    QString fileExtension() const override;

    // --- the calling protocol -------------------------------------------
    void start(qint32 paperWidth, qint32 paperHeight, const RpFont *font) override;
    void endPage() override {}
    void newPage() override;
    // Writes the document unless concatenating. Throws RpError when the
    // file or stream cannot be written.
    void finish() override;
    void textOut(double x, double y, const RpFont &font, gdi::ColorRef bgColor, Alignment alignment,
                 const QString &text) override;
    void acceptGraphic(double xoff, double yoff, QWidget *control) override;
    void acceptBand(QWidget *band, double xoff, double yoff, double expanded) override;
    void openStream(const QString &filename) override;
    void closeStream() override;

    // Clears concatenating and writes the document of the reports exported
    // in turn.
    void endConcat();

    // --- documents ------------------------------------------------------
    // Appends the lines of the document type definition.
    void loadDTD(QStringList &dlist) const;
    // A complete document with a header and no pages (papername and
    // orientation are not written).
    void newDocument(QStringList &doclist, qint32 paperWidth, qint32 paperHeight, const QString &papername,
                     const QString &orient) const;
    // The lines built so far (the whole document after finish).
    const QStringList &lines() const { return m_finalDoc; }
    // The document written without a file name to the filter's own stream.
    QByteArray documentBytes() const;
    // True once finish has written the document.
    bool written() const { return m_written; }

    // --- settings -------------------------------------------------------
    void setDocumentProperties(const QString &author, const QString &title, const QString &copyright);
    QString docType() const { return m_docType; }
    void setDocType(const QString &v) { m_docType = v; }
    QString creator() const { return m_creator; }
    void setCreator(const QString &v) { m_creator = v; }
    QString title() const { return m_title; }
    void setTitle(const QString &v) { m_title = v; }
    QString author() const { return m_author; }
    void setAuthor(const QString &v) { m_author = v; }
    QString docDate() const { return m_docDate; }
    void setDocDate(const QString &v) { m_docDate = v; }
    QString copyright() const { return m_copyright; }
    void setCopyright(const QString &v) { m_copyright = v; }
    QString orientation() const { return m_orientation; }
    void setOrientation(const QString &v) { m_orientation = v; }
    QString xlStyleURL() const { return m_xlStyleURL; }
    void setXLStyleURL(const QString &v) { m_xlStyleURL = v; }
    // Kept for callers; the document does not name its encoding.
    QString xlEncoding() const { return m_xlEncoding; }
    void setXLEncoding(const QString &v) { m_xlEncoding = v; }
    bool concatenating() const { return m_concatenating; }
    void setConcatenating(bool v) { m_concatenating = v; }
    bool compressImages() const { return m_compressImages; }
    void setCompressImages(bool v) { m_compressImages = v; }
    bool doImages() const { return m_doImages; }
    void setDoImages(bool v) { m_doImages = v; }
    bool freeStream() const { return m_freeStream; }
    void setFreeStream(bool v) { m_freeStream = v; }

    // Asked for every image: setting `useURL` stores the image as a
    // reference to `url` instead of its data.
    using ImageURLNeeded = std::function<void(RpXDocumentFilter *, QWidget *control, bool &useURL, QString &url)>;
    void setOnImageURLNeeded(ImageURLNeeded f) { m_onImageURLNeeded = std::move(f); }

    // Millimetres added to positions: text and shapes move right by
    // leftMarginAdjust, shapes also by horizLineAdjust and down by
    // vertLineAdjust.
    double vertLineAdjust = 0;
    double horizLineAdjust = 0;
    double leftMarginAdjust = 0;

private:
    // Device pixels per tenth of a millimetre of the run.
    double xFactor() const;
    double yFactor() const;
    double xMillimetres(double pixels) const { return pixels / xFactor() / 10; }
    double yMillimetres(double pixels) const { return pixels / yFactor() / 10; }
    // The printer whose device pixels the run's positions are in.
    const RpPrinter *runPrinter() const;
    const CustomReport *report() const;
    int detailNumber() const;
    void acceptShape(double xoff, double yoff, QWidget *control);
    void acceptImage(double xoff, double yoff, QWidget *control);
    QImage controlBitmap(QWidget *control) const;
    void save(const QByteArray &document);

    bool m_freeStream = false;
    qint32 m_lastRecordNum = 0;
    qint32 m_pagenumber = 1;
    QString m_docType, m_creator, m_title, m_author, m_docDate, m_copyright, m_orientation;
    QString m_xlStyleURL;
    bool m_concatenating = false;
    bool m_compressImages = true;
    QString m_xlEncoding;
    bool m_doImages = true;
    ImageURLNeeded m_onImageURLNeeded;
    bool m_written = false;
    std::unique_ptr<QBuffer> m_ownStream;
};
