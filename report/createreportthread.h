// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Generation on a thread of its own (CreateInBGThread, PreviewModeless,
// PrintBackground): the thread runs GenerateReport on the report its
// starter took (reserveRun) while the user-interface thread shows the
// preview; a cancelled run's printer is freed and a failed run's error
// handed on back on that thread.
#include "report/customreport.h"

#include <QThread>

class CustomReport::BackgroundRun : public QThread {
public:
    explicit BackgroundRun(CustomReport &report) : m_report(report) {}
    ~BackgroundRun() override { wait(); }

protected:
    void run() override;

private:
    CustomReport &m_report;
};

