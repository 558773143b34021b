// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The common part of the two picture controls bound to a data set: at each
// band print they show the picture held in a blob field of the data set's
// current record. The data set is named as the report names its own and is
// looked up among the run's data sets when printing begins, so a data set
// that goes away leaves no dangling reference behind.
#include "controls/picturedraw.h"
#include "controls/rppicture.h"
#include "report/rpprintable.h"

class RpDataSet;

class RpDataImage : public RpPrintable {
    Q_OBJECT
public:
    explicit RpDataImage(QWidget *parent = nullptr);
    ~RpDataImage() override;

    const QString &dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString &name) { m_dataSetName = name; }
    const QString &dataField() const { return m_dataField; }
    void setDataField(const QString &name) { m_dataField = name; }
    bool stretch() const { return m_stretch; }
    void setStretch(bool v);
    bool center() const { return m_center; }
    void setCenter(bool v);

    // A picture the control holds; printing does not use it.
    const Picture &picture() const { return m_picture.graphic(); }
    void setPicture(const Picture &p) { m_picture.assign(p); }
    RpPicture &pictureRef() { return m_picture; }
    bool pictureLoaded() const { return m_pictureLoaded; }
    // Copies the bound field's picture into the held one, unless the held
    // picture has changed since the control was made.
    void loadPicture();
    // The colour table of the held picture when it is a bitmap with one.
    QList<QRgb> palette() const { return picture().palette(); }

    // The binding of a run (between beginPrinting and endPrinting): the data
    // set and the field number, or none.
    RpDataSet *boundDataSet() const { return m_boundDataSet; }
    int boundField() const { return m_boundField; }
    bool boundToBlob() const;
    // The picture in the bound blob field of the current record; empty when
    // the control is not bound to a blob field or the field is null.
    Picture fieldPicture() const;

    void beginPrinting(RpReportRun &run) override;
    void endPrinting() override;
    void paintSurface(Canvas &canvas) override;

protected:
    // The field's picture for printing; a damaged one is reported to the run
    // (and comes back damaged, to be left out).
    Picture printedPicture(RpReportRun &run) const;
    // Draws what printAt draws once the placement is known: a stretched
    // empty picture fills with the control's colour, an unstretched empty
    // one draws nothing, any other is stretched into the destination.
    void drawPlaced(RpReportRun &run, Canvas &canvas, const PicturePlacement &p, const Picture &pic) const;
    // The control's rectangle on the page for its corner at (left, top).
    gdi::Rect pageRectAt(const RpPageDevice &device, double left, double top) const;

    QString m_dataSetName;
    QString m_dataField;
    bool m_stretch = false;
    bool m_center = true;

private:
    RpPicture m_picture;
    bool m_pictureLoaded = false;
    RpDataSet *m_boundDataSet = nullptr;
    int m_boundField = -1;
    // The last field value decoded and its picture: a run that prints the
    // same picture on many records decodes it once. Print path only.
    mutable QByteArray m_lastBytes;
    mutable Picture m_lastPicture;
};
