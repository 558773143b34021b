// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of the filters that write a report as an XML document: the
// fields of the stream-writing filters (a stream, a character grid for
// text-like formats, the steps of a page), the report's font kept while a
// document is written, and a text encoding of their own, one setting for
// the whole process (DefaultEncoding at start), apart from the one of the
// other document-writing filters.
#include "printer/abstractexportfilter.h"
#include "report/rpfont.h"

#include <QIODevice>

#include <optional>

class RpXAbstractExportFilter : public RpExportFilter {
public:
    explicit RpXAbstractExportFilter(const QString &filename = QString()) : RpExportFilter(filename) {}

    QString name() const override { return QStringLiteral("RpAbstract"); }
    QString description() const override { return QString(); }
    QString fileExtension() const override { return QString(); }

    virtual void openStream(const QString &filename) { Q_UNUSED(filename); }
    virtual void closeStream() {}
    virtual void processPage() { m_pageProcessed = true; }
    virtual void storePage() {}

    QIODevice *stream() const { return m_stream; }
    void setStream(QIODevice *s) { m_stream = s; }

    // The process-wide encoding of XML documents. User-interface thread
    // (exports run there).
    static TextEncoding textEncoding();
    static void setTextEncoding(TextEncoding e);

protected:
    QIODevice *m_stream = nullptr;
    double m_charWidth = 0, m_charHeight = 0;
    double m_paperWidth = 0, m_paperHeight = 0;
    qint32 m_lineCount = 0, m_colCount = 0;
    bool m_pageProcessed = false;
    // The report's font and the one of the item being written, between
    // start and finish.
    std::optional<RpFont> m_font, m_activeFont;
};
