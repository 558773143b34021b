// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qtprintdialog.h"

#include "platform/units.h"
#include "preview/processwide.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>

namespace {

// Centres the dialog when it is first shown: across the screen, and a third
// of the way down. A printer setup's title and accept button say what it is
// (set as it shows, after the dialog has set its own).
class FirstShow : public QObject {
public:
    FirstShow(bool setup) : m_setup(setup) {}
    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = static_cast<QWidget *>(o);
        // Shown, and grown when its options open: what it shows now.
        if ((e->type() == QEvent::Show || e->type() == QEvent::Resize) && previewState().dialogObserver)
            QTimer::singleShot(0, w, [w] { previewState().dialogObserver(dialogState(w)); });
        if (e->type() == QEvent::Show && !m_done) {
            m_done = true;
            if (m_setup)
                presentAsSetup(w);
            if (QScreen *s = w->screen()) {
                const QRect g = s->geometry();
                const QSize size = w->frameGeometry().size();
                w->move(g.left() + (g.width() - size.width()) / 2, g.top() + (g.height() - size.height()) / 3);
            }
        }
        return false;
    }
    // What the dialog shows and where its controls are (their centres on
    // the screen), for the end-to-end tests.
    static QJsonObject dialogState(QWidget *dialog)
    {
        auto at = [](const QWidget *c) {
            const QPoint p = c->mapToGlobal(c->rect().center());
            return QJsonArray{p.x(), p.y()};
        };
        QJsonObject s;
        s[QStringLiteral("title")] = dialog->windowTitle();
        if (auto *buttons = dialog->findChild<QDialogButtonBox *>()) {
            for (const auto &[role, name] : {std::pair{QDialogButtonBox::Ok, "ok"}, std::pair{QDialogButtonBox::Cancel, "cancel"}})
                if (const QPushButton *b = buttons->button(role))
                    s[QLatin1String(name)] = QJsonObject{{"text", b->text()}, {"at", at(b)}};
        }
        for (const QSpinBox *box : dialog->findChildren<QSpinBox *>())
            if (box->objectName() == QLatin1String("copies") && box->isVisible())
                s[QStringLiteral("copies")] = QJsonObject{{"value", box->value()}, {"at", at(box)}};
        // The button that opens the dialog's options ("Options >>").
        for (const QPushButton *b : dialog->findChildren<QPushButton *>())
            if (b->text().contains(QLatin1String(">>")) && b->isVisible())
                s[QStringLiteral("options")] = QJsonObject{{"text", b->text()}, {"at", at(b)}};
        for (const QComboBox *box : dialog->findChildren<QComboBox *>())
            if (box->objectName() == QLatin1String("printers"))
                s[QStringLiteral("printer")] = box->currentText();
        return s;
    }

    static void presentAsSetup(QWidget *dialog)
    {
        dialog->setWindowTitle(QCoreApplication::translate("RpPrintDialog", "Printer setup"));
        if (auto *buttons = dialog->findChild<QDialogButtonBox *>())
            if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText(QCoreApplication::translate("RpPrintDialog", "OK"));
    }

private:
    bool m_setup;
    bool m_done = false;
};

} // namespace

