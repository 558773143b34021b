// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The XML report document filter: its settings, pages, and the saving of
// the finished document.
#include "trx/xdocumentfilter.h"

#include "platform/rperror.h"
#include "printer/stagedfiles.h"
#include "trx/documentencoding.h"
#include "trx/trxstrings.h"

#include <QDate>
#include <QFile>
#include <QLocale>

RpXDocumentFilter::RpXDocumentFilter(const QString &filename)
    : RpXAbstractExportFilter(filename)
    , m_creator(QString::fromLatin1(trxstrings::kCreator))
    , m_docDate(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat))
    , m_orientation(QString::fromLatin1(trxstrings::kOrientation))
    , m_xlEncoding(QString::fromLatin1(trxstrings::kXLEncoding))
{
}

RpXDocumentFilter::~RpXDocumentFilter() = default;

QString RpXDocumentFilter::name() const { return QString::fromLatin1(trxstrings::kName); }
QString RpXDocumentFilter::description() const { return QString::fromLatin1(trxstrings::kDescription); }
QString RpXDocumentFilter::fileExtension() const { return QString::fromLatin1(trxstrings::kExtension); }

void RpXDocumentFilter::setDocumentProperties(const QString &author, const QString &title, const QString &copyright)
{
    m_author = author;
    m_title = title;
    m_copyright = copyright;
}

void RpXDocumentFilter::newPage()
{
    if (m_pagenumber > 1)
        m_finalDoc << QStringLiteral("</Page>");
    m_finalDoc << QStringLiteral("<Page Number=\"") + QString::number(m_pagenumber) + QStringLiteral("\">");
    ++m_pagenumber;
}

void RpXDocumentFilter::endConcat()
{
    m_concatenating = false;
    finish();
}

void RpXDocumentFilter::finish()
{
    if (m_concatenating || !active())
        return;
    // A document without pages still closes its last page element only
    // when it opened one.
    if (m_pagenumber > 1)
        m_finalDoc << QStringLiteral("</Page>");
    m_finalDoc << QStringLiteral("</TXDocument>");
    m_font.reset();
    m_activeFont.reset();
    // One document a filter, also when writing it fails.
    RpXAbstractExportFilter::finish();
    save(trxencoding::encodeLines(m_finalDoc, textEncoding()));
    m_written = true;
}

void RpXDocumentFilter::openStream(const QString &filename)
{
    // A file is written whole at finish; without one the document goes to
    // the stream the caller set, or to one of the filter's own.
    if (!filename.isEmpty() || stream())
        return;
    m_ownStream = std::make_unique<QBuffer>();
    m_ownStream->open(QIODevice::ReadWrite);
    setStream(m_ownStream.get());
}

void RpXDocumentFilter::closeStream()
{
    if (stream() && stream() != m_ownStream.get())
        stream()->close();
    setStream(nullptr);
}

QByteArray RpXDocumentFilter::documentBytes() const { return m_ownStream ? m_ownStream->data() : QByteArray(); }

void RpXDocumentFilter::save(const QByteArray &document)
{
    if (!filename().isEmpty()) {
        writeDocumentFile(filename(), document);
        return;
    }
    if (!stream())
        openStream(QString());
    if (stream() == m_ownStream.get()) {
        m_ownStream->buffer().clear();
        m_ownStream->seek(0);
    }
    writeDocument(*stream(), document);
    if (stream() == m_ownStream.get())
        m_ownStream->seek(0);
    else if (m_freeStream)
        closeStream();
}
