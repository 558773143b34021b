// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/standardpreview.h"

#include "platform/messages.h"
#include "preview/pagepainting.h"
#include "preview/previewdialogs.h"
#include "preview/previewstrings.h"
#include "preview/processwide.h"
#include "preview/rppreview.h"
#include "preview/toolicons.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace previewstrings;

namespace {
QString text(const char *s) { return QString::fromLatin1(s); }
// The buttons that wait while the report is generated.
const char *const kWaitingButtons[] = {"PrintSetup", "Print", "SaveReport", "LoadReport", "FindButton",
                                       "GotoPageButton", "FirstPage", "nextPage", "PreviousPage", "LastPage"};
} // namespace

RpStandardPreview::RpStandardPreview(QWidget *owner, RpPrinter *printer)
    : QWidget(owner, Qt::Window), m_gauge(new QProgressBar)
{
    setObjectName(QStringLiteral("FRpPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
    setWindowTitle(ui(kCaption));
    m_actions["CancelButton"]->setEnabled(false);
    m_actions["Print"]->setEnabled(false);

    // The printer, attached to the preview control.
    m_preview->setReportPrinter(printer);

    PreviewProcessState &state = previewState();
    auto *report = printer ? dynamic_cast<CustomReport *>(printer->parentReport()) : nullptr;
    Qt::WindowStates windowState = Qt::WindowMaximized;
    if (report) {
        m_report = report;
        state.previewReport = report;
        if (report->prevFormStyle() == FormStyle::fsStayOnTop)
            setWindowFlag(Qt::WindowStaysOnTopHint, true);
        resize(report->previewWidth(), report->previewHeight());
        move(report->previewLeft(), report->previewTop());
        m_showThumbs = report->prevShowThumbs();
        m_showSearch = report->prevShowSearch();
        m_initZoom = report->prevInitialZoom();
        m_fixedZoom = report->zoom();
        state.previewTitle = report->reportTitle();
        printer->setTitle(report->reportTitle());
        m_reportOrientation = report->page()->orientation() == PrinterOrientation::poLandscape ? 1 : 0;
        switch (report->previewInitialState()) {
        case WindowState::wsMaximized: windowState = Qt::WindowMaximized; break;
        case WindowState::wsMinimized: windowState = Qt::WindowMinimized; break;
        default: windowState = Qt::WindowNoState; break;
        }
    } else {
        state.previewReport = nullptr;
        m_showThumbs = m_showSearch = true;
        m_fixedZoom = 100;
        resize(927 * 4 / 5, 614 * 4 / 5);
    }
    setWindowState(windowState);
    if (printer) {
        printer->setOrientation(m_reportOrientation ? RpOrientation::poLandscape : RpOrientation::poPortrait);
        if (!printer->title().isEmpty())
            setWindowTitle(ui(kCaption) + printer->title());
    }

    m_lastProgress = 0;
    m_thumbGrid->setRowCount(1);
    m_tabs->setVisible(m_showThumbs || m_showSearch);
    if (m_tabs->isVisibleTo(this)) {
        if (printer && printer->pageCount() > 0)
            m_thumbGrid->setRowCount(printer->pageCount());
        m_tabs->setTabVisible(0, m_showThumbs);
    }
    m_actions["FindButton"]->setVisible(m_showSearch);
    if (!m_showSearch)
        m_tabs->setTabVisible(1, false);

    // The zoom is set when the window has its size (showPreview); the button
    // of the mode is down from now on.
    switch (m_initZoom) {
    case RpZoomState::rpZoomToFit: m_actions["ZoomFit"]->setChecked(true); break;
    case RpZoomState::rpZoomToWidth: m_actions["ZoomToWidth"]->setChecked(true); break;
    default: m_actions["Zoom100"]->setChecked(true); break;
    }
    if (printer && printer->status() == mpFinished)
        m_actions["Print"]->setEnabled(true);
    // The window's keys come before its controls'.
    qApp->installEventFilter(this);
    if (report)
        standPrevEvent(StandPrevEventType::spOpen, "");
}

RpStandardPreview::~RpStandardPreview()
{
    qApp->removeEventFilter(this);
    delete m_gauge;
}

void RpStandardPreview::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setFixedHeight(34);
    using S = RpStandardPreview;
    auto *zoomGroup = new QActionGroup(this);
    for (QAction *a : {addButton("ZoomFit", toolicons::ZoomFit, kZoomToFit, &S::zoomToFitClick),
                       addButton("ZoomToWidth", toolicons::ZoomToWidth, kZoomToWidth, &S::zoomToWidthClick),
                       addButton("Zoom100", toolicons::Zoom100, kZoom100, &S::zoomTo100Click)}) {
        a->setCheckable(true);
        zoomGroup->addAction(a);
    }
    m_toolBar->addSeparator();
    addButton("FirstPage", toolicons::FirstPage, kFirstPage, &S::firstPageClick);
    addButton("PreviousPage", toolicons::PreviousPage, kPreviousPage, &S::prevPageClick);
    addButton("nextPage", toolicons::NextPage, kNextPage, &S::nextPageClick);
    addButton("LastPage", toolicons::LastPage, kLastPage, &S::lastPageClick);
    m_toolBar->addSeparator();
    addButton("GotoPageButton", toolicons::GotoPage, kSelectAPage, &S::gotoPageButtonClick);
    addButton("FindButton", toolicons::Find, kSearchForText, &S::findButtonClick);
    m_toolBar->addSeparator();
    addButton("copybutton", toolicons::Copy, kCopyPage, &S::copybuttonClick);
    addButton("PrintSetup", toolicons::PrintSetup, kPrinterSetup, &S::printSetupClick);
    addButton("Print", toolicons::Print, kPrint, &S::printClick);
    addButton("LoadReport", toolicons::LoadReport, kLoadReport, &S::loadClick);
    addButton("SaveReport", toolicons::SaveReport, kSaveReport, &S::saveClick);
    m_toolBar->addSeparator();
    addButton("CancelButton", toolicons::Cancel, kCancelTheReport, &S::cancelButtonClick);
    m_exitButton = new QToolButton(m_toolBar);
    m_exitButton->setObjectName(QStringLiteral("ExitButton"));
    m_exitButton->setText(ui(kClose));
    m_exitButton->setToolTip(ui(kClosePreview));
    m_exitButton->setAutoRaise(true);
    m_exitButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(m_exitButton, &QToolButton::clicked, this, [this] { exitClick(); });
    m_toolBar->addWidget(m_exitButton);
    layout->addWidget(m_toolBar);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_tabs = new QTabWidget(m_splitter);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    m_tabThumbs = new QWidget;
    m_tabThumbs->setObjectName(QStringLiteral("TabThumbs"));
    auto *thumbLayout = new QVBoxLayout(m_tabThumbs);
    thumbLayout->setContentsMargins(0, 0, 0, 0);
    m_thumbGrid = new ThumbGrid(m_tabThumbs);
    thumbLayout->addWidget(m_thumbGrid);
    m_tabs->addTab(m_tabThumbs, ui(kThumbNails));
    m_tabSearchResult = new QWidget;
    m_tabSearchResult->setObjectName(QStringLiteral("TabSearchResult"));
    auto *searchLayout = new QVBoxLayout(m_tabSearchResult);
    searchLayout->setContentsMargins(2, 2, 2, 2);
    m_groupBox1 = new QGroupBox(ui(kSearchText), m_tabSearchResult);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *groupLayout = new QVBoxLayout(m_groupBox1);
    m_searchTextLabel = new QLabel(m_groupBox1);
    m_searchTextLabel->setObjectName(QStringLiteral("SearchTextLabel"));
    groupLayout->addWidget(m_searchTextLabel);
    searchLayout->addWidget(m_groupBox1);
    m_searchResultBox = new QListWidget(m_tabSearchResult);
    m_searchResultBox->setObjectName(QStringLiteral("SearchResultBox"));
    m_searchResultBox->setEnabled(false);
    searchLayout->addWidget(m_searchResultBox, 1);
    m_tabs->addTab(m_tabSearchResult, ui(kSearchResults));
    m_preview = new RpPreview(m_splitter);
    m_preview->horizontalScrollBar()->setSingleStep(52);
    m_preview->verticalScrollBar()->setSingleStep(43);
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_preview);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({210, 600});
    layout->addWidget(m_splitter, 1);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("BStatus"));
    const int widths[3] = {40, 120, 50};
    const char *initial[3] = {"0%", kPage, " "};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(ui(initial[i]), m_statusBar);
        m_panels[i]->setMinimumWidth(widths[i]);
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_statusBar->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }
    m_panels[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(m_statusBar);

    m_thumbGrid->onDrawCell = [this](QPainter &p, int row, const QRect &cell) { thumbGridDrawCell(p, row, cell); };
    m_thumbGrid->onSelectCell = [this](int row) { thumbGridSelectCell(row); };
    m_thumbGrid->onResized = [this] { resizeThumb(); };
    connect(m_searchResultBox, &QListWidget::itemClicked, this, [this] { searchResultBoxClick(); });
    connect(m_searchResultBox, &QListWidget::currentRowChanged, this, [this] { searchResultBoxClick(); });
    m_preview->onPageAvailable = [this](RpPreview *, int n) { rpPreviewPageAvailable(n); };
    m_preview->onProgressUpdate = [this](RpPreview *, int p) { rpPreviewProgressUpdate(p); };
    m_preview->onMouseWheel = [this](RpPreview *, bool up) { formKeyDown(up ? Qt::Key_Up : Qt::Key_Down, {}); };
}

