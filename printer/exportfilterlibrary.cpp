// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/exportfilterlibrary.h"

#include "printer/printerstrings.h"
#include "printer/processwide.h"

#include <exception>

void RpExportFilterLibrary::addFilter(const RpExportFilterClass &filterClass)
{
    if (!filterClass.create)
        return;
    const std::unique_ptr<RpExportFilter> probe = filterClass.create(QString());
    RpExportFilterLibraryEntry entry{filterClass, probe->name(), probe->fileExtension()};
    for (const RpExportFilterLibraryEntry &e : m_filters)
        if (e.exportFilterClass.className.compare(filterClass.className, Qt::CaseInsensitive) == 0)
            return;
    m_filters.push_back(std::move(entry));
}

void RpExportFilterLibrary::removeFilter(const RpExportFilterClass &filterClass)
{
    try {
        if (!filterClass.create)
            return;
        const QString name = filterClass.create(QString())->name();
        for (auto it = m_filters.begin(); it != m_filters.end(); ++it)
            if (it->name == name) {
                m_filters.erase(it);
                return;
            }
    } catch (const std::exception &) {
        // A class whose filter cannot be made was never added (addFilter
        // makes one): there is nothing to remove.
    }
}

const RpExportFilterLibraryEntry *RpExportFilterLibrary::getFilterByExtension(const QString &ext) const
{
    for (const RpExportFilterLibraryEntry &e : m_filters)
        if (e.extension.compare(ext, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

QString RpExportFilterLibrary::saveDialogFilterString() const
{
    const QString trp = QString::fromLatin1(printerstrings::kReportFileExt);
    QString s = QString::fromLatin1(printerstrings::kReportFileType) + QStringLiteral("(*.") + trp +
                QStringLiteral(")|*.") + trp;
    for (const RpExportFilterLibraryEntry &e : m_filters)
        s += QStringLiteral("|") + e.name + QStringLiteral(" (*.") + e.extension + QStringLiteral(")|*.") + e.extension;
    return s;
}

RpExportFilterLibrary &globalFilterLibrary() { return printerState().filterLibrary; }
