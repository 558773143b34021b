// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sub-detail: a band with a controller of its own over a data set of its
// own. Its controller runs for every record of its master (the report or
// another sub-detail), before or after the master's detail band, and prints
// its header, its records (this band) and its footer.
#include "report/rpband.h"
#include "report/rpcontroller.h"

#include <memory>

class RpDataSet;

class RpSubDetail : public RpCustomBand {
    Q_OBJECT
public:
    explicit RpSubDetail(QWidget *parent = nullptr);
    ~RpSubDetail() override;

    RpController &controller() { return *m_controller; }
    // The report or sub-detail whose records drive this one; none stands
    // for the report. A master chain that comes back to this band is
    // refused (false).
    QObject *master() const { return m_master; }
    bool setMaster(QObject *m);
    bool printBefore() const { return m_printBefore; }
    void setPrintBefore(bool v) { m_printBefore = v; }
    bool printIfEmpty() const { return m_controller->printIfEmpty(); }
    void setPrintIfEmpty(bool v) { m_controller->setPrintIfEmpty(v); }
    // The data set by the name the report's data sets go by.
    const QString &dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString &name) { m_dataSetName = name; }
    RpCustomBand *headerBand() const { return m_controller->header(); }
    void setHeaderBand(RpCustomBand *b) { m_controller->setHeader(b); }
    RpCustomBand *footerBand() const { return m_controller->footer(); }
    void setFooterBand(RpCustomBand *b) { m_controller->setFooter(b); }
    std::function<void(QObject *, bool &)> &onNeedData() { return m_controller->onNeedData; }

    void setParentReport(CustomReport *r) override;

private:
    std::unique_ptr<RpController> m_controller;
    QPointer<QObject> m_master;
    bool m_printBefore = false;
    QString m_dataSetName;
};