QAction *RpStandardPreview::addButton(const char *name, int image, const char *hint, void (RpStandardPreview::*slot)())
{
    QAction *a = m_toolBar->addAction(toolicons::icon(image), ui(hint));
    a->setObjectName(text(name));
    a->setToolTip(ui(hint));
    connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    if (QWidget *w = m_toolBar->widgetForAction(a))
        w->setObjectName(text(name));
    m_actions[text(name)] = a;
    return a;
}

QAction *RpStandardPreview::action(const QString &name) const
{
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

RpPrinter *RpStandardPreview::reportPrinter() const { return m_preview->reportPrinter(); }

bool RpStandardPreview::busy() const
{
    const RpPrinter *p = reportPrinter();
    return p && p->status() == mpBusy;
}

int RpStandardPreview::pageCount() const
{
    const RpPrinter *p = reportPrinter();
    return p ? p->pageCount() : 0;
}

void RpStandardPreview::showPreview()
{
    const Qt::WindowStates s = windowState();
    if ((s & Qt::WindowMaximized) && screen())
        setGeometry(screen()->availableGeometry()); // where no window manager maximises it
    show();
    setWindowState(s);
    // The preview has its size now: the zoom of the report's choice.
    switch (m_initZoom) {
    case RpZoomState::rpZoomToFit: m_preview->zoomToFit(); break;
    case RpZoomState::rpZoomToWidth: m_preview->zoomToWidth(); break;
    default:
        m_preview->setZoom(m_fixedZoom);
        m_preview->updateZoom();
        break;
    }
    updateInfo();
}

void RpStandardPreview::showPreviewModal()
{
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    showPreview();
    loop.exec();
}

bool RpStandardPreview::standPrevEvent(StandPrevEventType type, const char *contName)
{
    PreviewProcessState &state = previewState();
    state.previewEventHandled = false;
    if (!m_report || !m_report->onStandPrevEvent)
        return false;
    bool handled = false;
    m_report->onStandPrevEvent(this, type, text(contName), handled);
    state.previewEventHandled = handled;
    return handled;
}

void RpStandardPreview::setNavigationEnabled(bool on)
{
    for (const char *name : kWaitingButtons)
        m_actions[text(name)]->setEnabled(on);
}

// --- status, progress, pages ---------------------------------------------------

void RpStandardPreview::updateInfo()
{
    m_panels[1]->setText(ui(kPage) + QLatin1Char(' ') + QString::number(m_preview->pageNumber()) +
                         QLatin1Char(' ') + ui(kOf) + QLatin1Char(' ') + QString::number(pageCount()));
    m_panels[2]->setText(previewState().previewTitle);
    notifyState();
}

QString RpStandardPreview::statusText(int panel) const
{
    return panel >= 0 && panel < 3 ? m_panels[panel]->text() : QString();
}

void RpStandardPreview::rpPreviewProgressUpdate(int p)
{
    if (p >= m_lastProgress + 5) {
        m_panels[0]->setText(QString::number(p) + QLatin1Char('%'));
        m_lastProgress = p;
    }
    if (p == 0 || p == 100)
        m_panels[0]->setText(QString());
}

void RpStandardPreview::rpPreviewPageAvailable(int)
{
    RpPrinter *p = reportPrinter();
    m_actions["CancelButton"]->setEnabled(true);
    updateInfo();
    m_thumbGrid->setRowCount(pageCount());
    m_thumbGrid->viewport()->update();
    if (p && p->status() == mpFinished) {
        setNavigationEnabled(true);
        m_thumbGrid->setRowCount(pageCount());
        m_actions["CancelButton"]->setEnabled(false);
        // The run is over: no progress to show.
        m_panels[0]->setText(QString());
    } else {
        // The page being drawn has no thumbnail yet.
        m_thumbGrid->setRowCount(pageCount() - 1);
        setNavigationEnabled(false);
    }
    if (m_report && m_report->pagesInPreview() != 0 && m_report->pagesInPreview() == pageCount())
        m_report->setUserCancel(true);
    // A run on a thread of its own that failed: its error in the status bar,
    // and said once.
    if (p && !p->runError().isEmpty() && !m_runErrorShown) {
        m_runErrorShown = true;
        m_panels[0]->setText(p->runError());
        previewDialogs().message(this, p->runError());
    }
    notifyState();
}

void RpStandardPreview::selectPage(int n)
{
    m_preview->setPageNumber(n);
    updateInfo();
    if (n >= 1 && n <= pageCount() && n <= m_thumbGrid->rowCount()) {
        PreviewProcessState &state = previewState();
        const bool was = state.syncingThumbs;
        state.syncingThumbs = true;
        m_thumbGrid->setRow(n - 1);
        state.syncingThumbs = was;
    }
    notifyState();
}

// --- thumbnails ------------------------------------------------------------------

void RpStandardPreview::resizeThumb()
{
    RpPrinter *p = reportPrinter();
    m_thumbFontHeight = m_thumbGrid->fontMetrics().height();
    const int columnWidth = std::max(1, m_thumbGrid->viewport()->width() - 4);
    m_thumbGrid->setColumnWidth(columnWidth);
    m_thumbDrawWidth = std::max(1, columnWidth - 20);
    const double w = p ? p->paperWidthValue() : 2159, l = p ? p->paperLengthValue() : 2794;
    const bool landscape = m_reportOrientation == 1;
    const double height = landscape ? m_thumbDrawWidth / l * w : m_thumbDrawWidth / w * l;
    m_thumbDrawHeight = std::max(1, int(std::lround(height - m_thumbFontHeight)));
    m_thumbGrid->setDefaultRowHeight(m_thumbDrawHeight);
    m_thumbLeftMargin = (columnWidth - m_thumbDrawWidth) / 2;
    m_thumbTopMargin = 0; // the row is as high as the drawing
}

void RpStandardPreview::thumbGridDrawCell(QPainter &painter, int row, const QRect &cell)
{
    const QRect r(QPoint(cell.left() + m_thumbLeftMargin, cell.top() + 10),
                  QPoint(cell.right() + 1 - 30, cell.bottom() + 1 - 10));
    if (r.width() > 4 && r.height() > 4) {
        const QImage played = m_thumbCache.image(reportPrinter(), row + 1, r.size());
        if (!played.isNull())
            pagepainting::paintPage(painter, &played, r, true);
    }
    painter.save();
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(cell.topLeft() + QPoint(2, painter.fontMetrics().ascent() + 1), QString::number(row + 1));
    painter.restore();
}

void RpStandardPreview::thumbGridSelectCell(int row)
{
    PreviewProcessState &state = previewState();
    if (state.syncingThumbs || state.steppingPages)
        return;
    state.steppingPages = true;
    if (m_preview->pageNumber() != row + 1)
        m_preview->setPageNumber(row + 1);
    updateInfo();
    state.steppingPages = false;
}

// --- keys and closing ---------------------------------------------------------------

bool RpStandardPreview::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() != QEvent::KeyPress || !isActiveWindow())
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    auto *k = static_cast<QKeyEvent *>(e);
    // A list with the focus (the thumbnails, the search results) is walked
    // with the keys; Esc still closes the window.
    if (k->key() != Qt::Key_Escape)
        for (QWidget *list : {static_cast<QWidget *>(m_thumbGrid), static_cast<QWidget *>(m_searchResultBox)})
            if (list->hasFocus() && (w == list || list->isAncestorOf(w)))
                return false;
    return formKeyDown(k->key(), k->modifiers());
}

