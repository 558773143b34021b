// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page-content operators the PDF writer uses, in one table: each with
// its token and how many operands it takes. Lines of content are made
// through it, and a reader of the writer's content streams (the tests)
// checks every operator it meets against it.
#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <initializer_list>

class QPainterPath;

// X(identifier, token, operands)
#define TOVREL_PDF_OPERATORS(X)                                                                                        \
    X(BeginText, "BT", 0)                                                                                              \
    X(EndText, "ET", 0)                                                                                                \
    X(SetFont, "Tf", 2)                                                                                                \
    X(TextMatrix, "Tm", 6)                                                                                             \
    X(ShowText, "Tj", 1)                                                                                               \
    X(ShowTextAdjusted, "TJ", 1)                                                                                       \
    X(TextRenderMode, "Tr", 1)                                                                                         \
    X(FillColor, "rg", 3)                                                                                              \
    X(StrokeColor, "RG", 3)                                                                                            \
    X(LineWidth, "w", 1)                                                                                               \
    X(LineCap, "J", 1)                                                                                                 \
    X(LineJoin, "j", 1)                                                                                                \
    X(Dash, "d", 2)                                                                                                    \
    X(Rectangle, "re", 4)                                                                                              \
    X(MoveTo, "m", 2)                                                                                                  \
    X(LineTo, "l", 2)                                                                                                  \
    X(CurveTo, "c", 6)                                                                                                 \
    X(ClosePath, "h", 0)                                                                                               \
    X(Fill, "f", 0)                                                                                                    \
    X(FillEvenOdd, "f*", 0)                                                                                            \
    X(Stroke, "S", 0)                                                                                                  \
    X(Clip, "W", 0)                                                                                                    \
    X(ClipEvenOdd, "W*", 0)                                                                                            \
    X(EndPath, "n", 0)                                                                                                 \
    X(CloseStroke, "s", 0)                                                                                             \
    X(Save, "q", 0)                                                                                                    \
    X(Restore, "Q", 0)                                                                                                 \
    X(Transform, "cm", 6)                                                                                              \
    X(PaintXObject, "Do", 1)                                                                                           \
    X(BeginImage, "BI", 0)                                                                                             \
    X(ImageData, "ID", 0)                                                                                              \
    X(EndImage, "EI", 0)                                                                                               \
    X(GlyphWidth, "d0", 2)

namespace pdfop {

enum class Op {
#define TOVREL_PDF_OP_ENUM(id, token, operands) id,
    TOVREL_PDF_OPERATORS(TOVREL_PDF_OP_ENUM)
#undef TOVREL_PDF_OP_ENUM
};

struct Info {
    Op op;
    const char *token;
    int operands;
};

const Info &info(Op op);
// The operator of a token, or null for a token that is none of ours.
const Info *find(QByteArrayView token);

// One content line: the operands, blank-separated, then the operator.
// Throws std::logic_error when the count of operands is not the operator's.
QByteArray line(Op op, std::initializer_list<QByteArray> operands = {});

// The path's outline, one operator a line (m, l, c), in its own units with
// at most `decimals` decimals; the caller paints it. With a `tolerance`,
// a run of straight segments (a flattened curve) keeps only the points it
// needs to stay that close to the path; the ends of every run stay.
void pathLines(const QPainterPath &path, int decimals, const std::function<void(const QByteArray &)> &out,
               double tolerance = 0);

// The paint operator that fills `path` by its fill rule.
Op fillOf(const QPainterPath &path);

} // namespace pdfop
