// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Several reports produced one after another as one document: one print job,
// one preview, one export. Each report continues on the page where the one
// before stopped unless it asks for a new page. OnAddReports fills Reports
// each time a document is produced; the reports are not owned.
#include "printer/printersettings.h"
#include "printer/rpprinterparent.h"
#include "report/customreport.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class RpExportFilter;
class RpPrinter;

// The print settings of the whole document.
struct RpCompositePrinterSettings : StoredPrinterSettings {
    RpPaperSize paperSize = RpPaperSize::A4;
    QString title;
};

class RpCompositeReport : public QObject, public RpPrinterParent {
    Q_OBJECT
public:
    explicit RpCompositeReport(QObject *owner = nullptr);
    ~RpCompositeReport() override;

    QList<CustomReport *> &reports() { return m_reports; }
    RpCompositePrinterSettings &compositeSettings() { return m_settings; }
    const QString &reportTitle() const { return m_reportTitle; }
    void setReportTitle(const QString &t) { m_reportTitle = t; }
    int options() const { return m_options; }
    void setOptions(int o) { m_options = o; }
    // Pages produced by the last document.
    int pageCount() const { return m_pageCount; }
    int index() const { return 0; }
    int tag() const { return m_tag; }
    void setTag(int v) { m_tag = v; }
    bool generating() const { return m_generating; }
    RpPrinter *reportPrinter() const { return m_reportPrinter.get(); }
    // The hidden window that takes the printer's requests (print, preview
    // closed) for the composite.
    QWidget *messageWindow() const { return m_window.get(); }

    // Fills reports() in print order.
    std::function<void(RpCompositeReport *)> onAddReports;
    // Before each report, with its place in the list from 0.
    std::function<void(RpCompositeReport *, CustomReport *, int)> onStartReport;
    // After each report (the report is the sender) and once at the end (the
    // composite).
    std::function<void(QObject *)> onFinished;

    // The document onto a printer of the composite's own: recorded and kept
    // (Prepare), recorded and shown (Preview), printed, or exported.
    void prepare();
    void preview();
    void print();
    void exportToFilter(RpExportFilter *filter);
    // Runs the print dialog and keeps the choice in the composite's settings;
    // Tag is 1 after a cancelled dialog, 0 after a confirmed one.
    void printerSetup();
    // One document on the printer in reportPrinter().
    void generateComposite();
    // Copies the settings into the composite's printer.
    void applyCompositeSettings();

    // RpPrinterParent
    const RpPrinterSettings &printerSettings() const override { return m_parentSettings; }
    double pageWidthNative() const override;
    double pageLengthNative() const override;
    bool showProgress() const override { return true; }
    void setUserCancel(bool cancel) override;
    void afterPrint() override {}
    bool exporting() const override { return m_exporting; }

private:
    friend class CompositeWindow;
    void previewClosed();
    // A report standing for the composite towards its printer: its first
    // report's page and preview settings.
    std::unique_ptr<Report> makeStandIn(bool forPreview);
    // Print and Preview: `go` runs with a printer of its own, made for the
    // first report's stand-in (its orientation, the composite's page
    // range); the composite's printer is kept aside meanwhile and back
    // afterwards. Nothing runs without reports.
    void runOnStandInPrinter(bool forPreview, const std::function<void(CustomReport &first)> &go);
    // Generates every report in order, each from where the one before ended
    // (`generate` is told where); true when one was cancelled (the later ones are not generated).
    bool runParts(RpRunPosition start, const std::function<void(CustomReport *, const RpRunPosition &)> &generate);
    // Where the first part starts: past its page's end, so its first band
    // starts page 1, in `column`.
    RpRunPosition startPosition(int column) const;

    QList<CustomReport *> m_reports;
    RpCompositePrinterSettings m_settings;
    RpPrinterSettings m_parentSettings;
    std::unique_ptr<RpPrinter> m_reportPrinter;
    QString m_reportTitle;
    int m_options = (1 << FirstPageHeader) | (1 << LastPageFooter);
    int m_pageCount = 0;
    int m_tag = 0;
    bool m_generating = false;
    bool m_exporting = false;
    QPointer<CustomReport> m_current;
    std::unique_ptr<QWidget> m_window;
};
