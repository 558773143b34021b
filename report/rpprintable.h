#pragma once
// The base of every printable control: a custom-drawn child of a band (or of
// the report surface) that paints a preview of itself on screen and prints
// itself onto the report printer's page canvas at an offset the band gives.
#include "printer/exportfilter.h"
#include "report/rpfont.h"
#include "report/rpframe.h"
#include "report/rpunits.h"

#include <QWidget>
#include <memory>

class Canvas;
class CustomReport;
class RpPageDevice;

class RpPrintable : public QWidget {
    Q_OBJECT
public:
    explicit RpPrintable(QWidget *parent = nullptr);
    ~RpPrintable() override;

    RpPrintableSize *size() const { return m_size.get(); }
    RpFrame *frame() const { return m_frame.get(); }
    // Takes over the settings of `f`; the control keeps its own frame.
    void setFrame(const RpFrame &f);
    CustomReport *parentReport() const { return m_parentReport; }

    int zoom() const { return m_size->zoom(); }
    void setZoom(int z);

    bool printableEnabled() const { return m_enabled; }
    void setPrintableEnabled(bool v);
    quint32 color() const { return m_color; }
    virtual void setColor(quint32 c);
    // The opaque style flag: a transparent control leaves its background.
    bool transparentStyle() const { return !m_opaque; }
    void setOpaqueStyle(bool opaque);

    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment a) { changeAlignment(a); }
    bool alignToBand() const { return m_alignToBand; }
    void setAlignToBand(bool v);
    ExportType exportAs() const { return m_exportAs; }
    void setExportAs(ExportType t) { m_exportAs = t; }
    int xlColumn() const { return m_xlColumn; }
    void setXLColumn(int c) { m_xlColumn = c; }

    bool isPrinting() const { return m_isPrinting; }
    bool printFinished() const { return m_printFinished; }
    RpPageDevice *reportPrinter() const { return m_reportPrinter; }

    virtual bool isPrintable() const { return m_enabled; }
    virtual void applyBandAlignment();
    virtual void beginPrinting();
    virtual void printAt(int ofsX, int ofsY);
    virtual void notifyPrintable(QObject *sender, quint8 operation);
    virtual void changeAlignment(Alignment a);
    virtual void endPrinting();
    virtual void getExpandedHeight(double &newHeight) { Q_UNUSED(newHeight); }
    virtual void getFieldString(QString &dataStr) { Q_UNUSED(dataStr); }
    // True for the controls whose height depends on their content and which
    // therefore stretch their band.
    virtual bool stretchesBand() const { return false; }

    int left() const { return x(); }
    int top() const { return y(); }
    // Moves or resizes the control in pixels; the values flow into Size.
    virtual void setBounds(int left, int top, int width, int height);
    void setLeft(int v) { setBounds(v, top(), width(), height()); }
    void setTop(int v) { setBounds(left(), v, width(), height()); }
    void setWidth(int v) { setBounds(left(), top(), v, height()); }
    void setHeight(int v) { setBounds(left(), top(), width(), v); }
    void applyBounds(int left, int top, int width, int height);
    // Places the control on a band or a report (adopting its units, report
    // and zoom).
    virtual void setParentPanel(QWidget *parent);

    bool isLoading() const { return m_loading; }
    void setLoading(bool b) { m_loading = b; }
    virtual void loaded();

    // Paints the control on any canvas in its own pixel coordinates.
    virtual void paintSurface(Canvas &canvas);

protected:
    // The control's place on the page in device pixels when printed at
    // (ofsX, ofsY) onto the report printer: its edges and its middle.
    struct PageRect {
        int L, T, R, B, MX, MY;
    };
    PageRect pageRect(int ofsX, int ofsY) const;

    void paintEvent(QPaintEvent *event) override;
    void paintBase(Canvas &canvas);
    void paintCorners(Canvas &canvas);
    // Screen pixels per native unit at the current zoom.
    double screenFactor() const;

    bool m_alignUpdating = false;
    Alignment m_alignment = Alignment::taLeftJustify;
    bool m_alignToBand = false;
    std::unique_ptr<RpFrame> m_frame;
    bool m_isPrinting = false;
    CustomReport *m_parentReport = nullptr;
    bool m_printFinished = true;
    RpPageDevice *m_reportPrinter = nullptr;
    std::unique_ptr<RpPrintableSize> m_size;
    int m_loadedTop = 0, m_loadedWidth = 0, m_loadedHeight = 0, m_loadedLeft = 0;
    ExportType m_exportAs = ExportType::exptText;
    int m_xlColumn = 0;
    quint32 m_color = rpcolor::clWhite;
    bool m_opaque = false;
    bool m_enabled = true;
    bool m_loading = false;
};
