// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpband.h"

#include "platform/units.h"
#include "platform/canvas.h"
#include "report/customreport.h"
#include "report/reportstrings.h"
#include "report/rpprintable.h"
#include "report/surfacescheme.h"

#include <QSet>

RpCustomBand::RpCustomBand(QWidget *parent)
    : RpBasePanel(nullptr)
    , m_size(std::make_unique<RpBandSize>(this))
{
    m_color = rpcolor::clWhite;
    applyBounds(0, 0, width(), 40);
    if (parent)
        setParentPanel(parent);
}

RpCustomBand::~RpCustomBand()
{
    // Controls first, while the band is still whole.
    const auto kids = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *w : kids)
        delete w;
    if (m_parentReport)
        m_parentReport->removeBand(this);
}

QString RpCustomBand::bandCaption() const { return reportstrings::bandCaption(m_bandType); }
QString RpCustomBand::bandNameBase() const { return reportstrings::bandNameBase(m_bandType); }

void RpCustomBand::setBandType(RpBandType t)
{
    m_bandType = t;
    if (m_parentReport) {
        m_parentReport->orderBands();
        m_parentReport->setBandValues();
    }
    update();
}

RpBandType RpCustomBand::effectiveBandType() const
{
    const RpCustomBand *b = this;
    QSet<const RpCustomBand *> seen;
    while (b->m_bandType == rbChild) {
        auto *child = qobject_cast<const RpChildBand *>(b);
        if (!child || !child->parentBand() || seen.contains(b))
            return rbChild;
        seen.insert(b);
        b = child->parentBand();
    }
    return b->m_bandType;
}

void RpCustomBand::setParentPanel(QWidget *parent)
{
    if (m_parentReport) {
        CustomReport *old = m_parentReport;
        setParentReport(nullptr);
        old->removeBand(this);
    }
    if (auto *band = qobject_cast<RpCustomBand *>(parent))
        parent = band->parentWidget();
    const bool hidden = isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide);
    QWidget::setParent(parent);
    if (!hidden && parent)
        show();
    if (auto *report = qobject_cast<CustomReport *>(parent)) {
        setParentReport(report);
        m_size->setParentReport(report);
        m_size->setUnits(report->units());
        report->addBand(this);
        setZoom(report->zoom());
    }
}

void RpCustomBand::setBandEnabled(bool v)
{
    m_enabled = v;
    QWidget::setEnabled(v);
    update();
}

const RpFont &RpCustomBand::font() const
{
    if (m_parentFont && m_parentReport)
        return m_parentReport->font();
    return m_font;
}

void RpCustomBand::setFont(const RpFont &f)
{
    m_font = f;
    m_parentFont = false;
    update();
}

void RpCustomBand::setParentFont(bool v)
{
    if (!v && m_parentFont && m_parentReport && !isLoading())
        m_font = m_parentReport->font();
    m_parentFont = v;
    update();
}

bool RpCustomBand::setLinkBand(RpCustomBand *band)
{
    QSet<RpCustomBand *> seen;
    for (RpCustomBand *b = band; b && !seen.contains(b); b = b->linkBand()) {
        if (b == this)
            return false;
        seen.insert(b);
    }
    m_linkBand = band;
    return true;
}

RpChildBand *RpCustomBand::childBand() const
{
    if (!m_parentReport)
        return nullptr;
    for (RpCustomBand *b : m_parentReport->bandList())
        if (b->bandType() == rbChild)
            if (auto *c = qobject_cast<RpChildBand *>(b); c && c->parentBand() == this)
                return c;
    return nullptr;
}

void RpCustomBand::setHasChild(bool v)
{
    RpChildBand *child = childBand();
    if (v && !child && m_parentReport) {
        auto *c = new RpChildBand(nullptr);
        c->setParentPanel(m_parentReport);
        c->setParentBand(this);
    } else if (!v && child) {
        if (RpChildBand *grandchild = child->childBand())
            grandchild->setParentBand(this);
        delete child;
    }
}

bool RpCustomBand::canExpand(double value) const
{
    if (!m_parentReport)
        return false;
    return m_parentReport->availableSpace() >= rpRound64(m_size->height() + m_expanded + value);
}

bool RpCustomBand::expandBand(double value, double &newExpanded, bool &hasExpanded)
{
    if (!canExpand(value))
        return false;
    if (!hasExpanded && value < m_expanded) {
        newExpanded = m_expanded;
        hasExpanded = true;
        return true;
    }
    m_expanded += value;
    newExpanded = m_expanded;
    hasExpanded = true;
    return false;
}

