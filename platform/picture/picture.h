// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture container: one graphic of a known kind (a bitmap, a JPEG, an
// enhanced metafile, or any other picture Qt reads, such as PNG), its size
// in pixels, and the way it draws itself stretched into a rectangle of a
// canvas. A picture keeps the bytes it was given, so storing it again loses
// nothing; decoding happens once, when the bytes are set.
//
// Damaged bytes make a damaged picture: it keeps the bytes and the reason,
// reports no size, draws nothing, and says why through error(). Nothing here
// throws on bad data.
//
// A picture is a value: copies share the decoded pixels. A const picture may
// be read from any thread.
#include "platform/gdi.h"
#include "platform/metafile.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

class Canvas;

class Picture {
public:
    enum class Kind { Empty, Bitmap, Jpeg, Metafile, Other };

    Picture() = default;
    // The kind is found from the bytes themselves; empty bytes make an empty
    // picture.
    static Picture fromBytes(const QByteArray &bytes);
    // A bitmap of the image (kept as a bitmap file; an indexed image keeps
    // its palette).
    static Picture fromImage(const QImage &image);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isBitmap() const { return m_kind == Kind::Bitmap && !damaged(); }
    bool isMetafile() const { return m_kind == Kind::Metafile && !damaged(); }
    // Bytes were given but could not be read; error() says why.
    bool damaged() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    // The bytes as given (a bitmap file, a JPEG file, metafile bytes, ...).
    const QByteArray &bytes() const { return m_bytes; }
    // Size in pixels; 0 x 0 for an empty or damaged picture. A metafile's
    // size is its frame at the screen's resolution.
    int width() const { return m_width; }
    int height() const { return m_height; }

    // The pixels of a bitmap, JPEG or other raster picture (null otherwise).
    const QImage &image() const { return m_image; }
    // The metafile of a metafile picture (null otherwise).
    const Metafile &metafile() const { return m_metafile; }
    // The colour table of an indexed bitmap; empty for any other picture.
    QList<QRgb> palette() const;

    // Draws the picture stretched into `dest` (logical units of the canvas):
    // a raster picture as a bitmap transfer, a metafile played into it. An
    // empty or damaged picture draws nothing. Returns false with `error` set
    // when drawing failed (a metafile whose records turn out damaged; what
    // was drawn before the damaged record stays).
    bool stretchDraw(Canvas &canvas, const gdi::Rect &dest, QString *error = nullptr) const;

    // The stored form used by report descriptions: a length byte and the
    // kind's tag ("TBitmap", "TJPEGImage", "TMetafile", "TPNGImage" or
    // "TGraphic"), the length of the picture's bytes (32 bits, little
    // endian) and the bytes. Empty for an empty picture.
    QByteArray storedData() const;
    // Reads the stored form. A form that does not hold together (a short
    // length, an unknown tag) gives a damaged picture that keeps the whole
    // data, so writing it again gives back what was read.
    static Picture fromStoredData(const QByteArray &data);

    static QString tagOf(Kind kind, const QByteArray &bytes);

private:
    Kind m_kind = Kind::Empty;
    QByteArray m_bytes;
    QByteArray m_stored; // the stored form as read, when it was damaged
    QString m_error;
    QImage m_image;
    Metafile m_metafile;
    int m_width = 0;
    int m_height = 0;
};
