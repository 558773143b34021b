// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page thumbnails: a one-column grid of rows the window sizes, drawn on
// demand, and a cache of pages played into images at thumbnail size, so
// that only the rows that come into view are ever played and scrolling a
// long report paints from the cache.
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QImage>
#include <QTableView>
#include <functional>
#include <list>
#include <map>
#include <utility>

class RpPrinter;

class ThumbnailCache {
public:
    explicit ThumbnailCache(int capacity = 96) : m_capacity(capacity) {}
    // Page n played into an image of `size`, from the cache or played now
    // through the page list; a null image for a page not stored yet.
    QImage image(RpPrinter *printer, int n, QSize size);
    void clear();
    int size() const { return int(m_images.size()); }
    // How many pages were played (not taken from the cache) so far.
    int played() const { return m_playedCount; }

private:
    using Key = std::pair<int, std::pair<int, int>>;
    int m_capacity;
    std::map<Key, std::pair<QImage, std::list<Key>::iterator>> m_images;
    std::list<Key> m_order; // most recently used first
    int m_playedCount = 0;
};

class ThumbGrid : public QTableView {
    Q_OBJECT
public:
    explicit ThumbGrid(QWidget *parent = nullptr);

    int rowCount() const;
    void setRowCount(int n);
    int defaultRowHeight() const { return verticalHeader()->defaultSectionSize(); }
    void setDefaultRowHeight(int h);
    int columnWidth() const { return QTableView::columnWidth(0); }
    void setColumnWidth(int w) { QTableView::setColumnWidth(0, w); }
    int row() const;
    void setRow(int r);

    // Draws row r into its cell.
    std::function<void(QPainter &, int row, const QRect &cell)> onDrawCell;
    // The user selected row r.
    std::function<void(int row)> onSelectCell;
    std::function<void()> onResized;

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    class Model;
    class Delegate;
    Model *m_model;
};

