// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/previewdialogs.h"

#include "preview/processwide.h"
#include "preview/searchdlg.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

PreviewDialogs::~PreviewDialogs() = default;

QStringList QtPreviewDialogs::nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed(), pattern = parts[i + 1].trimmed();
        if (desc.endsWith(QLatin1Char(')')) && desc.contains(QLatin1Char('(')))
            out << desc;
        else
            out << desc + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return out;
}

QString QtPreviewDialogs::openFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, QString(), nameFilters(filter).join(QStringLiteral(";;")));
}

QString QtPreviewDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &filter,
                                       const QString &initialName, int *filterIndex)
{
    const QStringList filters = nameFilters(filter);
    QFileDialog dlg(parent, caption);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(filters);
    // The initial name is a pattern ("*.TRP"): the dialog starts empty and
    // the file type says which files are listed.
    if (!initialName.contains(QLatin1Char('*')))
        dlg.selectFile(initialName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    if (filterIndex)
        *filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    return dlg.selectedFiles().first();
}

bool QtPreviewDialogs::inputQuery(QWidget *parent, const QString &caption, const QString &prompt, QString &value)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

void QtPreviewDialogs::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<SearchRequest> QtPreviewDialogs::searchText(QWidget *parent)
{
    SearchDlg dlg(parent);
    dlg.exec();
    if (dlg.cancelled())
        return std::nullopt;
    return SearchRequest{dlg.text(), dlg.matchCase()};
}

PreviewDialogs &previewDialogs()
{
    if (PreviewDialogs *standIn = previewState().dialogs)
        return *standIn;
    static QtPreviewDialogs dialogs;
    return dialogs;
}
