// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdfoperators.h"

#include "pdf/pdfnumbers.h"

#include <QPainterPath>

#include <cmath>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace pdfop {

namespace {
constexpr Info kOperators[] = {
#define TOVREL_PDF_OP_INFO(id, token, operands) {Op::id, token, operands},
    TOVREL_PDF_OPERATORS(TOVREL_PDF_OP_INFO)
#undef TOVREL_PDF_OP_INFO
};
} // namespace

const Info &info(Op op) { return kOperators[size_t(op)]; }

const Info *find(QByteArrayView token)
{
    for (const Info &i : kOperators)
        if (token == i.token)
            return &i;
    return nullptr;
}

QByteArray line(Op op, std::initializer_list<QByteArray> operands)
{
    const Info &i = info(op);
    if (int(operands.size()) != i.operands)
        throw std::logic_error(std::string("operator ") + i.token + " takes " + std::to_string(i.operands) + " operands");
    QByteArray s;
    for (const QByteArray &o : operands) {
        s += o;
        s += ' ';
    }
    s += i.token;
    return s;
}

namespace {

// Marks the points of `run` that the polyline needs to stay within
// `tolerance` of it (the ends always), dividing at the farthest point.
void keepNeeded(const std::vector<QPointF> &run, size_t first, size_t last, double tolerance, std::vector<bool> &keep)
{
    while (last > first + 1) {
        const QPointF a = run[first], d = run[last] - a;
        const double length = std::hypot(d.x(), d.y());
        double farthest = -1;
        size_t at = first;
        for (size_t i = first + 1; i < last; ++i) {
            const QPointF v = run[i] - a;
            const double off = length > 0 ? std::abs(d.x() * v.y() - d.y() * v.x()) / length : std::hypot(v.x(), v.y());
            if (off > farthest) {
                farthest = off;
                at = i;
            }
        }
        if (farthest <= tolerance)
            return;
        keep[at] = true;
        keepNeeded(run, first, at, tolerance, keep);
        first = at;
    }
}

} // namespace

void pathLines(const QPainterPath &path, int decimals, const std::function<void(const QByteArray &)> &out,
               double tolerance)
{
    auto n = [decimals](double v) { return pdfnum::compact(v, decimals); };
    // The straight segments from the current point, written at once.
    std::vector<QPointF> run;
    auto flush = [&] {
        if (run.size() < 2) {
            run.clear();
            return;
        }
        std::vector<bool> keep(run.size(), tolerance <= 0);
        keep.front() = keep.back() = true;
        if (tolerance > 0)
            keepNeeded(run, 0, run.size() - 1, tolerance, keep);
        for (size_t i = 1; i < run.size(); ++i)
            if (keep[i])
                out(line(Op::LineTo, {n(run[i].x()), n(run[i].y())}));
        run.clear();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            flush();
            out(line(Op::MoveTo, {n(e.x), n(e.y)}));
            run.push_back(e);
        } else if (e.isLineTo()) {
            run.push_back(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            flush();
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            out(line(Op::CurveTo, {n(e.x), n(e.y), n(c2.x), n(c2.y), n(end.x), n(end.y)}));
            run.push_back(end);
            i += 2;
        }
    }
    flush();
}

Op fillOf(const QPainterPath &path) { return path.fillRule() == Qt::OddEvenFill ? Op::FillEvenOdd : Op::Fill; }

} // namespace pdfop
