// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/elements.h"

#include "expr/environment.h"
#include "expr/exprstrings.h"
#include "data/dataset.h"

#include <algorithm>

using namespace exprstrings;

namespace {

RpEvResult cannot(Id verb, Id kind)
{
    return RpEvResult::error(text(CannotFmt).arg(text(verb), text(kind)));
}

RpEvResult notCompatible(RpEvOperator op, Id kind)
{
    return RpEvResult::error(text(OperatorNotCompatibleFmt).arg(rpOperatorText(op), text(kind)));
}

Id verbOf(RpEvOperator op)
{
    switch (op) {
    case opPlus: return VerbAdd;
    case opMinus: return VerbSubtract;
    case opMul: return VerbMultiply;
    default: return VerbDivide;
    }
}

template <typename T>
RpEvResult compare(RpEvOperator op, const T &a, const T &b)
{
    switch (op) {
    case opLess: return RpEvResult::fromBool(a < b);
    case opLessOrEqual: return RpEvResult::fromBool(a <= b);
    case opGreater: return RpEvResult::fromBool(a > b);
    case opGreaterOrEqual: return RpEvResult::fromBool(a >= b);
    case opEqual: return RpEvResult::fromBool(a == b);
    default: return RpEvResult::fromBool(a != b); // opUnequal
    }
}

bool isRelation(RpEvOperator op) { return op <= opUnequal; }

RpEvResult combineInt(RpEvOperator op, int32_t a, int32_t b)
{
    if (isRelation(op))
        return compare(op, a, b);
    switch (op) {
    // Sums that leave 32 bits become floats rather than wrapping around.
    case opPlus: return RpEvResult::fromInt64(int64_t(a) + b);
    case opMinus: return RpEvResult::fromInt64(int64_t(a) - b);
    case opMul: return RpEvResult::fromInt64(int64_t(a) * b);
    case opDiv:
        if (b == 0)
            return RpEvResult::error(text(CannotDivideByZero));
        return RpEvResult::fromDouble(double(a) / double(b));
    case opOr: return RpEvResult::fromInt(a | b);
    default: return RpEvResult::fromInt(a & b); // opAnd
    }
}

RpEvResult combineDouble(RpEvOperator op, double a, double b)
{
    if (isRelation(op))
        return compare(op, a, b);
    switch (op) {
    case opPlus: return RpEvResult::fromDouble(a + b);
    case opMinus: return RpEvResult::fromDouble(a - b);
    case opMul: return RpEvResult::fromDouble(a * b);
    case opDiv:
        if (b == 0)
            return RpEvResult::error(text(CannotDivideByZero));
        return RpEvResult::fromDouble(a / b);
    default: return notCompatible(op, KindNumeric); // opOr, opAnd
    }
}

RpEvResult combineString(RpEvOperator op, const QString &a, const QString &b)
{
    if (isRelation(op)) {
        const int c = QStringView(a).compare(QStringView(b), Qt::CaseSensitive); // code-unit order
        return compare(op, c, 0);
    }
    switch (op) {
    case opPlus: return RpEvResult::fromString(a + b);
    case opMinus:
    case opMul:
    case opDiv: return cannot(verbOf(op), KindString);
    default: return notCompatible(op, KindString);
    }
}

RpEvResult combineBool(RpEvOperator op, bool a, bool b)
{
    switch (op) {
    case opEqual: return RpEvResult::fromBool(a == b);
    case opUnequal: return RpEvResult::fromBool(a != b);
    case opLess:
    case opLessOrEqual:
    case opGreater:
    case opGreaterOrEqual: return notCompatible(op, KindBoolean);
    case opPlus:
    case opMinus:
    case opMul:
    case opDiv: return cannot(verbOf(op), KindBoolean);
    case opOr: return RpEvResult::fromBool(a || b);
    case opAnd: return RpEvResult::fromBool(a && b);
    }
    return RpEvResult::error(QString());
}

} // namespace

RpEvResult RpEvElementOperator::combine(RpEvOperator op, RpEvResult left, RpEvResult right)
{
    if (left.isError())
        return left;
    if (right.isError())
        return right;
    if (left.kind != right.kind) {
        if (left.isNumeric() && right.isNumeric()) {
            left = RpEvResult::fromDouble(left.number());
            right = RpEvResult::fromDouble(right.number());
        } else {
            left = RpEvResult::fromString(rpResultText(left));
            right = RpEvResult::fromString(rpResultText(right));
        }
    }
    switch (left.kind) {
    case resInt: return combineInt(op, left.intResult, right.intResult);
    case resDouble: return combineDouble(op, left.dblResult, right.dblResult);
    case resString: return combineString(op, left.stringVal, right.stringVal);
    case resBool: return combineBool(op, left.booResult, right.booResult);
    case resError: break;
    }
    return left;
}

