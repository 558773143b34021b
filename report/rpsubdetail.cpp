// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpsubdetail.h"

#include "report/customreport.h"

#include <QSet>

RpSubDetail::RpSubDetail(QWidget *parent)
    : RpCustomBand(nullptr)
    , m_controller(std::make_unique<RpController>(this))
{
    m_bandType = rbSubDetail;
    m_controller->setDetail(this);
    if (parent)
        setParentPanel(parent);
}

RpSubDetail::~RpSubDetail() = default;

void RpSubDetail::setParentReport(CustomReport *r)
{
    RpCustomBand::setParentReport(r);
    m_controller->setParentReport(r);
}

bool RpSubDetail::setMaster(QObject *m)
{
    // Walk the chain of masters: coming back to this band would make it its
    // own master.
    QSet<QObject *> seen;
    for (QObject *o = m; o && !seen.contains(o);) {
        if (o == this)
            return false;
        seen.insert(o);
        auto *sub = qobject_cast<RpSubDetail *>(o);
        o = sub ? sub->master() : nullptr;
    }
    m_master = m;
    return true;
}
