// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rpdataimage.h"

#include "data/dataset.h"
#include "platform/canvas.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"

RpDataImage::RpDataImage(QWidget *parent)
    : RpPrintable(nullptr)
{
    setOpaqueStyle(true);
    setBounds(0, 0, 105, 105);
    m_picture.onChange = [this] {
        m_pictureLoaded = true;
        update();
    };
    if (parent)
        setParentPanel(parent);
}

RpDataImage::~RpDataImage() { m_picture.onChange = nullptr; }

void RpDataImage::setStretch(bool v)
{
    if (v == m_stretch)
        return;
    m_stretch = v;
    update();
}

void RpDataImage::setCenter(bool v)
{
    if (v == m_center)
        return;
    m_center = v;
    update();
}

void RpDataImage::loadPicture()
{
    if (!m_pictureLoaded && boundToBlob())
        m_picture.assign(fieldPicture());
}

bool RpDataImage::boundToBlob() const
{
    return m_boundDataSet && m_boundField >= 0 && m_boundField < m_boundDataSet->fieldCount() &&
           m_boundDataSet->fieldType(m_boundField) == RpFieldType::Blob;
}

Picture RpDataImage::fieldPicture() const
{
    if (!boundToBlob())
        return {};
    const QVariant v = m_boundDataSet->fieldValue(m_boundField);
    if (v.isNull())
        return {};
    const QByteArray bytes = v.toByteArray();
    if (bytes.isEmpty())
        return {};
    if (bytes.size() != m_lastBytes.size() || bytes != m_lastBytes) {
        m_lastPicture = Picture::fromBytes(bytes);
        m_lastBytes = bytes;
    }
    return m_lastPicture;
}

void RpDataImage::beginPrinting(RpReportRun &run)
{
    RpPrintable::beginPrinting(run);
    m_boundDataSet = nullptr;
    m_boundField = -1;
    m_lastBytes.clear();
    m_lastPicture = Picture();
    if (m_dataSetName.isEmpty())
        return;
    for (RpDataSet *d : run.dataSets) {
        if (d && d->name().compare(m_dataSetName, Qt::CaseInsensitive) == 0) {
            m_boundDataSet = d;
            m_boundField = d->findField(m_dataField);
            break;
        }
    }
}

void RpDataImage::endPrinting()
{
    m_boundDataSet = nullptr;
    m_boundField = -1;
    m_lastBytes.clear();
    m_lastPicture = Picture();
    RpPrintable::endPrinting();
}

Picture RpDataImage::printedPicture(RpReportRun &run) const
{
    Picture pic = fieldPicture();
    if (pic.damaged())
        picturedraw::reportDamaged(
            run, *this,
            QStringLiteral("in field %1 of data set %2").arg(m_dataField, m_boundDataSet->name()), pic.error());
    return pic;
}

void RpDataImage::drawPlaced(RpReportRun &run, Canvas &c, const PicturePlacement &p, const Picture &pic) const
{
    const gdi::LogBrush brush{gdi::BS_SOLID, rpcolor::resolve(m_color), 0};
    c.setBrush(brush);
    QString error;
    bool drawn = true;
    if (!p.clipped) {
        if (pic.isEmpty())
            c.fillRect(p.dest, brush);
        else
            drawn = pic.stretchDraw(c, p.dest, &error);
    } else {
        c.intersectClipRect(p.clip);
        drawn = pic.stretchDraw(c, p.dest, &error);
        c.selectClipRgnNone();
    }
    if (!drawn)
        picturedraw::reportDamaged(
            run, *this, QStringLiteral("in field %1 of data set %2").arg(m_dataField, m_boundDataSet->name()), error);
}

gdi::Rect RpDataImage::pageRectAt(const RpPageDevice &d, double left, double top) const
{
    const double w = m_size->nativeValue(RpPrintableSize::WidthIdx);
    const double h = m_size->nativeValue(RpPrintableSize::HeightIdx);
    return {d.xPos(left), d.yPos(top), d.xPos(left + w), d.yPos(top + h)};
}

void RpDataImage::paintSurface(Canvas &c)
{
    if (m_isPrinting)
        return;
    const int W = width(), H = height();
    c.fillRect({0, 0, W, H}, gdi::LogBrush{gdi::BS_SOLID, rpcolor::resolve(m_color), 0});
    paintBase(c);
    // The placeholder caption names the field (or the control) over the base.
    const QString caption = QLatin1Char('(') + (m_dataField.isEmpty() ? objectName() : m_dataField) + QLatin1Char(')');
    const gdi::Size ext = c.textExtent(caption);
    c.setBkMode(gdi::TRANSPARENT);
    c.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    c.setTextColor(gdi::rgb(0, 0, 0));
    const gdi::Rect client{0, 0, W, H};
    c.extTextOut((W - ext.cx) / 2, (H - ext.cy) / 2, gdi::ETO_CLIPPED, &client, caption);
}
