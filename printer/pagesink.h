// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the pages of a document go while it is generated. The report printer
// opens a page on a sink, the report draws on the canvas it gives (device
// pixels; positions convert with the sink's factors), and the sink does what
// its destination does with a finished page:
//
//   RpRecordingSink   records each page as a metafile at the resolution it
//                     is given into the page store (the preview's pages);
//   RpDeviceSink      draws each page on the printer, the printer's document
//                     beginning with the first page;
//   RpDiscardingSink  records pages nobody keeps (pages outside the print
//                     range are still generated, only not printed).
//
// A sink belongs to the thread that generates the document.
#include <QSize>
#include <QString>
#include <memory>

class Canvas;
class MetafileRecorder;
class PrinterDevice;
class RpPageList;

class RpPageSink {
public:
    virtual ~RpPageSink() = default;
    // Starts a page and gives the canvas it is drawn on.
    virtual Canvas *beginPage() = 0;
    // The page is complete.
    virtual void endPage() = 0;
    // The document is complete, or abandoned: a page still open is finished
    // or dropped as the sink does with an abandoned page.
    virtual void endDoc() {}
    virtual void abort() {}
    // Device pixels per native unit on the page canvas.
    virtual double xFactor() const = 0;
    virtual double yFactor() const = 0;
};

// Records pages of `pagePixels` (the paper at `dpi` pixels per inch).
class RpRecordingSink : public RpPageSink {
public:
    RpRecordingSink(QSize pagePixels, const QString &description, int dpi);
    ~RpRecordingSink() override;

    Canvas *beginPage() override;
    void endPage() override;
    void abort() override;
    double xFactor() const override;
    double yFactor() const override;

    void setPageSize(QSize pagePixels) { m_pagePixels = pagePixels; }

protected:
    // What becomes of a finished page's metafile.
    virtual void keep(const QByteArray &metafile) = 0;
    // An abandoned page is kept unless this says otherwise.
    virtual bool keepAbandonedPage() const { return true; }
    void dropOpenPage();

private:
    QSize m_pagePixels;
    QString m_description;
    int m_dpi;
    std::unique_ptr<MetafileRecorder> m_recorder;
};

// Appends each recorded page to the page store. When the store cannot take
// a page (its temporary file cannot be written) endPage raises RpError.
class RpStoreSink : public RpRecordingSink {
public:
    RpStoreSink(RpPageList &store, QSize pagePixels, const QString &description, int dpi)
        : RpRecordingSink(pagePixels, description, dpi), m_store(store) {}
    // An abandoned page is dropped instead of kept (an aborted export).
    void setDropAbandonedPage(bool v) { m_dropAbandoned = v; }

protected:
    void keep(const QByteArray &metafile) override;
    bool keepAbandonedPage() const override { return !m_dropAbandoned; }

private:
    RpPageList &m_store;
    bool m_dropAbandoned = false;
};

class RpDiscardingSink : public RpRecordingSink {
public:
    using RpRecordingSink::RpRecordingSink;

protected:
    void keep(const QByteArray &) override {}
};

// Draws on the printer device. The device's document starts with the first
// page (under `title`); later pages start a new device page.
class RpDeviceSink : public RpPageSink {
public:
    RpDeviceSink(PrinterDevice &device, const QString &title) : m_device(device), m_title(title) {}
    ~RpDeviceSink() override;

    Canvas *beginPage() override;
    void endPage() override {}
    void endDoc() override;
    void abort() override;
    double xFactor() const override;
    double yFactor() const override;

    bool documentRunning() const { return m_running; }

    // A device that reports no resolution is taken at the screen's.
    static constexpr double kMinFactor = 0.1;

private:
    PrinterDevice &m_device;
    QString m_title;
    bool m_running = false;
};
