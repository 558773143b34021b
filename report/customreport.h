// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report component: page setup, band list in print order, text
// measurement, zoom and units, and the report surface on screen.
#include "report/rpbandtype.h"
#include "report/rpbasepanel.h"
#include "printer/printersettings.h"
#include "printer/rpprinterparent.h"
#include "report/previewsettings.h"
#include "report/printersetup.h"
#include "report/rppage.h"
#include "report/runrequest.h"
#include "report/storedprintersettings.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <utility>

class Canvas;
class CustomReport;
class RpBand;
class RpCompositeReport;
class RpController;
class RpCustomBand;
class RpDataSet;
class RpError;
class RpExportFilter;
class RpPrintable;
class RpPrinter;
class RpReportRun;

enum ReportOption { FirstPageHeader = 0, LastPageFooter = 1, Compression = 2 };

// The `Bands` property: the report's standard bands by index.
class ReportBands {
public:
    explicit ReportBands(CustomReport *owner) : m_owner(owner) {}
    // Index 1 title ... 7 summary; 5 is the column footer, always none.
    RpCustomBand *band(int index) const;
    bool has(int index) const { return band(index) != nullptr; }
    void setHas(int index, bool value);

    RpCustomBand *titleBand() const { return band(1); }
    RpCustomBand *pageHeaderBand() const { return band(2); }
    RpCustomBand *columnHeaderBand() const { return band(3); }
    RpCustomBand *detailBand() const { return band(4); }
    RpCustomBand *columnFooterBand() const { return nullptr; }
    RpCustomBand *pageFooterBand() const { return band(6); }
    RpCustomBand *summaryBand() const { return band(7); }
    bool hasTitle() const { return has(1); }
    void setHasTitle(bool v) { setHas(1, v); }
    bool hasPageHeader() const { return has(2); }
    void setHasPageHeader(bool v) { setHas(2, v); }
    bool hasColumnHeader() const { return has(3); }
    void setHasColumnHeader(bool v) { setHas(3, v); }
    bool hasDetail() const { return has(4); }
    void setHasDetail(bool v) { setHas(4, v); }
    bool hasPageFooter() const { return has(6); }
    void setHasPageFooter(bool v) { setHas(6, v); }
    bool hasSummary() const { return has(7); }
    void setHasSummary(bool v) { setHas(7, v); }

private:
    CustomReport *m_owner;
};

class CustomReport : public RpBasePanel, public RpPrinterParent {
    Q_OBJECT
public:
    // Where a new report's paper comes from: the default printer's, or none
    // (Default) when whoever makes the report is about to name the paper,
    // as a stored layout does, and the printer need not be asked.
    enum class StartPaper { DefaultPrinters, NamedLater };
    explicit CustomReport(QWidget *parent = nullptr, StartPaper paper = StartPaper::DefaultPrinters);
    ~CustomReport() override;

    RpPage *page() const { return m_page.get(); }
    ReportBands *bands() { return &m_bands; }
    const QList<RpCustomBand *> &bandList() const { return m_bandList; }

    RpUnit units() const { return m_page->units(); }
    virtual void setUnits(RpUnit u);
    // The units of the page, the bands and their controls without touching
    // the surface (a run switches to Native for its length); the surface
    // repaints on the user-interface thread.
    void setUnitsOnRun(RpUnit u);
    void setZoom(int z) override;

    const RpFont &font() const { return m_font; }
    void setFont(const RpFont &f);
    RpFont &fontRef() { return m_font; }
    StoredPrinterSettings &storedPrinterSettings() { return m_printerSettings; }

