// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's own progress window while recorded pages print (or a report
// exports): a bar, a line "N%  Completed" and a Cancel button. It follows
// CM_REPORTPROGRESS from its printer.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class RpPrinter;
class RpPrinterParent;

class RpProgressDialog : public QDialog {
    Q_OBJECT
public:
    RpProgressDialog(RpPrinter *printer, RpPrinterParent *report, QWidget *parent = nullptr);

    int barValue() const;
    QString text() const;
    QPushButton *cancelButton() const { return m_cancel; }

protected:
    bool event(QEvent *e) override;

private:
    void cancel();

    RpPrinter *m_printer;
    RpPrinterParent *m_report;
    QProgressBar *m_bar;
    QLabel *m_text;
    QPushButton *m_cancel;
};
