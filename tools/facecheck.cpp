// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "facecheck.h"

#include "app/layouts.h"
#include "app/worksheetfill.h"
#include "controls/rplabel.h"
#include "faces/emsquare.h"
#include "faces/modelform.h"
#include "faces/strokedivision.h"
#include "faces/strokepaths.h"
#include "faces/strokestore.h"
#include "faces/synthesis.h"
#include "faces/tracingglyph.h"
#include "platform/fonts.h"
#include "platform/paintercanvas.h"
#include "report/customreport.h"

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

Counts check(const std::vector<char32_t> &chars, int em, QStringList *formsTable)
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

    for (char32_t ch : chars) {
        ++c.characters;
        const QString text = QString::fromUcs4(&ch, 1);
        QStringList why;

        // What the tracing cell draws the character with.
        const fonts::TextLayout traced = trace->layout(text);
        const bool traceRun = !traced.runs.empty() && !traced.runs[0].glyphs.isEmpty();
        const QRawFont traceFace = traceRun ? traced.runs[0].rawFont : QRawFont();
        const quint32 traceGlyph = traceRun ? traced.runs[0].glyphs[0] : 0;
        const bool someFace = traceGlyph != 0;

        // --- the model form ---------------------------------------------------
        const faces::ModelForm form = faces::modelFormInCell(ch);
        if (formsTable) {
            for (const faces::SourceForm &f : faces::compareSources(ch, traceFace, traceGlyph))
                *formsTable << QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7")
                                   .arg(text, faces::sourceName(f.source))
                                   .arg(f.strokes)
                                   .arg(f.difference.extra, 0, 'f', 5)
                                   .arg(f.difference.missing, 0, 'f', 5)
                                   .arg(f.dividedOtherwise)
                                   .arg(faces::checkDivision(faces::StrokeStore::global(), *faces::StrokeStore::global().findIn(f.source, ch), ch).dividedOtherwise.size());
        }
        switch (form.kind) {
        case faces::ModelForm::Kind::Numbered:
            ++c.numbered[faces::sourceName(form.source)];
            // The numbered strokes against the glyph the tracing cell draws.
            if (someFace && !faces::compareForms(faces::inkOf(*form.strokes), traceFace.pathForGlyph(traceGlyph),
                                                  traceFace.pixelSize())
                                 .agrees())
                ++c.formsDisagreeing, why << QStringLiteral("numbered in another form than the tracing glyph");
            break;
        case faces::ModelForm::Kind::Kai:
            ++c.unnumbered;
            c.unnumberedCharacters << text;
            break;
        case faces::ModelForm::Kind::Blank:
            ++c.blank;
            break;
        }

        // --- stroke order -------------------------------------------------------
        const qreal advance = stroke->advanceWidth(text);
        const QRectF cell(at, at, advance, ascent + descent);
        const QImage s = draw(strokeFont, text, size, at);
        if (blank(s) && form.kind != faces::ModelForm::Kind::Blank)
            ++c.strokeBlank, why << QStringLiteral("stroke-order glyph blank");
        if (const int n = inkOutside(s, cell))
            ++c.strokeOutsideCell, why << QStringLiteral("%1 stroke-order pixels outside the cell").arg(n);
        if (form.kind == faces::ModelForm::Kind::Numbered) {
            const auto &g = form.glyph;
            bool countOk = g->strokeCount == int(form.strokes->strokes.size()) &&
                           g->marks.size() == form.strokes->strokes.size();
            for (size_t i = 0; countOk && i < g->marks.size(); ++i)
                countOk = g->marks[i].number == int(i) + 1;
            if (!countOk)
                ++c.numberCountWrong,
                    why << QStringLiteral("numbers do not match the %1 strokes").arg(form.strokes->strokes.size());
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
            const std::vector<qreal> cover = faces::numberCover(*form.strokes, *g);
            const qreal worst = cover.empty() ? 0 : *std::max_element(cover.begin(), cover.end());
            if (worst > c.worstCover) {
                c.worstCover = worst;
                c.worstCoverCharacter = text;
            }
            if (worst > kCoverLimit)
                c.coverAboveLimit << QStringLiteral("%1 %2%").arg(text).arg(qRound(worst * 100));
        } else if (form.kind == faces::ModelForm::Kind::Kai) {
            if (s != draw(kaiFont, text, size, at))
                ++c.fallbackNotKai, why << QStringLiteral("unnumbered, not the Kai glyph");
        }

        // --- tracing ----------------------------------------------------------------
        const QImage t = draw(traceFont, text, size, at);
        const qreal tracedInk = inkAmount(t);
        if (tracedInk == 0) {
            if (form.kind != faces::ModelForm::Kind::Blank)
                ++c.traceBlank, why << QStringLiteral("tracing glyph blank");
        } else if (someFace) {
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
            QImage line(size, size, QImage::Format_RGB32);
            line.fill(Qt::white);
            QPainter p(&line);
            p.setRenderHint(QPainter::Antialiasing);
            p.translate(at, at + ascent);
            p.setPen(QPen(Qt::black, 2 * dotRadius));
            p.setBrush(Qt::NoBrush);
            p.drawPath(traceFace.pathForGlyph(traceGlyph));
            p.end();
            if (tracedInk > 0.65 * inkAmount(line))
                ++c.traceNotDotted, why << QStringLiteral("tracing outline not dotted");
        }
        if (!why.isEmpty())
            c.failures << describe(ch) + QStringLiteral(": ") + why.join(QStringLiteral("; "));
    }
    return c;
}

