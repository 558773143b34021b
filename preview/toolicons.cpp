// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/toolicons.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace toolicons {
namespace {

const char *const kThemeNames[Count] = {
    "zoom-fit-best", "zoom-original", "zoom-fit-width", "go-first", "go-previous", "go-next", "go-last",
    "document-print-preview", "document-print", "document-open", "document-save", "edit-find", "go-jump",
    "process-stop", "edit-copy",
};

const QColor kInk(0x30, 0x40, 0x60), kPaper(0xfa, 0xfa, 0xf5), kAccent(0x2a, 0x7a, 0xc0), kStop(0xc0, 0x30, 0x30);

void sheet(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(QPen(kInk.lighter(180), 1));
    for (qreal y = r.top() + 4; y < r.bottom() - 2; y += 3)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void arrow(QPainter &p, bool left, bool bar, qreal x)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    QPainterPath t;
    if (left) {
        t.moveTo(x + 6, 12);
        t.lineTo(x + 14, 5);
        t.lineTo(x + 14, 19);
    } else {
        t.moveTo(x + 14, 12);
        t.lineTo(x + 6, 5);
        t.lineTo(x + 6, 19);
    }
    t.closeSubpath();
    p.drawPath(t);
    if (bar)
        p.drawRect(QRectF(left ? x + 3 : x + 15, 5, 2.5, 14));
}

void magnifier(QPainter &p, const QString &inside)
{
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(3, 3, 13, 13));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
    if (!inside.isEmpty()) {
        QFont f = p.font();
        f.setPixelSize(7);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kAccent);
        p.drawText(QRectF(3, 3, 13, 13), Qt::AlignCenter, inside);
    }
}

void printer(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 3, 10, 7));
    p.setBrush(QColor(0xb0, 0xb8, 0xc8));
    p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 14, 10, 7));
}

void draw(QPainter &p, int index)
{
    switch (index) {
    case ZoomFit:
        sheet(p, QRectF(6, 2, 12, 20));
        p.setPen(QPen(kAccent, 1.5));
        p.drawRect(QRectF(3.5, 1, 17, 22));
        break;
    case Zoom100: magnifier(p, QStringLiteral("1:1")); break;
    case ZoomToWidth:
        sheet(p, QRectF(4, 4, 16, 20));
        p.setPen(QPen(kAccent, 2));
        p.drawLine(QPointF(1, 2), QPointF(23, 2));
        break;
    case FirstPage: arrow(p, true, true, 2); break;
    case PreviousPage: arrow(p, true, false, 2); break;
    case NextPage: arrow(p, false, false, 2); break;
    case LastPage: arrow(p, false, true, 2); break;
    case PrintSetup:
        printer(p);
        p.setPen(QPen(kAccent, 2));
        p.drawEllipse(QRectF(15, 1, 7, 7));
        break;
    case Print: printer(p); break;
    case LoadReport:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0xe8, 0xc0, 0x60));
        p.drawRect(QRectF(2, 7, 20, 14));
        p.drawRect(QRectF(2, 5, 8, 3));
        break;
    case SaveReport:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.drawRect(QRectF(6, 14, 12, 7));
        break;
    case Find: magnifier(p, QString()); break;
    case GotoPage:
        sheet(p, QRectF(4, 2, 14, 20));
        p.setPen(QPen(kAccent, 2));
        p.drawLine(QPointF(10, 12), QPointF(22, 12));
        p.drawLine(QPointF(18, 8), QPointF(22, 12));
        p.drawLine(QPointF(18, 16), QPointF(22, 12));
        break;
    case Cancel:
        p.setPen(Qt::NoPen);
        p.setBrush(kStop);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(16, 16));
        p.drawLine(QPointF(16, 8), QPointF(8, 16));
        break;
    case Copy:
        sheet(p, QRectF(3, 2, 12, 15));
        sheet(p, QRectF(9, 7, 12, 15));
        break;
    default: break;
    }
}

} // namespace

QIcon ownIcon(int index)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, index);
    p.end();
    return QIcon(pm);
}

namespace {

// The images, made once for every window of the process (on the interface
// thread) and let go before the application object goes.
QIcon *g_icons = nullptr;

void releaseIcons()
{
    delete[] g_icons;
    g_icons = nullptr;
}

} // namespace

QIcon icon(int index)
{
    if (index < 0 || index >= Count)
        return {};
    if (!g_icons) {
        g_icons = new QIcon[Count];
        for (int i = 0; i < Count; ++i)
            g_icons[i] = QIcon::fromTheme(QString::fromLatin1(kThemeNames[i]), ownIcon(i));
        qAddPostRoutine(releaseIcons);
    }
    return g_icons[index];
}

} // namespace toolicons
