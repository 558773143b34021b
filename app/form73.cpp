// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form73.h"

#include "app/appstrings.h"
#include "app/layouts.h"
#include "app/pagecontrol.h"
#include "app/teststate.h"
#include "app/worksheetfill.h"
#include "controls/rplabel.h"
#include "faces/modelform.h"
#include "faces/strokestore.h"
#include "faces/synthesis.h"
#include "platform/fonts.h"
#include "platform/rperror.h"
#include "preview/processwide.h"
#include "report/customreport.h"

#include <QEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

// The window's fonts: a face name and a GDI height in pixels (negative: the
// character height), as the controls are designed at 96 dpi.
QFont windowFont(const QString &face, int height)
{
    gdi::LogFont lf;
    lf.faceName = face;
    lf.height = height;
    return fonts::toQFont(lf);
}

const QString kKai = QStringLiteral("標楷體");
const QColor kTeal(0x00, 0x80, 0x80);

void setTextColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

} // namespace

Form73::Form73(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form73"));
    setWindowTitle(appstrings::windowCaption());
    // The client area is 1360 x 1125 pixels; the window system places it.
    resize(1360, 1125);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFont(windowFont(QStringLiteral("Tahoma"), -11));

    m_messageBox = [](QWidget *parent, const QString &text) {
        QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
        box.exec();
    };
    m_stateFile = teststate::stateFile();
    if (!m_stateFile.isEmpty()) {
        // The preview window tells its state beside the window's.
        const QString previewFile = m_stateFile + QStringLiteral(".preview");
        previewState().stateObserver = [previewFile](const QJsonObject &state) {
            teststate::writeState(previewFile, state);
        };
        const QString dialogFile = m_stateFile + QStringLiteral(".dialog");
        previewState().dialogObserver = [dialogFile](const QJsonObject &state) {
            teststate::writeState(dialogFile, state);
        };
    }

    createControls();
    createReports();
    checkFonts();
}

Form73::~Form73() = default;

