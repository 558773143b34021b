// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One run of a report onto a page device: the state of generation that
// lasts as long as the run and no longer. The report owns the run while it
// lasts and answers CurrentY, PageNumber, AvailableSpace, FinalPass and
// Exporting from it; bands and controls receive it when they print, and
// read the page device, the export filter and the pass from it instead of
// from the report.
//
// Positions and sizes are in native units (tenths of a millimetre).
// Everything here belongs to the thread the run prints on; runs of
// different reports share nothing, so they may go at the same time on
// threads of their own.
#include "report/runrequest.h"

#include <QList>
#include <QStringList>
#include <QtGlobal>

class Canvas;
class CustomReport;
class RpCustomBand;
class RpDataSet;
class RpEvEnvironment;
class RpExportFilter;
class RpPageDevice;
class RpPrinter;
class QObject;
class RpPrintable;

class RpReportRun {
public:
    // A run of `report` onto `device`. With a filter the run exports: the
    // bands and controls hand their items to it as well.
    RpReportRun(CustomReport &report, RpPageDevice &device, RpExportFilter *filter = nullptr);
    // The run an entry point asked for: its filter and pass, and for a part
    // of a composite document, the document's page count.
    RpReportRun(CustomReport &report, RpPageDevice &device, const RpRunRequest &request);
    ~RpReportRun();
    RpReportRun(const RpReportRun &) = delete;
    RpReportRun &operator=(const RpReportRun &) = delete;

    CustomReport &report() const { return m_report; }
    RpPageDevice &device() const { return m_device; }
    // The report printer behind the device, when there is one.
    RpPrinter *printer() const;
    // The page canvas, or null between pages.
    Canvas *canvas() const;
    RpExportFilter *exportFilter() const { return m_filter; }
    bool exporting() const { return m_filter != nullptr; }
    // Pages are really drawn; an export run sets it false to only feed the
    // filter. True at the start of every run.
    bool finalPass() const { return m_finalPass; }
    void setFinalPass(bool v) { m_finalPass = v; }

    // What expressions of the run read: the data sets of the report's form
    // (AllDataSets) and the report's function environment (none outside
    // generation).
    QList<RpDataSet *> dataSets;
    RpEvEnvironment *environment = nullptr;
    // The control whose text lines go to the export filter now (a filter
    // may name it beside the text); null between controls.
    const QObject *textSource = nullptr;

    // The height left above the page footer: 0 before the first page, the
    // paper length for a streaming filter, else
    // Round(P - BottomMargin - PageFooterSize - CurrentY) with P the paper length.
    int availableSpace() const;

    // A control that cannot print part of its content (a damaged picture)
    // says so here and prints the rest; the page goes on. Each distinct
    // message is kept once, in order, and handed to the report's
    // onPrintError.
    void reportError(const QString &message);
    const QStringList &errors() const { return m_errors; }

    // Where the next band starts; CurrentY is -1 before the first page.
    int currentX = 0;
    int currentY = -1;
    int currentColumn = 1;
    // CurrentY at which every column of the current page starts.
    int columnTopPosition = 0;
    // Pages started in this run.
    int pageNumber = 0;
    // Total height of the enabled page footer bands and their child chains.
    double pageFooterSize = 0;
    // The last page is being closed.
    bool lastPage = false;
    // The next forced page break is skipped (right after the title and the
    // first column header).
    bool noForceNewPage = false;
    bool newColumnForced = false;
    bool newPageForced = false;
    // A detail band has just forced a column or page break, so the same
    // band's ForceNewPage does not break again.
    bool breakPending = false;
    // The run is one part of a composite document.
    bool compositePart = false;

    // --- placement (report/placement.cpp) --------------------------------
    // Where each band lands, when a column or page breaks, and what repeats
    // on every page. Only during generation (the run has a report
    // environment and the report's controller).

    // Prints a band (and its child bands) at the current position; a band
    // aligned to the bottom goes to the bottom of the page first. None:
    // nothing.
    void printReportBand(RpCustomBand *band);
    // Breaks asked for by ForceNewColumn and ForcePageBreak.
    void forceColumnBreak();
    void forcePageBreak();
    // The next column, or the next page after the last column.
    void newColumn();
    // Closes the page (if any) and starts the next one with its background
    // and page header.
    void newPage();
    // Closes the page: the page footer, the report's own controls and frame.
    void endPage();
    void finishPageContent();
    // The heights of the enabled page footers and their child chains.
    void resetPageFooterSize();
    // The paper length the page breaks against.
    double paperLength() const;
    // The control placed on the report whose name BackImageControl holds:
    // drawn as every page's background, never as a control. None when the
    // name is empty or no such control is on the report.
    RpPrintable *backgroundImageControl() const;

private:
    CustomReport &m_report;
    RpPageDevice &m_device;
    RpExportFilter *m_filter;
    bool m_finalPass;
    int *m_documentPages = nullptr;
    RpReportRun *m_previous;
    QStringList m_errors;
};
