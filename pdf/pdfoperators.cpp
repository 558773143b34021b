// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdfoperators.h"

#include <iterator>
#include <stdexcept>

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

} // namespace pdfop
