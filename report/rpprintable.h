// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of every printable control: a custom-drawn child of a band (or of
// the report surface) that paints a preview of itself on screen and prints
// itself onto the page canvas of a report run at an offset the band gives.
//
// Two sides: the widget shows the control on the design surface and belongs
// to the user-interface thread; the stored values (Size, frame, colours,
// texts) are what printing reads. The print path (beginPrinting, printAt,
// endPrinting and what they call) reads and writes stored values only, so a
// run may print on another thread; where printing changes a stored size, the
// widget follows on the user-interface thread.
#include "printer/exportfilter.h"
#include "report/rpfont.h"
#include "report/rpframe.h"
#include "report/rpunits.h"

#include <QWidget>
#include <atomic>
#include <memory>

class Canvas;
class CustomReport;
class RpPageDevice;
class RpReportRun;

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
    // The components' integer tag; a vertical line shape tagged 1000 also
    // rules its band's whole height on the page.
    int tag() const { return m_tag; }
    void setTag(int v) { m_tag = v; }
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
    // How far an unfinished print has come (a label: the lines printed), so
    // that a print that takes nothing of an empty column shows.
    virtual qint64 printProgress() const { return 0; }

    virtual bool isPrintable() const { return m_enabled; }
    virtual void applyBandAlignment();
    // The print path. `run` gives the page device, the export filter and the
    // pass; offsets are the band's corner on the page in native units.
    virtual void beginPrinting(RpReportRun &run);
    virtual void printAt(RpReportRun &run, int ofsX, int ofsY);
    virtual void notifyPrintable(QObject *sender, quint8 operation);
    virtual void changeAlignment(Alignment a);
    virtual void endPrinting();
    virtual void getExpandedHeight(double &newHeight) { Q_UNUSED(newHeight); }
    virtual void getFieldString(QString &dataStr) { Q_UNUSED(dataStr); }
    // Draws the control's content stretched over `rect` (device pixels of
    // the page canvas) as the background of a page; a control that has no
    // such content draws nothing. The report's background image control
    // prints this way on every page instead of through printAt.
    virtual void drawPageBackground(RpReportRun &run, Canvas &canvas, const gdi::Rect &rect)
    {
        Q_UNUSED(run);
        Q_UNUSED(canvas);
        Q_UNUSED(rect);
    }
    // True for the controls whose height depends on their content and which
    // therefore stretch their band.
    virtual bool stretchesBand() const { return false; }

    int left() const { return x(); }
    int top() const { return y(); }
    // Moves or resizes the control in pixels; the values flow into Size.
    virtual void setBounds(int left, int top, int width, int height);
    // The bounds the stored values give, in pixels at the control's zoom:
    // what the widget shows once it has followed them. Safe on any thread.
    struct PixelBounds {
        int left, top, width, height;
    };
    PixelBounds pixelBounds() const;
    void setLeft(int v) { setBounds(v, top(), width(), height()); }
    void setTop(int v) { setBounds(left(), v, width(), height()); }
    void setWidth(int v) { setBounds(left(), top(), v, height()); }
    void setHeight(int v) { setBounds(left(), top(), width(), v); }
    // Applies pixel bounds to the widget (user-interface thread only).
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
    // (ofsX, ofsY) onto `device`: its edges and its middle.
    struct PageRect {
        int L, T, R, B, MX, MY;
    };
    PageRect pageRect(const RpPageDevice &device, int ofsX, int ofsY) const;
    // SetBounds on the stored values: each of Height, Width, Top, Left that
    // differs from what Size gives in pixels is written; then the control
    // re-aligns to its band. Any thread; the widget follows.
    void storePixelBounds(int left, int top, int width, int height);

    void paintEvent(QPaintEvent *event) override;
    void paintBase(Canvas &canvas);
    void paintCorners(Canvas &canvas);
    // Screen pixels per native unit at the current zoom.
    double screenFactor() const;

    bool m_alignUpdating = false;
    Alignment m_alignment = Alignment::taLeftJustify;
    bool m_alignToBand = false;
    std::unique_ptr<RpFrame> m_frame;
    // Read by the widget's painting, written by a run that may be on another thread.
    std::atomic<bool> m_isPrinting = false;
    CustomReport *m_parentReport = nullptr;
    bool m_printFinished = true;
    std::unique_ptr<RpPrintableSize> m_size;
    int m_loadedTop = 0, m_loadedWidth = 0, m_loadedHeight = 0, m_loadedLeft = 0;
    ExportType m_exportAs = ExportType::exptText;
    int m_xlColumn = 0;
    quint32 m_color = rpcolor::clWhite;
    bool m_opaque = false;
    bool m_enabled = true;
    bool m_loading = false;
    int m_tag = 0;
};
