// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpPrinter: the output side of report generation. A document is opened on
// it, pages are drawn on its canvas in device pixels (positions come in
// 0.1 mm through xPos/yPos/xSize/ySize), and each page goes to a page sink
// (printer/pagesink.h): recorded as a metafile into the page store
// (rpdMetafile, for the preview) or drawn straight onto the printer
// (rpdPrinter). Recorded pages can be printed (printrecorded.cpp), saved as a
// report file and loaded again (reportfile.cpp).
#include "platform/messages.h"
#include "platform/metafile.h"
#include "platform/units.h"
#include "printer/papersizes.h"
#include "printer/printersettings.h"
#include "printer/processwide.h"
#include "printer/rppagelist.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class Canvas;
class PrinterDevice;
class RpDeviceSink;
class RpDiscardingSink;
class RpExportFilter;
class RpPageSink;
class RpStoreSink;
class QIODevice;
class QWidget;
class RpPrinterParent;
class RpProgressDialog;

enum RpPrinterStatus { mpReady = 0, mpBusy = 1, mpFinished = 2 };
enum RpPrinterDestination { rpdMetafile = 0, rpdPrinter = 1 };

class RpPrinter;

// How a preview window is opened for a printer. The registered class
// (printerState().previewInterface) is created for each preview; the base
// opens none.
class RpPreviewInterface {
public:
    virtual ~RpPreviewInterface() = default;
    virtual QWidget *show(RpPrinter *printer);
    virtual QWidget *showModal(RpPrinter *printer);
};

class RpPrinter {
public:
    static constexpr double kFallbackFactor = units::kScreenPixelsPerNative;
    static constexpr double kMinFactor = 0.1;
    // The resolution pages are recorded at: a printing resolution, so that a
    // line a fraction of a screen pixel wide is on the recorded page as it is
    // on the printed one. A report's export run records at the screen's, the
    // resolution its items are measured in; the pages it records are not
    // kept.
    static constexpr int kRecordingPixelsPerInch = 600;

    explicit RpPrinter(RpPrinterParent *parentReport = nullptr);
    ~RpPrinter();
    RpPrinter(const RpPrinter &) = delete;
    RpPrinter &operator=(const RpPrinter &) = delete;

    void cleanup();

    // --- document -------------------------------------------------------
    void beginDoc();
    void newPage();
    void endDoc();
    void abortDoc();
    // Any thread: the window cancels while the run reads it on its own.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }
    // What ended a run that failed on a thread of its own, for the preview
    // to show; empty otherwise. Setting it tells the client. User-interface
    // thread.
    const QString &runError() const { return m_runError; }
    void setRunError(const QString &message);

    // --- geometry -------------------------------------------------------
    qint32 xPos(double v) const;
    qint32 yPos(double v) const;
    qint32 xSize(double v) const;
    qint32 ySize(double v) const;
    qint32 paperWidthValue() const;
    qint32 paperLengthValue() const;
    double xFactor() const { return m_xFactor; }
    double yFactor() const { return m_yFactor; }
    qint32 leftWaste() const { return m_leftWaste; }
    qint32 topWaste() const { return m_topWaste; }

    // --- pages ----------------------------------------------------------
    // Page n (from 1) of the current or loaded document, owned by the caller.
    std::optional<Metafile> getPage(int n);
    Canvas *canvas() const { return m_canvas; }
    int pageCount() const { return m_pageCount; }
    int pageNumber() const { return m_pageNumber; }
    void setPageNumber(int n);
    int availablePages() const { return m_availablePages; }
    void setAvailablePages(int n);
    int progress() const { return m_progress; }
    void setProgress(int p);
    RpPageList *pageList() const { return m_pageList.get(); }

    // --- output ---------------------------------------------------------
    void print();
    void printSetup();
    // Plays pages fromPage..toPage onto the printer as they are, each at
    // (dpLeftMargin, dpTopMargin) 0.1 mm from the printable area's corner.
    void printMetafileDirect(const QString &fileName, int fromPage, int toPage);
    // Asks the report behind the document to run again into `filter`
    // (onExportToFilter); nothing happens when no report is behind it.
    void exportToFilter(RpExportFilter *filter);
    // Writes pages fromPage..toPage of a finished document into a PDF
    // document for `fileName` through the registered recorded-pages writer
    // (printerState().recordedPagesWriter), each page's drawing as it was
    // recorded. Does nothing unless the document is finished; throws RpError
    // when no writer is registered or a page cannot be read or written.
    void exportMetafile(const QString &fileName, int fromPage, int toPage);
    double dpLeftMargin() const { return m_dpLeftMargin; }
    void setDpLeftMargin(double v) { m_dpLeftMargin = v; }
    double dpTopMargin() const { return m_dpTopMargin; }
    void setDpTopMargin(double v) { m_dpTopMargin = v; }
    RpProgressDialog *progressWindow() const { return m_progress_window.get(); }

    // --- preview --------------------------------------------------------
    void preview();
    void previewModal();
    void closePreview(QWidget *control);
    bool showingPreview() const { return m_showingPreview; }
    void setShowingPreview(bool v);
    QWidget *previewControl() const { return m_previewControl.data(); }

    // --- report files ---------------------------------------------------
    void save(const QString &fileName);
    void load(const QString &fileName);
    void loadFromStream(QIODevice &in);