bool RpStandardPreview::formKeyDown(int key, Qt::KeyboardModifiers mods)
{
    const bool ctrlAlone = (mods & ~Qt::KeypadModifier) == Qt::ControlModifier;
    PreviewProcessState &state = previewState();
    QScrollBar *bar = m_preview->verticalScrollBar();
    const int step = bar->singleStep();
    auto stepping = [&](auto &&f) {
        state.steppingPages = true;
        f();
        state.steppingPages = false;
    };
    switch (key) {
    case Qt::Key_Escape: close(); return true;
    case Qt::Key_PageUp:
        ctrlAlone ? firstPageClick() : prevPageClick();
        return true;
    case Qt::Key_PageDown:
        ctrlAlone ? lastPageClick() : nextPageClick();
        return true;
    case Qt::Key_End: lastPageClick(); return true;
    case Qt::Key_Home: firstPageClick(); return true;
    case Qt::Key_Up:
        // At the top the previous page comes, shown from its bottom.
        if (bar->value() <= 0) {
            const int before = m_preview->pageNumber();
            stepping([&] { prevPageClick(); });
            bar->setValue(before < 2 ? 0 : bar->maximum());
        } else {
            bar->setValue(std::max(0, bar->value() - step));
        }
        return true;
    case Qt::Key_Down:
        if (bar->value() < bar->maximum())
            bar->setValue(std::min(bar->maximum(), bar->value() + step));
        else
            stepping([&] { nextPageClick(); });
        return true;
    default: return false;
    }
}

