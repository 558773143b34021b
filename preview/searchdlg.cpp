// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/searchdlg.h"

#include "preview/previewstrings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace previewstrings;

SearchDlg::SearchDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SearchDlg"));
    // A dialog frame without the help and system icons; 305 x 118 at 120
    // pixels per inch.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(previewstrings::ui(kSearchForText));
    setFixedSize(244, 94);
    m_label = new QLabel(previewstrings::ui(kSearchText), this);
    m_label->setGeometry(8, 8, 228, 16);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("TextSearch"));
    m_edit->setGeometry(8, 26, 228, 22);
    m_matchCase = new QCheckBox(previewstrings::ui(kMatchCase), this);
    m_matchCase->setObjectName(QStringLiteral("CaseSensitive"));
    m_matchCase->setGeometry(8, 60, 100, 20);
    m_search = new QPushButton(previewstrings::ui(kSearch), this);
    m_search->setObjectName(QStringLiteral("BSearch"));
    m_search->setGeometry(112, 58, 60, 25);
    m_search->setDefault(true);
    m_cancel = new QPushButton(previewstrings::ui(kCancel), this);
    m_cancel->setObjectName(QStringLiteral("BCancel"));
    m_cancel->setGeometry(176, 58, 60, 25);
    connect(m_search, &QPushButton::clicked, this, [this] {
        m_cancelled = false;
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        reject();
    });
}

QString SearchDlg::text() const { return m_edit->text(); }
bool SearchDlg::matchCase() const { return m_matchCase->isChecked(); }
