// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpStandardPreview: the window a report printer's preview opens. It shows
// the recorded pages in a preview control while they are generated, lists
// thumbnails, and offers zoom, page navigation, text search, copying a page,
// printer setup, printing, saving, loading, cancelling and closing. It works
// on one printer and, when the printer belongs to a report, on that report's
// preview settings. Commands are in previewcommands.cpp.
#include "preview/previewdialogs.h"
#include "preview/thumbnails.h"
#include "report/previewsettings.h"

#include <QJsonObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>

class CustomReport;
class QAction;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class RpPreview;
class RpPrinter;

class RpStandardPreview : public QWidget {
    Q_OBJECT
public:
    // CreatePreview: the window for `printer`, not shown yet.
    RpStandardPreview(QWidget *owner, RpPrinter *printer);
    ~RpStandardPreview() override;

    // Shows the window in the state the report asks for, then UpdateInfo.
    void showPreview();
    // Shows it modal to the application and returns when it closes.
    void showPreviewModal();

    void updateInfo();
    void selectPage(int n);
    void resizeThumb();
    std::optional<SearchRequest> getTextSearch();

    // --- commands (their buttons' handlers) -----------------------------------
    void zoomToFitClick();
    void zoomTo100Click();
    void zoomToWidthClick();
    void firstPageClick();
    void prevPageClick();
    void nextPageClick();
    void lastPageClick();
    void gotoPageButtonClick();
    void findButtonClick();
    void copybuttonClick();
    void printSetupClick();
    void printClick();
    void loadClick();
    void saveClick();
    void cancelButtonClick();
    void exitClick();
    // Loads a report file into the printer (the part of Load after the
    // dialog); false, with the message shown, when it cannot be loaded.
    bool loadFile(const QString &fileName);
    // Saves or exports under `fileName` with the dialog's file type
    // `filterIndex` (from 1), as Save does after its dialog.
    void saveAs(QString fileName, int filterIndex);

    // The window's keys, as they reach it before the focused control; true
    // when the key was one of them.
    bool formKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // --- what tests and the review look at ----------------------------------
    RpPreview *preview() const { return m_preview; }
    RpPrinter *reportPrinter() const;
    QAction *action(const QString &name) const;
    QString statusText(int panel) const;
    ThumbGrid *thumbGrid() const { return m_thumbGrid; }
    ThumbnailCache &thumbnails() { return m_thumbCache; }
    QListWidget *searchResultBox() const { return m_searchResultBox; }
    QLabel *searchTextLabel() const { return m_searchTextLabel; }
    QTabWidget *tabs() const { return m_tabs; }
    bool showThumbs() const { return m_showThumbs; }
    bool showSearch() const { return m_showSearch; }
    RpZoomState initZoom() const { return m_initZoom; }
    int lastProgress() const { return m_lastProgress; }
    int thumbDrawWidth() const { return m_thumbDrawWidth; }
    int thumbDrawHeight() const { return m_thumbDrawHeight; }
    QJsonObject testState() const;

    // The preview control's notices.
    void rpPreviewPageAvailable(int pageNum);
    void rpPreviewProgressUpdate(int progress);

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void createControls();
    QAction *addButton(const char *name, int image, const char *hint, void (RpStandardPreview::*slot)());
    void setNavigationEnabled(bool on);
    bool busy() const;
    int pageCount() const;
    // Fires the report's OnStandPrevEvent; true when it handled the command.
    bool standPrevEvent(StandPrevEventType type, const char *contName);
    void thumbGridDrawCell(QPainter &p, int row, const QRect &cell);
    void thumbGridSelectCell(int row);
    void searchResultBoxClick();
    void applyUserPrinterSettings();
    void notifyState() const;

    QPointer<CustomReport> m_report;
    int m_reportOrientation = 0; // 0 portrait, 1 landscape
    QProgressBar *m_gauge; // made without a parent: never shown
    int m_lastProgress = 0;
    int m_thumbFontHeight = 0, m_thumbDrawHeight = 0, m_thumbDrawWidth = 0, m_thumbTopMargin = 0,
        m_thumbLeftMargin = 0;
    bool m_showThumbs = true, m_showSearch = true;
    RpZoomState m_initZoom = RpZoomState::rpZoomToFit;
    int m_fixedZoom = 100;
    bool m_searching = false;
    bool m_closed = false;

    QToolBar *m_toolBar = nullptr;
    std::map<QString, QAction *> m_actions;
    QToolButton *m_exitButton = nullptr;
    QStatusBar *m_statusBar = nullptr;
    bool m_runErrorShown = false;
    QLabel *m_panels[3] = {};
    QSplitter *m_splitter = nullptr;
    QTabWidget *m_tabs = nullptr;
    QWidget *m_tabThumbs = nullptr, *m_tabSearchResult = nullptr;
    ThumbGrid *m_thumbGrid = nullptr;
    ThumbnailCache m_thumbCache;
    QGroupBox *m_groupBox1 = nullptr;
    QLabel *m_searchTextLabel = nullptr;
    QListWidget *m_searchResultBox = nullptr;
    RpPreview *m_preview = nullptr;
};
