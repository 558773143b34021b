// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/synthesis.h"

#include "platform/fonts.h"

namespace faces {

QString strokeOrderFamily() { return QStringLiteral("華康標楷筆順體"); }
QString tracingFamily() { return QStringLiteral("華康標楷虛線體"); }

Synthesis synthesisFor(const QString &family)
{
    Synthesis s = Synthesis::None;
    if (family.compare(strokeOrderFamily(), Qt::CaseInsensitive) == 0)
        s = Synthesis::StrokeOrder;
    else if (family.compare(tracingFamily(), Qt::CaseInsensitive) == 0)
        s = Synthesis::Tracing;
    if (s != Synthesis::None && fonts::isFamilyInstalled(family))
        return Synthesis::None;
    return s;
}

} // namespace faces
