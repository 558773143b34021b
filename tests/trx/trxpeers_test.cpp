// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What xmllint makes of our documents: every one is valid against its own
// definition, in each encoding, with no warning beyond the one the
// definition itself causes; and the documents tovrel-sheet and tovrel-tool
// write keep their text, whatever the locale.
#include "trxdocs.h"
#include "exampledb.h"

#include "printer/exportpicture.h"
#include "report/rpshape.h"
#include "trx/xdocumentfilter.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using trxdocs::attribute;
using trxdocs::run;

namespace {

const QString kSheet = QStringLiteral(TOVREL_BINARY_DIR "/sheet/tovrel-sheet");
const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");

class Picture : public QWidget, public RpExportPicture {
public:
    Picture()
    {
        m_image = QImage(24, 16, QImage::Format_RGB32);
        m_image.fill(qRgb(200, 30, 30));
        resize(m_image.size());
    }
    ExportPictureRec exportPicture(double, double) const override
    {
        return {m_image, 0, 0, double(m_image.width()), double(m_image.height())};
    }

private:
    QImage m_image;
};

// A two-page document holding every kind of item, text that needs escaping
// and Chinese text, in the given encoding.
QByteArray everyItem(TextEncoding encoding)
{
    const TextEncoding saved = RpXAbstractExportFilter::textEncoding();
    RpXAbstractExportFilter::setTextEncoding(encoding);
    RpXDocumentFilter f;
    f.setDocumentProperties(QStringLiteral("Li & Wong"), QStringLiteral("班別：<1>"), QString());
    RpFont font;
    font.name = QStringLiteral("TW-Kai");
    f.start(2100, 2970, &font);
    f.endPage();
    f.newPage();
    f.textOut(100, 100, font, 0xFFFFFF, Alignment::taLeftJustify, QStringLiteral("班別：永遠 <&> \"'"));
    RpShape box;
    box.setObjectName(QStringLiteral("Frame"));
    box.setDeviceBounds({0, 0, 200, 100});
    f.acceptGraphic(10, 10, &box);
    box.setShape(RpShapeType::rpsHorLine);
    f.acceptGraphic(10, 10, &box);
    Picture picture;
    f.acceptGraphic(30, 30, &picture);
    f.setCompressImages(false);
    f.acceptGraphic(60, 30, &picture);
    QWidget band;
    band.resize(700, 40);
    f.acceptBand(&band, 100, 100, 0);
    f.setOnImageURLNeeded([](RpXDocumentFilter *, QWidget *, bool &use, QString &url) {
        use = true;
        url = QStringLiteral("a.bmp");
    });
    f.acceptGraphic(90, 30, &picture);
    f.endPage();
    f.newPage();
    f.textOut(100, 100, font, 0xFFFFFF, Alignment::taCenter, QStringLiteral("2"));
    f.endPage();
    f.finish();
    RpXAbstractExportFilter::setTextEncoding(saved);
    return f.documentBytes();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void expectValid(const QString &path)
{
    const trxdocs::Lint lint = trxdocs::xmllint(path);
    EXPECT_EQ(lint.code, 0) << lint.unexpected.join(u'\n').toStdString();
    EXPECT_TRUE(lint.unexpected.isEmpty()) << lint.unexpected.join(u'\n').toStdString();
    // Item's Height is declared twice; nothing else is out of place.
    EXPECT_EQ(lint.expected.size(), 1);
}

QString readUtf8(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(TrxPeers, DocumentsAreValidInEveryEncodingXmllintReads)
{
    QTemporaryDir dir;
    for (const TextEncoding e : {TextEncoding::UTF8Encoding, TextEncoding::UnicodeEncoding,
                                 TextEncoding::BigEndianUnicodeEncoding, TextEncoding::ASCIIEncoding,
                                 TextEncoding::DefaultEncoding}) {
        SCOPED_TRACE(int(e));
        const QString path = dir.filePath(QStringLiteral("doc%1.trx").arg(int(e)));
        ASSERT_TRUE(write(path, everyItem(e)));
        expectValid(path);
        // xmllint reads the text back as we wrote it.
        const auto text = run(QStringLiteral("xmllint"),
                              {QStringLiteral("--xpath"), QStringLiteral("string(/TXDocument/Page[1]/Item[1])"), path});
        EXPECT_EQ(QString::fromUtf8(text.out).trimmed(), QStringLiteral("班別：永遠 <&> \"'"));
        const auto title = run(QStringLiteral("xmllint"),
                               {QStringLiteral("--xpath"), QStringLiteral("string(/TXDocument/Header/Title)"), path});
        EXPECT_EQ(QString::fromUtf8(title.out).trimmed(), QStringLiteral("班別：<1>"));
    }
}

TEST(TrxPeers, AWorksheetDocumentKeepsItsTextAndIsValid)
{
    ASSERT_TRUE(QFile::exists(kSheet));
    QTemporaryDir dir;
    const QString trx = dir.filePath(QStringLiteral("w.trx"));
    const auto made = run(kSheet, {QStringLiteral("永遠"), QStringLiteral("-o"), trx});
    ASSERT_EQ(made.code, 0) << made.err.constData();
    EXPECT_EQ(QString::fromUtf8(made.out).trimmed(), trx);
    expectValid(trx);
    const QStringList l = trxdocs::lines([&] {
        QFile f(trx);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }());
    EXPECT_TRUE(l.contains(QStringLiteral("班別："))) << l.join(u'\n').left(4000).toStdString();
    // The word's characters fill cells of their own, each a text item.
    EXPECT_TRUE(l.contains(QStringLiteral("永")));
    EXPECT_TRUE(l.contains(QStringLiteral("遠")));
    EXPECT_EQ(l.count(QStringLiteral("<Page Number=\"1\">")), 1);
    EXPECT_EQ(l.filter(QStringLiteral("<Page Number=")).size(), 1);
    // Text items name the label they come from.
    for (const QString &line : l.filter(QStringLiteral("<Item Type=\"Text\"")))
        EXPECT_FALSE(attribute(line, QStringLiteral("CID")).isEmpty()) << line.toStdString();
    EXPECT_FALSE(l.filter(QStringLiteral("<Item Type=\"Band\"")).isEmpty());

    // Two words are two pages of one document.
    const QString two = dir.filePath(QStringLiteral("two.trx"));
    ASSERT_EQ(run(kSheet, {QStringLiteral("永遠"), QStringLiteral("大"), QStringLiteral("-o"), two}).code, 0);
    const QString both = readUtf8(two);
    EXPECT_TRUE(both.contains(QStringLiteral("<Page Number=\"2\">")));
    EXPECT_FALSE(both.contains(QStringLiteral("<Page Number=\"3\">")));
    EXPECT_EQ(both.count(QStringLiteral("<TXDocument>")), 1);
    expectValid(two);
}

TEST(TrxPeers, NumbersInADocumentMadeUnderADecimalCommaLocale)
{
    ASSERT_TRUE(QFile::exists(kSheet));
    if (!run(QStringLiteral("locale"), {QStringLiteral("-a")}).out.toLower().contains("de_de.utf8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (scripts/install-deps makes it)";
    QTemporaryDir dir;
    const QString trx = dir.filePath(QStringLiteral("de.trx"));
    const auto made = run(kSheet, {QStringLiteral("永"), QStringLiteral("-o"), trx},
                          {QStringLiteral("LC_ALL=de_DE.UTF-8"), QStringLiteral("LANG=de_DE.UTF-8")});
    ASSERT_EQ(made.code, 0) << made.err.constData();
    const QString doc = readUtf8(trx);
    const QRegularExpression number(QStringLiteral(" (X|Y|Width|Height|LW|Pagewidth)=\"([^\"]*)\""));
    int checked = 0;
    for (auto it = number.globalMatch(doc); it.hasNext(); ++checked) {
        const auto m = it.next();
        EXPECT_FALSE(m.captured(2).contains(u',')) << m.captured(0).toStdString();
    }
    EXPECT_GT(checked, 20);
    EXPECT_TRUE(doc.contains(QStringLiteral("Pagewidth=\"2100.00\"")));
}

TEST(TrxPeers, AReportWithDataThroughTovrelTool)
{
    ASSERT_TRUE(QFile::exists(kTool));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("students.csv"));
    ASSERT_TRUE(write(csv, "class,seatrow:integer,name,score:integer,note\n"
                           "3A,1,Ann,90,\n3A,1,Ben,80,Reads & writes\n3B,2,Chen,70,\n"));
    const QString trx = dir.filePath(QStringLiteral("list.trx"));
    const auto made = run(kTool, {QStringLiteral("report"), QStringLiteral("run"), example::path(QStringLiteral("classlist.txt")),
                                  QStringLiteral("--table"), csv, QStringLiteral("-o"), trx});
    ASSERT_EQ(made.code, 0) << made.err.constData();
    expectValid(trx);
    const QStringList l = trxdocs::lines([&] {
        QFile f(trx);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }());
    EXPECT_TRUE(l.contains(QStringLiteral("Students by class and seat row")));
    EXPECT_TRUE(l.contains(QStringLiteral("Reads &amp; writes")));
    // Each student's line is an item of the detail record it was printed on.
    int record = 0;
    for (const QString &name : {QStringLiteral("Ann"), QStringLiteral("Ben"), QStringLiteral("Chen")}) {
        const int at = l.indexOf(name);
        ASSERT_GT(at, 0) << name.toStdString();
        EXPECT_EQ(attribute(l[at - 1], QStringLiteral("DBR")).toInt(), ++record) << l[at - 1].toStdString();
        EXPECT_FALSE(attribute(l[at - 1], QStringLiteral("CID")).isEmpty());
    }
    EXPECT_GE(l.filter(QStringLiteral("<Item Type=\"Band\"")).size(), 5);
}
