// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recorded page or a metafile picture: the bytes of one enhanced metafile
// and its parsed header. Pages are recorded by MetafileRecorder, stored as
// these bytes in the page store and played onto any canvas.
#include "platform/gdi.h"

#include <QByteArray>
#include <QString>
#include <vector>

class Canvas;

class Metafile {
public:
    Metafile() = default;

    // Checks the header (the first record, its signature and sizes) and
    // throws RpError when the bytes are not an enhanced metafile. Records
    // after the header are checked when they are played or enumerated.
    static Metafile fromBytes(const QByteArray &bytes);

    bool isNull() const { return m_bytes.isEmpty(); }
    const QByteArray &bytes() const { return m_bytes; }

    // The header. Bounds are inclusive device pixels, the frame is inclusive
    // 0.01 mm; device size in pixels and millimetres of the reference device.
    const gdi::Rect &bounds() const { return m_bounds; }
    const gdi::Rect &frame() const { return m_frame; }
    gdi::Size deviceSize() const { return m_device; }
    gdi::Size deviceMillimeters() const { return m_millimeters; }
    // Micrometres when the header has them, else millimetres x 1000.
    gdi::Size deviceMicrometers() const { return m_micrometers; }
    quint32 recordCount() const { return m_records; }
    quint32 fileSize() const { return m_fileSize; }
    quint16 handleCount() const { return m_handles; }
    const QString &description() const { return m_description; }

    // The logical size in pixels of the reference device: the frame
    // converted to pixels (for a recorded page, the size it was recorded at).
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The picture's top-left corner in reference pixels (the frame's corner;
    // where the frame misses the drawing altogether, the drawing's corner),
    // and the pixels per 0.01 mm of the reference device.
    double frameLeftPixels() const;
    double frameTopPixels() const;
    double pixelsPerHundredthMmX() const;
    double pixelsPerHundredthMmY() const;
    // The reference device's pixels per inch (96 for a page recorded at the
    // screen's resolution, 600 for one recorded at a printing resolution).
    double pixelsPerInchX() const { return pixelsPerHundredthMmX() * 2540; }
    double pixelsPerInchY() const { return pixelsPerHundredthMmY() * 2540; }

    // One text-output record (EMR_EXTTEXTOUTA, EMR_EXTTEXTOUTW or
    // EMR_SMALLTEXTOUT).
    struct TextRecord {
        quint32 offset = 0;
        quint32 type = 0;
        gdi::Point reference;
        QString text;
    };
    // The text-output records in order (a record of glyph indexes has an
    // empty text). A damaged record ends the list and
    // the error is returned in `error` (when given).
    std::vector<TextRecord> textRecords(QString *error = nullptr) const;

    // Plays the metafile onto `canvas` with its frame mapped onto `dest`
    // (logical units of the canvas). Throws RpError for a damaged record;
    // what was drawn before it stays drawn.
    void play(Canvas &canvas, const gdi::Rect &dest) const;

private:
    QByteArray m_bytes;
    gdi::Rect m_bounds;
    gdi::Rect m_frame;
    gdi::Size m_device;
    gdi::Size m_millimeters;
    gdi::Size m_micrometers;
    quint32 m_records = 0;
    quint32 m_fileSize = 0;
    quint16 m_handles = 0;
    QString m_description;
    int m_width = 0;
    int m_height = 0;
    double m_originX = 0; // the picture's top-left corner, reference pixels
    double m_originY = 0;
};
