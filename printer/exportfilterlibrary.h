// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The filter classes a program offers for saving a document in another
// format, and the file-type list of the save dialog built from them. One
// library exists per process (globalFilterLibrary()); it starts empty and
// filters enter it only through addFilter: the worksheet program registers
// none, so its preview saves report files alone.
#include "printer/exportfilter.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// A filter class: its name and how to make an instance for a file name.
struct RpExportFilterClass {
    QString className;
    std::function<std::unique_ptr<RpExportFilter>(const QString &filename)> create;

    template <class Filter> static RpExportFilterClass of(const QString &className)
    {
        return {className, [](const QString &f) -> std::unique_ptr<RpExportFilter> { return std::make_unique<Filter>(f); }};
    }
};

struct RpExportFilterLibraryEntry {
    RpExportFilterClass exportFilterClass;
    QString name;      // the filter's name()
    QString extension; // its fileExtension(), without the dot
};

class RpExportFilterLibrary {
public:
    const std::vector<RpExportFilterLibraryEntry> &filters() const { return m_filters; }

    // Appends an entry unless one of a class of the same name (any letter
    // case) is there already.
    void addFilter(const RpExportFilterClass &filterClass);
    // Removes the first entry whose name equals the filter's name exactly;
    // nothing happens (and nothing is reported) when there is none or the
    // filter cannot be made.
    void removeFilter(const RpExportFilterClass &filterClass);
    // The first entry for the extension (no dot, any letter case), or null.
    const RpExportFilterLibraryEntry *getFilterByExtension(const QString &ext) const;
    // The file types for a save dialog: the report file first, then one per
    // entry, as "description (*.ext)|*.ext" pieces joined by "|".
    QString saveDialogFilterString() const;

    void clear() { m_filters.clear(); }

private:
    std::vector<RpExportFilterLibraryEntry> m_filters;
};

// The process-wide library, created empty at start-up. User-interface thread.
RpExportFilterLibrary &globalFilterLibrary();
