// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture/picture.h"

#include "platform/canvas.h"
#include "platform/picture/bmpreader.h"
#include "platform/picture/jpegdecoder.h"
#include "platform/rperror.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace {

bool looksLikeMetafile(const QByteArray &b)
{
    // EMR_HEADER (type 1) with the " EMF" signature at offset 40.
    return b.size() >= 44 && qFromLittleEndian<quint32>(b.constData()) == 1 &&
           qFromLittleEndian<quint32>(b.constData() + 40) == 0x464D4520u;
}

bool looksLikePng(const QByteArray &b) { return b.startsWith("\x89PNG\r\n\x1a\n"); }

// Any other picture Qt reads, with a size check before the pixels are
// decoded.
QImage readOther(const QByteArray &bytes, QString *error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        *error = QStringLiteral("not a picture of a known kind");
        return {};
    }
    const QSize s = reader.size();
    if (s.isValid() && qint64(s.width()) * s.height() > jpeg::kMaxPixels) {
        *error = QStringLiteral("picture of %1 x %2 pixels is too large").arg(s.width()).arg(s.height());
        return {};
    }
    QImage img = reader.read();
    if (img.isNull()) {
        *error = QStringLiteral("damaged %1 picture: %2")
                     .arg(QString::fromLatin1(reader.format().toUpper()), reader.errorString());
        return {};
    }
    return img;
}

const char *const kTags[] = {"", "TBitmap", "TJPEGImage", "TMetafile", "TGraphic"};

} // namespace

Picture Picture::fromBytes(const QByteArray &bytes)
{
    Picture p;
    p.m_bytes = bytes;
    if (bytes.isEmpty())
        return p;
    QString error;
    if (jpeg::looksLikeJpeg(bytes)) {
        p.m_kind = Kind::Jpeg;
        p.m_image = jpeg::decode(bytes, &error);
    } else if (bytes.startsWith("BM")) {
        p.m_kind = Kind::Bitmap;
        p.m_image = bmp::decode(bytes, &error);
    } else if (looksLikeMetafile(bytes)) {
        p.m_kind = Kind::Metafile;
        try {
            p.m_metafile = Metafile::fromBytes(bytes);
            p.m_width = p.m_metafile.width();
            p.m_height = p.m_metafile.height();
            if (p.m_width <= 0 || p.m_height <= 0)
                error = QStringLiteral("damaged metafile: its frame is empty");
        } catch (const RpError &e) {
            error = QStringLiteral("damaged metafile: %1").arg(e.message());
        }
    } else if (bmp::looksLikeBitmap(bytes)) {
        p.m_kind = Kind::Bitmap;
        p.m_image = bmp::decode(bytes, &error);
    } else {
        p.m_kind = Kind::Other;
        p.m_image = readOther(bytes, &error);
    }
    if (!error.isEmpty()) {
        p.m_error = error;
        p.m_image = QImage();
        p.m_metafile = Metafile();
        p.m_width = p.m_height = 0;
    } else if (p.m_kind != Kind::Metafile) {
        p.m_width = p.m_image.width();
        p.m_height = p.m_image.height();
    }
    return p;
}

Picture Picture::fromImage(const QImage &image)
{
    if (image.isNull())
        return {};
    return fromBytes(bmp::encode(image));
}

QList<QRgb> Picture::palette() const
{
    return isBitmap() && m_image.format() == QImage::Format_Indexed8 ? m_image.colorTable() : QList<QRgb>();
}

bool Picture::stretchDraw(Canvas &canvas, const gdi::Rect &dest, QString *error) const
{
    if (isEmpty() || damaged())
        return true;
    if (m_kind == Kind::Metafile) {
        try {
            canvas.stretchDrawMetafile(dest, m_metafile);
        } catch (const RpError &e) {
            if (error)
                *error = QStringLiteral("damaged metafile: %1").arg(e.message());
            return false;
        }
        return true;
    }
    canvas.stretchDraw(dest, m_image);
    return true;
}

QString Picture::tagOf(Kind kind, const QByteArray &bytes)
{
    if (kind == Kind::Other && looksLikePng(bytes))
        return QStringLiteral("TPNGImage");
    return QString::fromLatin1(kTags[int(kind)]);
}

QByteArray Picture::storedData() const
{
    if (!m_stored.isEmpty())
        return m_stored;
    if (isEmpty())
        return {};
    const QByteArray tag = tagOf(m_kind, m_bytes).toLatin1();
    QByteArray out;
    out.reserve(1 + tag.size() + 4 + m_bytes.size());
    out.append(char(tag.size()));
    out.append(tag);
    char len[4];
    qToLittleEndian<quint32>(quint32(m_bytes.size()), len);
    out.append(len, 4);
    out.append(m_bytes);
    return out;
}

Picture Picture::fromStoredData(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    auto damagedForm = [&data](const QString &why) {
        Picture p;
        p.m_kind = Kind::Other;
        p.m_stored = data;
        p.m_error = why;
        return p;
    };
    const int tagLength = uchar(data[0]);
    if (tagLength == 0 || data.size() < 1 + tagLength + 4)
        return damagedForm(QStringLiteral("damaged picture data: it ends before its length"));
    const QString tag = QString::fromLatin1(data.mid(1, tagLength));
    static const QStringList known{QStringLiteral("TBitmap"), QStringLiteral("TJPEGImage"),
                                   QStringLiteral("TMetafile"), QStringLiteral("TPNGImage"),
                                   QStringLiteral("TGraphic")};
    if (!known.contains(tag))
        return damagedForm(QStringLiteral("unknown picture kind '%1'").arg(tag));
    const quint32 length = qFromLittleEndian<quint32>(data.constData() + 1 + tagLength);
    const qsizetype start = 1 + tagLength + 4;
    if (qint64(length) != data.size() - start)
        return damagedForm(QStringLiteral("damaged picture data: %1 bytes announced, %2 present")
                               .arg(length)
                               .arg(data.size() - start));
    Picture p = fromBytes(data.mid(start));
    if (p.damaged())
        p.m_stored = data;
    return p;
}
