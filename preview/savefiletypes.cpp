// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/savefiletypes.h"

#include "preview/previewstrings.h"
#include "printer/exportfilterlibrary.h"

namespace savefiletypes {
namespace {
std::function<std::vector<ExportFileType>()> &source()
{
    static std::function<std::vector<ExportFileType>()> s;
    return s;
}
} // namespace

void setExportFileTypes(std::function<std::vector<ExportFileType>()> s) { source() = std::move(s); }

std::vector<ExportFileType> exportFileTypes()
{
    if (source())
        return source()();
    // The process's export filter library, in its order.
    std::vector<ExportFileType> types;
    for (const RpExportFilterLibraryEntry &e : globalFilterLibrary().filters())
        types.push_back({e.name, e.extension, e.exportFilterClass.create});
    return types;
}

QString saveDialogFilterString()
{
    const QString trp = QString::fromLatin1(previewstrings::kTrp);
    QString s = previewstrings::ui(previewstrings::kReportFileKind) + QStringLiteral("(*.") + trp +
                QStringLiteral(")|*.") + trp;
    for (const ExportFileType &t : exportFileTypes())
        s += QLatin1Char('|') + t.name + QStringLiteral(" (*.") + t.extension + QStringLiteral(")|*.") + t.extension;
    return s;
}

std::optional<ExportFileType> byExtension(const QString &ext)
{
    for (const ExportFileType &t : exportFileTypes())
        if (t.extension.compare(ext, Qt::CaseInsensitive) == 0)
            return t;
    return std::nullopt;
}

} // namespace savefiletypes
