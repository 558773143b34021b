// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The tab control: an active page of none, and the user picking tabs.
#include "app/pagecontrol.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct PageControlTest : ::testing::Test {
    PageControl pages;
    void SetUp() override
    {
        pages.resize(400, 300);
        for (int i = 0; i < 4; ++i)
            pages.addPage(QStringLiteral("Page%1").arg(i + 1), QStringLiteral("Page%1").arg(i + 1));
        pages.show();
    }
    int visiblePage() const
    {
        int found = -1;
        for (int i = 0; i < pages.pageCount(); ++i) {
            if (pages.page(i)->isVisible()) {
                EXPECT_EQ(found, -1) << "two pages are shown";
                found = i;
            }
        }
        return found;
    }
};

TEST_F(PageControlTest, FirstPageIsActiveAndShownAlone)
{
    EXPECT_EQ(pages.activePageIndex(), 0);
    EXPECT_EQ(visiblePage(), 0);
    EXPECT_EQ(pages.tabBar()->count(), 4);
    EXPECT_EQ(pages.tabBar()->tabText(2), QStringLiteral("Page3"));
}

TEST_F(PageControlTest, IndexOutsideThePagesLeavesNoPageActive)
{
    for (int bad : {-1, 4, 17, -5}) {
        pages.setActivePageIndex(2);
        ASSERT_EQ(visiblePage(), 2);
        pages.setActivePageIndex(bad);
        EXPECT_EQ(pages.activePageIndex(), -1) << bad;
        EXPECT_EQ(visiblePage(), -1) << bad;
        EXPECT_TRUE(pages.tabBar()->noneSelected()) << bad;
    }
    pages.setActivePageIndex(3);
    EXPECT_EQ(pages.activePageIndex(), 3);
    EXPECT_EQ(visiblePage(), 3);
    EXPECT_FALSE(pages.tabBar()->noneSelected());
}

TEST_F(PageControlTest, SettingTheIndexByCodeIsNotAClick)
{
    QSignalSpy clicked(&pages, &PageControl::pageClicked);
    pages.setActivePageIndex(1);
    pages.setActivePageIndex(-1);
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(PageControlTest, ClickingATabActivatesIt)
{
    QSignalSpy clicked(&pages, &PageControl::pageClicked);
    // With no page active, clicking the tab that QTabBar still holds as its
    // current one must bring that page back.
    pages.setActivePageIndex(2);
    pages.setActivePageIndex(-1);
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(2).center());
    EXPECT_EQ(pages.activePageIndex(), 2);
    EXPECT_EQ(visiblePage(), 2);
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(0).center());
    EXPECT_EQ(pages.activePageIndex(), 0);
    EXPECT_EQ(visiblePage(), 0);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
    EXPECT_EQ(clicked.at(1).at(0).toInt(), 0);
}

TEST_F(PageControlTest, PagesShareTheAreaBelowTheTabs)
{
    const QRect r = pages.page(0)->geometry();
    EXPECT_GE(r.top(), pages.tabBar()->geometry().bottom());
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(pages.page(i)->geometry(), r);
    EXPECT_LE(r.right(), pages.width());
    EXPECT_LE(r.bottom(), pages.height());
}

} // namespace
