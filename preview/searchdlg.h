// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search dialog: the text to look for in the pages and whether case
// matters. "Search" closes it with the text, "Cancel" (or Esc) without.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class SearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit SearchDlg(QWidget *parent = nullptr);

    bool cancelled() const { return m_cancelled; }
    QString text() const;
    bool matchCase() const;

    QLineEdit *edit() const { return m_edit; }
    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QPushButton *searchButton() const { return m_search; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    bool m_cancelled = true;
    QLabel *m_label;
    QLineEdit *m_edit;
    QCheckBox *m_matchCase;
    QPushButton *m_search;
    QPushButton *m_cancel;
};
