// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/rpprogressdialog.h"

#include "platform/messages.h"
#include "printer/printerstrings.h"
#include "printer/rpprinter.h"
#include "printer/rpprinterparent.h"

#include <QCoreApplication>

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

RpProgressDialog::RpProgressDialog(RpPrinter *printer, RpPrinterParent *report, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_printer(printer), m_report(report)
{
    setWindowTitle(QCoreApplication::translate("Progress", printerstrings::kPrintingProgress));
    auto *layout = new QVBoxLayout(this);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_text = new QLabel(this);
    m_text->setAlignment(Qt::AlignCenter);
    m_cancel = new QPushButton(QCoreApplication::translate("Progress", printerstrings::kCancel), this);
    layout->addWidget(m_bar);
    layout->addWidget(m_text);
    layout->addWidget(m_cancel, 0, Qt::AlignCenter);
    connect(m_cancel, &QPushButton::clicked, this, &RpProgressDialog::cancel);
    resize(320, 110);
    if (const QScreen *s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
}

int RpProgressDialog::barValue() const { return m_bar->value(); }
QString RpProgressDialog::text() const { return m_text->text(); }

bool RpProgressDialog::event(QEvent *e)
{
    if (const RpMessageEvent *m = RpMessageEvent::from(e)) {
        if (m->message() == CM_REPORTPROGRESS && m_printer) {
            const int p = m_printer->progress();
            if (p % 5 == 0) {
                m_bar->setValue(p);
                m_text->setText(QString::number(p) + QLatin1String(printerstrings::kPercentSuffix) +
                                QCoreApplication::translate("Progress", printerstrings::kCompleted));
                processMessages();
            }
        }
        return true;
    }
    return QDialog::event(e);
}

void RpProgressDialog::cancel()
{
    if (m_report)
        m_report->setUserCancel(true);
    if (m_printer)
        m_printer->cancel();
}
