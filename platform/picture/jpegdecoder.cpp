// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture/jpegdecoder.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace jpeg {

namespace {

// The error manager: libjpeg calls error_exit for a fatal error and
// emit_message(-1) for a warning about corrupt data. Both leave through
// longjmp to the setjmp in the function that started the library call;
// nothing with a destructor lives between the two.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void outputMessage(j_common_ptr) {}

// The decompressor with its error manager, set up so that every exit path
// can destroy it.
struct Decoder {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};

    Decoder()
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = errorExit;
        err.pub.emit_message = emitMessage;
        err.pub.output_message = outputMessage;
        err.message[0] = 0;
    }
    ~Decoder() { jpeg_destroy_decompress(&cinfo); }
    QString failure() const { return QStringLiteral("damaged JPEG data: %1").arg(QString::fromLatin1(err.message)); }
};

bool checkSize(const jpeg_decompress_struct &c, QString *error)
{
    if (c.image_width == 0 || c.image_height == 0 || qint64(c.image_width) * c.image_height > kMaxPixels) {
        if (error)
            *error = QStringLiteral("JPEG picture of %1 x %2 pixels is too large").arg(c.image_width).arg(c.image_height);
        return false;
    }
    return true;
}

// The decoding itself, in a function of its own with only plain locals, so
// that a longjmp out of libjpeg skips no destructor. Returns false with the
// library's message in `d.err.message`; a size refused by us sets
// `sizeRefused`.
bool run(Decoder &d, const QByteArray &bytes, QImage &out, bool &sizeRefused)
{
    jpeg_decompress_struct &c = d.cinfo;
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, reinterpret_cast<const unsigned char *>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&c, TRUE);
    if (c.image_width == 0 || c.image_height == 0 || qint64(c.image_width) * c.image_height > kMaxPixels) {
        sizeRefused = true;
        return false;
    }
    const bool grey = c.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    c.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&c);
    // The image is made before any scan line is read; a failing allocation
    // gives a null image, which is checked.
    out = QImage(int(c.output_width), int(c.output_height), grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (out.isNull()) {
        sizeRefused = true;
        return false;
    }
    if (cmyk) {
        // Four bytes a pixel, converted in place: Adobe's files store the
        // inks inverted, which is what libjpeg hands over for them.
        const bool inverted = c.saw_Adobe_marker;
        while (c.output_scanline < c.output_height) {
            JSAMPROW row = out.scanLine(int(c.output_scanline));
            jpeg_read_scanlines(&c, &row, 1);
            auto *px = reinterpret_cast<QRgb *>(row);
            for (unsigned x = 0; x < c.output_width; ++x) {
                int C = row[4 * x], M = row[4 * x + 1], Y = row[4 * x + 2], K = row[4 * x + 3];
                if (!inverted) {
                    C = 255 - C;
                    M = 255 - M;
                    Y = 255 - Y;
                    K = 255 - K;
                }
                px[x] = qRgb((C * K + 127) / 255, (M * K + 127) / 255, (Y * K + 127) / 255);
            }
        }
    } else {
        while (c.output_scanline < c.output_height) {
            JSAMPROW row = out.scanLine(int(c.output_scanline));
            jpeg_read_scanlines(&c, &row, 1);
        }
    }
    jpeg_finish_decompress(&c);
    return true;
}

bool header(Decoder &d, const QByteArray &bytes, int *width, int *height)
{
    jpeg_decompress_struct &c = d.cinfo;
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, reinterpret_cast<const unsigned char *>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&c, TRUE);
    *width = int(c.image_width);
    *height = int(c.image_height);
    return true;
}

} // namespace

bool looksLikeJpeg(const QByteArray &bytes)
{
    return bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF;
}

bool readSize(const QByteArray &bytes, int *width, int *height, QString *error)
{
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("empty JPEG data");
        return false;
    }
    Decoder d;
    int w = 0, h = 0;
    if (!header(d, bytes, &w, &h)) {
        if (error)
            *error = d.failure();
        return false;
    }
    if (!checkSize(d.cinfo, error))
        return false;
    *width = w;
    *height = h;
    return true;
}

QImage decode(const QByteArray &bytes, QString *error)
{
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("empty JPEG data");
        return {};
    }
    Decoder d;
    QImage out;
    bool sizeRefused = false;
    if (!run(d, bytes, out, sizeRefused)) {
        if (sizeRefused)
            checkSize(d.cinfo, error);
        else if (error)
            *error = d.failure();
        if (sizeRefused && error && error->isEmpty())
            *error = QStringLiteral("JPEG picture too large to decode");
        return {};
    }
    return out;
}

} // namespace jpeg
