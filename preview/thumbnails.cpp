// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/thumbnails.h"

#include "platform/metafile.h"
#include "platform/rperror.h"
#include "preview/pagepainting.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

QImage ThumbnailCache::image(RpPrinter *printer, int n, QSize size)
{
    if (!printer || size.isEmpty())
        return {};
    const Key key{n, {size.width(), size.height()}};
    if (auto it = m_images.find(key); it != m_images.end()) {
        m_order.splice(m_order.begin(), m_order, it->second.second);
        return it->second.first;
    }
    QImage played;
    try {
        const auto bytes = printer->pageList()->getPage(n);
        if (!bytes)
            return {};
        played = pagepainting::playPage(Metafile::fromBytes(*bytes), size, Qt::transparent);
    } catch (const RpError &) {
        return {};
    }
    ++m_playedCount;
    m_order.push_front(key);
    m_images[key] = {played, m_order.begin()};
    while (int(m_order.size()) > m_capacity) {
        m_images.erase(m_order.back());
        m_order.pop_back();
    }
    return played;
}

void ThumbnailCache::clear()
{
    m_images.clear();
    m_order.clear();
}

// One column of rows that hold nothing: the grid draws them itself.
class ThumbGrid::Model : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rows = 1;
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex &, int) const override { return {}; }
    void setRows(int n)
    {
        if (n == rows)
            return;
        beginResetModel();
        rows = n;
        endResetModel();
    }
};

class ThumbGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(ThumbGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (option.state & QStyle::State_Selected)
            p->fillRect(option.rect, option.palette.highlight());
        if (m_grid->onDrawCell)
            m_grid->onDrawCell(*p, index.row(), option.rect);
    }

private:
    ThumbGrid *m_grid;
};

ThumbGrid::ThumbGrid(QWidget *parent) : QTableView(parent), m_model(new Model(this))
{
    setObjectName(QStringLiteral("ThumbGrid"));
    setModel(m_model);
    setItemDelegate(new Delegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(90);
    QTableView::setColumnWidth(0, 90);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &now) {
        if (now.isValid() && onSelectCell)
            onSelectCell(now.row());
    });
}

int ThumbGrid::rowCount() const { return m_model->rows; }

void ThumbGrid::setRowCount(int n)
{
    const int keep = row();
    m_model->setRows(std::max(0, n));
    if (keep >= 0 && keep < m_model->rows)
        selectionModel()->setCurrentIndex(m_model->index(keep, 0), QItemSelectionModel::ClearAndSelect);
}

void ThumbGrid::setDefaultRowHeight(int h) { verticalHeader()->setDefaultSectionSize(std::max(1, h)); }

int ThumbGrid::row() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void ThumbGrid::setRow(int r)
{
    if (r < 0 || r >= m_model->rows)
        return;
    const QModelIndex i = m_model->index(r, 0);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i);
}

void ThumbGrid::resizeEvent(QResizeEvent *e)
{
    QTableView::resizeEvent(e);
    if (onResized)
        onResized();
}
