// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The expression label: a label that prints the value of an expression (a
// data field, a calculation, a report function such as PAGENUMBER, or an
// aggregate such as SUM or COUNT over the records printed so far) instead of
// a fixed caption. On screen it shows the expression's text; at every print
// it evaluates the expression, turns the result into text with its mask and
// prints that text as a label prints its caption.
//
// The caption belongs to the surface and follows the expression; what a run
// prints goes into the label's print caption only, so a run on another
// thread never writes the caption the surface paints.
#include "controls/rplabel.h"
#include "expr/evresult.h"

#include <QPointer>
#include <memory>

class RpEvaluator;

class RpExpr : public RpCustomLabel {
    Q_OBJECT
public:
    explicit RpExpr(QWidget *parent = nullptr);
    ~RpExpr() override;

    const QString &expression() const { return m_expression; }
    // The caption becomes the expression, or "(none)" when it is empty.
    void setExpression(const QString &e);
    // The display mask of numbers: a number picture ("#,##0.00"), or a
    // format string with "%m" for the locale's currency format.
    const QString &mask() const { return m_mask; }
    void setMask(const QString &m);
    // The report or sub-detail band whose records drive the aggregates
    // (none: the report, when the expression aggregates). A master of any
    // other kind drives nothing.
    QObject *master() const { return m_master; }
    void setMaster(QObject *m) { m_master = m; }
    // Clear the aggregates after each print (a group footer showing its
    // group's own total).
    bool resetAfterPrint() const { return m_resetAfterPrint; }
    void setResetAfterPrint(bool v) { m_resetAfterPrint = v; }

    // The expression's value while a run has it prepared (on the run's
    // thread); outside a run an error result.
    RpEvResult value() const;
    // Clears the aggregates.
    void reset();

    void beginPrinting(RpReportRun &run) override;
    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    void notifyPrintable(QObject *sender, quint8 operation) override;
    void endPrinting() override;

private:
    // The caption follows the expression.
    using RpCustomLabel::setCaption;

    std::unique_ptr<RpEvaluator> m_evaluator;
    QString m_expression;
    QString m_mask;
    QPointer<QObject> m_master;
    bool m_resetAfterPrint = false;
};

// The printed text of an expression result: numbers (integers as floating
// point) through `mask` as a number picture, or, when the mask holds "%m",
// as a format string; separators and currency follow the user's locale.
// Strings as they are, booleans "True"/"False", errors their message; a
// number the mask cannot format gives "Invalid format or value specified".
QString rpExprResultText(const RpEvResult &result, const QString &mask);
