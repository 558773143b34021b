// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The document as it is written: header, catalogue and outlines before the
// first page; each page and its content once the page ends; then the fonts,
// the images, information, procedure set, the page tree (object 3, whose number was
// kept for it), the cross-reference table and the trailer.
#include "pdf/pdfdocumentfilter.h"

#include "pdf/pdfoutput.h"
#include "pdf/pdfnumbers.h"
#include "pdf/pdfsyntax.h"
#include "platform/locale.h"

RpPDFDocumentFilter::~RpPDFDocumentFilter() = default;

void RpPDFDocumentFilter::beginDocument()
{
    if (!filename().isEmpty()) {
        m_output = PdfOutput::toFile(filename());
    } else {
        if (!stream())
            openStream(QString());
        m_output = PdfOutput::toStream(stream());
    }
    PdfFile &file = m_output->file();
    // The version goes up to 1.6 at the end when a font program needs it.
    file.line("%PDF-1.3");
    file.line("%\xC5\xAD\x6F\x81");

    file.beginObject();
    file.line("<<");
    file.line("/Type /Catalog");
    file.line("/Pages 3 0 R");
    file.line("/Outlines 2 0 R");
    file.line("/ViewerPreferences << /HideToolbar false /FitWindow true >>");
    file.line(">>");
    file.endObject();

    file.beginObject();
    file.line("<<");
    file.line("/Type /Outlines");
    file.line("/Count 0");
    file.line(">>");
    file.endObject();

    // The page tree lists every page: it is written at the end.
    file.reserveObject();
}

void RpPDFDocumentFilter::writePage()
{
    PdfFile &file = m_output->file();
    const Page &p = m_page;
    const int object = file.beginObject();
    m_pageObjects.push_back(object);
    file.line("<<");
    file.line("/Type /Page");
    file.line("/Parent 3 0 R");
    file.line("/Contents " + QByteArray::number(object + 1) + " 0 R");
    file.line("/MediaBox [0 0 " + QByteArray::number(rpRound64(p.width)) + ' ' +
              QByteArray::number(rpRound64(p.height)) + "]");
    file.line(">>");
    file.endObject();

    if (p.outlines) {
        const QByteArray content = m_textFirst ? "BT\r\n" + p.text + p.graphics : p.graphics + "BT\r\n" + p.text;
        file.streamObject(pdfsyntax::deflate(content), "/Filter /FlateDecode");
    } else {
        file.beginObject();
        file.line("<< /Length " + QByteArray::number(4 + p.text.size() + p.graphics.size()) + " >>");
        file.line("stream");
        if (!m_textFirst) {
            file.raw(p.graphics);
            file.line("BT");
            file.raw(p.text);
        } else {
            file.line("BT");
            file.raw(p.text);
            file.raw(p.graphics);
        }
        file.line("endstream");
        file.endObject();
    }
    // The glyphs the page showed first.
    m_synthFonts.writePending(file);
    m_page = Page{};
}

void RpPDFDocumentFilter::endDocument()
{
    endCurrentPage();
    PdfFile &file = m_output->file();

    struct Resource {
        QByteArray name;
        int object;
    };
    std::vector<Resource> resources;
    bool openTypeProgram = false;
    for (qsizetype i = 0; i < m_reportFonts.size(); ++i) {
        resources.push_back({pdffonts::resourceName(int(i)), file.objectCount() + 1});
        openTypeProgram |= pdffonts::writeFontObjects(file, int(i), pdffonts::FontKey::parse(m_reportFonts[i]),
                                                      m_fontHandling, m_substitutedFonts, m_embedFonts,
                                                      m_customWidths, m_customEncodings);
    }
    for (int i = 0; i < m_unicodeFonts.count(); ++i) {
        resources.push_back({PdfUnicodeFonts::resourceName(i), file.objectCount() + 1});
        m_unicodeFonts.writeObjects(file, i);
    }
    m_synthFonts.writeRest(file);
    for (const PdfSynthFonts::Resource &r : m_synthFonts.resources())
        resources.push_back({r.name, r.object});
    std::vector<Resource> images;
    for (int i = 0; i < m_images.count(); ++i) {
        images.push_back({PdfImages::resourceName(i), file.objectCount() + 1});
        m_images.writeObjects(file, i);
    }

    // The information: the creation date in the user's formats.
    const QDateTime now = m_clock();
    QString date = now.date().toString(rplocale::shortDateFormat());
    if (now.time() != QTime(0, 0))
        date += QLatin1Char(' ') + now.time().toString(rplocale::longTimeFormat());
    const int info = file.beginObject();
    file.line("<<");
    file.line("/CreationDate " + pdfsyntax::textString(date));
    file.line("/Producer (Tovrel PDF Export)");
    file.line("/Subject " + pdfsyntax::textString(m_docSubject + QLatin1Char(' ')));
    file.line("/Creator " + pdfsyntax::textString(m_docCreator));
    file.line("/Title " + pdfsyntax::textString(m_docTitle));
    file.line("/Author " + pdfsyntax::textString(m_docAuthor));
    file.line(">>");
    file.endObject();

    const int procSet = file.beginObject();
    file.line("[/PDF /Text]");
    file.endObject();

    file.beginObject(3);
    file.line("<<");
    file.line("/Type /Pages");
    file.line("/Count " + QByteArray::number(m_pageObjects.size()));
    QByteArray kids = "/Kids [";
    for (int page : m_pageObjects)
        kids += QByteArray::number(page) + " 0 R ";
    file.line(kids.trimmed() + "]");
    file.line("/MediaBox [0 0 " + QByteArray::number(rpRound64(m_firstPageWidth)) + ' ' +
              QByteArray::number(rpRound64(m_firstPageHeight)) + "]");
    file.line("/Resources << ");
    file.line("/Font << ");
    for (const Resource &r : resources)
        file.line("  /" + r.name + ' ' + QByteArray::number(r.object) + " 0 R ");
    file.line("  >>");
    if (!images.empty()) {
        file.line("/XObject << ");
        for (const Resource &r : images)
            file.line("  /" + r.name + ' ' + QByteArray::number(r.object) + " 0 R ");
        file.line("  >>");
    }
    file.line("/ProcSet " + QByteArray::number(procSet) + " 0 R");
    file.line(">>");
    file.line(">>");
    file.endObject();

    const qint64 xref = file.offset();
    const int objects = file.objectCount();
    file.line("xref");
    file.line("0 " + QByteArray::number(objects + 1));
    file.line("0000000000 65535 f");
    for (qint64 offset : file.offsets())
        file.line(pdfnum::zeroPadded(offset, 10) + " 00000 n");
    file.line("trailer");
    file.line("<<");
    file.line("/Size " + QByteArray::number(objects + 1));
    file.line("/Root 1 0 R");
    file.line("/Info " + QByteArray::number(info) + " 0 R");
    file.line(">>");
    file.line("startxref");
    file.line(QByteArray::number(xref));
    file.line("%%EOF");
    // Programs of PostScript outlines came with version 1.6, soft masks with
    // 1.4; the header is as long either way, so the offsets stay.
    if (openTypeProgram || m_unicodeFonts.hasOpenTypeProgram())
        file.overwrite(0, "%PDF-1.6");
    else if (m_images.hasSoftMask())
        file.overwrite(0, "%PDF-1.4");
    m_output->commit();
}
