// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpbasepanel.h"

#include "platform/guithread.h"
#include "platform/units.h"
#include "platform/paintercanvas.h"
#include "report/reportstrings.h"
#include "report/rpprintable.h"
#include "report/surfacescheme.h"

#include <QPainter>

RpBasePanel::RpBasePanel(QWidget *parent)
    : QWidget(parent)
    , m_frame(std::make_unique<RpFrame>(this))
{
}

RpBasePanel::~RpBasePanel() = default;

void RpBasePanel::setZoom(int z)
{
    if (z == 0)
        return;
    m_zoom = z;
    for (QObject *child : children()) {
        if (auto *p = qobject_cast<RpPrintable *>(child))
            p->setZoom(z);
        else if (auto *panel = qobject_cast<RpBasePanel *>(child))
            panel->setZoom(z);
    }
}

void RpBasePanel::setColor(quint32 c)
{
    m_color = c;
    update();
}

void RpBasePanel::setBounds(int l, int t, int w, int h) { applyBounds(l, t, w, h); }

void RpBasePanel::applyBounds(int l, int t, int w, int h)
{
    if (!requireGuiThread("a report's or band's widget bounds"))
        return;
    setGeometry(l, t, std::max(w, 0), std::max(h, 0));
}

void RpBasePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int ppi = units::screenPixelsPerInch();
    PainterCanvas canvas(&painter, ppi, ppi, size());
    paintSurface(canvas);
}

void RpBasePanel::paintBackground(Canvas &canvas)
{
    const gdi::ColorRef fill = isEnabled() ? rpcolor::resolve(m_color) : gdi::rgb(0xC0, 0xC0, 0xC0);
    canvas.fillRect(gdi::Rect{0, 0, width(), height()}, gdi::LogBrush{gdi::BS_SOLID, fill, 0});
    canvas.setBrush(gdi::LogBrush{gdi::BS_NULL, fill, 0});
}

void RpBasePanel::paintSurface(Canvas &canvas) { paintBackground(canvas); }

namespace {

gdi::LogFont rulerFont(int ppi)
{
    gdi::LogFont f;
    f.height = -mulDiv(6, ppi, 72);
    f.faceName = QString::fromLatin1(reportstrings::kRulerFont);
    return f;
}

} // namespace

void RpBasePanel::drawRuler(Canvas &canvas, RpUnit units)
{
    const SurfaceScheme &scheme = surfaceScheme();
    const double P = units::screenPixelsPerInch();
    const double Z = m_zoom;
    const int W = width();
    const int H = height();
    const bool labels = isReportPanel();

    canvas.setFont(rulerFont(int(P)));
    canvas.setTextColor(scheme.textColor);
    canvas.setBkMode(gdi::TRANSPARENT);
    canvas.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    auto vline = [&](int x, const gdi::LogPen &pen) {
        canvas.setPen(pen);
        canvas.moveTo(x, 0);
        canvas.lineTo(x, H);
    };
    auto hline = [&](int y, const gdi::LogPen &pen) {
        canvas.setPen(pen);
        canvas.moveTo(0, y);
        canvas.lineTo(W, y);
    };

    switch (units) {
    case RpUnit::MM: {
        const double s = P / 5.08 * Z / 100.0;
        const int nx = rpRound(W * 5.08 / P / Z * 100.0);
        const int ny = rpRound(H * 5.08 / P / Z * 100.0);
        for (int i = 1; i <= nx; ++i) {
            const int x = rpRound(i * s);
            if (i % 2 == 1) {
                if (Z >= 60)
                    vline(x, scheme.rulerMinor);
            } else {
                vline(x, scheme.rulerMajor);
                if (Z >= 60 && labels)
                    canvas.textOut(x + 2, 2, QString::number(i / 2));
            }
        }
        for (int i = 1; i <= ny; ++i) {
            const int y = rpRound(i * s);
            if (i % 2 == 1) {
                if (Z >= 60)
                    hline(y, scheme.rulerMinor);
            } else {
                hline(y, scheme.rulerMajor);
                if (Z >= 60 && labels)
                    canvas.textOut(2, y + 2, QString::number(i / 2));
            }
        }
        break;
    }
    case RpUnit::Inches: {
        const double s = P / 4.0 * Z / 100.0;
        const int nx = rpRound(W / P / Z * 400.0);
        const int ny = rpRound(H / P / Z * 400.0);
        for (int i = 1; i <= nx; ++i) {
            const int x = rpRound(i * s);
            if (i % 4 != 0) {
                if (Z >= 50)
                    vline(x, scheme.rulerMinor);
            } else {
                vline(x, scheme.rulerMajor);
                if (labels)
                    canvas.textOut(x + 2, 2, QString::number(i / 4));
            }
        }
        for (int i = 1; i <= ny; ++i) {
            const int y = rpRound(i * s);
            if (i % 4 != 0) {
                if (Z >= 50)
                    hline(y, scheme.rulerMinor);
            } else {
                hline(y, scheme.rulerMajor);
                if (labels)
                    canvas.textOut(2, y + 2, QString::number(i / 4));
            }
        }
        break;
    }
    case RpUnit::Characters: {
        if (m_fontSize <= 0)
            break; // no character cell to step by
        const gdi::LogPen pen{gdi::PS_DOT, 1, gdi::rgb(0xC0, 0xC0, 0xC0)};
        const double w = 80.0 / m_fontSize / 2.54;
        const double h = 145.3 / m_fontSize / 2.54;
        const int nc = rpRound(W / P * 25.4 / w / 10.0);
        for (int c = 1; c <= nc; ++c) {
            const int x = rpRound(w * c * P / 2.54);
            vline(x, pen);
            if (labels)
                canvas.textOut(x + 2, 2, QString::number(c * 10));
        }
        const int ne = rpRound(H / P * 25.4 / h);
        for (int e = 1; e <= ne; ++e) {
            const int y = rpRound(h * e * P / 25.4);
            hline(y, pen);
            if (labels)
                canvas.textOut(2, y + 2, QString::number(e));
        }
        break;
    }
    case RpUnit::Pixels:
    case RpUnit::Native:
        break;
    }
    gdi::LogPen pen = canvas.pen();
    pen.style = gdi::PS_SOLID;
    canvas.setPen(pen);
}
