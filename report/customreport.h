#pragma once
// The report component: page setup, band list in print order, text
// measurement, zoom and units, and the report surface on screen.
#include "report/rpbandtype.h"
#include "report/rpbasepanel.h"
#include "report/rppage.h"
#include "report/storedprintersettings.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <utility>

class Canvas;
class RpCustomBand;
class RpBand;
class RpExportFilter;
class RpPageDevice;
class CustomReport;

enum ReportOption { FirstPageHeader = 0, LastPageFooter = 1, Compression = 2 };
enum class RpZoomState { rpZoomToFit = 0, rpZoomToWidth, rpZoomOther, rpZoom100 };
enum class PrevSaveType { stTRP = 0, stPDF, stXL, stHTML, stRTF, stCSV, stASCII, stXML };
enum class FormStyle { fsNormal = 0, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class WindowState { wsNormal = 0, wsMinimized, wsMaximized };

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

class CustomReport : public RpBasePanel {
    Q_OBJECT
public:
    explicit CustomReport(QWidget *parent = nullptr);
    ~CustomReport() override;

    RpPage *page() const { return m_page.get(); }
    ReportBands *bands() { return &m_bands; }
    const QList<RpCustomBand *> &bandList() const { return m_bandList; }

    RpUnit units() const { return m_page->units(); }
    virtual void setUnits(RpUnit u);
    void setZoom(int z) override;

    const RpFont &font() const { return m_font; }
    void setFont(const RpFont &f);
    RpFont &fontRef() { return m_font; }
    StoredPrinterSettings &printerSettings() { return m_printerSettings; }

    int options() const { return m_options; }
    void setOptions(int o) { m_options = o; }
    bool hasOption(ReportOption o) const { return m_options & (1 << o); }
    bool printIfEmpty() const { return m_printIfEmpty; }
    virtual void setPrintIfEmpty(bool v) { m_printIfEmpty = v; }
    bool snapToGrid() const { return m_snapToGrid; }
    void setSnapToGrid(bool v) { m_snapToGrid = v; }
    bool showProgress() const { return m_showProgress; }
    void setShowProgress(bool v) { m_showProgress = v; }
    const QString &reportTitle() const { return m_reportTitle; }
    void setReportTitle(const QString &s) { m_reportTitle = s; }
    const QStringList &description() const { return m_description; }
    void setDescription(const QStringList &d) { m_description = d; }
    // Named functions, in order: "PAGENUMBER" = "0", ...
    const QList<std::pair<QString, QString>> &functions() const { return m_functions; }
    void setFunctions(const QList<std::pair<QString, QString>> &f) { m_functions = f; }
    quint32 backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(quint32 c) { m_backgroundColor = c; }
    const QString &backImageControl() const { return m_backgroundImage; }
    void setBackImageControl(const QString &s) { m_backgroundImage = s; }

    // Preview window settings.
    FormStyle prevFormStyle() const { return m_prevFormStyle; }
    void setPrevFormStyle(FormStyle v) { m_prevFormStyle = v; }
    WindowState previewInitialState() const { return m_previewInitialState; }
    void setPreviewInitialState(WindowState v) { m_previewInitialState = v; }
    RpZoomState prevInitialZoom() const { return m_prevInitialZoom; }
    void setPrevInitialZoom(RpZoomState v) { m_prevInitialZoom = v; }
    PrevSaveType previewDefaultSaveType() const { return m_previewDefaultSaveType; }
    void setPreviewDefaultSaveType(PrevSaveType v) { m_previewDefaultSaveType = v; }
    int previewLeft() const { return m_previewLeft; }
    void setPreviewLeft(int v) { m_previewLeft = v; }
    int previewTop() const { return m_previewTop; }
    void setPreviewTop(int v) { m_previewTop = v; }
    int previewWidth() const { return m_previewWidth <= 0 ? 500 : m_previewWidth; }
    void setPreviewWidth(int v) { m_previewWidth = v; }
    int previewHeight() const { return m_previewHeight <= 0 ? 500 : m_previewHeight; }
    void setPreviewHeight(int v) { m_previewHeight = v; }
    bool prevShowThumbs() const { return m_prevShowThumbs; }
    void setPrevShowThumbs(bool v) { m_prevShowThumbs = v; }
    bool prevShowSearch() const { return m_prevShowSearch; }
    void setPrevShowSearch(bool v) { m_prevShowSearch = v; }
    int pagesInPreview() const { return m_pagesInPreview; }
    void setPagesInPreview(int v) { m_pagesInPreview = v; }
    bool startNewPageInComposite() const { return m_startNewPageInComposite; }
    void setStartNewPageInComposite(bool v) { m_startNewPageInComposite = v; }
    bool createInBGThread() const { return m_createInBGThread; }
    void setCreateInBGThread(bool v) { m_createInBGThread = v; }

