// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpgroup.h"

#include "expr/evaluator.h"
#include "report/customreport.h"
#include "report/reportrun.h"

RpGroup::RpGroup(QWidget *parent)
    : RpCustomBand(nullptr)
{
    m_bandType = rbGroupHeader;
    if (parent)
        setParentPanel(parent);
}

RpGroup::~RpGroup() = default;

void RpGroup::setFooterBand(RpCustomBand *band)
{
    m_footerBand = band;
    if (band && band->bandType() != rbGroupFooter)
        band->setBandType(rbGroupFooter);
}

void RpGroup::prepare(RpReportRun &run)
{
    m_evaluator = std::make_unique<RpEvaluator>();
    m_evaluator->setDataSets(run.dataSets);
    m_evaluator->setEnvironment(run.environment);
    m_evaluator->prepare(m_expression);
    m_hasResult = false;
    m_inGroup = false;
    m_changed = false;
    m_printPageNumber = 1;
}

void RpGroup::unprepare()
{
    if (m_evaluator)
        m_evaluator->unprepare();
    m_evaluator.reset();
}

namespace {

// Results compared by kind and value: integers, floats, strings and booleans.
bool sameResult(const RpEvResult &a, const RpEvResult &b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case resInt:
        return a.intResult == b.intResult;
    case resDouble:
        return a.dblResult == b.dblResult;
    case resString:
    case resError:
        return a.stringVal == b.stringVal;
    case resBool:
        return a.booResult == b.booResult;
    }
    return false;
}

} // namespace

bool RpGroup::evaluate(bool force)
{
    const RpEvResult v = m_evaluator ? m_evaluator->value() : RpEvResult{};
    const bool differs = force || !m_hasResult || !sameResult(v, m_groupValue);
    if (differs) {
        m_groupValue = v;
        m_hasResult = true;
    }
    return differs;
}
