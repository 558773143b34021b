// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of the export filters that write a document to a stream: a
// stream (its own or the caller's), a character grid for text-like formats,
// and the steps of writing a page. The text encoding is one setting shared
// by every filter of this family.
#include "platform/units.h"
#include "printer/exportfilter.h"

#include <QIODevice>

enum class TextEncoding {
    AnsiEncoding,
    ASCIIEncoding,
    BigEndianUnicodeEncoding,
    DefaultEncoding,
    UnicodeEncoding,
    UTF7Encoding,
    UTF8Encoding,
};

// What a document-writing filter reads of the report it exports: the page
// in tenths of a millimetre and the device pixels per tenth of a millimetre
// of the report printer (what acceptGraphic offsets and control sizes are
// measured in). A filter given one uses it instead of asking its owner.
struct ExportPageGeometry {
    double pageWidth = 2100;
    double pageLength = 2970;
    double xFactor = units::devicePerNative(units::kScreenPixelsPerInch);
    double yFactor = units::devicePerNative(units::kScreenPixelsPerInch);
};

class RpPAbstractExportFilter : public RpExportFilter {
public:
    explicit RpPAbstractExportFilter(const QString &filename = QString()) : RpExportFilter(filename) {}

    QString name() const override { return QStringLiteral("RpAbstract"); }
    QString description() const override { return QString(); }
    QString fileExtension() const override { return QString(); }

    // Prepares the output (descendants open or make their stream).
    virtual void openStream(const QString &filename) { Q_UNUSED(filename); }
    // Releases an output stream the filter owns.
    virtual void closeStream() {}
    virtual void processPage() { m_pageProcessed = true; }
    virtual void storePage() {}

    // The stream written to when the filter has no file name.
    QIODevice *stream() const { return m_stream; }
    void setStream(QIODevice *s) { m_stream = s; }

    // The process-wide encoding of text documents (AnsiEncoding at start).
    static TextEncoding textEncoding();
    static void setTextEncoding(TextEncoding e);

    void setPageGeometry(const ExportPageGeometry &g)
    {
        m_geometry = g;
        m_hasGeometry = true;
    }
    bool hasPageGeometry() const { return m_hasGeometry; }
    const ExportPageGeometry &pageGeometry() const { return m_geometry; }

protected:
    QIODevice *m_stream = nullptr;
    double m_charWidth = 0, m_charHeight = 0;
    double m_paperWidth = 0, m_paperHeight = 0;
    qint32 m_lineCount = 0, m_colCount = 0;
    bool m_pageProcessed = false;

private:
    ExportPageGeometry m_geometry;
    bool m_hasGeometry = false;
};
