// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialogs the preview window asks the user through: file names to load
// and save, a page number, a message, the text to search for. The window
// reaches them through this interface so that tests answer in their place
// (previewState().dialogs); the system's own are QtPreviewDialogs.
#include <QString>
#include <optional>

class QWidget;

struct SearchRequest {
    QString text;
    bool matchCase = false;
};

class PreviewDialogs {
public:
    virtual ~PreviewDialogs();
    // An existing file's name, or empty when cancelled. `filter` is in the
    // "description|pattern|description|pattern" form.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &filter) = 0;
    // A file name to save under, or empty when cancelled; `filterIndex`
    // receives the chosen file type, counted from 1.
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &filter,
                                 const QString &initialName, int *filterIndex) = 0;
    // An input query; false when cancelled. `value` holds the initial text
    // and receives the answer.
    virtual bool inputQuery(QWidget *parent, const QString &caption, const QString &prompt, QString &value) = 0;
    virtual void message(QWidget *parent, const QString &text) = 0;
    // The search dialog; none when cancelled.
    virtual std::optional<SearchRequest> searchText(QWidget *parent) = 0;
};

class QtPreviewDialogs : public PreviewDialogs {
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &filter, const QString &initialName,
                         int *filterIndex) override;
    bool inputQuery(QWidget *parent, const QString &caption, const QString &prompt, QString &value) override;
    void message(QWidget *parent, const QString &text) override;
    std::optional<SearchRequest> searchText(QWidget *parent) override;

    // "desc|pattern|..." as the name filters of a file dialog: a description
    // that does not already end in its patterns gets them in parentheses.
    static QStringList nameFilters(const QString &filter);
};

// The stand-in of previewState() when one is set, else the system's dialogs.
PreviewDialogs &previewDialogs();