    int options() const { return m_options; }
    void setOptions(int o) { m_options = o; }
    bool hasOption(ReportOption o) const { return m_options & (1 << o); }
    // Held by the report's controller: with no records, print the bands once.
    bool printIfEmpty() const;
    virtual void setPrintIfEmpty(bool v);
    bool snapToGrid() const { return m_snapToGrid; }
    void setSnapToGrid(bool v) { m_snapToGrid = v; }
    bool showProgress() const override { return m_showProgress; }
    void setShowProgress(bool v) { m_showProgress = v; }
    const QString &reportTitle() const { return m_reportTitle; }
    void setReportTitle(const QString &s) { m_reportTitle = s; }
    // What the report's print jobs are called when it has no title (the
    // program names its documents; not stored with the report).
    const QString &jobName() const { return m_jobName; }
    void setJobName(const QString &s) { m_jobName = s; }
    // The title of the report's print jobs: its title, or else its job name.
    const QString &jobTitle() const { return m_reportTitle.isEmpty() ? m_jobName : m_reportTitle; }
    const QStringList &description() const { return m_description; }
    void setDescription(const QStringList &d) { m_description = d; }
    // Named functions, in order: "PAGENUMBER" = "0", ...
    const QList<std::pair<QString, QString>> &functions() const { return m_functions; }
    void setFunctions(const QList<std::pair<QString, QString>> &f) { m_functions = f; }
    quint32 backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(quint32 c) { m_backgroundColor = c; }
    const QString &backImageControl() const { return m_backgroundImage; }
    void setBackImageControl(const QString &s) { m_backgroundImage = s; }

    // Preview window settings, one value; the accessors below read and write
    // its fields under the names the descriptions store.
    PreviewSettings &previewSettings() { return m_preview; }
    const PreviewSettings &previewSettings() const { return m_preview; }
    FormStyle prevFormStyle() const { return m_preview.formStyle; }
    void setPrevFormStyle(FormStyle v) { m_preview.formStyle = v; }
    WindowState previewInitialState() const { return m_preview.initialState; }
    void setPreviewInitialState(WindowState v) { m_preview.initialState = v; }
    RpZoomState prevInitialZoom() const { return m_preview.initialZoom; }
    void setPrevInitialZoom(RpZoomState v) { m_preview.initialZoom = v; }
    PrevSaveType previewDefaultSaveType() const { return m_preview.defaultSaveType; }
    void setPreviewDefaultSaveType(PrevSaveType v) { m_preview.defaultSaveType = v; }
    int previewLeft() const { return m_preview.left; }
    void setPreviewLeft(int v) { m_preview.left = v; }
    int previewTop() const { return m_preview.top; }
    void setPreviewTop(int v) { m_preview.top = v; }
    int previewWidth() const { return m_preview.shownWidth(); }
    void setPreviewWidth(int v) { m_preview.width = v; }
    int previewHeight() const { return m_preview.shownHeight(); }
    void setPreviewHeight(int v) { m_preview.height = v; }
    bool prevShowThumbs() const { return m_preview.showThumbs; }
    void setPrevShowThumbs(bool v) { m_preview.showThumbs = v; }
    bool prevShowSearch() const { return m_preview.showSearch; }
    void setPrevShowSearch(bool v) { m_preview.showSearch = v; }
    int pagesInPreview() const { return m_pagesInPreview; }
    void setPagesInPreview(int v) { m_pagesInPreview = v; }
    // The components' integer tag; a composite report marks its last part 999.
    int tag() const { return m_tag; }
    void setTag(int v) { m_tag = v; }
    bool startNewPageInComposite() const { return m_startNewPageInComposite; }
    void setStartNewPageInComposite(bool v) { m_startNewPageInComposite = v; }
    bool createInBGThread() const { return m_createInBGThread; }
    void setCreateInBGThread(bool v) { m_createInBGThread = v; }

    bool hideBands() const { return m_hideBands; }
    void setHideBands(bool v);
    int rotateBands() const { return m_rotateBands; }
    void setRotateBands(int v);

    // --- generation (report/generation.cpp) ----------------------------------
    // The entry points. Preview records the pages and shows them (returning
    // when the preview closes); Prepare records them and keeps them in
    // reportPrinter(); Print regenerates onto the printer; ExportToFilter
    // feeds a filter. PreviewModeless and PrintBackground generate on a
    // thread of their own and return at once; so does Preview with
    // CreateInBGThread. A run refuses to start while another run of the same
    // report is going; runs of different reports go at the same time.
    void preview();
    void previewModal();
    void previewModeless();
    void prepare();
    void print();
    void printBackground();
    void exportToFilter(RpExportFilter *filter);
    // Exports as one part of a composite document onto the composite's
    // printer, starting at `start`.
    void exportComposite(RpExportFilter *filter, RpPrinter *printer, const RpRunPosition &start);
    void cancel();
    // Runs the print dialog preset from the report and keeps the choice: the
    // copies, printer and page range in the stored settings, the orientation
    // in the page, all of it in userPrinterSettings(). A cancelled dialog
    // sets Tag to 1 and changes nothing else; a confirmed one sets it to 0.
    void printerSetup();
    UserPrinterSettings &userPrinterSettings() { return m_userPrinterSettings; }
    // One run: opens the printer's document (unless a composite opened it),
    // prints every band through the controller's record loop and ends the
    // document.
    virtual void generateReport(const RpRunRequest &request = {});
    // A fresh report printer for the next run (false while a run goes on).
    bool createReportPrinter();
    void applyReportPrinterSettings();

