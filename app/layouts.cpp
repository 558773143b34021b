// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/layouts.h"

#include "app/startup.h"
#include "platform/description/description.h"
#include "platform/rperror.h"
#include "report/customreport.h"

#include <QFile>
#include <QString>
#include <QWidget>

static void initLayoutResources()
{
    // The resources live in a static library: register them explicitly.
    Q_INIT_RESOURCE(layouts);
}

namespace layouts {

QByteArray description(int layout)
{
    if (layout < 1 || layout > 4)
        throw RpError(RpErrorKind::BadArgument, QStringLiteral("No worksheet layout %1").arg(layout));
    initLayoutResources();
    QFile f(QStringLiteral(":/layouts/rpt%1.txt").arg(layout));
    if (!f.open(QIODevice::ReadOnly))
        throw RpError(RpErrorKind::Internal, QStringLiteral("Worksheet layout %1 is missing from the program").arg(layout));
    return f.readAll();
}

Report *load(int layout, QWidget *parent)
{
    const QByteArray text = description(layout);
    desc::Registry &registry = startup::describableClasses();
    Report *report = nullptr;
    try {
        report = desc::readAs<Report>(registry, text, parent);
    } catch (const desc::DescriptionError &e) {
        throw RpError(RpErrorKind::Internal, QStringLiteral("Worksheet layout %1, line %2: %3")
                          .arg(layout)
                          .arg(e.line())
                          .arg(e.message()));
    }
    if (report->parentWidget() != parent)
        report->setParent(parent);
    return report;
}

} // namespace layouts
