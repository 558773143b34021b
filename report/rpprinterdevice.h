#pragma once
// The report printer as the page device printing controls draw through.
#include "printer/rpprinter.h"
#include "report/pagedevice.h"

class RpPrinterPageDevice : public RpPageDevice {
public:
    explicit RpPrinterPageDevice(RpPrinter &printer) : m_printer(printer) {}
    Canvas *canvas() override { return m_printer.canvas(); }
    double xFactor() const override { return m_printer.xFactor(); }
    double yFactor() const override { return m_printer.yFactor(); }
    double leftWaste() const override { return m_printer.leftWaste(); }
    double topWaste() const override { return m_printer.topWaste(); }
    double paperLength(const CustomReport &) const override { return m_printer.paperLengthValue(); }
    RpPrinter &printer() const { return m_printer; }

private:
    RpPrinter &m_printer;
};
