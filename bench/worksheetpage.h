// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layout-1 worksheet ("變" in its eight cells) generated onto a recorded
// page, shared by the benchmarks that draw it. With `plain`, every cell in a
// worksheet face is switched to TW-Kai first.
#include "app/form73.h"
#include "benchrelease.h"
#include "controls/rplabel.h"
#include "faces/synthesis.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "platform/units.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"

#include <QImage>
#include <QLineEdit>

#include <memory>

namespace bench {

struct Sheet {
    std::unique_ptr<Form73> form;
    Metafile page;
};

inline Sheet &worksheet(bool plain)
{
    static Sheet sheets[2];
    Sheet &s = sheets[plain ? 0 : 1];
    if (s.form)
        return s;
    s.form = std::make_unique<Form73>();
    bench::releaseAtEnd([&s] { s = Sheet{}; });
    s.form->formActivate();
    s.form->edit1()->setText(QStringLiteral("變"));
    CustomReport *report = s.form->report(1);
    if (plain)
        for (RpLabel *l : report->findChildren<RpLabel *>())
            if (l->font().name == faces::strokeOrderFamily() || l->font().name == faces::tracingFamily()) {
                RpFont f = l->font();
                f.name = QStringLiteral("TW-Kai");
                l->setFont(f);
            }
    report->prepare();
    s.page = report->reportPrinter()->getPage(1).value();
    return s;
}

// An A4 image at `dpi`.
inline QImage a4Image(int dpi)
{
    return QImage(rpRound(units::nativeToDevice(2100, dpi)), rpRound(units::nativeToDevice(2970, dpi)),
                  QImage::Format_RGB32);
}

// The page played onto the whole image, as the preview and PNG output do.
inline void playOnto(const Metafile &page, QImage &img, int dpi)
{
    img.fill(Qt::white);
    PainterCanvas canvas(&img, dpi);
    page.play(canvas, {0, 0, img.width(), img.height()});
}

} // namespace bench
