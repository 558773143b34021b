// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qtprinterdevice.h"

#include "platform/gdi.h"
#include "platform/paintercanvas.h"
#include "platform/rperror.h"
#include "platform/units.h"
#include "printer/papersizes.h"
#include "printer/printerstrings.h"
#include "printer/processwide.h"

#include <QFile>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>

#include <map>

PrinterDevice::~PrinterDevice() = default;

namespace {
// The CUPS print engine takes job options as name/value pairs under this key
// (the engine's own "CUPS options" property).
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// `options` with every `name` pair removed and, unless `value` is empty,
// `name`=`value` appended.
QStringList withOption(const QStringList &options, const QString &name, const QString &value)
{
    QStringList out;
    for (qsizetype i = 0; i + 1 < options.size(); i += 2)
        if (options[i] != name)
            out << options[i] << options[i + 1];
    if (!value.isEmpty())
        out << name << value;
    return out;
}
} // namespace

PrinterDevice &systemPrinter()
{
    if (PrinterDevice *standIn = printerState().systemPrinter)
        return *standIn;
    static QtPrinterDevice device;
    return device;
}

std::optional<RpPaperSize> defaultPrinterPaper()
{
    const std::optional<int> code = systemPrinter().defaultPaperCode();
    if (!code)
        return std::nullopt;
    return papers::fromDeviceCode(*code);
}

std::optional<int> QtPrinterDevice::defaultPaperCode()
{
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    if (def.isNull())
        return std::nullopt;
    const QPageSize ps = def.defaultPageSize();
    return ps.isValid() ? ps.windowsId() : 0;
}

QtPrinterDevice::QtPrinterDevice() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    refresh();
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    if (!def.isNull())
        select(def.printerName());
    else if (!m_names.isEmpty())
        select(m_names.first());
}

QtPrinterDevice::~QtPrinterDevice()
{
    if (m_printing)
        abortDoc();
}

QStringList QtPrinterDevice::printers() { return m_names; }

void QtPrinterDevice::refresh()
{
    m_names = QPrinterInfo::availablePrinterNames();
    if (m_index >= 0)
        m_index = int(m_names.indexOf(m_printer->printerName()));
}

QString QtPrinterDevice::deviceName() const { return m_index >= 0 ? m_names.value(m_index) : QString(); }

void QtPrinterDevice::setPrinterIndex(int index)
{
    if (m_printing)
        throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kPrintingInProgress));
    if (index < -1 || index >= m_names.size())
        throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kPrinterIndexOutOfRange));
    if (index == -1) {
        const QPrinterInfo def = QPrinterInfo::defaultPrinter();
        if (def.isNull())
            throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kNoDefaultPrinter));
        select(def.printerName());
        return;
    }
    select(m_names[index]);
}

void QtPrinterDevice::select(const QString &name)
{
    m_printer->setPrinterName(name);
    m_printer->setOutputFileName(QString());
    m_index = int(m_names.indexOf(name));
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    m_hasMode = !info.isNull();
    m_mode = DevMode{};
    if (!m_hasMode)
        return;
    m_mode.dmFields = DevMode::DM_ORIENTATION | DevMode::DM_PAPERSIZE | DevMode::DM_PAPERLENGTH |
                      DevMode::DM_PAPERWIDTH | DevMode::DM_COPIES | DevMode::DM_DEFAULTSOURCE |
                      DevMode::DM_COLLATE;
    if (info.supportedDuplexModes().size() > 1)
        m_mode.dmFields |= DevMode::DM_DUPLEX;
    const QPageSize ps = info.defaultPageSize();
    m_mode.dmPaperSize = ps.isValid() ? ps.windowsId() : 0;
    const QSizeF mm = ps.isValid() ? ps.size(QPageSize::Millimeter) : QSizeF();
    m_mode.dmPaperWidth = rpRound(mm.width() * 10);
    m_mode.dmPaperLength = rpRound(mm.height() * 10);
    m_mode.dmOrientation = DevMode::DMORIENT_PORTRAIT;
    m_mode.dmCopies = 1;
    m_mode.dmDefaultSource = papers::binDeviceCode(RpBin::Auto);
    m_mode.dmPrintQuality = m_printer->resolution();
    m_mode.dmColor = info.defaultColorMode() == QPrinter::Color ? 2 : 1;
    switch (info.defaultDuplexMode()) {
    case QPrinter::DuplexLongSide: m_mode.dmDuplex = DevMode::DMDUP_VERTICAL; break;
    case QPrinter::DuplexShortSide: m_mode.dmDuplex = DevMode::DMDUP_HORIZONTAL; break;
    default: m_mode.dmDuplex = DevMode::DMDUP_SIMPLEX; break;
    }
    m_mode.dmCollate = 0;
    applyMode();
}

std::optional<DevMode> QtPrinterDevice::deviceMode()
{
    if (!m_hasMode)
        return std::nullopt;
    return m_mode;
}

