// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file types the preview's Save dialog offers besides its own report
// file: the entries of the process's export filter library, each with a
// name, an extension (without dot) and a way to make its filter for a file.
// The preview reads them through this accessor only; they come from the
// process's export filter library unless setExportFileTypes() names another
// source (tests). An empty library offers the report file alone.
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class RpExportFilter;

struct ExportFileType {
    QString name;      // "PDF document"
    QString extension; // "PDF"
    std::function<std::unique_ptr<RpExportFilter>(const QString &fileName)> create;
};

namespace savefiletypes {

// Where the entries come from; empty: the export filter library.
void setExportFileTypes(std::function<std::vector<ExportFileType>()> source);
std::vector<ExportFileType> exportFileTypes();

// "Tovrel report file(*.TRP)|*.TRP" followed by "|NAME (*.EXT)|*.EXT" for
// each entry, in order.
QString saveDialogFilterString();
// The entry whose extension is `ext` (no dot), whatever its case.
std::optional<ExportFileType> byExtension(const QString &ext);

} // namespace savefiletypes