QStringList report(const Counts &c)
{
    QStringList out;
    QStringList bySource;
    int numbered = 0;
    for (const QString &source : {QStringLiteral("override"), QStringLiteral("AnimCJK"), QStringLiteral("hanzi-writer")}) {
        const int n = c.numbered.count(source) ? c.numbered.at(source) : 0;
        numbered += n;
        bySource << QStringLiteral("%1 %2").arg(source).arg(n);
    }
    out << QStringLiteral("characters: %1").arg(c.characters);
    out << QStringLiteral("numbered: %1 (%2)").arg(numbered).arg(bySource.join(QStringLiteral(", ")));
    out << QStringLiteral("drawn unnumbered (Kai): %1").arg(c.unnumbered);
    out << QStringLiteral("left empty (no face, no stroke data): %1").arg(c.blank);
    out << QStringLiteral("forms that disagree with the tracing glyph: %1").arg(c.formsDisagreeing);
    out << QStringLiteral("numbers over the strokes: the worst stroke is %1% covered (%2); strokes more than %3% "
                          "covered in %4 characters%5")
               .arg(c.worstCover * 100, 0, 'f', 1)
               .arg(c.worstCoverCharacter.isEmpty() ? QStringLiteral("-") : c.worstCoverCharacter)
               .arg(qRound(kCoverLimit * 100))
               .arg(c.coverAboveLimit.size())
               .arg(c.coverAboveLimit.isEmpty() ? QString() : QStringLiteral(": ") + c.coverAboveLimit.join(u' '));
    out << QStringLiteral("stroke-order: blank %1, ink outside the cell %2, numbers not matching the strokes %3, "
                          "overlapping numbers %4, numbers outside the cell %5, unnumbered not the Kai glyph %6")
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

CellSizes smallestCells()
{
    CellSizes out;
    QWidget holder;
    for (int layout = 1; layout <= 4; ++layout) {
        Report *r = layouts::load(layout, &holder);
        for (const worksheet::Cell &c : worksheet::cellsOf(layout)) {
            const auto *l = r->findChild<const RpLabel *>(QLatin1String(c.name));
            if (!l)
                continue;
            const gdi::LogFont lf = l->font().toLogFont(l->font().pixelsPerInch);
            const qreal em = fonts::emHeight(lf);
            qreal &smallest = lf.faceName == faces::tracingFamily() ? out.tracingEm : out.modelEm;
            if (smallest == 0 || em < smallest)
                smallest = em;
        }
    }
    const qreal mm = out.tracingEm / 96 * 25.4;
    out.dotMillimetres = faces::kTracingDotDiameter * mm;
    out.dotSpacingMillimetres = faces::kTracingDotSpacing * mm;
    return out;
}

QString describe(const CellSizes &s)
{
    return QStringLiteral("smallest model cell: em %1 mm; smallest tracing cell: em %2 mm, its dots %3 mm across, "
                          "%4 mm apart")
        .arg(s.modelEm / 96 * 25.4, 0, 'f', 1)
        .arg(s.tracingEm / 96 * 25.4, 0, 'f', 1)
        .arg(s.dotMillimetres, 0, 'f', 2)
        .arg(s.dotSpacingMillimetres, 0, 'f', 2);
}

} // namespace facecheck
