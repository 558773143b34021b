// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The picture loaders: JPEG through libjpeg-turbo agrees with djpeg and
// ImageMagick on files from other encoders; bitmaps agree with ImageMagick
// and keep their palettes; damaged bytes of every kind give a damaged
// picture with a reason, never a crash; the stored form gives back what it
// was given, damaged or not.
#include "../testsupport.h"
#include "platform/emf/emfdib.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"
#include "platform/picture/bmpreader.h"
#include "platform/picture/jpegdecoder.h"
#include "platform/picture/picture.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QString pictureFile(const QString &name) { return testsupport::testdata(QStringLiteral("pictures/") + name); }
QByteArray pictureBytes(const QString &name) { return testsupport::readFile(pictureFile(name)); }

// A PPM (P6) or PGM (P5) of 8-bit samples, as RGB32.
QImage readNetpbm(const QByteArray &data)
{
    QList<QByteArray> fields;
    qsizetype pos = 0;
    while (fields.size() < 4 && pos < data.size()) {
        while (pos < data.size() && QChar::isSpace(uchar(data[pos])))
            ++pos;
        if (pos < data.size() && data[pos] == '#') {
            while (pos < data.size() && data[pos] != '\n')
                ++pos;
            continue;
        }
        const qsizetype start = pos;
        while (pos < data.size() && !QChar::isSpace(uchar(data[pos])))
            ++pos;
        fields << data.mid(start, pos - start);
    }
    ++pos; // the single white space before the samples
    if (fields.size() < 4 || fields[3] != "255")
        return {};
    const bool grey = fields[0] == "P5";
    const int w = fields[1].toInt(), h = fields[2].toInt(), n = grey ? 1 : 3;
    if (data.size() - pos < qsizetype(w) * h * n)
        return {};
    QImage img(w, h, QImage::Format_RGB32);
    const uchar *s = reinterpret_cast<const uchar *>(data.constData() + pos);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, s += n)
            img.setPixel(x, y, grey ? qRgb(s[0], s[0], s[0]) : qRgb(s[0], s[1], s[2]));
    return img;
}

QByteArray runPeer(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

// The largest difference of any channel of any pixel; -1 when the sizes
// differ.
int maxDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            worst = std::max({worst, std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                              std::abs(qBlue(p[col]) - qBlue(q[col]))});
    }
    return worst;
}

const QStringList kJpegs{"smiley-baseline-420.jpg", "header-baseline-444.jpg", "stripe-progressive-444.jpg",
                         "python-small.jpg",        "board-progressive-422.jpg", "board-restart.jpg",
                         "board-arithmetic.jpg",    "smiley-grey.jpg",          "smiley-cmyk.jpg"};

TEST(PictureJpeg, PixelsAgreeWithDjpegAndImageMagick)
{
    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"), {QStringLiteral("/usr/bin")});
    ASSERT_FALSE(djpeg.isEmpty()) << "djpeg (libjpeg-turbo-progs) is installed by scripts/install-deps";
    ASSERT_FALSE(convert.isEmpty()) << "ImageMagick is installed by scripts/install-deps";
    for (const QString &name : kJpegs) {
        SCOPED_TRACE(name.toStdString());
        QString error;
        const QImage ours = jpeg::decode(pictureBytes(name), &error);
        ASSERT_FALSE(ours.isNull()) << error.toStdString();
        int w = 0, h = 0;
        ASSERT_TRUE(jpeg::readSize(pictureBytes(name), &w, &h, &error));
        EXPECT_EQ(QSize(w, h), ours.size());
        EXPECT_EQ(ours.format() == QImage::Format_Grayscale8, name.contains(QStringLiteral("grey")));

        const QImage byDjpeg = readNetpbm(runPeer(djpeg, {pictureFile(name)}));
        ASSERT_FALSE(byDjpeg.isNull());
        EXPECT_EQ(maxDifference(ours, byDjpeg), 0);

        const QImage byMagick = readNetpbm(runPeer(convert, {pictureFile(name), QStringLiteral("-depth"),
                                                             QStringLiteral("8"), QStringLiteral("ppm:-")}));
        ASSERT_FALSE(byMagick.isNull());
        const int d = maxDifference(ours, byMagick);
        EXPECT_GE(d, 0);
        EXPECT_LE(d, 1);
    }
}

