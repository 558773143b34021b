// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rplineart.h"

void RpLineArt::setBrush(const gdi::LogBrush &b)
{
    m_brush = b;
    update();
}

void RpLineArt::setPen(const gdi::LogPen &p)
{
    m_pen = p;
    update();
}
