// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text encodings of XML report documents, and the small formats the
// items are written in.
#include "trxdocs.h"

#include "report/rpfont.h"
#include "trx/documentencoding.h"
#include "trx/trxformat.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kLines{QStringLiteral("<Item Font=\"Kai\">"), QString(), QStringLiteral("班別：永遠 a+b=c ~\\ 😀"),
                         QStringLiteral("</Item>")};
const QString kText = QStringLiteral("<Item Font=\"Kai\">\r\n班別：永遠 a+b=c ~\\ 😀\r\n</Item>\r\n");

} // namespace

TEST(TrxEncoding, UnicodeEncodingsCarryAByteOrderMarkAndEveryCharacter)
{
    struct Case {
        TextEncoding encoding;
        QByteArray bom;
        QStringConverter::Encoding codec;
    };
    for (const Case &c : {Case{TextEncoding::UnicodeEncoding, QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
                          Case{TextEncoding::BigEndianUnicodeEncoding, QByteArray("\xFE\xFF"), QStringConverter::Utf16BE},
                          Case{TextEncoding::UTF8Encoding, QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8},
                          Case{TextEncoding::DefaultEncoding, QByteArray(), QStringConverter::Utf8},
                          Case{TextEncoding::AnsiEncoding, QByteArray(), QStringConverter::Utf8}}) {
        SCOPED_TRACE(trxencoding::name(c.encoding).toStdString());
        const QByteArray bytes = trxencoding::encodeLines(kLines, c.encoding);
        if (c.bom.isEmpty())
            EXPECT_EQ(bytes.left(1), "<");
        else
            EXPECT_TRUE(bytes.startsWith(c.bom));
        QStringDecoder dec(c.codec);
        const QString back = dec.decode(bytes.mid(c.bom.size()));
        EXPECT_FALSE(dec.hasError());
        // The empty line is left out.
        EXPECT_EQ(back, kText);
    }
}

TEST(TrxEncoding, AsciiKeepsTheTextAsCharacterReferences)
{
    const QByteArray bytes = trxencoding::encodeLines(kLines, TextEncoding::ASCIIEncoding);
    for (const char b : bytes)
        ASSERT_LT(static_cast<unsigned char>(b), 0x80);
    EXPECT_TRUE(bytes.contains("&#x73ED;&#x5225;&#xFF1A;&#x6C38;&#x9060; a+b=c ~\\ &#x1F600;\r\n")) << bytes.constData();
}

// Python's own UTF-7 codec reads ours back.
TEST(TrxEncoding, Utf7ReadsBackInAnotherDecoder)
{
    const QByteArray bytes = trxencoding::encodeLines(kLines, TextEncoding::UTF7Encoding);
    for (const char b : bytes)
        ASSERT_LT(static_cast<unsigned char>(b), 0x80);
    // Markup stays as it is; a plus sign is "+-".
    EXPECT_TRUE(bytes.startsWith("<Item Font=\"Kai\">\r\n+")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("a+-b=c"));
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("doc.utf7"));
    QFile f(in);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const auto r = trxdocs::run(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys; sys.stdout.buffer.write(open(sys.argv[1],'rb').read().decode('utf-7').encode('utf-8'))"),
         in});
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(QString::fromUtf8(r.out), kText);
    // Runs of every length end where they should.
    for (const QString &s : {QStringLiteral("班"), QStringLiteral("班別"), QStringLiteral("班別："), QStringLiteral("é-"),
                             QStringLiteral("éA"), QStringLiteral("~")}) {
        const QByteArray u = trxencoding::toUtf7(s);
        QFile g(in);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly | QIODevice::Truncate));
        g.write(u);
        g.close();
        const auto back = trxdocs::run(
            QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys; sys.stdout.buffer.write(open(sys.argv[1],'rb').read().decode('utf-7').encode('utf-8'))"),
             in});
        EXPECT_EQ(QString::fromUtf8(back.out), s) << u.constData();
    }
}

TEST(TrxEncoding, NamesOfTheEncodings)
{
    TextEncoding e = TextEncoding::AnsiEncoding;
    EXPECT_TRUE(trxencoding::fromName(QStringLiteral("utf8encoding"), e));
    EXPECT_EQ(e, TextEncoding::UTF8Encoding);
    EXPECT_EQ(trxencoding::name(TextEncoding::BigEndianUnicodeEncoding), u"BigEndianUnicodeEncoding");
    EXPECT_FALSE(trxencoding::fromName(QStringLiteral("UTF-8"), e));
    EXPECT_EQ(e, TextEncoding::UTF8Encoding);
}

TEST(TrxFormat, ColoursNumbersAndHexadecimalLines)
{
    using namespace trxformat;
    EXPECT_EQ(colour(0x0000FF), u"#FF0000");
    EXPECT_EQ(colour(0x00FF00), u"#00FF00");
    EXPECT_EQ(colour(0x563412), u"#123456");
    EXPECT_EQ(colour(0xFFFFFF), u"#FFFFFF");
    // A system colour is the colour it stands for, not its index.
    EXPECT_EQ(colour(rpcolor::clBtnFace), colour(rpcolor::resolve(rpcolor::clBtnFace)));
    EXPECT_NE(colour(rpcolor::clBtnFace), u"#0F0000");

    EXPECT_EQ(fixed(2100, 2, 6), u"2100.00");
    EXPECT_EQ(fixed(21, 2, 6), u" 21.00");
    EXPECT_EQ(fixed(1.005, 2, -4), u"1.00"); // the binary value is below 1.005
    EXPECT_EQ(fixed(-3.5, 2, -4), u"-3.50");
    EXPECT_EQ(fixed(0.5, 2, -6), u"0.50  ");
    EXPECT_EQ(fixed(1, 3, 6), u" 1.000");
    EXPECT_EQ(integer(0, 3), u"  0");
    EXPECT_EQ(integer(-900), u"-900");

    EXPECT_TRUE(hexLines({}).isEmpty());
    QByteArray data(5000, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    const QStringList lines = hexLines(data);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].size(), 4096);
    EXPECT_EQ(lines[1].size(), 4096);
    EXPECT_EQ(lines[2].size(), 10000 - 8192);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("00070E151C232A31383F464D545B6269")));
    EXPECT_EQ(QByteArray::fromHex(lines.join(QString()).toLatin1()), data);
}
