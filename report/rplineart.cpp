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
