// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpPreview: one recorded page of a report printer at a zoom, in a scrolling
// area, kept up to date while the report is generated. The printer posts it
// CM_PAGEAVAILABLE and CM_REPORTPROGRESS; the page is read through the
// printer's page list, so a generation on another thread is never waited
// for. RpPreviewImage holds a copy of the page shown and paints it as a
// white sheet with a border and a shadow.
#include "platform/messages.h"
#include "platform/metafile.h"
#include "report/previewsettings.h"

#include <QImage>
#include <QRect>
#include <QScrollArea>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class RpPrinter;

enum class HyperlinkEventType { heCursorMoveOver, heCursorMoveAway, heGoto, heGotoNewWindow };
struct Hyperlink {
    QRect area;
    QString link;
};

// The printer a preview holds, forgotten when the printer is freed.
class HeldPrinter {
public:
    RpPrinter *get() const { return m_printer && m_watch && m_watch->alive() ? m_printer : nullptr; }
    void set(RpPrinter *p);

private:
    RpPrinter *m_printer = nullptr;
    std::optional<RpLifetime::Watch> m_watch;
};

class RpPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit RpPreviewImage(QWidget *parent = nullptr);

    bool imageOK() const { return m_metafile.has_value(); }
    bool hyperlinksOK() const { return true; }
    RpPrinter *reportPrinter() const { return m_printer.get(); }
    void setReportPrinter(RpPrinter *p) { m_printer.set(p); }
    int pageNumber() const { return m_pageNumber; }
    // Loads page v of the printer (none while it is not stored yet).
    void setImagePage(int v);
    int zoom() const { return m_zoom; }
    void setZoom(int z) { m_zoom = z; }
    const Metafile *page() const { return m_metafile ? &*m_metafile : nullptr; }
    // The page as played for the size shown now (played when first asked).
    const QImage &played();

    // Stored; never called, as no page has hyperlinks.
    std::function<void(QObject *, HyperlinkEventType, const QString &, bool &)> onHyperlink;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    std::vector<Hyperlink> m_hyperlinks;
    HeldPrinter m_printer;
    int m_pageNumber = 1;
    std::optional<Metafile> m_metafile;
    int m_zoom = 100;
    bool m_isLink = false;
    QString m_lastLink;
    QImage m_played;
};

class RpPreview : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kMinZoom = 2, kMaxZoom = 2000;

    explicit RpPreview(QWidget *parent = nullptr);
    ~RpPreview() override;

    RpPreviewImage *previewImage() const { return m_image; }
    RpPrinter *reportPrinter() const { return m_printer.get(); }
    // Attaches the preview to a printer (its client, showing a preview) or,
    // with none, detaches it; shows page 1.
    void setReportPrinter(RpPrinter *p);
    int pageNumber() const { return m_pageNumber; }
    // Shows page v; ignored for the page shown, v <= 0, v beyond the
    // printer's pages, or without a printer.
    void setPageNumber(int v);
    int zoom() const { return m_zoom; }
    // 2 to 2000 percent; other values are ignored.
    void setZoom(int z);
    RpZoomState zoomState() const { return m_zoomState; }

    // Loads the page again when it was not stored when it was first asked for.
    void updateImage();
    void updateZoom();
    void zoomToWidth();
    void zoomToFit();
    // Fit or width again after a resize or when the focus comes in.
    void refitZoom();

    // The pages complete so far, as the printer last told.
    int availablePages() const { return m_available; }

    std::function<void(RpPreview *, int)> onPageAvailable, onProgressUpdate;
    // A wheel turn over the page: up or not.
    std::function<void(RpPreview *, bool up)> onMouseWheel;

protected:
    bool event(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    // The paper in screen pixels at zoom z (the size of the sheet, without
    // the border and shadow).
    QSize paperPixels(double zoom) const;
    void pageAvailable(int n);

    RpPreviewImage *m_image;
    int m_pageNumber = 1;
    HeldPrinter m_printer;
    int m_zoom = 100;
    RpZoomState m_zoomState = RpZoomState::rpZoomOther;
    int m_available = 0;
};
