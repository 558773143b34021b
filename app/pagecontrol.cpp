// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pagecontrol.h"

#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

void PageTabBar::setNoneSelected(bool none)
{
    if (m_none == none)
        return;
    m_none = none;
    update();
}

void PageTabBar::paintEvent(QPaintEvent *event)
{
    if (!m_none) {
        QTabBar::paintEvent(event);
        return;
    }
    // QTabBar always has a current tab; with no active page every tab is
    // drawn as an unselected one.
    QStylePainter p(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab opt;
        initStyleOption(&opt, i);
        opt.state &= ~QStyle::State_Selected;
        opt.state &= ~QStyle::State_HasFocus;
        p.drawControl(QStyle::CE_TabBarTabShape, opt);
        p.drawControl(QStyle::CE_TabBarTabLabel, opt);
    }
}

PageControl::PageControl(QWidget *parent) : QWidget(parent), m_tabBar(new PageTabBar(this))
{
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    m_tabBar->setUsesScrollButtons(false);
    m_tabBar->setFocusPolicy(Qt::TabFocus);
    connect(m_tabBar, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index < 0)
            return;
        setActivePageIndex(index);
        emit pageClicked(index);
    });
    // Keyboard navigation of the tab bar changes its current tab.
    connect(m_tabBar, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_tabBar->noneSelected() && index != m_active && index >= 0) {
            setActivePageIndex(index);
            emit pageClicked(index);
        }
    });
}

QWidget *PageControl::addPage(const QString &caption, const QString &objectName)
{
    auto *page = new QWidget(this);
    page->setObjectName(objectName);
    page->setAutoFillBackground(false);
    page->hide();
    m_pages.push_back(page);
    {
        const QSignalBlocker block(m_tabBar);
        m_tabBar->addTab(caption);
    }
    layoutPages();
    if (m_active < 0 && m_pages.size() == 1)
        setActivePageIndex(0);
    return page;
}

QWidget *PageControl::page(int index) const
{
    return index >= 0 && index < pageCount() ? m_pages[size_t(index)] : nullptr;
}

void PageControl::setActivePageIndex(int index)
{
    if (index < 0 || index >= pageCount())
        index = -1;
    m_active = index;
    {
        const QSignalBlocker block(m_tabBar);
        if (index >= 0)
            m_tabBar->setCurrentIndex(index);
        m_tabBar->setNoneSelected(index < 0);
    }
    for (int i = 0; i < pageCount(); ++i)
        m_pages[size_t(i)]->setVisible(i == index);
    update();
}

QRect PageControl::pageRect() const
{
    // The page area lies below the tabs inside a 2-pixel frame, as on the
    // platform's tab control (whose sheets start 4 pixels in).
    const int top = m_tabBar->sizeHint().height();
    return QRect(4, top + 4, width() - 8, height() - top - 8);
}

void PageControl::layoutPages()
{
    const int h = m_tabBar->sizeHint().height();
    m_tabBar->setGeometry(2, 2, std::min(m_tabBar->sizeHint().width(), width() - 4), h);
    const QRect r = pageRect();
    for (QWidget *p : m_pages)
        p->setGeometry(r);
}

void PageControl::resizeEvent(QResizeEvent *)
{
    layoutPages();
}

void PageControl::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    opt.shape = QTabBar::RoundedNorth;
    opt.rect = QRect(0, m_tabBar->geometry().bottom() + 1, width(),
                     height() - m_tabBar->geometry().bottom() - 1);
    opt.tabBarSize = m_tabBar->size();
    opt.tabBarRect = m_tabBar->geometry();
    opt.selectedTabRect = m_active >= 0 ? m_tabBar->tabRect(m_active).translated(m_tabBar->pos()) : QRect();
    opt.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    p.drawPrimitive(QStyle::PE_FrameTabWidget, opt);
}
