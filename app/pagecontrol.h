// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tab (page) control whose active page may also be none: the index -1, or
// any index outside the pages, leaves every tab unselected and shows no page.
#include <QTabBar>
#include <QWidget>
#include <vector>

class PageTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit PageTabBar(QWidget *parent = nullptr) : QTabBar(parent) {}
    void setNoneSelected(bool none);
    bool noneSelected() const { return m_none; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_none = false;
};

class PageControl : public QWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget *parent = nullptr);

    // Appends a tab page with `caption`; returns the page, on which the
    // caller places its controls.
    QWidget *addPage(const QString &caption, const QString &objectName);
    int pageCount() const { return int(m_pages.size()); }
    QWidget *page(int index) const;

    // -1 when no page is active.
    int activePageIndex() const { return m_active; }
    void setActivePageIndex(int index);

    PageTabBar *tabBar() const { return m_tabBar; }

signals:
    // Emitted when the user picks a tab (not when the index is set by code).
    void pageClicked(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void layoutPages();
    QRect pageRect() const;

    PageTabBar *m_tabBar;
    std::vector<QWidget *> m_pages;
    int m_active = -1;
};
