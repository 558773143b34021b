// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bands: horizontal strips of a report that hold printable controls and
// print as a whole.
#include "report/rpbandtype.h"
#include "report/rpbasepanel.h"

#include <QPointer>
#include <functional>

class CustomReport;
class RpChildBand;
class RpCustomController;
class RpPrintable;
class RpReportRun;

enum class CBPrintOrder { cboBeforeParent = 0, cboAfterParent = 1, cboBeforeAndAfter = 2 };

class RpCustomBand : public RpBasePanel {
    Q_OBJECT
public:
    explicit RpCustomBand(QWidget *parent = nullptr);
    ~RpCustomBand() override;

    RpBandType bandType() const { return m_bandType; }
    virtual void setBandType(RpBandType t);
    // The type that decides the band's width: a child band takes the type of
    // the first non-child band up its chain.
    RpBandType effectiveBandType() const;
    virtual QString bandCaption() const;
    virtual QString bandNameBase() const;

    RpBandSize *size() const { return m_size.get(); }
    CustomReport *parentReport() const { return m_parentReport; }
    virtual void setParentReport(CustomReport *r) { m_parentReport = r; }
    // Puts the band on a report (a band given as the parent stands for its
    // report: bands never nest), or takes it off with nullptr.
    void setParentPanel(QWidget *parent);

    bool bandEnabled() const { return m_enabled; }
    void setBandEnabled(bool v);
    bool transparentBand() const { return m_transparentBand; }
    void setTransparentBand(bool v) { m_transparentBand = v; }
    bool forceNewPage() const { return m_forceNewPage; }
    void setForceNewPage(bool v) { m_forceNewPage = v; }
    bool forceNewColumn() const { return m_forceNewColumn; }
    void setForceNewColumn(bool v) { m_forceNewColumn = v; }
    bool alignToBottom() const { return m_alignToBottom; }
    void setAlignToBottom(bool v) { m_alignToBottom = v; }
    bool keepOnOnePage() const { return m_keepOnOnePage; }
    void setKeepOnOnePage(bool v) { m_keepOnOnePage = v; }
    bool preCaluculateBandHeight() const { return m_preCaluculateBandHeight; }
    void setPreCaluculateBandHeight(bool v) { m_preCaluculateBandHeight = v; }

    const RpFont &font() const;
    void setFont(const RpFont &f);
    RpFont &fontRef() { return m_font; }
    bool parentFont() const { return m_parentFont; }
    void setParentFont(bool v);
    // While loading, the band's own font is read field by field.

    RpCustomBand *linkBand() const { return m_linkBand; }
    // False when the link would be circular (the link is then refused).
    bool setLinkBand(RpCustomBand *band);

    RpChildBand *childBand() const;
    bool hasChild() const { return childBand() != nullptr; }
    void setHasChild(bool v);

    double expanded() const { return m_expanded; }
    void setExpanded(double v) { m_expanded = v; }
    bool canExpand(double value) const;
    bool expandBand(double value, double &newExpanded, bool &hasExpanded);
    void expandedHeight(double &newHeight);

    QList<RpPrintable *> printables() const;
    template <class T> T *addPrintable()
    {
        auto *p = new T(nullptr);
        placeNewPrintable(p);
        return p;
    }

    int loadedHeight() const { return m_loadedHeight; }
    gdi::Rect bandFrameRect() const { return m_bandFrameRect; }
    void setBandFrameRect(const gdi::Rect &r) { m_bandFrameRect = r; }

    // The controller this band tells about every record it prints (or skips).
    RpCustomController *notifyController() const { return m_notifyController; }
    void setNotifyController(RpCustomController *c) { m_notifyController = c; }

    std::function<void(RpCustomBand *, bool &)> beforePrint;
    std::function<void(RpCustomBand *, bool)> afterPrint;

    // The report lays the band out at a pixel position and width.
    void layOut(int left, int top, int width);

    // Printing in a run (report/placement.cpp): the band's print routine
    // (breaks, background, controls until they have all finished, frame,
    // child bands), and the break it asks for when it does not fit.
    void printToPage(RpReportRun &run);
    void makeSpace(RpReportRun &run);

    void setBounds(int left, int top, int width, int height) override;
    void setZoom(int z) override;
    void loaded() override;
    void drawRuler(Canvas &canvas, RpUnit units) override;
    void paintSurface(Canvas &canvas) override;

protected:
    void placeNewPrintable(RpPrintable *p);
    void printChildBand(RpReportRun &run, RpChildBand *child);
    void printContents(RpReportRun &run, double width, double height);
    void drawFrameAndRules(RpReportRun &run, double width, double height);

    RpBandType m_bandType = rbTitle;
    std::unique_ptr<RpBandSize> m_size;
    CustomReport *m_parentReport = nullptr;
    bool m_parentUpdating = false;
    bool m_enabled = true;
    bool m_transparentBand = false;
    bool m_forceNewPage = false;
    bool m_forceNewColumn = false;
    bool m_alignToBottom = false;
    bool m_keepOnOnePage = false;
    bool m_preCaluculateBandHeight = false;
    QPointer<RpCustomBand> m_linkBand;
    double m_expanded = 0;
    double m_expandedHeight = 0;
    gdi::Rect m_bandFrameRect;
    int m_loadedHeight = 40;
    RpFont m_font;
    bool m_parentFont = true;
    RpCustomController *m_notifyController = nullptr;
};

class RpBand : public RpCustomBand {
    Q_OBJECT
public:
    explicit RpBand(QWidget *parent = nullptr) : RpCustomBand(parent) {}
};

class RpChildBand : public RpCustomBand {
    Q_OBJECT
public:
    explicit RpChildBand(QWidget *parent = nullptr);

    RpCustomBand *parentBand() const { return m_parentBand; }
    // False when refused: the link would be circular, or the band is on no
    // report.
    bool setParentBand(RpCustomBand *band);
    CBPrintOrder printOrder() const { return m_printOrder; }
    void setPrintOrder(CBPrintOrder o) { m_printOrder = o; }

private:
    QPointer<RpCustomBand> m_parentBand;
    CBPrintOrder m_printOrder = CBPrintOrder::cboAfterParent;
};