void QtPrinterDevice::setDeviceMode(const DevMode &mode)
{
    if (!m_hasMode)
        return;
    m_mode = mode;
    applyMode();
}

QStringList QtPrinterDevice::inputSlots() const
{
    if (m_index < 0)
        return {};
    QProcess p;
    p.start(QStringLiteral("lpoptions"), {QStringLiteral("-p"), m_names[m_index], QStringLiteral("-l")});
    if (!p.waitForFinished(5000))
        return {};
    return inputSlotChoices(p.readAllStandardOutput());
}

QStringList QtPrinterDevice::inputSlotChoices(const QByteArray &lpoptions)
{
    // "InputSlot/Media Source: *Auto Tray1 Tray2": the label may hold a
    // colon of its own, the choices (option keywords) never do.
    for (const QByteArray &line : lpoptions.split('\n')) {
        if (!line.startsWith("InputSlot/") && !line.startsWith("InputSlot:"))
            continue;
        const int colon = int(line.lastIndexOf(':'));
        QStringList choices;
        for (const QByteArray &c : line.mid(colon + 1).simplified().split(' '))
            if (!c.isEmpty())
                choices << QString::fromUtf8(c.startsWith('*') ? c.mid(1) : c);
        return choices;
    }
    return {};
}

QHash<QString, QString> QtPrinterDevice::inputSlotLabels() const
{
    if (m_index < 0)
        return {};
    // The scheduler keeps each queue's PPD here; readable by root and lp.
    QFile ppd(QStringLiteral("/etc/cups/ppd/") + m_names[m_index] + QStringLiteral(".ppd"));
    if (!ppd.open(QIODevice::ReadOnly))
        return {};
    return inputSlotLabelsOf(ppd.readAll());
}

QHash<QString, QString> QtPrinterDevice::inputSlotLabelsOf(const QByteArray &ppd)
{
    // "*InputSlot Tray1/Tray 1: "<< /ManualFeed false >> setpagedevice""
    QHash<QString, QString> labels;
    for (const QByteArray &line : ppd.split('\n')) {
        if (!line.startsWith("*InputSlot "))
            continue;
        const QByteArray spec = line.mid(11, line.indexOf(':') - 11);
        const qsizetype slash = spec.indexOf('/');
        if (slash > 0)
            labels.insert(QString::fromUtf8(spec.left(slash).trimmed()), QString::fromUtf8(spec.mid(slash + 1).trimmed()));
    }
    return labels;
}

QString QtPrinterDevice::inputSlotForBin(int binCode, const QStringList &choices, const QHash<QString, QString> &labels)
{
    // The names a bin goes by on printers, written as they compare: letters
    // and digits only, in lower case.
    static const std::map<int, QStringList> kNames = {
        {1, {"upper", "top", "uppertray"}},
        {2, {"lower", "bottom", "lowertray"}},
        {3, {"middle", "middletray"}},
        {4, {"manual", "manualfeed"}},
        {5, {"envelope", "envelopefeeder"}},
        {6, {"envmanual", "envelopemanual", "manualenvelope"}},
        {8, {"tractor", "tractorfeed"}},
        {9, {"smallformat"}},
        {10, {"largeformat"}},
        {11, {"largecapacity", "lcf"}},
        {14, {"cassette"}},
    };
    const auto names = kNames.find(binCode);
    if (names == kNames.end())
        return {};
    auto plain = [](const QString &s) {
        QString out;
        for (QChar c : s)
            if (c.isLetterOrNumber())
                out += c.toLower();
        return out;
    };
    for (const QString &choice : choices)
        if (names->second.contains(plain(choice)) || names->second.contains(plain(labels.value(choice))))
            return choice;
    return {};
}

QStringList QtPrinterDevice::cupsOptions() const
{
    return m_printer->printEngine()->property(kCupsOptions).toStringList();
}

void QtPrinterDevice::applyMode()
{
    QPrinter &p = *m_printer;
    const RpPaperSize paper = papers::fromDeviceCode(m_mode.dmPaperSize);
    if (m_mode.declares(DevMode::DM_PAPERSIZE) && paper != RpPaperSize::Default && paper != RpPaperSize::Custom) {
        const QPageSize ps(QPageSize::id(m_mode.dmPaperSize));
        if (ps.isValid())
            p.setPageSize(ps);
    } else if (m_mode.dmPaperWidth > 0 && m_mode.dmPaperLength > 0) {
        p.setPageSize(QPageSize(QSizeF(m_mode.dmPaperWidth / 10.0, m_mode.dmPaperLength / 10.0),
                                QPageSize::Millimeter));
    }
    p.setPageOrientation(m_mode.dmOrientation == DevMode::DMORIENT_LANDSCAPE ? QPageLayout::Landscape
                                                                               : QPageLayout::Portrait);
    p.setCopyCount(std::max(1, m_mode.dmCopies));
    p.setCollateCopies(m_mode.dmCollate != 0);
    if (m_mode.declares(DevMode::DM_DUPLEX))
        p.setDuplex(m_mode.dmDuplex == DevMode::DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                    : m_mode.dmDuplex == DevMode::DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                                   : QPrinter::DuplexNone);
    // The bin: the queue's InputSlot choice that names it. An InputSlot
    // chosen for an earlier queue or bin is dropped first, so Auto, a queue
    // without InputSlot, or a bin the queue has no choice for sends none and
    // the queue feeds from its default.
    if (p.outputFormat() == QPrinter::NativeFormat) {
        const QStringList choices = inputSlots();
        const QString slot =
            choices.isEmpty() ? QString() : inputSlotForBin(m_mode.dmDefaultSource, choices, inputSlotLabels());
        p.printEngine()->setProperty(kCupsOptions, withOption(cupsOptions(), QStringLiteral("InputSlot"), slot));
    }
}

