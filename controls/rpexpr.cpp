// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rpexpr.h"

#include "expr/evaluator.h"
#include "expr/exprstrings.h"
#include "expr/floatformat.h"
#include "expr/numberpicture.h"
#include "platform/guithread.h"
#include "platform/locale.h"
#include "report/customreport.h"
#include "report/reportrun.h"
#include "report/rpsubdetail.h"

#include <QLocale>

using namespace exprstrings;

RpExpr::RpExpr(QWidget *parent)
    : RpCustomLabel(parent)
    , m_evaluator(std::make_unique<RpEvaluator>())
{
    setExpression(QString());
}

RpExpr::~RpExpr() = default;

void RpExpr::setExpression(const QString &e)
{
    m_expression = e;
    setCaption(e.isEmpty() ? QStringLiteral("(%1)").arg(text(NoneText)) : e);
}

void RpExpr::setMask(const QString &m)
{
    m_mask = m;
    setExpression(m_expression);
}

RpEvResult RpExpr::value() const
{
    if (!m_evaluator->prepared())
        return RpEvResult::error(text(EvaluatorNotPrepared));
    return m_evaluator->value();
}

void RpExpr::reset() { m_evaluator->reset(); }

void RpExpr::beginPrinting(RpReportRun &run)
{
    RpCustomLabel::beginPrinting(run);
    // A print left unfinished by an earlier run does not carry over.
    m_printFinished = true;
    m_evaluator->setDataSets(run.dataSets);
    m_evaluator->setEnvironment(run.environment);
    m_evaluator->prepare(m_expression);
    // The records of the master drive the aggregates; without a master the
    // report's do, when there is anything to aggregate.
    if (m_master) {
        if (auto *report = qobject_cast<CustomReport *>(m_master.data()))
            report->addNotifyClient(this);
        else if (auto *sub = qobject_cast<RpSubDetail *>(m_master.data()))
            sub->controller().addNotifyClient(this);
    } else if (m_evaluator->isAggreg()) {
        run.report().addNotifyClient(this);
    }
    reset();
}

void RpExpr::notifyPrintable(QObject *sender, quint8 operation)
{
    RpCustomLabel::notifyPrintable(sender, operation);
    if (operation == 0 && m_evaluator->prepared())
        m_evaluator->doAggregate();
}

void RpExpr::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    if (!isPrintable())
        return;
    // A text that continues in the next column is the one it started with,
    // not a new value (which ResetAfterPrint may already have cleared).
    if (printFinished())
        setPrintCaption(rpExprResultText(value(), m_mask));
    RpCustomLabel::printAt(run, ofsX, ofsY);
    if (m_resetAfterPrint)
        reset();
}

void RpExpr::endPrinting()
{
    m_evaluator->setDataSets({});
    m_evaluator->unprepare();
    m_evaluator->setEnvironment(nullptr);
    RpCustomLabel::endPrinting();
    // The surface shows the expression again (on its own thread).
    runOnGuiThread(this, [this] { setExpression(m_expression); });
}

QString rpExprResultText(const RpEvResult &r, const QString &mask)
{
    switch (r.kind) {
    case resInt:
    case resDouble: {
        // An integer is formatted as the floating-point number it equals, so
        // a currency mask serves integer totals as well.
        const double v = r.number();
        const std::optional<QString> s =
            mask.contains(QLatin1String("%m"))
                ? rpFormatFloatString(mask, v, QLocale())
                : rpFormatNumberPicture(mask, v, rplocale::decimalSeparator(), rplocale::thousandSeparator());
        return s.value_or(text(InvalidFormatOrValue));
    }
    case resString:
        return r.stringVal;
    case resBool:
        return text(r.booResult ? TrueText : FalseText);
    case resError:
        return r.stringVal;
    }
    return r.stringVal;
}
