// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "facecheck.h"

#include "platform/faces/emsquare.h"
#include "platform/faces/strokeorderglyph.h"
#include "platform/faces/strokestore.h"
#include "platform/faces/tracingglyph.h"
#include "platform/fonts.h"
#include "platform/paintercanvas.h"

#include <QImage>
#include <QPainter>

#include <iconv.h>

#include <algorithm>
#include <cmath>

namespace facecheck {

namespace {

QString describe(char32_t ch)
{
    return QStringLiteral("U+%1 %2").arg(QString::number(uint(ch), 16).toUpper().rightJustified(4, u'0'),
                                         QString::fromUcs4(&ch, 1));
}

gdi::LogFont logFont(const QString &face, int em)
{
    gdi::LogFont f;
    f.faceName = face;
    f.height = -em;
    f.charSet = gdi::CHINESEBIG5_CHARSET;
    return f;
}

// A character drawn in black on white with the top-left corner of its cell
// at (at, at), as a label draws it.
QImage draw(const gdi::LogFont &font, const QString &text, int size, int at)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    PainterCanvas c(&img);
    c.setFont(font);
    c.setTextColor(gdi::rgb(0, 0, 0));
    c.setBkMode(gdi::TRANSPARENT);
    c.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    c.textOut(at, at, text);
    return img;
}

int gray(QRgb c) { return qGray(c); }

// Pixels whose square has no part inside `cell` and that are not white.
int inkOutside(const QImage &img, const QRectF &cell)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        const bool rowOutside = y + 1 <= cell.top() || y >= cell.bottom();
        for (int x = 0; x < img.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == 0xFFFFFF)
                continue;
            if (rowOutside || x + 1 <= cell.left() || x >= cell.right())
                ++n;
        }
    }
    return n;
}

qreal inkAmount(const QImage &img)
{
    qreal sum = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            sum += (255 - gray(row[x])) / 255.0;
    }
    return sum;
}

bool blank(const QImage &img) { return inkAmount(img) == 0; }

// The pixels of `solid` (a filled glyph) that lie at least `r` pixels inside
// it: what a glyph drawn as an outline must leave white.
std::vector<bool> interior(const QImage &solid, int r)
{
    const int w = solid.width(), h = solid.height();
    std::vector<bool> in(size_t(w) * h), tmp(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            in[size_t(y) * w + x] = gray(solid.pixel(x, y)) < 128;
    // Erosion by a square of side 2r + 1, one direction at a time.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool all = true;
            for (int k = -r; k <= r && all; ++k)
                all = x + k >= 0 && x + k < w && in[size_t(y) * w + x + k];
            tmp[size_t(y) * w + x] = all;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool all = true;
            for (int k = -r; k <= r && all; ++k)
                all = y + k >= 0 && y + k < h && tmp[size_t(y + k) * w + x];
            in[size_t(y) * w + x] = all;
        }
    return in;
}

} // namespace

std::vector<char32_t> big5Level1()
{
    std::vector<char32_t> out;
    iconv_t cd = iconv_open("UTF-32LE", "BIG5");
    if (cd == iconv_t(-1))
        return out;
    for (int hi = 0xA4; hi <= 0xC6; ++hi) {
        for (int lo = 0x40; lo <= 0xFE; ++lo) {
            if ((lo > 0x7E && lo < 0xA1) || (hi << 8 | lo) > 0xC67E)
                continue;
            char in[2] = {char(hi), char(lo)};
            char32_t u[4] = {};
            char *ip = in, *op = reinterpret_cast<char *>(u);
            size_t il = 2, ol = sizeof u;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) != size_t(-1) && ol == sizeof u - 4)
                out.push_back(u[0]);
        }
    }
    iconv_close(cd);
    return out;
}

std::vector<char32_t> sample(const std::vector<char32_t> &all, int n)
{
    if (n <= 0 || size_t(n) >= all.size())
        return all;
    std::vector<char32_t> out;
    for (int i = 0; i < n; ++i)
        out.push_back(all[size_t(qint64(i) * qint64(all.size()) / n)]);
    return out;
}

