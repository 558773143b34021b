// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The export filter protocol: while a report is generated with a filter
// attached, every band, text line and shape hands itself to the filter as a
// positioned item. This header holds the calling interface only; the
// document-writing filters and the filter library build on it.
#include "platform/gdi.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;
class RpFont;
class RpPrinter;

enum class Alignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum class ExportType { exptText = 0, exptNumeric = 1, exptFormula = 2 };

// One text item as a whole.
struct ExportInfoRec {
    double xpos = 0;
    double ypos = 0;
    const RpFont *font = nullptr; // borrowed
    gdi::ColorRef bgColor = 0;
    Alignment alignment = Alignment::taLeftJustify;
    QString text;
    qint32 column = 0;
    ExportType exportAs = ExportType::exptText;
    QString controlName;
};

class RpExportFilter {
public:
    explicit RpExportFilter(const QString &filename = QString()) : m_filename(filename) {}
    virtual ~RpExportFilter() = default;
    RpExportFilter(const RpExportFilter &) = delete;
    RpExportFilter &operator=(const RpExportFilter &) = delete;

    virtual QString description() const { return QStringLiteral("Abstract non-working export filter"); }
    virtual QString fileExtension() const { return QString(); }
    virtual QString name() const { return QStringLiteral("Abstract filter"); }
    virtual QString vendor() const { return QStringLiteral("Tovrel"); }
    // A streaming filter has the whole paper length left on every page.
    virtual bool streaming() const { return false; }
    // The PDF document filter answers true; some line-art controls hand
    // themselves to that filter alone.
    virtual bool isPdfDocumentFilter() const { return false; }

    // `font` is the report's font; null when the pages come without a report
    // (recorded pages written as pictures).
    virtual void start(qint32 paperWidth, qint32 paperHeight, const RpFont *font)
    {
        Q_UNUSED(paperWidth);
        Q_UNUSED(paperHeight);
        Q_UNUSED(font);
        m_active = true;
    }
    virtual void endPage() {}
    virtual void finish() { m_active = false; }
    virtual void newPage() {}
    // `control` is a printable (a shape, an image, a temporary shape standing
    // for a frame or background); offsets are device pixels of the page.
    virtual void acceptGraphic(double xoff, double yoff, QWidget *control)
    {
        Q_UNUSED(xoff);
        Q_UNUSED(yoff);
        Q_UNUSED(control);
    }
    virtual void acceptTextControl(double xoff, double yoff, QWidget *control)
    {
        Q_UNUSED(xoff);
        Q_UNUSED(yoff);
        Q_UNUSED(control);
    }
    virtual void acceptBand(QWidget *band, double xoff, double yoff, double expanded)
    {
        Q_UNUSED(band);
        Q_UNUSED(xoff);
        Q_UNUSED(yoff);
        Q_UNUSED(expanded);
    }
    // One line of text at a page position in tenths of a millimetre.
    virtual void textOut(double x, double y, const RpFont &font, gdi::ColorRef bgColor,
                         Alignment alignment, const QString &text)
    {
        Q_UNUSED(x);
        Q_UNUSED(y);
        Q_UNUSED(font);
        Q_UNUSED(bgColor);
        Q_UNUSED(alignment);
        Q_UNUSED(text);
    }
    virtual void textOutRec(const ExportInfoRec &info) { Q_UNUSED(info); }

    bool active() const { return m_active; }
    const QString &filename() const { return m_filename; }
    // The report being exported.
    QObject *owner() const { return m_owner; }
    void setOwner(QObject *o) { m_owner = o; }
    RpPrinter *originalReportPrinter() const { return m_originalReportPrinter; }
    void setOriginalReportPrinter(RpPrinter *p) { m_originalReportPrinter = p; }

protected:
    QStringList m_finalDoc;

private:
    RpPrinter *m_originalReportPrinter = nullptr;
    bool m_active = false;
    QString m_filename;
    QObject *m_owner = nullptr;
};
