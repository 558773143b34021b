// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the bands of a grouped list report land, worked out from the
// placement rules on their own: a second account of band placement, written
// from the rules and not from the engine's code, for the tests to hold the
// engine to.
//
// The report: a page header (every page), a title (page 1), a column header
// (at the top of every column), group headers and footers (outermost first),
// a detail band with a child printed after it (linked to it or not), a
// summary at the end and a page footer at the bottom of every page, in C
// columns filled top to bottom.
// All in native units; no band stretches; no forced breaks; group headers
// reprint on a new page when asked to.
#include <QString>
#include <QStringList>

#include <cmath>
#include <functional>
#include <vector>

namespace placementmodel {

struct Page {
    double width = 2100, length = 2970;
    double top = 100, bottom = 100, left = 100, right = 100, columnSpace = 0;
    int columns = 1;
};

struct Heights {
    double pageHeader = 0, title = 0, columnHeader = 0, detail = 0, child = 0, summary = 0, pageFooter = 0;
    std::vector<double> groupHeaders, groupFooters; // outermost first
    std::vector<bool> reprintOnNewPage;             // per group
    // The detail band is linked to its child: it needs room for both.
    bool detailLinksChild = false;
    // Each group header is linked to the next header, the innermost to the
    // detail: a header needs room for the bands its links chain to.
    bool headersLinkDown = false;
};

struct Placed {
    QString band; // "PH", "T", "CH", "GH0".., "D", "C", "GF0".., "S", "PF"
    int page;
    int column;
    int x, y;
    bool operator==(const Placed &o) const
    {
        return band == o.band && page == o.page && column == o.column && x == o.x && y == o.y;
    }
};

inline int roundEven(double v)
{
    const double f = std::floor(v);
    const double d = v - f;
    if (d > 0.5 || (d == 0.5 && std::fmod(f, 2) != 0))
        return int(f) + 1;
    return int(f);
}

// `keys[i]` holds the group values of record i, outermost first; the column
// width is the detail band's width.
inline std::vector<Placed> place(const Page &pg, const Heights &h, const std::vector<QStringList> &keys,
                                 double detailWidth)
{
    std::vector<Placed> out;
    const int groups = int(h.groupHeaders.size());
    int page = 0, column = pg.columns, x = 0, y = -1, columnTop = 0;
    std::vector<bool> inGroup(size_t(groups), false);
    // Some group opened (or was reprinted) for the record being printed: a
    // break meanwhile reprints no header.
    bool anyChanged = true;
    std::vector<int> groupPage(size_t(groups), 1);
    const double footer = h.pageFooter;
    const double emptyPage = pg.length - (pg.top + pg.bottom);

    auto space = [&] { return y == -1 ? 0 : roundEven(pg.length - pg.bottom - footer - y); };
    std::function<void(const QString &, double, double)> put;
    std::function<void()> newColumn, newPage;
    auto endPage = [&] {
        if (page == 0)
            return;
        y = roundEven(pg.length - pg.bottom - footer);
        x = roundEven(pg.left);
        put("PF", h.pageFooter, 0); // a last page has its footer too

    };
    newPage = [&] {
        endPage();
        ++page;
        y = roundEven(pg.top);
        put("PH", h.pageHeader, 0);
        columnTop = y;
        column = 1;
        if (page == 1)
            columnTop += roundEven(h.title);
    };
    newColumn = [&] {
        if (column >= pg.columns) {
            column = 1;
            x = roundEven(pg.left);
            newPage();
        } else {
            x += roundEven(pg.columnSpace) + roundEven(detailWidth);
            y = columnTop;
            ++column;
        }
        if (!(column == 1 && page == 1)) {
            put("CH", h.columnHeader, 0);
            for (int g = 0; g < groups && !anyChanged; ++g)
                if (h.reprintOnNewPage[size_t(g)] && inGroup[size_t(g)] && groupPage[size_t(g)] != page) {
                    anyChanged = true;
                    for (int k = g; k < groups; ++k) {
                        put(QStringLiteral("GH%1").arg(k), h.groupHeaders[size_t(k)], 0);
                        groupPage[size_t(k)] = page;
                    }
                    break;
                }
        }
    };
    // A band breaks to the next column first when it does not fit (with the
    // bands linked to it: `linked` more; unless it is taller than an empty
    // page); page footers never break.
    put = [&](const QString &band, double height, double linked) {
        const int hh = roundEven(height + linked);
        if (band != "PF" && (y == -1 || (hh > space() && hh <= emptyPage)))
            newColumn();
        out.push_back({band, page, column, x, y});
        y += roundEven(height);
    };

    x = roundEven(pg.left);
    put("T", h.title, 0);
    if (h.columnHeader > 0)
        put("CH", h.columnHeader, 0);
    for (size_t i = 0; i < keys.size(); ++i) {
        int changed = groups;
        for (int g = 0; g < groups; ++g)
            if (i == 0 || keys[i][g] != keys[i - 1][g]) {
                changed = g;
                break;
            }
        anyChanged = changed < groups;
        if (i > 0)
            for (int g = groups - 1; g >= changed; --g) {
                put(QStringLiteral("GF%1").arg(g), h.groupFooters[size_t(g)], 0);
                inGroup[size_t(g)] = false;
            }
        for (int g = changed; g < groups; ++g) {
            double chained = 0;
            if (h.headersLinkDown) {
                for (int k = g + 1; k < groups; ++k)
                    chained += h.groupHeaders[size_t(k)];
                chained += h.detail + (h.detailLinksChild ? h.child : 0);
            }
            put(QStringLiteral("GH%1").arg(g), h.groupHeaders[size_t(g)], chained);
            inGroup[size_t(g)] = true;
            groupPage[size_t(g)] = page;
        }
        put("D", h.detail, h.detailLinksChild ? h.child : 0);
        if (h.child > 0)
            put("C", h.child, 0);
    }
    anyChanged = true;
    for (int g = groups - 1; g >= 0; --g) {
        put(QStringLiteral("GF%1").arg(g), h.groupFooters[size_t(g)], 0);
        inGroup[size_t(g)] = false;
    }
    if (roundEven(h.summary) > space())
        newColumn();
    // A summary in a report of several columns takes one column's width at
    // the current column.
    const double w = (pg.width - (pg.left + pg.right) - (pg.columns - 1) * pg.columnSpace) / pg.columns;
    if (pg.columns > 1)
        x = roundEven(pg.left + (column - 1) * w) + roundEven(pg.columnSpace * (column - 1));
    put("S", h.summary, 0);
    x = roundEven(pg.left);
    endPage();
    return out;
}

} // namespace placementmodel
