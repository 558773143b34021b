// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A group: a group-header band with an expression. While the records of its
// controller give the same value the group stays open; when the value
// changes the group closes (its footer band prints) and opens again (its
// header prints).
#include "expr/evresult.h"
#include "report/rpband.h"

#include <memory>

class RpEvaluator;
class RpReportRun;

class RpGroup : public RpCustomBand {
    Q_OBJECT
public:
    explicit RpGroup(QWidget *parent = nullptr);
    ~RpGroup() override;

    const QString &expression() const { return m_expression; }
    void setExpression(const QString &e) { m_expression = e; }
    // The band printed when the group closes; typed rbGroupFooter.
    RpCustomBand *footerBand() const { return m_footerBand; }
    void setFooterBand(RpCustomBand *band);
    // The report or sub-detail band whose records the group follows; none
    // stands for the report.
    QObject *master() const { return m_master; }
    void setMaster(QObject *m) { m_master = m; }
    // Print the header again at the top of every new page the group goes on.
    bool reprintOnNewPage() const { return m_reprintOnNewPage; }
    void setReprintOnNewPage(bool v) { m_reprintOnNewPage = v; }

    // Run state (the controller's record loop).
    void prepare(RpReportRun &run);
    void unprepare();
    // Evaluates the expression; true when its value differs from the one
    // kept (or none was kept), which it then keeps. `force` keeps the value
    // and answers true whatever it is.
    bool evaluate(bool force);
    const RpEvResult &groupValue() const { return m_groupValue; }
    bool hasResult() const { return m_hasResult; }
    void setHasResult(bool v) { m_hasResult = v; }
    bool inGroup() const { return m_inGroup; }
    void setInGroup(bool v) { m_inGroup = v; }
    int printPageNumber() const { return m_printPageNumber; }
    void setPrintPageNumber(int v) { m_printPageNumber = v; }
    bool changed() const { return m_changed; }
    void setChanged(bool v) { m_changed = v; }

private:
    QString m_expression;
    QPointer<RpCustomBand> m_footerBand;
    QPointer<QObject> m_master;
    bool m_reprintOnNewPage = false;
    std::unique_ptr<RpEvaluator> m_evaluator;
    RpEvResult m_groupValue;
    bool m_hasResult = false;
    bool m_inGroup = false;
    int m_printPageNumber = 1;
    bool m_changed = false;
};
