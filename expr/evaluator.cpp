// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/evaluator.h"

#include "expr/environment.h"
#include "expr/exprparser.h"
#include "expr/exprstrings.h"
#include "platform/rperror.h"
#include "platform/units.h"

#include <cmath>
#include <limits>

using namespace exprstrings;

RpEvaluator::RpEvaluator() = default;

RpEvaluator::~RpEvaluator()
{
    if (m_prepared)
        unprepare();
}

void RpEvaluator::prepare(const QString &expression)
{
    if (m_prepared)
        unprepare();
    // Entries of the global environment do not count on it: they live and
    // are unprepared with it.
    RpEvEnvironment *global = rpGlobalEnvironment();
    m_holdsGlobal = m_environment != global;
    if (m_holdsGlobal)
        global->prepare();
    m_fiFo = std::make_unique<RpFiFo>();
    RpExprParser parser(*m_fiFo, m_environment, m_dataSets, MaxNesting);
    parser.parse(expression.isEmpty() ? QStringLiteral("' '") : expression);
    m_prepared = true;
}

void RpEvaluator::unprepare()
{
    m_fiFo.reset();
    const bool wasPrepared = m_prepared;
    m_prepared = false;
    if (wasPrepared && m_holdsGlobal) {
        m_holdsGlobal = false;
        rpGlobalEnvironment()->unprepare();
    }
}

void RpEvaluator::value(RpEvResult &result)
{
    if (!m_prepared || !m_fiFo)
        throw RpError(RpErrorKind::Internal, text(EvaluatorNotPrepared));
    result = m_fiFo->evaluate();
}

RpEvResult RpEvaluator::value()
{
    RpEvResult r;
    value(r);
    return r;
}

void RpEvaluator::calculate(const QString &expression, RpEvResult &result)
{
    prepare(expression);
    value(result);
    unprepare();
}

void RpEvaluator::reset()
{
    if (m_fiFo)
        m_fiFo->reset();
}

void RpEvaluator::doAggregate()
{
    if (!m_prepared || !m_fiFo)
        throw RpError(RpErrorKind::Internal, text(EvaluatorNotPrepared));
    m_fiFo->setAggreg(true);
    m_fiFo->evaluate();
    m_fiFo->setAggreg(false);
}

QString RpEvaluator::asString() { return rpAsString(value()); }
int32_t RpEvaluator::asInteger() { return rpAsInteger(value()); }
double RpEvaluator::asFloat() { return rpAsFloat(value()); }
bool RpEvaluator::asBoolean() { return rpAsBoolean(value()); }
QVariant RpEvaluator::asVariant() { return rpAsVariant(value()); }

bool RpEvaluator::isAggreg() const
{
    return m_fiFo && m_fiFo->isAggreg();
}

bool RpEvaluator::aggregate() const
{
    return m_fiFo && m_fiFo->aggreg();
}

void RpEvaluator::setAggregate(bool aggregate)
{
    if (m_fiFo)
        m_fiFo->setAggreg(aggregate);
}

namespace {
[[noreturn]] void raiseExpressionError(const RpEvResult &r)
{
    throw RpError(RpErrorKind::BadArgument, text(ErrorInExpressionFmt).arg(r.stringVal));
}
[[noreturn]] void raiseNotA(Id kind)
{
    throw RpError(RpErrorKind::BadArgument, text(NotAValueFmt).arg(text(kind)));
}
} // namespace

QString rpAsString(const RpEvResult &r)
{
    if (r.isError())
        raiseExpressionError(r);
    return rpResultText(r);
}

int32_t rpAsInteger(const RpEvResult &r)
{
    if (r.kind == resInt)
        return r.intResult;
    if (r.kind == resDouble) {
        const double d = rpRoundFloat(r.dblResult);
        if (std::isfinite(d) && d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max())
            return int32_t(d);
    }
    raiseNotA(KindNumeric);
}

double rpAsFloat(const RpEvResult &r)
{
    if (r.isNumeric())
        return r.number();
    raiseNotA(KindNumeric);
}

bool rpAsBoolean(const RpEvResult &r)
{
    if (r.kind == resBool)
        return r.booResult;
    if (r.kind == resString) {
        if (r.stringVal.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
            return true;
        if (r.stringVal.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
            return false;
    }
    raiseNotA(KindBoolean);
}

QVariant rpAsVariant(const RpEvResult &r)
{
    switch (r.kind) {
    case resInt: return QVariant(int(r.intResult));
    case resDouble: return QVariant(r.dblResult);
    case resString: return QVariant(r.stringVal);
    case resBool: return QVariant(r.booResult);
    case resError: break;
    }
    raiseExpressionError(r);
}