    bool available() const { return m_available; }
    // A run on a thread of its own has not yet handed on what it left (its
    // pages' printer, its error). User-interface thread.
    bool backgroundRunning() const;
    bool cancelled() const { return m_cancelled; }
    bool userCancel() const { return m_userCancel; }
    // The printer of the current or last run: the report's own, or while it
    // runs as part of a composite document, the composite's.
    RpPrinter *reportPrinter() const { return m_compositePrinter ? m_compositePrinter : m_reportPrinter.get(); }
    void setCompositePrinter(RpPrinter *p) { m_compositePrinter = p; }
    // The composite report this report runs in, if any.
    RpCompositeReport *parentComposite() const { return m_parentComposite; }
    void setParentComposite(RpCompositeReport *c) { m_parentComposite = c; }
    // Where the last run ended (a composite's next part starts there).
    RpRunPosition lastPosition() const { return m_lastPosition; }

    // The controller of the record loop: the detail, title and summary bands
    // over the report's data set.
    RpController *controller() const { return m_controller.get(); }
    // Registers a printable for NotifyPrintable on every record.
    void addNotifyClient(RpPrintable *p);
    // The data sets of the report's form: what AllDataSets holds during a
    // run, and where DataSet and the sub-details' data sets are found by
    // name. Not owned; they must outlive the runs.
    const QList<RpDataSet *> &formDataSets() const { return m_formDataSets; }
    void setFormDataSets(const QList<RpDataSet *> &sets) { m_formDataSets = sets; }
    RpDataSet *findDataSet(const QString &name) const;
    // The report's data set, by the name it goes by among the form's.
    const QString &dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString &name) { m_dataSetName = name; }
    // The record count of the data set (1 without one or when it cannot tell)
    // and the record the controller is on.
    int recordCount() const;
    int recordNumber() const;
    // The printables placed on the report itself (not on a band), and every
    // band in the order the report's children were made.
    QList<RpPrintable *> ownPrintables() const;
    QList<RpCustomBand *> bandsInCreationOrder() const;

    // Events; the sender is the report.
    std::function<void(CustomReport *, bool &)> beforePrintEvent;
    std::function<void(CustomReport *)> afterPrintEvent, afterPreviewEvent, onStartPage, onEndPage;
    std::function<void(QObject *, bool &)> onNeedData;
    std::function<void(RpPrinter *)> onPreview;
    // A run on a thread of its own (PrintBackground, PreviewModeless,
    // CreateInBGThread) failed: its printer's document was aborted and its
    // preview shows the error. Called on the user-interface thread.
    std::function<void(CustomReport *, const RpError &)> onBackgroundError;
    // A control could not print part of its content (a damaged picture); the
    // page went on without it. Called once for each distinct message of a
    // run, on the thread the run prints on.
    std::function<void(CustomReport *, const QString &)> onPrintError;
    // Told of the standard preview window's commands (the sender is the
    // window); a true Handled skips what the command does.
    std::function<void(QObject *, StandPrevEventType, const QString &, bool &)> onStandPrevEvent;

    // RpPrinterParent
    const RpPrinterSettings &printerSettings() const override { return m_parentSettings; }
    double pageWidthNative() const override;
    double pageLengthNative() const override;
    void setUserCancel(bool cancel) override { m_userCancel = cancel; }
    void afterPrint() override;

    // The run in progress, or null between runs. Its state answers the
    // generation properties below; outside a run they read as before the
    // first page.
    RpReportRun *currentRun() const { return m_run; }
    // Makes `run` the current one and returns the one it replaces (the run
    // object does this for the length of its life).
    RpReportRun *attachRun(RpReportRun *run);
    bool finalPass() const;
    bool exporting() const override;
    RpExportFilter *exportFilter() const;
    int currentX() const;
    int currentY() const;
    int pageNumber() const;
    // The space left above the page footer, native units; 0 outside a run.
    virtual int availableSpace() const;

    RpBand *createBand(RpBandType type);
    void addBand(RpCustomBand *band);
    void removeBand(RpCustomBand *band);
    bool isDestroying() const { return m_destroying; }

    // Text extent + 1 and the height of "A" on the reference surface, in
    // screen pixels; 0 when measuring fails. Safe on any thread: each thread
    // measures on a surface of its own.
    int textWidth(const RpFont &font, const QString &text) const;
    int textHeight(const RpFont &font, const QString &text) const;

    void modify();
    bool modified() const { return m_modified; }

    void setBounds(int left, int top, int width, int height) override;
    void loaded() override;

    // Re-order the band list, and lay the bands out on the surface.
    void orderBands();
    void setBandValues();
    void pageOrientationChanged(PrinterOrientation o) { m_printerSettings.orientation = int(o); }

    // A recorded page shown over the whole surface.
    void setPreviewPage(const QImage &page);
    bool hasPreviewPage() const { return !m_previewPage.isNull(); }

    void drawRuler(Canvas &canvas, RpUnit units) override;
    virtual void drawMargins(Canvas &canvas);
    virtual void drawPageFrame(Canvas &canvas);
    virtual void drawColumnMarks(Canvas &canvas);
    void paintSurface(Canvas &canvas) override;

