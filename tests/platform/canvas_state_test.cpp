// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/canvas.h"

#include <gtest/gtest.h>

namespace {
// A canvas that only keeps state, to test the saved-state stack.
class StateCanvas : public Canvas {
public:
    int deviceCaps(int) const override { return 96; }
    void lineTo(qint32, qint32) override {}
    void polyline(std::span<const gdi::Point>) override {}
    void rectangle(const gdi::Rect &) override {}
    void roundRect(const gdi::Rect &, qint32, qint32) override {}
    void ellipse(const gdi::Rect &) override {}
    void polygon(std::span<const gdi::Point>) override {}
    void fillRect(const gdi::Rect &, const gdi::LogBrush &) override {}
    void extTextOut(qint32, qint32, quint32, const gdi::Rect *, const QString &, const std::vector<qint32> *) override {}
    gdi::Size textExtent(const QString &) override { return {}; }
    gdi::TextMetric textMetrics() override { return {}; }
    void stretchDIBits(const gdi::Rect &, const gdi::Rect &, const QImage &, quint32) override {}
    void intersectClipRect(const gdi::Rect &) override {}
    void selectClipRgnNone() override {}
};
} // namespace

TEST(CanvasState, SaveAndRestoreByDepthAndRelative)
{
    StateCanvas c;
    c.setTextColor(1);
    EXPECT_EQ(c.saveDC(), 1);
    c.setTextColor(2);
    EXPECT_EQ(c.saveDC(), 2);
    c.setTextColor(3);
    EXPECT_EQ(c.saveDC(), 3);
    c.setTextColor(4);

    EXPECT_TRUE(c.restoreDC(-1));
    EXPECT_EQ(c.textColor(), 3u);
    EXPECT_TRUE(c.restoreDC(1)); // back to the first saved state, dropping the rest
    EXPECT_EQ(c.textColor(), 1u);
    EXPECT_FALSE(c.restoreDC(-1)); // nothing left to restore
    EXPECT_FALSE(c.restoreDC(0));
    EXPECT_EQ(c.textColor(), 1u);
}