    void addOutline(int level, const QString &caption, const QRect &target);
    void addHyperlink(const QRect &, const QString &) {}
    void freeHyperlinks() {}

    // --- state ----------------------------------------------------------
    RpPrinterStatus status() const { return m_status; }
    RpPrinterDestination destination() const { return m_destination; }
    void setDestination(RpPrinterDestination d) { m_destination = d; }
    int firstPage() const { return m_firstPage; }
    void setFirstPage(int v) { m_firstPage = v; }
    int lastPage() const { return m_lastPage; }
    void setLastPage(int v) { m_lastPage = v; }
    const QString &title() const { return m_title; }
    void setTitle(const QString &t) { m_title = t; m_settings.setTitle(t); }
    bool printerOK() const { return m_printerOK; }
    bool reportLoaded() const { return m_reportLoaded; }
    void setReportLoaded(bool v) { m_reportLoaded = v; }
    RpPrinterParent *parentReport() const { return m_parent; }
    // Tells a window that holds this printer (a preview) whether it is
    // still there.
    RpLifetime::Watch lifetimeWatch() const { return m_lifetime.watch(); }
    int masterProgressStart() const { return m_masterProgressStart; }
    int masterProgressEnd() const { return m_masterProgressEnd; }
    void setMasterProgressStart(int v) { m_masterProgressStart = v; }
    void setMasterProgressEnd(int v) { m_masterProgressEnd = v; }

    QPointer<QObject> client() const { return m_client; }
    void setClient(QObject *c) { m_client = c; }
    QPointer<QObject> master() const { return m_master; }
    void setMaster(QObject *m) { m_master = m; }

    // Pass-through printer settings.
    PrinterSettings &settings() { return m_settings; }
    int copies() const { return m_settings.copies(); }
    void setCopies(int v) { m_settings.setCopies(v); }
    bool duplex() const { return m_settings.duplex(); }
    void setDuplex(bool v) { m_settings.setDuplex(v); }
    RpOrientation orientation() const { return m_settings.orientation(); }
    void setOrientation(RpOrientation v) { m_settings.setOrientation(v); }
    RpBin outputBin() const { return m_settings.outputBin(); }
    void setOutputBin(RpBin v) { m_settings.setOutputBin(v); }
    RpPaperSize paperSize() const { return m_settings.paperSize(); }
    void setPaperSize(RpPaperSize v) { m_settings.setPaperSize(v); }
    bool printMetafile() const { return m_settings.printMetafile(); }
    void setPrintMetafile(bool v) { m_settings.setPrintMetafile(v); }
    bool compression() const { return m_pageList->compression(); }
    void setCompression(bool v) { m_pageList->setCompression(v); }
    int printerIndex() const;
    void setPrinterIndex(int index);
    QStringList printers() const;

    // Events.
    std::function<void(RpPrinter *)> afterPrintEvent, afterPreviewEvent, onPreview, onPrintSetup;
    // Exports the document through a filter (the preview's Save as another
    // file type); the report that generated it regenerates into the filter.
    std::function<void(RpExportFilter *)> onExportToFilter;

private:
    bool inPrintRange() const;
    void setWaste();
    // The paper at the recording resolution: the size of a recorded page.
    QSize recordedPageSize() const;
    // The resolution pages of a new recorded document are recorded at.
    int recordingDpi() const;
    // Finishes the open page on its sink; a sink that cannot keep it (the
    // page store cannot be written) ends the document, nothing of it kept.
    void closePage();
    void openPage();
    double screenFactor() const;
    PrinterDevice &device() const;
    void guessPaper(bool exact);
    void adoptLoaded(std::unique_ptr<RpPageList> list);

    RpPrinterParent *m_parent = nullptr;
    PrinterSettings m_settings;
    std::unique_ptr<RpPageList> m_pageList;
    // The sinks of the running document (by destination) and the one the
    // open page is on.
    std::unique_ptr<RpStoreSink> m_storeSink;
    std::unique_ptr<RpDeviceSink> m_deviceSink;
    std::unique_ptr<RpDiscardingSink> m_discardSink;
    RpPageSink *m_sink = nullptr;
    Canvas *m_canvas = nullptr;
    RpPrinterStatus m_status = mpReady;
    RpPrinterDestination m_destination = rpdMetafile;
    int m_availablePages = 0;
    std::atomic<bool> m_cancelled = false;
    QString m_runError;
    int m_firstPage = 0, m_lastPage = 0;
    qint32 m_leftWaste = 0, m_topWaste = 0;
    int m_pageCount = 0, m_pageNumber = 0;
    bool m_printerOK = false;
    int m_progress = 0;
    int m_masterProgressStart = 0, m_masterProgressEnd = 0;
    QString m_title;
    bool m_showingPreview = false;
    double m_xFactor = kFallbackFactor, m_yFactor = kFallbackFactor;
    // The resolution of the pages of the document being generated.
    int m_recordingDpi = kRecordingPixelsPerInch;
    QPointer<QObject> m_client, m_master;
    QPointer<QWidget> m_previewControl;
    bool m_reportLoaded = false;
    double m_dpLeftMargin = 0, m_dpTopMargin = 0;
    std::unique_ptr<RpProgressDialog> m_progress_window;
    // Watched across the places that let messages run.
    RpLifetime m_lifetime;
};
