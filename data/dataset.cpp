// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dataset.h"

#include "platform/rperror.h"

int RpDataSet::fieldByName(const QString &fieldName) const
{
    const int index = findField(fieldName);
    if (index < 0)
        throw RpError(RpErrorKind::NotAvailable, QStringLiteral("%1 has no field '%2'").arg(errorSubject(), fieldName));
    return index;
}

QString RpDataSet::errorSubject() const
{
    const QString n = name();
    return n.isEmpty() ? QStringLiteral("The data set") : QStringLiteral("Data set %1").arg(n);
}