Counts check(const std::vector<char32_t> &chars, int em)
{
    Counts c;
    const gdi::LogFont strokeFont = logFont(faces::strokeOrderFamily(), em);
    const gdi::LogFont traceFont = logFont(faces::tracingFamily(), em);
    const auto stroke = fonts::resolve(strokeFont);
    const auto trace = fonts::resolve(traceFont);
    const gdi::LogFont kaiFont = logFont(stroke->family(), em);
    const gdi::LogFont traceKaiFont = logFont(trace->family(), em);
    const int at = em / 2, size = em * 2;
    const qreal ascent = stroke->ascent(), descent = stroke->descent();
    const qreal dotRadius = faces::kTracingDotDiameter * em / 2;
    const int erosion = int(std::ceil(dotRadius + 1.5));
    faces::StrokeStore &store = faces::StrokeStore::global();

    for (char32_t ch : chars) {
        ++c.characters;
        const QString text = QString::fromUcs4(&ch, 1);
        QStringList why;

        // --- stroke order -------------------------------------------------------
        const qreal advance = stroke->advanceWidth(text);
        const QRectF cell(at, at, advance, ascent + descent);
        const QImage s = draw(strokeFont, text, size, at);
        if (blank(s))
            ++c.strokeBlank, why << QStringLiteral("stroke-order glyph blank");
        if (const int n = inkOutside(s, cell))
            ++c.strokeOutsideCell, why << QStringLiteral("%1 stroke-order pixels outside the cell").arg(n);
        const auto data = store.find(ch);
        if (data) {
            ++c.withData;
            const auto g = faces::strokeOrderGlyph(ch);
            bool countOk = g && g->strokeCount == int(data->strokes.size()) &&
                           g->marks.size() == data->strokes.size();
            for (size_t i = 0; countOk && i < g->marks.size(); ++i)
                countOk = g->marks[i].number == int(i) + 1;
            if (!countOk)
                ++c.numberCountWrong, why << QStringLiteral("numbers do not match the %1 strokes").arg(data->strokes.size());
            if (g) {
                bool overlap = false, outside = false;
                const QTransform t = faces::emSquareToCell(stroke->emSize(), ascent, descent, advance) *
                                     QTransform::fromTranslate(at, at + ascent);
                for (size_t i = 0; i < g->marks.size(); ++i) {
                    outside = outside || !cell.contains(t.mapRect(g->marks[i].box));
                    for (size_t j = i + 1; j < g->marks.size(); ++j)
                        overlap = overlap || g->marks[i].box.intersects(g->marks[j].box);
                }
                if (overlap)
                    ++c.numbersOverlapping, why << QStringLiteral("number boxes overlap");
                if (outside)
                    ++c.numbersOutsideCell, why << QStringLiteral("a number box leaves the cell");
            }
        } else {
            ++c.withoutData;
            if (s != draw(kaiFont, text, size, at))
                ++c.fallbackNotKai, why << QStringLiteral("without stroke data, not the Kai glyph");
        }

        // --- tracing ----------------------------------------------------------------
        const QImage t = draw(traceFont, text, size, at);
        const qreal traced = inkAmount(t);
        if (traced == 0) {
            ++c.traceBlank, why << QStringLiteral("tracing glyph blank");
        } else {
            const QImage solid = draw(traceKaiFont, text, size, at);
            const std::vector<bool> in = interior(solid, erosion);
            int inside = 0, filled = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    if (in[size_t(y) * size + x]) {
                        ++inside;
                        // The faint edge of a dot's smoothing may reach in;
                        // a fill would be as dark as the ink.
                        filled += gray(t.pixel(x, y)) < 192;
                    }
            if (inside == 0)
                ++c.traceNoInterior;
            if (filled > 0)
                ++c.traceFilled, why << QStringLiteral("tracing ink on %1 pixels inside the strokes").arg(filled);
            // The same outline drawn with a solid pen as wide as the dots.
            const fonts::TextLayout lay = trace->layout(text);
            if (!lay.runs.empty() && !lay.runs[0].glyphs.isEmpty()) {
                QImage line(size, size, QImage::Format_RGB32);
                line.fill(Qt::white);
                QPainter p(&line);
                p.setRenderHint(QPainter::Antialiasing);
                p.translate(at, at + ascent);
                p.setPen(QPen(Qt::black, 2 * dotRadius));
                p.setBrush(Qt::NoBrush);
                p.drawPath(lay.runs[0].rawFont.pathForGlyph(lay.runs[0].glyphs[0]));
                p.end();
                if (traced > 0.65 * inkAmount(line))
                    ++c.traceNotDotted, why << QStringLiteral("tracing outline not dotted");
            }
        }
        if (!why.isEmpty())
            c.failures << describe(ch) + QStringLiteral(": ") + why.join(QStringLiteral("; "));
    }
    return c;
}

QStringList report(const Counts &c)
{
    QStringList out;
    out << QStringLiteral("characters: %1 (stroke data: %2, without: %3)").arg(c.characters).arg(c.withData).arg(c.withoutData);
    out << QStringLiteral("stroke-order: blank %1, ink outside the cell %2, numbers not matching the strokes %3, "
                          "overlapping numbers %4, numbers outside the cell %5, without data not the Kai glyph %6")
               .arg(c.strokeBlank)
               .arg(c.strokeOutsideCell)
               .arg(c.numberCountWrong)
               .arg(c.numbersOverlapping)
               .arg(c.numbersOutsideCell)
               .arg(c.fallbackNotKai);
    out << QStringLiteral("tracing: blank %1, filled %2, not dotted %3 (too thin to tell: %4)")
               .arg(c.traceBlank)
               .arg(c.traceFilled)
               .arg(c.traceNotDotted)
               .arg(c.traceNoInterior);
    out << (c.failed() ? QStringLiteral("failed: %1 characters").arg(c.failures.size()) : QStringLiteral("passed"));
    return out;
}

} // namespace facecheck
