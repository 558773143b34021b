// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdffonts.h"

#include "pdf/codepages.h"
#include "pdf/glyphnames.h"
#include "pdf/pdffile.h"
#include "pdf/pdfnumbers.h"
#include "pdf/pdfstrings.h"
#include "pdf/pdfsyntax.h"
#include "platform/fonts.h"
#include "platform/rperror.h"

#include <QRegularExpression>

#include <cmath>

namespace pdffonts {

// --- keys ------------------------------------------------------------------------

QString FontKey::baseFont() const
{
    QString b = name;
    b.remove(QLatin1Char(' '));
    if (bold || italic)
        b += QLatin1Char(',') + QLatin1String(bold ? "Bold" : "") + QLatin1String(italic ? "Italic" : "");
    return b;
}

QString FontKey::key() const
{
    const QString style = QLatin1String(bold ? "B" : "") + QLatin1String(italic ? "I" : "");
    return name.trimmed() + QLatin1Char('\t') + style + QLatin1Char('\t') + QString::number(charset) +
           QLatin1Char('\t') + baseFont();
}

FontKey FontKey::of(const QString &name, bool bold, bool italic, int charset)
{
    return FontKey{name.trimmed(), bold, italic, charset};
}

FontKey FontKey::parse(const QString &key)
{
    const QStringList f = key.split(QLatin1Char('\t'));
    FontKey k;
    k.name = f.value(0);
    k.bold = f.value(1).contains(QLatin1Char('B'));
    k.italic = f.value(1).contains(QLatin1Char('I'));
    k.charset = f.value(2).toInt();
    return k;
}

QByteArray resourceName(int n) { return "F" + pdfnum::zeroPadded(n, 2); }

// --- standard fonts ------------------------------------------------------------------

QString standardFontName(const FontKey &font, const QStringList &substitutedFonts)
{
    static const char *const kFamilies[] = {"Courier", "Helvetica", "Times", "Symbol", "ZapfDingbats"};
    QString family = QStringLiteral("Courier");
    const QString lower = font.name.toLower();
    for (const QString &entry : substitutedFonts) {
        if (!entry.toLower().startsWith(lower))
            continue;
        QString standard = entry.mid(entry.indexOf(QLatin1Char(':')) + 1);
        if (!entry.contains(QLatin1Char(':')) || standard.isEmpty())
            standard = QStringLiteral("Courier");
        standard = standard.left(standard.indexOf(QLatin1Char('-')) < 0 ? standard.size() : standard.indexOf(QLatin1Char('-')));
        family = QStringLiteral("Courier");
        for (const char *f : kFamilies)
            if (standard.compare(QLatin1String(f), Qt::CaseInsensitive) == 0)
                family = QLatin1String(f);
        break;
    }
    const bool oblique = family == QLatin1String("Helvetica") || family == QLatin1String("Courier");
    QString name = family;
    if (font.bold || font.italic)
        name += QLatin1Char('-');
    if (font.bold)
        name += QLatin1String("Bold");
    if (font.italic)
        name += QLatin1String(oblique ? "Oblique" : "Italic");
    return name;
}

// --- TrueType fonts ----------------------------------------------------------------

namespace {

int be16(const QByteArray &b, qsizetype off)
{
    if (off < 0 || off + 2 > b.size())
        return 0;
    return (quint8(b[off]) << 8) | quint8(b[off + 1]);
}

quint32 be32(const QByteArray &b, qsizetype off)
{
    if (off < 0 || off + 4 > b.size())
        return 0;
    return (quint32(quint8(b[off])) << 24) | (quint32(quint8(b[off + 1])) << 16) |
           (quint32(quint8(b[off + 2])) << 8) | quint8(b[off + 3]);
}

gdi::LogFont logFontOf(const FontKey &font)
{
    gdi::LogFont lf;
    lf.faceName = font.name;
    lf.weight = font.bold ? gdi::FW_BOLD : gdi::FW_NORMAL;
    lf.italic = font.italic;
    lf.charSet = quint8(font.charset);
    lf.height = -1024;
    return lf;
}

int flagsOf(int familyClass)
{
    switch (familyClass) {
    case 0: return 4;
    case 8: return 32;
    case 10: return 40;
    case 12: return 4;
    default: return 34;
    }
}

bool isCffProgram(const QByteArray &program) { return program.startsWith("OTTO"); }

} // namespace

QByteArray encodingFor(const FontKey &font, const PdfDictionary &customEncodings)
{
    const QString base = font.baseFont();
    if (customEncodings.keyExists(base))
        return " <</Type/Encoding /Differences [ " + customEncodings.value(base).toUtf8() + " ]>>";
    const int cp = codepage::forCharset(font.charset);
    bool ok = true;
    codepage::decodeByte(cp, 'A', &ok);
    if (!ok)
        return "<</BaseEncoding /WinAnsiEncoding>>";
    QByteArray s = " <</Type/Encoding /Differences [ 2 ";
    for (int c = 2; c <= 255; ++c) {
        const char32_t ch = codepage::decodeByte(cp, quint8(c));
        const char *glyph = ch ? glyphnames::nameOf(ch) : nullptr;
        s += '/';
        s += glyph ? glyph : "space";
    }
    s += "]>>";
    return s;
}

TrueTypeMetrics measureTrueType(const FontKey &font, const PdfDictionary &customWidths,
                                const PdfDictionary &customEncodings)
{
    const gdi::LogFont lf = logFontOf(font);
    TrueTypeMetrics m;
    m.program = fonts::fontProgram(lf);
    if (m.program.isEmpty())
        throw RpError(RpErrorKind::NotAvailable, QString::fromLatin1(pdfstrings::kGetFontDataError));
    // The tables the descriptor takes its flags and box from.
    qsizetype os2 = -1, head = -1;
    const int tables = be16(m.program, 4);
    for (int i = 0; i < tables; ++i) {
        const qsizetype rec = 12 + qsizetype(i) * 16;
        const QByteArray tag = m.program.mid(rec, 4);
        if (tag == "OS/2")
            os2 = be32(m.program, rec + 8);
        else if (tag == "head")
            head = be32(m.program, rec + 8);
    }
    const fonts::OutlineMetrics om = fonts::outlineMetrics(lf, 1024);
    m.ascent = om.ascent;
    m.descent = om.descent;
    m.italicAngle = int(std::lround(om.italicAngle * 10));

    const QString base = font.baseFont();
    if (customWidths.keyExists(base)) {
        const QStringList pieces = customWidths.value(base).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (pieces.size() < 256)
            throw RpError(RpErrorKind::BadArgument, pdfstrings::notEnoughCustomWidths(int(pieces.size()), font.key()));
        for (int i = 0; i < 256; ++i) {
            bool isNumber = false;
            const int w = pieces[i].toInt(&isNumber);
            if (!isNumber)
                throw RpError(RpErrorKind::BadArgument, QStringLiteral("'%1' is not a valid integer value").arg(pieces[i]));
            m.widths.push_back(w);
        }
    } else {
        const int cp = codepage::forCharset(font.charset);
        QList<char32_t> chars;
        for (int c = 0; c < 256; ++c)
            chars.append(codepage::decodeByte(cp, quint8(c)));
        m.widths = fonts::advanceWidths(lf, chars, 1024);
        if (m.widths.size() != 256)
            throw RpError(RpErrorKind::NotAvailable, pdfstrings::widthsNotObtainable(font.name, QStringLiteral("no widths")));
    }
    m.flags = flagsOf(os2 >= 0 && os2 + 30 < m.program.size() ? quint8(m.program.at(os2 + 30)) : 0);
    if (head >= 0)
        for (int i = 0; i < 4; ++i)
            m.bbox[i] = qint16(quint16(be16(m.program, head + 36 + 2 * i)));
    m.encoding = encodingFor(font, customEncodings);
    return m;
}

// --- objects -----------------------------------------------------------------------

namespace {
bool embedded(FontHandling handling, const FontKey &font, const QStringList &embedFonts)
{
    return handling == FontHandling::fhAutoEmbed || embedFonts.contains(font.baseFont(), Qt::CaseInsensitive);
}
} // namespace

int objectCount(FontHandling handling, const FontKey &font, const QStringList &embedFonts)
{
    if (handling == FontHandling::fhSubstitute)
        return 1;
    return embedded(handling, font, embedFonts) ? 4 : 2;
}

bool writeFontObjects(PdfFile &file, int n, const FontKey &font, FontHandling handling,
                      const QStringList &substitutedFonts, const QStringList &embedFonts,
                      const PdfDictionary &customWidths, const PdfDictionary &customEncodings)
{
    if (handling == FontHandling::fhSubstitute) {
        file.beginObject();
        file.line("<<");
        file.line("/Type /Font");
        file.line("/Subtype /Type1");
        file.line("/Name /" + resourceName(n));
        file.line("/BaseFont " + pdfsyntax::name(standardFontName(font, substitutedFonts)));
        file.line("/Encoding /WinAnsiEncoding");
        file.line(">>");
        file.endObject();
        return false;
    }
    const TrueTypeMetrics m = measureTrueType(font, customWidths, customEncodings);
    const bool embed = embedded(handling, font, embedFonts);
    // A program of PostScript outlines (CFF) goes in as an OpenType font,
    // under a Type 1 font: readers refuse it under a TrueType one.
    const bool cff = isCffProgram(m.program);
    const int q = file.beginObject();
    file.line("<<");
    file.line("/Type /Font");
    file.line(embed && cff ? "/Subtype /Type1" : "/Subtype /TrueType");
    file.line("/Name /" + resourceName(n));
    file.line("/BaseFont " + pdfsyntax::name(font.baseFont()));
    file.line("/FirstChar " + QByteArray::number(m.firstChar));
    file.line("/LastChar " + QByteArray::number(m.lastChar));
    file.line("/Widths [ ");
    QByteArray widths;
    widths.reserve(256 * 5);
    for (int w : m.widths) {
        widths += QByteArray::number(w);
        widths += ' ';
    }
    file.line(widths + " ]");
    file.line("/Encoding " + m.encoding);
    file.line("/FontDescriptor " + QByteArray::number(q + 1) + " 0 R");
    file.line(">>");
    file.endObject();

    file.beginObject();
    file.line("<<");
    file.line("/Type /FontDescriptor");
    file.line("/Ascent " + QByteArray::number(m.ascent));
    file.line("/Descent " + QByteArray::number(m.descent));
    file.line("/Flags " + QByteArray::number(m.flags));
    file.line("/FontBBox [ " + QByteArray::number(m.bbox[0]) + ' ' + QByteArray::number(m.bbox[1]) + ' ' +
              QByteArray::number(m.bbox[2]) + ' ' + QByteArray::number(m.bbox[3]) + " ]");
    file.line("/FontName /" + resourceName(n));
    file.line("/ItalicAngle " + QByteArray::number(m.italicAngle));
    if (embed)
        file.line(QByteArray(cff ? "/FontFile3 " : "/FontFile2 ") + QByteArray::number(q + 2) + " 0 R");
    file.line(">>");
    file.endObject();
    if (!embed)
        return false;

    file.beginObject();
    file.line("<<");
    const QByteArray length = QByteArray::number(q + 3) + " 0 R";
    if (cff)
        file.line("/Length " + length + " /Subtype /OpenType ");
    else
        file.line("/Length " + length + " /Length1 " + length + ' ');
    file.line(">>");
    file.line("stream");
    file.raw(m.program);
    file.line("");
    file.line("endstream");
    file.endObject();

    file.beginObject();
    file.line("   " + QByteArray::number(m.program.size()));
    file.endObject();
    return cff;
}

} // namespace pdffonts