void Form73::createControls()
{
    // In creation order: later controls lie over earlier ones.
    m_label1 = new QLabel(appstrings::fontNote(), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(8, 1022, 154, 84);
    m_label1->setFont(windowFont(kKai, -21));
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(m_label1, kTeal);

    m_label2 = new QLabel(appstrings::label2(), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(672, 568, 31, 13);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_label3 = new QLabel(appstrings::wordLimitNote(), this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setGeometry(8, 22, 384, 32);
    m_label3->setFont(windowFont(kKai, -32));
    m_label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(m_label3, kTeal);

    m_edit1 = new QLineEdit(appstrings::initialWord(), this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setGeometry(8, 67, 384, 72);
    m_edit1->setFont(windowFont(kKai, -64));
    // No length limit: the window itself refuses words over four characters.
    m_edit1->setMaxLength(32767);
    connect(m_edit1, &QLineEdit::textChanged, this, [this] { edit1Change(); });

    m_btnPrint = new QPushButton(appstrings::printButton(), this);
    m_btnPrint->setObjectName(QStringLiteral("btnPrint"));
    m_btnPrint->setGeometry(214, 291, 75, 25);
    connect(m_btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });

    m_pages = new PageControl(this);
    m_pages->setObjectName(QStringLiteral("Pages"));
    m_pages->setGeometry(423, 8, 946, 1121);
    for (int i = 0; i < 4; ++i)
        m_pages->addPage(appstrings::pageCaption(i), appstrings::pageCaption(i));
    m_pages->setActivePageIndex(0);
    connect(m_pages, &PageControl::pageClicked, this, [this] {
        report(m_pages->activePageIndex() + 1);
        writeTestState();
        emit stateChanged();
    });

    setTabOrder(m_edit1, m_btnPrint);
    setTabOrder(m_btnPrint, m_pages->tabBar());

    // Which faces stand in for missing worksheet fonts (see checkFonts).
    m_fontNoticeLabel = new QLabel(this);
    m_fontNoticeLabel->setObjectName(QStringLiteral("FontNotice"));
    m_fontNoticeLabel->setGeometry(8, 330, 400, 220);
    m_fontNoticeLabel->setWordWrap(true);
    m_fontNoticeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(m_fontNoticeLabel, QColor(0x60, 0x60, 0x60));
    m_fontNoticeLabel->hide();
}

void Form73::createReports()
{
    // The layout the start word shows; its failure to read is a fault of the
    // build, for the program's start to report.
    const int n = worksheet::wordLength(m_edit1->text());
    const int first = n >= 1 && n <= 4 ? n : 1;
    Report *r = layouts::load(first, m_pages->page(first - 1));
    m_reports[size_t(first - 1)] = r;
    r->show();
}

void Form73::loadRemainingLayouts()
{
    for (int i = 1; i <= 4; ++i)
        report(i);
}

void Form73::checkFonts()
{
    // The layouts and the window name three outside faces. When one is not
    // installed the platform's substitution draws it; say once which face
    // stands in, without interrupting the start.
    // The two worksheet faces are drawn by the program itself then, with the
    // metrics and outlines of the Kai face that stands in for them.
    const QString faces[] = {faces::strokeOrderFamily(), faces::tracingFamily(), kKai};
    for (const QString &face : faces) {
        if (!fonts::isSubstituted(face))
            continue;
        const quint8 charset = face == kKai ? gdi::ANSI_CHARSET : gdi::CHINESEBIG5_CHARSET;
        const QString standIn = fonts::standInFamily(face, charset);
        switch (faces::synthesisFor(face)) {
        case faces::Synthesis::StrokeOrder:
            m_fontNotice << appstrings::strokeFaceSynthesised(standIn) << appstrings::strokeOrderConvention();
            // The stroke data files, when one is missing.
            for (const faces::MissingStrokeData &m : faces::StrokeStore::global().missingData())
                m_fontNotice << appstrings::strokeDataMissing(m.path);
            break;
        case faces::Synthesis::Tracing:
            m_fontNotice << appstrings::tracingFaceSynthesised(standIn);
            break;
        case faces::Synthesis::None:
            m_fontNotice << appstrings::fontStandsIn(face, standIn);
            break;
        }
    }
    showNotice();
}

void Form73::checkWord(const QString &word)
{
    // What the model cells of the word draw: the characters without stroke
    // data of the tracing glyph's form are drawn unnumbered, those no face
    // and no data has leave their cells empty.
    QStringList notice;
    if (faces::synthesisFor(faces::strokeOrderFamily()) == faces::Synthesis::StrokeOrder) {
        QString unnumbered, missing;
        for (const QString &c : worksheet::wordCharacters(word)) {
            const faces::ModelForm::Kind kind = faces::modelFormInCell(c.toUcs4().value(0)).kind;
            if (kind == faces::ModelForm::Kind::Kai && !unnumbered.contains(c))
                unnumbered += c;
            else if (kind == faces::ModelForm::Kind::Blank && !missing.contains(c))
                missing += c;
        }
        if (!unnumbered.isEmpty())
            notice << appstrings::drawnWithoutStrokeNumbers(unnumbered);
        if (!missing.isEmpty())
            notice << appstrings::noFaceHas(missing);
    }
    if (notice != m_wordNotice) {
        m_wordNotice = notice;
        showNotice();
    }
}

void Form73::showNotice()
{
    const QStringList lines = fontNotice();
    m_fontNoticeLabel->setText(lines.join(QLatin1Char('\n')));
    m_fontNoticeLabel->setVisible(!lines.isEmpty());
}

Report *Form73::report(int layout) const
{
    if (layout < 1 || layout > 4)
        return nullptr;
    const size_t i = size_t(layout - 1);
    if (!m_reports[i] && !m_layoutFailed[i]) {
        try {
            m_reports[i] = layouts::load(layout, m_pages->page(int(i)));
            m_reports[i]->show();
        } catch (const RpError &e) {
            // Said once; the window goes on without that layout.
            m_layoutFailed[i] = true;
            m_messageBox(const_cast<Form73 *>(this), e.message());
        } catch (const std::exception &e) {
            m_layoutFailed[i] = true;
            m_messageBox(const_cast<Form73 *>(this), QString::fromLocal8Bit(e.what()));
        }
    }
    return m_reports[i];
}

RpLabel *Form73::labelNamed(const QString &name) const
{
    for (int layout = 1; layout <= 4; ++layout) {
        Report *r = report(layout);
        if (!r)
            continue;
        if (auto *l = r->findChild<RpLabel *>(name))
            return l;
    }
    return nullptr;
}

bool Form73::event(QEvent *e)
{
    const bool result = QWidget::event(e);
    if (e->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        QTimer::singleShot(0, this, [this] { loadRemainingLayouts(); });
    }
    // The window is taken as activated when it is first shown, as a main
    // window always is where it was designed: a window system that never
    // activates it (no window manager, or focus-stealing prevention) would
    // otherwise leave the sheet with its design captions. Tag keeps it once.
    if (e->type() == QEvent::WindowActivate || (e->type() == QEvent::Show && !e->spontaneous()))
        formActivate();
    return result;
}

void Form73::formActivate()
{
    if (m_tag != 0)
        return;
    m_tag = 1;
    edit1Change();
}

void Form73::edit1Change()
{
    // A character is one code point: a character outside the Basic
    // Multilingual Plane is one character, as any other.
    const QString word = m_edit1->text();
    const int n = worksheet::wordLength(word);
    if (n > worksheet::kLongestWord) {
        ++m_messagesShown;
        writeTestState();
        m_messageBox(this, appstrings::wordTooLong());
        return;
    }
    m_pages->setActivePageIndex(n - 1);
    // Every layout up to the word's length is refreshed, each with the first
    // characters of the word; longer layouts keep what they showed.
    for (int i = 1; i <= n; ++i)
        refreshLayout(i, word);
    checkWord(word);
    writeTestState();
    emit stateChanged();
}

void Form73::btnPrintClick()
{
    const int index = m_pages->activePageIndex();
    Report *r = report(index + 1);
    if (!r || index < 0)
        return;
    // What goes wrong is said in a message; the window goes on.
    try {
        r->preview();
    } catch (const RpError &e) {
        m_messageBox(this, e.message());
    } catch (const std::exception &e) {
        m_messageBox(this, QString::fromLocal8Bit(e.what()));
    }
}

void Form73::refreshLayout(int layout, const QString &word)
{
    Report *r = report(layout);
    if (!r)
        return;
    r->setVisible(true);
    worksheet::fillLayout(*r, layout, word);
}

void Form73::writeTestState()
{
    if (m_stateFile.isEmpty())
        return;
    QJsonObject state;
    state[QStringLiteral("activePage")] = m_pages->activePageIndex();
    state[QStringLiteral("text")] = m_edit1->text();
    state[QStringLiteral("messages")] = m_messagesShown;
    state[QStringLiteral("tag")] = m_tag;
    // Captions as text and as their UTF-16 code units in hexadecimal (a
    // character beyond the Basic Multilingual Plane is a pair of them).
    QJsonObject cells, units;
    for (int i = 1; i <= 4; ++i) {
        for (const worksheet::Cell &c : worksheet::cellsOf(i)) {
            const RpLabel *l = labelNamed(QLatin1String(c.name));
            const QString caption = l ? l->caption() : QString();
            QStringList hex;
            for (QChar ch : caption)
                hex << QString::number(ch.unicode(), 16).rightJustified(4, QLatin1Char('0'));
            cells[QLatin1String(c.name)] = caption;
            units[QLatin1String(c.name)] = hex.join(QLatin1Char(' '));
        }
    }
    state[QStringLiteral("cells")] = cells;
    state[QStringLiteral("cellUnits")] = units;
    state[QStringLiteral("fontNotice")] = QJsonArray::fromStringList(fontNotice());
    // Where the tabs are, in window coordinates, for tests that click them.
    QJsonArray tabs;
    for (int i = 0; i < m_pages->tabBar()->count(); ++i) {
        const QPoint c = m_pages->tabBar()->mapTo(this, m_pages->tabBar()->tabRect(i).center());
        tabs.append(QJsonArray{c.x(), c.y()});
    }
    state[QStringLiteral("tabs")] = tabs;
    teststate::writeState(m_stateFile, state);
}
