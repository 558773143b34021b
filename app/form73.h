// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The worksheet window: the edit box for a word of one to four characters,
// the Print button and the tab control whose four pages show the worksheet
// layouts rpt1..rpt4 live. Controls sit at fixed client pixels at 96 dpi.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class PageControl;
class Report;
class RpLabel;

class Form73 : public QWidget {
    Q_OBJECT
public:
    explicit Form73(QWidget *parent = nullptr);
    ~Form73() override;

    // OnActivate: fills layout 1 with the initial word at the first
    // activation (or first show, when the window system does not activate
    // it), then does nothing.
    void formActivate();
    // OnChange of Edit1: picks the page for the word's length (in characters,
    // so 𠀋 is one) and writes the word into the layouts 1..n (app/worksheetfill.h).
    void edit1Change();
    // OnClick of btnPrint: the preview of the layout on the active tab page
    // (none without an active page); returns when the preview has closed.
    void btnPrintClick();

    QLabel *label1() const { return m_label1; }
    QLabel *label2() const { return m_label2; }
    QLabel *label3() const { return m_label3; }
    QLineEdit *edit1() const { return m_edit1; }
    QPushButton *btnPrint() const { return m_btnPrint; }
    PageControl *pages() const { return m_pages; }
    // Layout 1..4, read from its stored description the first time it is
    // asked for; null when it could not be read (the message said why).
    Report *report(int layout) const;
    // A label of any layout by name (the cells "A1" .. "D4d" and the rest).
    RpLabel *labelNamed(const QString &name) const;
    int tag() const { return m_tag; }

    // Which worksheet faces are drawn by a stand-in and what of the stroke
    // data is missing, one line each, then what the sheets of the word
    // cannot show as it should (characters drawn without stroke numbers, and
    // characters no face has); empty when nothing is to be said.
    QStringList fontNotice() const { return m_fontNotice + m_wordNotice; }
    QLabel *fontNoticeLabel() const { return m_fontNoticeLabel; }

    // Shows the modal message box; tests replace it.
    using MessageBox = std::function<void(QWidget *parent, const QString &text)>;
    void setMessageBox(MessageBox box) { m_messageBox = std::move(box); }
    int messagesShown() const { return m_messagesShown; }

signals:
    // After Edit1Change or a click on a tab changed what the window shows.
    void stateChanged();

protected:
    bool event(QEvent *event) override;

private:
    void createControls();
    void createReports();
    // Reads the layouts not read yet (after the first paint).
    void loadRemainingLayouts();
    void checkFonts();
    void checkWord(const QString &word);
    void showNotice();
    void refreshLayout(int layout, const QString &word);
    void writeTestState();

    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QPushButton *m_btnPrint = nullptr;
    PageControl *m_pages = nullptr;
    QLabel *m_fontNoticeLabel = nullptr;
    // Read on demand: the start word's layout before the window first
    // paints, the others just after.
    mutable std::array<Report *, 4> m_reports{};
    mutable std::array<bool, 4> m_layoutFailed{};
    bool m_painted = false;
    int m_tag = 0;
    QStringList m_fontNotice;
    QStringList m_wordNotice;
    MessageBox m_messageBox;
    int m_messagesShown = 0;
    QString m_stateFile;
};