void RpEvElementOperator::value(RpEvResult *operands, int count, bool, RpEvResult &result)
{
    if (count < 2) {
        result = RpEvResult::error(text(ErrorInExpressionFmt).arg(rpOperatorText(m_opCode)));
        return;
    }
    result = combine(m_opCode, std::move(operands[0]), std::move(operands[1]));
}

void RpEvElementString::value(RpEvResult *, int, bool, RpEvResult &result)
{
    result = RpEvResult::fromString(m_string);
}

void RpEvElementArgumentEnd::value(RpEvResult *, int, bool, RpEvResult &result)
{
    // Never asked by a well-formed list: the list treats it as a marker.
    result = RpEvResult::error(text(ErrorInExpressionFmt).arg(QStringLiteral(")")));
}

void RpEvElementDataField::value(RpEvResult *, int, bool, RpEvResult &result)
{
    if (!m_dataSet || m_fieldNumber < 0 || m_fieldNumber >= m_dataSet->fieldCount()) {
        result = RpEvResult::error(text(UnknownFunctionFmt).arg(m_fieldName));
        return;
    }
    const QVariant v = m_dataSet->fieldValue(m_fieldNumber);
    switch (m_dataSet->fieldType(m_fieldNumber)) {
    case RpFieldType::String:
    case RpFieldType::WideString:
        result = RpEvResult::fromString(v.toString());
        break;
    case RpFieldType::Integer:
    case RpFieldType::SmallInt:
    case RpFieldType::LargeInt:
    case RpFieldType::Word:
        result = RpEvResult::fromInt64(v.toLongLong());
        break;
    case RpFieldType::Bcd:
    case RpFieldType::Float:
    case RpFieldType::Currency:
        result = RpEvResult::fromDouble(v.toDouble());
        break;
    case RpFieldType::Boolean:
        result = RpEvResult::fromBool(v.toBool());
        break;
    case RpFieldType::Date:
    case RpFieldType::Time:
    case RpFieldType::DateTime:
    case RpFieldType::TimeStamp:
        result = RpEvResult::fromString(m_dataSet->fieldText(m_fieldNumber));
        break;
    case RpFieldType::Blob: // bytes are no value an expression computes with
    case RpFieldType::Unknown:
        result = RpEvResult::error(text(FieldUnknownTypeFmt).arg(m_dataSet->fieldName(m_fieldNumber)));
        break;
    }
}

void RpEvElementError::value(RpEvResult *, int, bool, RpEvResult &result)
{
    result = RpEvResult::error(m_errorMessage);
}

void RpEvElementWrapper::value(RpEvResult *, int, bool, RpEvResult &result)
{
    if (auto f = m_function.lock())
        result = f->value();
    else
        result = RpEvResult::error(text(UnknownFunctionFmt).arg(m_name));
}

void RpEvElementNot::value(RpEvResult *operands, int count, bool, RpEvResult &result)
{
    if (count < 1) {
        result = RpEvResult::error(text(InvalidUseOfNot));
        return;
    }
    if (operands[0].isError())
        result = std::move(operands[0]);
    else if (operands[0].kind == resBool)
        result = RpEvResult::fromBool(!operands[0].booResult);
    else
        result = RpEvResult::error(text(InvalidUseOfNot));
}

RpEvResult RpFiFo::evaluate()
{
    if (m_hasParseError)
        return RpEvResult::error(m_parseError);
    if (m_items.empty())
        return RpEvResult::error(text(ErrorInExpressionFmt).arg(QString()));
    std::vector<RpEvResult> stack;
    std::vector<size_t> argumentEnds; // stack heights at each pending argument end
    stack.reserve(16);
    for (size_t i = m_items.size(); i-- > 0;) {
        RpEvElement *e = m_items[i].get();
        if (dynamic_cast<RpEvElementArgumentEnd *>(e)) {
            argumentEnds.push_back(stack.size());
            continue;
        }
        const int k = e->operandCount();
        size_t base = stack.size();
        if (k == RpEvElement::Variadic) {
            if (!argumentEnds.empty()) {
                base = std::min(argumentEnds.back(), stack.size());
                argumentEnds.pop_back();
            }
        } else {
            // Operands never reach past a pending argument end.
            const size_t floor = argumentEnds.empty() ? 0 : argumentEnds.back();
            const size_t avail = stack.size() > floor ? stack.size() - floor : 0;
            base = stack.size() - std::min(avail, size_t(k));
        }
        // The operand of the element right after e is on top: reverse so the
        // operands read left to right.
        std::reverse(stack.begin() + std::ptrdiff_t(base), stack.end());
        RpEvResult r;
        e->value(stack.data() + base, int(stack.size() - base), m_aggreg, r);
        stack.resize(base);
        stack.push_back(std::move(r));
    }
    if (stack.empty())
        return RpEvResult::error(text(ErrorInExpressionFmt).arg(QString()));
    return std::move(stack.back());
}

void RpFiFo::reset()
{
    for (auto &e : m_items)
        e->reset();
}

bool RpFiFo::isAggreg() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const auto &e) { return e->isAggreg(); });
}