    bool hideBands() const { return m_hideBands; }
    void setHideBands(bool v);
    int rotateBands() const { return m_rotateBands; }
    void setRotateBands(int v);

    // Generation state read by printing controls.
    bool finalPass() const { return m_finalPass; }
    void setFinalPass(bool v) { m_finalPass = v; }
    bool exporting() const { return m_exportFilter != nullptr; }
    RpExportFilter *exportFilter() const { return m_exportFilter; }
    void setExportFilter(RpExportFilter *f) { m_exportFilter = f; }
    RpPageDevice *reportPrinter() const { return m_reportPrinter; }
    void setReportPrinter(RpPageDevice *p) { m_reportPrinter = p; }
    // The space left above the page footer, native units; 0 outside a run.
    virtual int availableSpace() const { return m_availableSpace; }
    void setAvailableSpace(int v) { m_availableSpace = v; }

    RpBand *createBand(RpBandType type);
    void addBand(RpCustomBand *band);
    void removeBand(RpCustomBand *band);
    bool isDestroying() const { return m_destroying; }

    // Text extent + 1 and the height of "A" on the reference surface, in
    // screen pixels; 0 when measuring fails.
    int textWidth(const RpFont &font, const QString &text);
    int textHeight(const RpFont &font, const QString &text);

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
    bool isReportPanel() const override { return true; }
    // Bands the controller arranges, in order (its header, group headers,
    // sub-details, detail, group footers, footer).
    virtual QList<RpCustomBand *> controllerBands() const;
    virtual void connectBands() {}

private:
    Canvas &referenceDC();

    std::unique_ptr<RpPage> m_page;
    ReportBands m_bands;
    QList<RpCustomBand *> m_bandList;
    RpFont m_font;
    int m_options = (1 << FirstPageHeader) | (1 << LastPageFooter);
    bool m_printIfEmpty = false;
    bool m_snapToGrid = true;
    bool m_showProgress = true;
    QString m_reportTitle;
    QStringList m_description;
    QList<std::pair<QString, QString>> m_functions;
    quint32 m_backgroundColor = rpcolor::clWhite;
    QString m_backgroundImage;
    bool m_hideBands = false;
    int m_rotateBands = 0;
    bool m_modified = false;
    QImage m_previewPage;
    FormStyle m_prevFormStyle = FormStyle::fsNormal;
    WindowState m_previewInitialState = WindowState::wsNormal;
    RpZoomState m_prevInitialZoom = RpZoomState::rpZoomToFit;
    PrevSaveType m_previewDefaultSaveType = PrevSaveType::stTRP;
    int m_previewLeft = 0, m_previewTop = 0, m_previewWidth = 0, m_previewHeight = 0;
    bool m_prevShowThumbs = true, m_prevShowSearch = true;
    int m_pagesInPreview = 0;
    bool m_startNewPageInComposite = false, m_createInBGThread = false;
    bool m_finalPass = true;
    RpExportFilter *m_exportFilter = nullptr;
    RpPageDevice *m_reportPrinter = nullptr;
    int m_availableSpace = 0;
    bool m_destroying = false;
    bool m_layingOut = false;
    StoredPrinterSettings m_printerSettings;
    std::unique_ptr<QImage> m_referenceImage;
    std::unique_ptr<Canvas> m_referenceDC;
};

class Report : public CustomReport {
    Q_OBJECT
public:
    explicit Report(QWidget *parent = nullptr);
};