void QtPlatformPrintDialog::preset(QPrinter &p, const PrintDlgData &r)
{
    using D = PrintDlgData;
    if (!r.deviceName.isEmpty())
        p.setPrinterName(r.deviceName);
    const DevMode &m = r.devMode;
    if (m.dmPaperSize > 0) {
        const QPageSize ps(QPageSize::id(m.dmPaperSize));
        if (ps.isValid())
            p.setPageSize(ps);
    } else if (m.dmPaperWidth > 0 && m.dmPaperLength > 0) {
        p.setPageSize(QPageSize(QSizeF(m.dmPaperWidth / 10.0, m.dmPaperLength / 10.0), QPageSize::Millimeter));
    }
    p.setPageOrientation(m.dmOrientation == DevMode::DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
    p.setCopyCount(std::max(1, std::max(r.copies, m.dmCopies)));
    p.setCollateCopies((r.flags & D::PD_COLLATE) || m.dmCollate != 0);
    p.setDuplex(m.dmDuplex == DevMode::DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                : m.dmDuplex == DevMode::DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                          : QPrinter::DuplexNone);
    if (m.dmColor != 0)
        p.setColorMode(m.dmColor == 2 ? QPrinter::Color : QPrinter::GrayScale);
    if (r.fromPage >= 1 && r.toPage >= r.fromPage)
        p.setFromTo(r.fromPage, r.toPage);
    p.setPrintRange((r.flags & D::PD_PAGENUMS)   ? QPrinter::PageRange
                    : (r.flags & D::PD_SELECTION) ? QPrinter::Selection
                                                  : QPrinter::AllPages);
}

PrintDlgData QtPlatformPrintDialog::answer(const QPrinter &p, const PrintDlgData &r)
{
    using D = PrintDlgData;
    PrintDlgData a = r;
    const bool toFile = p.outputFormat() == QPrinter::PdfFormat;
    a.flags &= ~quint32(D::PD_SELECTION | D::PD_PAGENUMS | D::PD_PRINTTOFILE | D::PD_COLLATE);
    if (p.printRange() == QPrinter::PageRange)
        a.flags |= D::PD_PAGENUMS;
    else if (p.printRange() == QPrinter::Selection)
        a.flags |= D::PD_SELECTION;
    if (toFile)
        a.flags |= D::PD_PRINTTOFILE;
    if (p.collateCopies())
        a.flags |= D::PD_COLLATE;
    // All pages: the dialog hands back the range it was given.
    if (p.printRange() == QPrinter::PageRange && p.fromPage() > 0) {
        a.fromPage = quint16(p.fromPage());
        a.toPage = quint16(p.toPage());
    }
    a.copies = p.copyCount();
    a.deviceName = toFile ? r.deviceName : p.printerName();
    a.outputFileName = toFile ? p.outputFileName() : QString();
    DevMode &m = a.devMode;
    m.dmFields |= DevMode::DM_ORIENTATION | DevMode::DM_PAPERSIZE | DevMode::DM_COPIES | DevMode::DM_COLLATE;
    const QPageSize ps = p.pageLayout().pageSize();
    m.dmPaperSize = ps.windowsId();
    const QSizeF mm = ps.size(QPageSize::Millimeter);
    m.dmPaperWidth = rpRound(mm.width() * 10);
    m.dmPaperLength = rpRound(mm.height() * 10);
    m.dmOrientation = p.pageLayout().orientation() == QPageLayout::Landscape ? DevMode::DMORIENT_LANDSCAPE
                                                                             : DevMode::DMORIENT_PORTRAIT;
    m.dmCopies = p.copyCount();
    m.dmCollate = p.collateCopies() ? 1 : 0;
    switch (p.duplex()) {
    case QPrinter::DuplexLongSide: m.dmDuplex = DevMode::DMDUP_VERTICAL; break;
    case QPrinter::DuplexShortSide: m.dmDuplex = DevMode::DMDUP_HORIZONTAL; break;
    default: m.dmDuplex = DevMode::DMDUP_SIMPLEX; break;
    }
    m.dmColor = p.colorMode() == QPrinter::Color ? 2 : 1;
    m.dmPrintQuality = p.resolution();
    return a;
}

std::optional<PrintDlgData> QtPlatformPrintDialog::run(QWidget *owner, const PrintDlgData &r)
{
    using D = PrintDlgData;
    QPrinter printer(QPrinter::HighResolution);
    preset(printer, r);
    QPrintDialog dlg(&printer, owner);
    QAbstractPrintDialog::PrintDialogOptions opts = QAbstractPrintDialog::PrintCollateCopies |
                                                    QAbstractPrintDialog::PrintShowPageSize;
    if (!(r.flags & D::PD_NOPAGENUMS))
        opts |= QAbstractPrintDialog::PrintPageRange;
    if (!(r.flags & D::PD_NOSELECTION))
        opts |= QAbstractPrintDialog::PrintSelection;
    // Printing into a PDF file is one of the printers this dialog lists.
    if (!(r.flags & D::PD_DISABLEPRINTTOFILE))
        opts |= QAbstractPrintDialog::PrintToFile;
    dlg.setOptions(opts);
    if (!(r.flags & D::PD_NOPAGENUMS))
        dlg.setMinMax(std::max<int>(1, r.minPage), std::max<int>(1, r.maxPage));
    dlg.setWindowModality(Qt::ApplicationModal);
    if (r.setupOnly)
        FirstShow::presentAsSetup(&dlg);
    FirstShow centre(r.setupOnly);
    dlg.installEventFilter(&centre);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return answer(printer, r);
}