protected:
    bool event(QEvent *e) override;
    bool isReportPanel() const override { return true; }
    // Bands the controller arranges, in order (its header, group headers,
    // sub-details, detail, group footers, footer).
    virtual QList<RpCustomBand *> controllerBands() const;
    virtual void connectBands() {}

private:
    std::unique_ptr<RpPage> m_page;
    ReportBands m_bands;
    QList<RpCustomBand *> m_bandList;
    RpFont m_font;
    int m_options = (1 << FirstPageHeader) | (1 << LastPageFooter);
    int m_tag = 0;
    bool m_snapToGrid = true;
    bool m_showProgress = true;
    QString m_reportTitle;
    QString m_jobName;
    QStringList m_description;
    QList<std::pair<QString, QString>> m_functions;
    quint32 m_backgroundColor = rpcolor::clWhite;
    QString m_backgroundImage;
    bool m_hideBands = false;
    int m_rotateBands = 0;
    bool m_modified = false;
    QImage m_previewPage;
    PreviewSettings m_preview;
    int m_pagesInPreview = 0;
    bool m_startNewPageInComposite = false, m_createInBGThread = false;
    RpReportRun *m_run = nullptr;
    std::atomic<bool> m_available = true;
    std::atomic<bool> m_cancelled = false;
    std::atomic<bool> m_userCancel = false;
    std::unique_ptr<RpController> m_controller;
    std::unique_ptr<RpPrinter> m_reportPrinter;
    RpPrinter *m_compositePrinter = nullptr;
    RpPrinterSettings m_parentSettings;
    RpRunPosition m_lastPosition;
    RpCompositeReport *m_parentComposite = nullptr;
    QList<RpDataSet *> m_formDataSets;
    QString m_dataSetName;
    class BackgroundRun;
    std::unique_ptr<BackgroundRun> m_background;
    void backgroundRunFailed(const RpError &error);
    // Takes the report for a run: false while another run has it.
    bool reserveRun();
    // The run of a report already taken; it is free again afterwards.
    void runReserved(const RpRunRequest &request);
    class PrinterAside;
    bool m_destroying = false;
    bool m_layingOut = false;
    StoredPrinterSettings m_printerSettings;
    UserPrinterSettings m_userPrinterSettings;
};

class Report : public CustomReport {
    Q_OBJECT
public:
    explicit Report(QWidget *parent = nullptr, StartPaper paper = StartPaper::DefaultPrinters);
};
