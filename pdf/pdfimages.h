// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures of a document as image objects: each distinct picture is
// written once, its pixels deflated (RGB, 8 bits a component), with a soft
// mask of its alpha when it has one, and drawn on any page through its
// resource name ("Im0", "Im1", ...).
#include <QByteArray>
#include <QHash>
#include <QImage>

#include <vector>

class PdfFile;

class PdfImages {
public:
    // The image of `picture` (made on first use): its index.
    int add(const QImage &picture);
    int count() const { return int(m_images.size()); }
    // The objects image `index` takes: 1, or 2 with a soft mask.
    int objectCount(int index) const { return m_images.at(size_t(index)).alpha.isEmpty() ? 1 : 2; }
    int objectCount() const;
    // True when a picture has a soft mask (which documents carry from
    // version 1.4 on).
    bool hasSoftMask() const;
    static QByteArray resourceName(int index);
    // Writes image `index` (and its mask after it).
    void writeObjects(PdfFile &file, int index) const;

private:
    struct Image {
        int width = 0, height = 0;
        QByteArray rgb;   // deflated
        QByteArray alpha; // deflated; empty when opaque
    };
    std::vector<Image> m_images;
    QHash<QByteArray, int> m_byDigest;
};