void RpCustomBand::expandedHeight(double &newHeight)
{
    // Pixels here are those the stored sizes give (what the surface shows),
    // so the height comes out the same on any thread.
    m_expandedHeight = m_size->height();
    double extra = 0;
    const int bandHeight = m_size->pixelValue(RpBandSize::HeightIdx);
    for (RpPrintable *p : printables()) {
        if (!p->printableEnabled() || !p->stretchesBand())
            continue;
        const RpPrintable::PixelBounds pb = p->pixelBounds();
        double e = pb.height;
        p->getExpandedHeight(e);
        const double b = (pb.top + e) / units::kScreenPixelsPerNative;
        if (b > m_expandedHeight) {
            m_expandedHeight = b;
            extra = (bandHeight - pb.top - pb.height + 1) / units::kScreenPixelsPerNative;
        }
    }
    if (extra < 0)
        extra = 0;
    newHeight = extra + m_expandedHeight;
}

QList<RpPrintable *> RpCustomBand::printables() const
{
    QList<RpPrintable *> out;
    for (QObject *o : children())
        if (auto *p = qobject_cast<RpPrintable *>(o))
            out.append(p);
    return out;
}

void RpCustomBand::placeNewPrintable(RpPrintable *p)
{
    int left = 1;
    for (RpPrintable *other : printables())
        if (other->left() + other->width() > left)
            left = other->left() + other->width() + 10;
    p->setParentPanel(this);
    p->setBounds(left, p->top(), p->width(), p->height());
}

void RpCustomBand::layOut(int left, int top, int width)
{
    m_parentUpdating = true;
    {
        PixelScope px(*m_size);
        m_size->setWidth(width);
    }
    if (left != this->left() || top != this->top())
        move(left, top);
    m_parentUpdating = false;
}

void RpCustomBand::setBounds(int l, int t, int w, int h)
{
    if (isLoading()) {
        if (h != 40)
            m_loadedHeight = h;
        return;
    }
    if (!m_parentReport)
        applyBounds(l, t, w, h);
    if (m_size->parentUpdating()) {
        applyBounds(l, t, w, h);
        if (!m_parentUpdating && m_parentReport)
            m_parentReport->setBandValues();
        for (RpPrintable *p : printables())
            if (p->alignToBand())
                p->notifyPrintable(this, 2);
        return;
    }
    {
        PixelScope px(*m_size);
        if (rpRound(m_size->height()) != h)
            m_size->setHeight(h);
        if (l != left() || t != top()) {
            applyBounds(l, t, width(), height());
            if (m_parentReport)
                m_parentReport->setBandValues();
        }
    }
    if (m_parentReport)
        m_parentReport->modify();
}

void RpCustomBand::setZoom(int z)
{
    RpBasePanel::setZoom(z);
    m_size->setZoom(m_zoom);
    m_size->updateOwnerBounds();
}

void RpCustomBand::loaded()
{
    RpBasePanel::loaded();
    m_size->afterLoad();
    if (m_loadedHeight != 40 && height() == 40)
        setBounds(left(), top(), width(), m_loadedHeight);
}

void RpCustomBand::drawRuler(Canvas &canvas, RpUnit units)
{
    if (m_parentReport)
        m_fontSize = std::abs(m_parentReport->font().size());
    RpBasePanel::drawRuler(canvas, units);
}

void RpCustomBand::paintSurface(Canvas &canvas)
{
    paintBackground(canvas);
    const int W = width();
    const int H = height();
    if (m_parentReport && m_parentReport->page()->ruler())
        drawRuler(canvas, m_parentReport->units());
    canvas.setPen(surfaceScheme().bandOutline);
    auto line = [&](int x1, int y1, int x2, int y2) {
        canvas.moveTo(x1, y1);
        canvas.lineTo(x2, y2);
    };
    line(0, 0, W, 0);
    line(0, H - 1, W - 1, H - 1);
    line(0, 0, 0, H - 1);
    line(W - 1, 0, W - 1, H - 1);
    const double f = units::devicePerNative(units::screenPixelsPerInch());
    m_frame->paintFrame(canvas, gdi::Rect{0, 0, W - 1, H - 1}, f, f);

    gdi::LogFont lf;
    lf.height = -mulDiv(6, units::screenPixelsPerInch(), int(units::kPointsPerInch));
    lf.faceName = QString::fromLatin1(reportstrings::kRulerFont);
    canvas.setFont(lf);
    canvas.setTextColor(surfaceScheme().textColor);
    canvas.setBkMode(gdi::TRANSPARENT);
    canvas.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    const int wh = canvas.textHeight(QStringLiteral("W"));
    canvas.textOut(2, H - wh - 4, bandCaption());
}

RpChildBand::RpChildBand(QWidget *parent)
    : RpCustomBand(nullptr)
{
    m_bandType = rbChild;
    if (parent)
        setParentPanel(parent);
}

bool RpChildBand::setParentBand(RpCustomBand *band)
{
    QSet<RpCustomBand *> seen;
    for (RpCustomBand *b = band; b && !seen.contains(b);) {
        if (b == this)
            return false;
        seen.insert(b);
        auto *c = qobject_cast<RpChildBand *>(b);
        b = c ? c->parentBand() : nullptr;
    }
    if (!m_parentReport)
        return false;
    m_parentBand = band;
    if (!m_parentReport->isDestroying()) {
        m_parentReport->orderBands();
        m_parentReport->setBandValues();
    }
    return true;
}