void RpStandardPreview::closeEvent(QCloseEvent *e)
{
    // A report still being generated keeps its window.
    if (busy()) {
        e->ignore();
        return;
    }
    standPrevEvent(StandPrevEventType::spClose, "");
    const QPointer<RpStandardPreview> self(this);
    processMessages();
    if (!self)
        return;
    // The preview control lets the printer go (it no longer shows a
    // preview), and the report frees it.
    RpPrinter *p = reportPrinter();
    m_preview->setReportPrinter(nullptr);
    if (p)
        p->closePreview(this);
    m_closed = true;
    notifyState();
    e->accept();
}

// --- state for the end-to-end tests ---------------------------------------------------

QJsonObject RpStandardPreview::testState() const
{
    QJsonObject s;
    s[QStringLiteral("open")] = !m_closed;
    s[QStringLiteral("caption")] = windowTitle();
    s[QStringLiteral("report")] = m_report ? m_report->objectName() : QString();
    s[QStringLiteral("maximized")] = bool(windowState() & Qt::WindowMaximized);
    s[QStringLiteral("zoom")] = m_preview->zoom();
    s[QStringLiteral("zoomState")] = int(m_preview->zoomState());
    s[QStringLiteral("page")] = m_preview->pageNumber();
    s[QStringLiteral("pageCount")] = pageCount();
    s[QStringLiteral("imageOK")] = m_preview->previewImage()->imageOK();
    QJsonArray panels;
    for (const QLabel *l : m_panels)
        panels.append(l->text());
    s[QStringLiteral("status")] = panels;
    s[QStringLiteral("thumbRows")] = m_thumbGrid->rowCount();
    s[QStringLiteral("thumbsVisible")] = m_tabs->isVisible() && m_tabs->isTabVisible(0);
    QJsonArray results;
    for (int i = 0; i < m_searchResultBox->count(); ++i)
        results.append(m_searchResultBox->item(i)->text());
    s[QStringLiteral("searchResults")] = results;
    s[QStringLiteral("searchEnabled")] = m_searchResultBox->isEnabled();
    s[QStringLiteral("printEnabled")] = m_actions.at(QStringLiteral("Print"))->isEnabled();
    s[QStringLiteral("busy")] = busy();
    // Where each button is on the screen (its centre), for tests that click.
    QJsonObject buttons;
    for (const auto &[name, a] : m_actions)
        if (const QWidget *w = m_toolBar->widgetForAction(a); w && w->isVisible())
            buttons[name] = QJsonArray{w->mapToGlobal(w->rect().center()).x(), w->mapToGlobal(w->rect().center()).y()};
    buttons[QStringLiteral("ExitButton")] = QJsonArray{m_exitButton->mapToGlobal(m_exitButton->rect().center()).x(),
                                                       m_exitButton->mapToGlobal(m_exitButton->rect().center()).y()};
    s[QStringLiteral("buttons")] = buttons;
    QJsonObject tips;
    for (const auto &[name, a] : m_actions)
        tips[name] = a->toolTip();
    tips[QStringLiteral("ExitButton")] = m_exitButton->toolTip();
    s[QStringLiteral("tips")] = tips;
    return s;
}

void RpStandardPreview::notifyState() const
{
    if (const auto &observer = previewState().stateObserver)
        observer(testState());
}
