// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The document type definition and header of an XML report document.
#include "trx/trxformat.h"
#include "trx/trxstrings.h"
#include "trx/xdocumentfilter.h"

#include "platform/units.h"

#include <cmath>

namespace {

// The definition after the style sheet line.
constexpr const char *kDefinition[] = {
    "<!DOCTYPE TXDocument [",
    "<!ELEMENT TXDocument (Header, Page*)>",
    "<!ELEMENT Header (Title*, DocType*, Creator*, Author*, Date*, Copyright*, Orientation*)>",
    "<!ELEMENT DocType (#PCDATA)>",
    "<!ELEMENT Title (#PCDATA)>",
    "<!ELEMENT Creator (#PCDATA)>",
    "<!ELEMENT Author (#PCDATA)>",
    "<!ELEMENT Date (#PCDATA)>",
    "<!ELEMENT Copyright (#PCDATA)>",
    "<!ELEMENT Orientation (#PCDATA)>",
    "<!ELEMENT Page (Item*)>",
    "<!ELEMENT Item (#PCDATA)>",
    "<!ELEMENT Contents (#PCDATA)>",
    "<!ATTLIST Header Units CDATA \"mm\">",
    "<!ATTLIST Header Pagewidth CDATA \"210\">",
    "<!ATTLIST Header Pageheight CDATA \"297\">",
    "<!ATTLIST Header PaperName CDATA \"A4\">",
    "<!ATTLIST Header Layers CDATA \"3\">",
    "<!ATTLIST Item Type CDATA \"Text\">",
    "<!ATTLIST Item X CDATA \"0\">",
    "<!ATTLIST Item Y CDATA \"0\">",
    "<!ATTLIST Item Font CDATA \"Arial\">",
    "<!ATTLIST Item Height CDATA \"12\">",
    "<!ATTLIST Item Color CDATA \"Black\">",
    "<!ATTLIST Item BC CDATA \"White\">",
    "<!ATTLIST Item FW CDATA \"Normal\">",
    "<!ATTLIST Item FR CDATA \"0\">",
    "<!ATTLIST Item Dec CDATA \"None\">",
    "<!ATTLIST Item Width CDATA \"1\">",
    "<!ATTLIST Item Height CDATA \"1\">",
    "<!ATTLIST Item SP CDATA \"0\">",
    "<!ATTLIST Item CID CDATA \"000000\">",
    "<!ATTLIST Item DBR CDATA \"0\">",
    "<!-- 0=rect, 1=ellipse, 2=hline,3=vline,4=roundrect,5=rightdiag,6=leftdiag-->",
    "<!ATTLIST Item LW CDATA \"1\">",
    "<!ATTLIST Item FT CDATA \"0\">",
    "<!ATTLIST Item LY CDATA \"0\">",
    "<!ATTLIST Item Op CDATA \"1\">",
    "<!ATTLIST Item ImageFile CDATA \"\">",
    "<!ATTLIST Item Cmp CDATA \"None\">",
    "<!ATTLIST Item XS CDATA \"1.0\">",
    "<!ATTLIST Item YS CDATA \"1.0\">",
    "<!ATTLIST Item Extra CDATA \"\">",
    "<!ATTLIST Page Number CDATA \"1\">",
    "]>",
};

// The document element's start and the header, for a page of the given
// size in tenths of a millimetre.
void appendHeader(QStringList &doc, qint32 paperWidth, qint32 paperHeight, const QString &title,
                  const QString &docType, const QString &creator, const QString &author, const QString &date,
                  const QString &copyright, const QString &orientation)
{
    doc << QStringLiteral("<TXDocument>");
    doc << QStringLiteral("<Header Pagewidth=\"") + trxformat::fixed(paperWidth, 2, 6) +
               QStringLiteral("\" Pageheight=\"") + trxformat::fixed(paperHeight, 2, 6) +
               QStringLiteral("\" PaperName=\"A4\" Units=\"mm\">");
    auto element = [&doc](const char *tag, const QString &text) {
        const QString t = QLatin1String(tag);
        doc << QStringLiteral("   <") + t + QLatin1Char('>') + trxformat::escape(text) + QStringLiteral("</") + t +
                   QLatin1Char('>');
    };
    element("Title", title);
    element("DocType", docType);
    element("Creator", creator);
    element("Author", author);
    element("Date", date);
    element("Copyright", copyright);
    element("Orientation", orientation);
    doc << QStringLiteral("</Header>") << QString();
}

} // namespace

void RpXDocumentFilter::loadDTD(QStringList &dlist) const
{
    const QString style = m_xlStyleURL.trimmed();
    dlist << QStringLiteral("<?xml version=\"1.0\"?>");
    dlist << QStringLiteral("<?xml-stylesheet type=\"text/xsl\" href=\"") +
                 (style.isEmpty() ? QString::fromLatin1(trxstrings::kDefaultStylesheet) : style) +
                 QStringLiteral("\"?>");
    for (const char *line : kDefinition)
        dlist << QString::fromLatin1(line);
}

void RpXDocumentFilter::newDocument(QStringList &doclist, qint32 paperWidth, qint32 paperHeight, const QString &,
                                    const QString &) const
{
    doclist.clear();
    loadDTD(doclist);
    appendHeader(doclist, paperWidth, paperHeight, m_title, m_docType, m_creator, m_author, m_docDate,
                 m_copyright, m_orientation);
    doclist << QStringLiteral("</TXDocument>");
}

void RpXDocumentFilter::start(qint32 paperWidth, qint32 paperHeight, const RpFont *font)
{
    RpXAbstractExportFilter::start(paperWidth, paperHeight, font);
    openStream(filename());
    if (font) {
        m_font = *font;
        m_activeFont = *font;
    } else {
        m_font.reset();
        m_activeFont.reset();
    }
    // Points to tenths of a millimetre.
    const double size = font ? std::abs(font->size()) : 0;
    m_charWidth = m_charHeight = size * 3.5277777777777777778;
    m_paperWidth = paperWidth;
    m_paperHeight = paperHeight;
    // Without a font there is no character grid.
    m_lineCount = m_charHeight > 0 ? rpRound(m_paperHeight / m_charHeight) : 0;
    m_finalDoc.clear();
    m_pagenumber = 1;
    m_written = false;
    loadDTD(m_finalDoc);
    appendHeader(m_finalDoc, paperWidth, paperHeight, m_title, m_docType, m_creator, m_author, m_docDate,
                 m_copyright, m_orientation);
}