std::optional<std::vector<int>> QtPrinterDevice::paperCodes()
{
    if (m_index < 0)
        return std::nullopt;
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_names[m_index]);
    if (info.isNull())
        return std::nullopt;
    std::vector<int> codes;
    for (const QPageSize &ps : info.supportedPageSizes())
        if (ps.windowsId() > 0)
            codes.push_back(ps.windowsId());
    if (info.supportsCustomPageSizes())
        codes.push_back(256);
    return codes;
}

int QtPrinterDevice::deviceCaps(int index)
{
    const QPrinter &p = *m_printer;
    const QRectF paper = p.paperRect(QPrinter::DevicePixel);
    const QRectF page = p.pageRect(QPrinter::DevicePixel);
    switch (index) {
    case gdi::LOGPIXELSX:
    case gdi::LOGPIXELSY: return p.resolution();
    case gdi::HORZRES: return int(page.width());
    case gdi::VERTRES: return int(page.height());
    case gdi::PHYSICALWIDTH: return int(paper.width());
    case gdi::PHYSICALHEIGHT: return int(paper.height());
    case gdi::PHYSICALOFFSETX: return int(page.left() - paper.left());
    case gdi::PHYSICALOFFSETY: return int(page.top() - paper.top());
    default: return 0;
    }
}

void QtPrinterDevice::setOutputFileName(const QString &fileName)
{
    m_printer->setOutputFileName(fileName);
}

void QtPrinterDevice::beginDoc()
{
    if (m_printing)
        throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kPrintingInProgress));
    requirePrinterInstalled();
    m_printer->setDocName(m_title);
    if (!m_painter.begin(m_printer.get()))
        throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kPrinterNotValid));
    m_printing = true;
    const int dpi = m_printer->resolution();
    m_canvas = std::make_unique<PainterCanvas>(&m_painter, dpi, dpi);
    m_canvas->setPhysicalOffsets(deviceCaps(gdi::PHYSICALOFFSETX), deviceCaps(gdi::PHYSICALOFFSETY));
    m_canvas->setPhysicalSize(deviceCaps(gdi::PHYSICALWIDTH), deviceCaps(gdi::PHYSICALHEIGHT));
}

void QtPrinterDevice::requirePrinterInstalled() const
{
    if (!m_printer->outputFileName().isEmpty())
        return;
    const QString name = m_printer->printerName();
    if (!name.isEmpty() && !QPrinterInfo::availablePrinterNames().contains(name))
        throw RpError(RpErrorKind::Printer, printerstrings::errPrinterGone(name));
}

void QtPrinterDevice::newPage()
{
    if (!m_printing)
        throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kNotPrinting));
    // A fresh canvas per page: the device page starts with default objects.
    m_canvas.reset();
    m_printer->newPage();
    const int dpi = m_printer->resolution();
    m_canvas = std::make_unique<PainterCanvas>(&m_painter, dpi, dpi);
    m_canvas->setPhysicalOffsets(deviceCaps(gdi::PHYSICALOFFSETX), deviceCaps(gdi::PHYSICALOFFSETY));
    m_canvas->setPhysicalSize(deviceCaps(gdi::PHYSICALWIDTH), deviceCaps(gdi::PHYSICALHEIGHT));
}

void QtPrinterDevice::endDoc()
{
    if (!m_printing)
        throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kNotPrinting));
    m_canvas.reset();
    // The print system drops a job for a queue that went away while the
    // pages were drawn without telling anyone: the document is abandoned and
    // the caller learns why.
    try {
        requirePrinterInstalled();
    } catch (const RpError &) {
        m_printer->abort();
        m_painter.end();
        m_printing = false;
        throw;
    }
    m_painter.end();
    m_printing = false;
}

void QtPrinterDevice::abortDoc()
{
    if (!m_printing)
        throw RpError(RpErrorKind::Printer, QString::fromLatin1(printerstrings::kNotPrinting));
    m_canvas.reset();
    m_printer->abort();
    m_painter.end();
    m_printing = false;
}

Canvas *QtPrinterDevice::canvas() { return m_canvas.get(); }