TEST(PictureJpeg, TruncatedOrHugeJpegsFailWithAReason)
{
    const QByteArray whole = pictureBytes(QStringLiteral("board-progressive-422.jpg"));
    ASSERT_GT(whole.size(), 1000);
    for (qsizetype cut : {qsizetype(3), qsizetype(20), qsizetype(200), whole.size() / 2, whole.size() - 2}) {
        QString error;
        EXPECT_TRUE(jpeg::decode(whole.left(cut), &error).isNull()) << cut;
        EXPECT_TRUE(error.startsWith(QStringLiteral("damaged JPEG data: "))) << error.toStdString();
        const Picture p = Picture::fromBytes(whole.left(cut));
        EXPECT_EQ(p.kind(), Picture::Kind::Jpeg);
        EXPECT_TRUE(p.damaged());
        EXPECT_EQ(p.width(), 0);
    }
    // A frame header asking for 65000 x 65000 pixels is refused before any
    // pixel memory is taken.
    QByteArray huge = pictureBytes(QStringLiteral("python-small.jpg"));
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    qToBigEndian<quint16>(65000, huge.data() + sof + 5);
    qToBigEndian<quint16>(65000, huge.data() + sof + 7);
    QString error;
    EXPECT_TRUE(jpeg::decode(huge, &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("too large"))) << error.toStdString();
}

TEST(PictureBitmap, BitmapsAgreeWithImageMagickAndKeepTheirPalettes)
{
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"), {QStringLiteral("/usr/bin")});
    ASSERT_FALSE(convert.isEmpty());
    const struct {
        const char *name;
        bool indexed;
    } files[] = {{"smiley-rgb24.bmp", false}, {"smiley-pal8.bmp", true}, {"smiley-pal4.bmp", true},
                 {"smiley-rle8.bmp", true}};
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        const Picture p = Picture::fromBytes(pictureBytes(QString::fromLatin1(f.name)));
        ASSERT_TRUE(p.isBitmap()) << p.error().toStdString();
        EXPECT_EQ(!p.palette().isEmpty(), f.indexed);
        const QImage byMagick = readNetpbm(runPeer(convert, {pictureFile(QString::fromLatin1(f.name)),
                                                             QStringLiteral("-depth"), QStringLiteral("8"),
                                                             QStringLiteral("ppm:-")}));
        EXPECT_EQ(maxDifference(p.image(), byMagick), 0);
        // Written again as a bitmap file, the picture reads back the same.
        const Picture again = Picture::fromBytes(bmp::encode(p.image()));
        EXPECT_EQ(maxDifference(again.image(), p.image()), 0);
        EXPECT_EQ(again.palette(), p.palette());
    }
}

TEST(PictureBitmap, DamagedBitmapsFailWithAReason)
{
    const QByteArray whole = pictureBytes(QStringLiteral("smiley-pal8.bmp"));
    QByteArray badOffset = whole;
    qToLittleEndian<quint32>(quint32(whole.size() + 10), badOffset.data() + 10);
    for (const QByteArray &bytes : {whole.left(10), whole.left(60), whole.left(whole.size() - 100), badOffset}) {
        const Picture p = Picture::fromBytes(bytes);
        EXPECT_EQ(p.kind(), Picture::Kind::Bitmap);
        EXPECT_TRUE(p.damaged()) << bytes.size();
        EXPECT_TRUE(p.error().startsWith(QStringLiteral("damaged bitmap"))) << p.error().toStdString();
    }
    // A bare device-independent bitmap (no file header) reads as a bitmap.
    const Picture bare = Picture::fromBytes(whole.mid(14));
    EXPECT_TRUE(bare.isBitmap()) << bare.error().toStdString();
    EXPECT_EQ(bare.width(), 60);
}

