// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's printers through QPrinter and QPrinterInfo (CUPS on Linux).
// The device mode is kept here and turned into QPrinter settings (paper by
// its code, orientation, copies, collation, duplex; the bin as the queue's
// InputSlot option where the queue has one) when it is set.
#include "printer/printerdevice.h"

#include <QHash>
#include <QPainter>
#include <memory>

class QPrinter;
class PainterCanvas;

class QtPrinterDevice : public PrinterDevice {
public:
    QtPrinterDevice();
    ~QtPrinterDevice() override;

    QStringList printers() override;
    void refresh() override;
    int printerIndex() const override { return m_index; }
    void setPrinterIndex(int index) override;
    QString deviceName() const override;

    std::optional<DevMode> deviceMode() override;
    void setDeviceMode(const DevMode &mode) override;
    std::optional<std::vector<int>> paperCodes() override;
    std::optional<int> defaultPaperCode() override;
    int deviceCaps(int index) override;

    void setTitle(const QString &title) override { m_title = title; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abortDoc() override;
    bool printing() const override { return m_printing; }
    Canvas *canvas() override;

    // The queue's InputSlot choices (option keywords).
    QStringList inputSlots() const;
    // The labels of the queue's InputSlot choices by keyword, where its PPD
    // can be read ("Tray1" -> "Tray 1"); none otherwise.
    QHash<QString, QString> inputSlotLabels() const;
    // The InputSlot choices in the output of `lpoptions -l` (the default
    // choice without its star).
    static QStringList inputSlotChoices(const QByteArray &lpoptions);
    // The labels of the InputSlot choices in a PPD's text, by keyword.
    static QHash<QString, QString> inputSlotLabelsOf(const QByteArray &ppd);
    // The choice a bin (its device code) selects: the first whose keyword or
    // label names the bin ("Lower", "Large capacity", ...); none for Auto, for
    // a code no bin has, and when no choice names the bin.
    static QString inputSlotForBin(int binCode, const QStringList &choices, const QHash<QString, QString> &labels);
    // The CUPS job options the next document is sent with, as name/value
    // pairs (InputSlot among them when the bin has a choice on the queue).
    QStringList cupsOptions() const;
    // Where the printer writes instead of a queue (tests: a PDF file).
    void setOutputFileName(const QString &fileName);
    QPrinter *qprinter() const { return m_printer.get(); }

private:
    void select(const QString &name);
    // Raises RpError naming the chosen queue when it is no longer installed.
    void requirePrinterInstalled() const;
    void applyMode();

    std::unique_ptr<QPrinter> m_printer;
    QStringList m_names;
    int m_index = -1;
    DevMode m_mode;
    bool m_hasMode = false;
    QString m_title;
    QPainter m_painter;
    std::unique_ptr<PainterCanvas> m_canvas;
    bool m_printing = false;
};
