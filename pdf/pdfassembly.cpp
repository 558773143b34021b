// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole document, put together at finish: header, catalogue, outlines,
// page tree, pages and their contents, fonts, information, procedure set,
// cross-reference table and trailer, with the byte offset of every object.
#include "pdf/pdfdocumentfilter.h"

#include "pdf/pdffile.h"
#include "pdf/pdfnumbers.h"
#include "pdf/pdfsyntax.h"
#include "platform/locale.h"

QByteArray RpPDFDocumentFilter::assemble()
{
    endCurrentPage();
    const int pages = int(m_pages.size());
    std::vector<pdffonts::FontKey> fonts;
    for (const QString &key : m_reportFonts)
        fonts.push_back(pdffonts::FontKey::parse(key));
    // Object numbers: the pages and their contents from 4, then the fonts,
    // the Unicode fonts, the information and the procedure set.
    const int firstFont = 2 * pages + 4;
    std::vector<int> fontObject;
    int next = firstFont;
    for (const pdffonts::FontKey &f : fonts) {
        fontObject.push_back(next);
        next += pdffonts::objectCount(m_fontHandling, f, m_embedFonts);
    }
    const int firstUnicodeFont = next;
    next += m_unicodeFonts.count() * PdfUnicodeFonts::kObjectsPerFont;
    std::vector<int> imageObject;
    for (int i = 0; i < m_images.count(); ++i) {
        imageObject.push_back(next);
        next += m_images.objectCount(i);
    }
    const int info = next;
    const int procSet = info + 1;

    PdfFile file;
    // Programs of PostScript outlines came with version 1.6.
    file.line(m_unicodeFonts.hasOpenTypeProgram() ? "%PDF-1.6" : "%PDF-1.3");
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

    file.beginObject();
    file.line("<<");
    file.line("/Type /Pages");
    file.line("/Count " + QByteArray::number(pages));
    QByteArray kids = "/Kids [";
    for (int k = 1; k <= pages; ++k)
        kids += QByteArray::number(2 * k + 2) + " 0 R ";
    file.line(kids.trimmed() + "]");
    file.line("/MediaBox [0 0 " + QByteArray::number(rpRound64(m_pages.front().width)) + ' ' +
              QByteArray::number(rpRound64(m_pages.front().height)) + "]");
    file.line("/Resources << ");
    file.line("/Font << ");
    for (size_t i = 0; i < fonts.size(); ++i)
        file.line("  /" + pdffonts::resourceName(int(i)) + ' ' + QByteArray::number(fontObject[i]) + " 0 R ");
    for (int i = 0; i < m_unicodeFonts.count(); ++i)
        file.line("  /" + PdfUnicodeFonts::resourceName(i) + ' ' +
                  QByteArray::number(firstUnicodeFont + i * PdfUnicodeFonts::kObjectsPerFont) + " 0 R ");
    file.line("  >>");
    if (m_images.count() > 0) {
        file.line("/XObject << ");
        for (int i = 0; i < m_images.count(); ++i)
            file.line("  /" + PdfImages::resourceName(i) + ' ' + QByteArray::number(imageObject[size_t(i)]) + " 0 R ");
        file.line("  >>");
    }
    file.line("/ProcSet " + QByteArray::number(procSet) + " 0 R");
    file.line(">>");
    file.line(">>");
    file.endObject();

    for (int k = 1; k <= pages; ++k) {
        const Page &p = m_pages[size_t(k - 1)];
        file.beginObject();
        file.line("<<");
        file.line("/Type /Page");
        file.line("/Parent 3 0 R");
        file.line("/Contents " + QByteArray::number(2 * k + 3) + " 0 R");
        file.line("/MediaBox [0 0 " + QByteArray::number(rpRound64(p.width)) + ' ' +
                  QByteArray::number(rpRound64(p.height)) + "]");
        file.line(">>");
        file.endObject();

        if (p.outlines) {
            const QByteArray content = m_textFirst ? "BT\r\n" + p.text + p.graphics : p.graphics + "BT\r\n" + p.text;
            file.streamObject(pdfsyntax::deflate(content), "/Filter /FlateDecode");
            continue;
        }
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

    bool openTypeProgram = false;
    for (size_t i = 0; i < fonts.size(); ++i)
        openTypeProgram |= pdffonts::writeFontObjects(file, int(i), fonts[i], m_fontHandling, m_substitutedFonts,
                                                      m_embedFonts, m_customWidths, m_customEncodings);
    for (int i = 0; i < m_unicodeFonts.count(); ++i)
        m_unicodeFonts.writeObjects(file, i);
    for (int i = 0; i < m_images.count(); ++i)
        m_images.writeObjects(file, i);
    // The header is as long either way: the offsets stay. Soft masks came
    // with version 1.4.
    if (openTypeProgram)
        file.bytes().replace(0, 8, "%PDF-1.6");
    else if (m_images.hasSoftMask() && file.bytes().startsWith("%PDF-1.3"))
        file.bytes().replace(0, 8, "%PDF-1.4");

    // The information: the creation date in the user's formats.
    const QDateTime now = m_clock();
    QString date = now.date().toString(rplocale::shortDateFormat());
    if (now.time() != QTime(0, 0))
        date += QLatin1Char(' ') + now.time().toString(rplocale::longTimeFormat());
    file.beginObject();
    file.line("<<");
    file.line("/CreationDate " + pdfsyntax::textString(date));
    file.line("/Producer (Tovrel PDF Export)");
    file.line("/Subject " + pdfsyntax::textString(m_docSubject + QLatin1Char(' ')));
    file.line("/Creator " + pdfsyntax::textString(m_docCreator));
    file.line("/Title " + pdfsyntax::textString(m_docTitle));
    file.line("/Author " + pdfsyntax::textString(m_docAuthor));
    file.line(">>");
    file.endObject();

    file.beginObject();
    file.line("[/PDF /Text]");
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
    file.line("/Info " + QByteArray::number(objects - 1) + " 0 R");
    file.line(">>");
    file.line("startxref");
    file.line(QByteArray::number(xref));
    file.line("%%EOF");
    return std::move(file.bytes());
}