TEST(Picture, KindsSizesAndTheStoredFormRoundTrip)
{
    const QByteArray emfBytes = testsupport::readFile(testsupport::testdata(QStringLiteral("emf-corpus/emf/test-000.emf")));
    ASSERT_FALSE(emfBytes.isEmpty());
    const struct {
        QByteArray bytes;
        Picture::Kind kind;
        const char *tag;
    } cases[] = {
        {pictureBytes(QStringLiteral("smiley-baseline-420.jpg")), Picture::Kind::Jpeg, "TJPEGImage"},
        {pictureBytes(QStringLiteral("smiley-rgb24.bmp")), Picture::Kind::Bitmap, "TBitmap"},
        {pictureBytes(QStringLiteral("smiley.png")), Picture::Kind::Other, "TPNGImage"},
        {emfBytes, Picture::Kind::Metafile, "TMetafile"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tag);
        const Picture p = Picture::fromBytes(c.bytes);
        ASSERT_FALSE(p.damaged()) << p.error().toStdString();
        EXPECT_EQ(p.kind(), c.kind);
        EXPECT_GT(p.width(), 0);
        EXPECT_GT(p.height(), 0);
        const QByteArray stored = p.storedData();
        EXPECT_EQ(stored.mid(1, uchar(stored[0])), QByteArray(c.tag));
        const Picture back = Picture::fromStoredData(stored);
        EXPECT_EQ(back.kind(), c.kind);
        EXPECT_EQ(back.bytes(), c.bytes);
        EXPECT_EQ(back.storedData(), stored);
    }
    EXPECT_TRUE(Picture::fromBytes({}).isEmpty());
    EXPECT_TRUE(Picture::fromStoredData({}).isEmpty());
    EXPECT_TRUE(Picture::fromBytes("not a picture at all").damaged());

    // Stored forms that do not hold together: damaged, and written back as read.
    const QByteArray good = Picture::fromBytes(pictureBytes(QStringLiteral("python-small.jpg"))).storedData();
    QByteArray unknownTag = good;
    unknownTag[1] = 'X';
    QByteArray longer = good;
    qToLittleEndian<quint32>(quint32(good.size()), longer.data() + 1 + uchar(good[0]));
    QByteArray damagedJpeg = good;
    damagedJpeg.chop(100);
    qToLittleEndian<quint32>(quint32(damagedJpeg.size() - 1 - uchar(good[0]) - 4),
                             damagedJpeg.data() + 1 + uchar(good[0]));
    for (const QByteArray &data : {good.left(3), unknownTag, longer, damagedJpeg}) {
        const Picture p = Picture::fromStoredData(data);
        EXPECT_TRUE(p.damaged());
        EXPECT_FALSE(p.error().isEmpty());
        EXPECT_EQ(p.storedData(), data);
    }
}

TEST(Picture, DamagedMetafileRecordsFailTheDrawingNotTheProcess)
{
    // A metafile whose header reads but whose records are cut short: the
    // picture loads (only the header is checked then); drawing it reports
    // the damage.
    QByteArray emf = testsupport::readFile(testsupport::testdata(QStringLiteral("emf-corpus/emf/test-000.emf")));
    ASSERT_GT(emf.size(), 400);
    const quint32 headerSize = qFromLittleEndian<quint32>(emf.constData() + 4);
    emf.truncate(headerSize + 12);
    const Picture p = Picture::fromBytes(emf);
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    PainterCanvas canvas(&img);
    QString error;
    if (!p.damaged()) {
        EXPECT_FALSE(p.stretchDraw(canvas, {0, 0, 50, 50}, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("damaged metafile"))) << error.toStdString();
    } else {
        EXPECT_TRUE(p.error().startsWith(QStringLiteral("damaged metafile"))) << p.error().toStdString();
    }
}

TEST(Picture, AnIndexedBitmapIsRecordedWithItsColourTable)
{
    const Picture p = Picture::fromBytes(pictureBytes(QStringLiteral("smiley-pal8.bmp")));
    ASSERT_FALSE(p.palette().isEmpty());
    const emf::Dib dib = emf::imageToDib(p.image());
    EXPECT_EQ(qFromLittleEndian<quint16>(dib.bmi.constData() + 14), 8);
    EXPECT_EQ(dib.bmi.size(), 40 + 4 * p.palette().size());
    QList<QRgb> palette;
    const QImage back = emf::dibToImage(dib.bmi, dib.bits, nullptr, &palette);
    EXPECT_EQ(palette, p.palette());
    EXPECT_EQ(maxDifference(back, p.image()), 0);
}

// Damaged pictures of every kind load as damaged, with a reason, whether
// they come as a field's bytes or as a stored form, and draw nothing; a
// metafile's damaged records fail its drawing.
TEST(Picture, DamagedPicturesOfEveryKindLoadAsDamagedAndDrawNothing)
{
    const QDir dir(testsupport::testdata(QStringLiteral("pictures/damaged")));
    const QStringList names = dir.entryList(QDir::Files);
    ASSERT_GE(names.size(), 6);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = testsupport::readFile(dir.filePath(name));
        for (const Picture &p : {Picture::fromBytes(bytes), Picture::fromStoredData(bytes)}) {
            QImage img(32, 32, QImage::Format_RGB32);
            img.fill(Qt::white);
            QString error;
            bool drawn = false;
            {
                PainterCanvas canvas(&img);
                drawn = p.stretchDraw(canvas, {0, 0, 32, 32}, &error);
            }
            if (p.isMetafile()) {
                // A metafile's records are read as it plays: the damage
                // shows when it is drawn.
                EXPECT_FALSE(drawn);
                EXPECT_FALSE(error.isEmpty());
                continue;
            }
            EXPECT_TRUE(p.damaged());
            EXPECT_FALSE(p.error().isEmpty());
            EXPECT_EQ(p.width(), 0);
            EXPECT_TRUE(drawn);
            EXPECT_EQ(img.pixel(16, 16), qRgb(255, 255, 255));
        }
    }
}

} // namespace
