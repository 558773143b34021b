// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Controllers drive the record loop of generation. A controller walks its
// data set (or asks OnNeedData for more), prints its header once, for each
// record its group headers, the sub-details printed before, its detail band
// and the sub-details printed after, closes the groups that changed, and
// prints its footer at the end. The report has one (its detail, title and
// summary bands); each sub-detail band has its own.
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class CustomReport;
class RpCustomBand;
class RpDataSet;
class RpGroup;
class RpPrintable;
class RpReportRun;

class RpCustomController {
public:
    explicit RpCustomController(QObject *selfCheck, CustomReport *report = nullptr);
    virtual ~RpCustomController();
    RpCustomController(const RpCustomController &) = delete;
    RpCustomController &operator=(const RpCustomController &) = delete;

    CustomReport *parentReport() const { return m_report; }
    void setParentReport(CustomReport *r) { m_report = r; }
    // The object that owns this controller (the report or the controller
    // band); the groups and sub-controllers whose Master it is join it.
    QObject *selfCheck() const { return m_selfCheck; }
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool v) { m_printIfEmpty = v; }

    const QList<RpCustomController *> &printBeforeList() const { return m_printBefore; }
    const QList<RpCustomController *> &printAfterList() const { return m_printAfter; }
    const QList<RpGroup *> &groupList() const { return m_groups; }

    // Collects the sub-controllers and groups whose master is this
    // controller's owner, in the order of the report's children.
    void collect();
    // Prepares the groups' expressions and the sub-controllers (the run's
    // environment and data sets); clears the notify list.
    void prepare(RpReportRun &run);
    void unprepare();

    // Printables told about every record (AddNotifyClient).
    void addNotifyClient(RpPrintable *p);
    const QList<QPointer<RpPrintable>> &notifyList() const { return m_notifyList; }
    // NotifyPrintable with operation 0 to every printable on the notify list.
    void notifyClients();

    virtual void runDetailLoop(RpReportRun &run);
    virtual void printEmpty(RpReportRun &run);
    // The bands in the order this controller prints them: its header, the
    // group headers, the sub-details printed before (with their bands), the
    // detail band, the sub-details printed after, the group footers
    // (innermost first) and its footer.
    virtual QList<RpCustomBand *> arrangedBands() const;

    // Groups. A group that changed prints its header; a group that closes
    // prints its footer.
    bool checkGroups();
    void printGroupHeaders(RpReportRun &run);
    void printGroupFooters(RpReportRun &run);
    // Reprints, after a new column, the headers of the open groups marked to
    // repeat on a new page.
    void reprintGroupHeaders(RpReportRun &run);

protected:
    void runSubControllers(RpReportRun &run, const QList<RpCustomController *> &list);

    CustomReport *m_report;
    QObject *m_selfCheck;
    bool m_printIfEmpty = true;
    QList<RpCustomController *> m_printBefore, m_printAfter;
    QList<RpGroup *> m_groups;
    QList<QPointer<RpPrintable>> m_notifyList;
};

// A controller over a data set and its bands.
class RpController : public RpCustomController {
public:
    using RpCustomController::RpCustomController;

    RpDataSet *dataSet() const { return m_dataSet; }
    void setDataSet(RpDataSet *d) { m_dataSet = d; }
    RpCustomBand *detail() const { return m_detail; }
    void setDetail(RpCustomBand *b) { m_detail = b; }
    RpCustomBand *header() const { return m_header; }
    void setHeader(RpCustomBand *b) { m_header = b; }
    RpCustomBand *footer() const { return m_footer; }
    void setFooter(RpCustomBand *b) { m_footer = b; }
    // OnNeedData(Sender, var MoreData): more records without a data set.
    std::function<void(QObject *, bool &)> onNeedData;
    // The records printed in the current loop.
    int detailNumber() const { return m_detailNumber; }
    // The report's own controller (it also prints the column header and
    // reports progress).
    bool isReportController() const;

    void runDetailLoop(RpReportRun &run) override;
    void printEmpty(RpReportRun &run) override;
    QList<RpCustomBand *> arrangedBands() const override;

private:
    bool usableDataSet() const;

    RpDataSet *m_dataSet = nullptr;
    QPointer<RpCustomBand> m_detail, m_header, m_footer;
    int m_detailNumber = 0;
};
