// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/formmatch.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace faces {

namespace {

// The em on the grid the shapes are compared on, pixels.
constexpr int kGrid = 128;
// How far ink may lie from the other shape's ink and still count as the
// same stroke, pixels of the grid.
constexpr int kNear = 4;

std::vector<quint8> rasterize(const QPainterPath &path, const QTransform &t)
{
    QImage img(kGrid, kGrid, QImage::Format_Grayscale8);
    img.fill(0);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setTransform(t);
        p.fillPath(path, Qt::white);
    }
    std::vector<quint8> out(size_t(kGrid) * kGrid);
    for (int y = 0; y < kGrid; ++y) {
        const uchar *row = img.constScanLine(y);
        for (int x = 0; x < kGrid; ++x)
            out[size_t(y) * kGrid + x] = row[x] > 127;
    }
    return out;
}

// Chamfer distance (3 along, 4 across) of every pixel to the nearest inked one.
std::vector<int> distances(const std::vector<quint8> &ink)
{
    constexpr int kFar = 1 << 20;
    std::vector<int> d(ink.size());
    for (size_t i = 0; i < ink.size(); ++i)
        d[i] = ink[i] ? 0 : kFar;
    auto at = [&](int x, int y) -> int & { return d[size_t(y) * kGrid + x]; };
    for (int y = 0; y < kGrid; ++y)
        for (int x = 0; x < kGrid; ++x) {
            int &v = at(x, y);
            if (x > 0)
                v = std::min(v, at(x - 1, y) + 3);
            if (y > 0) {
                v = std::min(v, at(x, y - 1) + 3);
                if (x > 0)
                    v = std::min(v, at(x - 1, y - 1) + 4);
                if (x + 1 < kGrid)
                    v = std::min(v, at(x + 1, y - 1) + 4);
            }
        }
    for (int y = kGrid - 1; y >= 0; --y)
        for (int x = kGrid - 1; x >= 0; --x) {
            int &v = at(x, y);
            if (x + 1 < kGrid)
                v = std::min(v, at(x + 1, y) + 3);
            if (y + 1 < kGrid) {
                v = std::min(v, at(x, y + 1) + 3);
                if (x + 1 < kGrid)
                    v = std::min(v, at(x + 1, y + 1) + 4);
                if (x > 0)
                    v = std::min(v, at(x - 1, y + 1) + 4);
            }
        }
    return d;
}

// The pixels of the largest 8-connected patch of `ink` whose distance from
// the other shape is above the limit.
int largestPatch(const std::vector<quint8> &ink, const std::vector<int> &otherDistance, int limit)
{
    std::vector<quint8> away(ink.size());
    for (size_t i = 0; i < ink.size(); ++i)
        away[i] = ink[i] && otherDistance[i] > limit;
    int best = 0;
    std::vector<int> stack;
    for (int start = 0; start < kGrid * kGrid; ++start) {
        if (!away[size_t(start)])
            continue;
        int size = 0;
        stack.push_back(start);
        away[size_t(start)] = 0;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++size;
            const int x = i % kGrid, y = i / kGrid;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= kGrid || ny >= kGrid)
                        continue;
                    const int j = ny * kGrid + nx;
                    if (away[size_t(j)]) {
                        away[size_t(j)] = 0;
                        stack.push_back(j);
                    }
                }
        }
        best = std::max(best, size);
    }
    return best;
}

} // namespace

const qreal kFormPatchLimit = 0.025;

bool FormDifference::agrees() const { return patch() <= kFormPatchLimit; }

FormDifference compareForms(const QPainterPath &strokes, const QPainterPath &glyph, qreal em)
{
    FormDifference out;
    const QRectF g = glyph.boundingRect(), s = strokes.boundingRect();
    if (em <= 0 || g.isEmpty() || s.isEmpty())
        return out;
    // The glyph at the grid's em, its box in the middle; the strokes' box
    // fitted onto the glyph's.
    const qreal k = kGrid / em;
    const QTransform toGrid = QTransform::fromTranslate(-g.center().x(), -g.center().y()) * QTransform::fromScale(k, k) *
                              QTransform::fromTranslate(kGrid / 2.0, kGrid / 2.0);
    const QTransform fit = QTransform::fromTranslate(-s.center().x(), -s.center().y()) *
                           QTransform::fromScale(g.width() / s.width(), g.height() / s.height()) *
                           QTransform::fromTranslate(g.center().x(), g.center().y());
    const std::vector<quint8> a = rasterize(strokes, fit * toGrid);
    const std::vector<quint8> b = rasterize(glyph, toGrid);
    const int limit = kNear * 3;
    const qreal area = qreal(kGrid) * kGrid;
    out.extra = largestPatch(a, distances(b), limit) / area;
    out.missing = largestPatch(b, distances(a), limit) / area;
    return out;
}

} // namespace faces
