// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "../samplerreport.h"

#include "controls/rpexpr.h"
#include "controls/rphrule.h"
#include "controls/rpimage.h"
#include "controls/rplabel.h"
#include "report/rpband.h"
#include "report/rpshape.h"

#include <QImage>
#include <QPainter>

namespace sampler {

namespace {

Picture photo(int w, int h, QRgb a, QRgb b)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(a);
    QPainter p(&img);
    p.fillRect(QRect(w / 4, h / 4, w / 2, h / 2), QColor(b));
    p.end();
    return Picture::fromImage(img);
}

RpLabel *label(QWidget *band, const QString &name, int l, int t, int w, int h, const QString &caption)
{
    auto *x = new RpLabel(band);
    x->setObjectName(name);
    x->setAutoSize(false);
    x->setBounds(l, t, w, h);
    x->setCaption(caption);
    return x;
}

RpShape *shape(QWidget *band, const QString &name, RpShapeType kind, int l, int t, int w, int h)
{
    auto *s = new RpShape(band);
    s->setObjectName(name);
    s->setShape(kind);
    s->setBounds(l, t, w, h);
    return s;
}

} // namespace

std::unique_ptr<RpMemoryTable> records(int n)
{
    auto t = std::make_unique<RpMemoryTable>(QStringLiteral("ROWS"));
    t->addField(QStringLiteral("NAME"), RpFieldType::String);
    t->addField(QStringLiteral("SCORE"), RpFieldType::Integer);
    for (int i = 0; i < n; ++i)
        t->appendRecord({QStringLiteral("Row %1").arg(i + 1), 40 + (i * 13) % 60});
    t->setActive(true);
    return t;
}

std::unique_ptr<Report> report(RpMemoryTable &table)
{
    auto r = std::make_unique<Report>();
    r->setObjectName(QStringLiteral("Sampler"));
    r->setUnits(RpUnit::MM);
    r->page()->setPaperSize(RpPaperSize::A4);
    r->page()->setColumns(2);
    r->page()->setColumnSpace(6);
    r->setReportTitle(QStringLiteral("Sampler"));
    r->setBackgroundColor(gdi::rgb(250, 248, 240));
    r->frame()->setDrawTop(true);
    r->frame()->setDrawBottom(true);
    r->frame()->setDrawLeft(true);
    r->frame()->setDrawRight(true);
    r->frame()->setWidth(2);
    r->setFormDataSets({&table});
    r->setDataSetName(table.name());

    // The page background picture, placed on the report itself.
    auto *back = new RpImage(r.get());
    back->setObjectName(QStringLiteral("Back"));
    back->setStretch(true);
    back->setPicture(photo(40, 40, qRgb(235, 240, 250), qRgb(220, 230, 250)));
    back->setBounds(300, 500, 200, 200);
    r->setBackImageControl(QStringLiteral("Back"));
    // A control of the report's own, printed at the end of every page.
    label(r.get(), QStringLiteral("Corner"), 600, 1080, 150, 18, QStringLiteral("sampler corner"));

    r->bands()->setHasTitle(true);
    RpCustomBand *title = r->bands()->titleBand();
    title->setObjectName(QStringLiteral("Title"));
    title->size()->setHeight(70);
    title->setColor(gdi::rgb(230, 240, 255));
    title->frame()->setDrawBottom(true);
    title->frame()->setDrawTop(true);
    title->frame()->setColor(gdi::rgb(0, 0, 160));
    RpLabel *heading = label(title, QStringLiteral("Heading"), 10, 5, 400, 40, QStringLiteral("Sampler of items"));
    RpFont big = heading->font();
    big.setSize(20);
    big.bold = true;
    heading->setFont(big);
    RpLabel *right = label(title, QStringLiteral("Right"), 420, 5, 300, 20, QStringLiteral("right aligned"));
    right->setAlignment(Alignment::taRightJustify);
    RpLabel *centre = label(title, QStringLiteral("Centre"), 420, 30, 300, 20, QStringLiteral("centred, opaque"));
    centre->setAlignment(Alignment::taCenter);
    centre->setColor(gdi::rgb(255, 230, 200));
    centre->frame()->setDrawTop(true);
    centre->frame()->setDrawLeft(true);
    auto *boxed = label(title, QStringLiteral("Boxed"), 10, 48, 250, 18, QStringLiteral("framed on four sides"));
    boxed->frame()->setDrawTop(true);
    boxed->frame()->setDrawBottom(true);
    boxed->frame()->setDrawLeft(true);
    boxed->frame()->setDrawRight(true);
    auto *grow = label(title, QStringLiteral("Grow"), 270, 48, 120, 18, QStringLiteral("auto size, right"));
    grow->setAutoSize(true);
    grow->setAlignment(Alignment::taRightJustify);

    r->bands()->setHasPageHeader(true);
    RpCustomBand *header = r->bands()->pageHeaderBand();
    header->setObjectName(QStringLiteral("Header"));
    header->size()->setHeight(10);
    header->setTransparentBand(true);
    auto *rule = new RpHRule(header);
    rule->setObjectName(QStringLiteral("Rule"));
    rule->setBounds(0, 10, 700, 8);
    rule->setPen({gdi::PS_SOLID, 2, gdi::rgb(120, 0, 0)});

    r->bands()->setHasDetail(true);
    RpCustomBand *detail = r->bands()->detailBand();
    detail->setObjectName(QStringLiteral("Detail"));
    detail->size()->setHeight(16);
    detail->setColor(gdi::rgb(255, 255, 240));
    detail->frame()->setDrawLeft(true);
    detail->frame()->setDrawRight(true);
    auto *name = new RpExpr(detail);
    name->setObjectName(QStringLiteral("Name"));
    name->setAutoSize(false);
    name->setBounds(8, 2, 150, 18);
    name->setExpression(QStringLiteral("ROWS.NAME"));
    auto *score = new RpExpr(detail);
    score->setObjectName(QStringLiteral("Score"));
    score->setAutoSize(false);
    score->setBounds(200, 2, 80, 18);
    score->setAlignment(Alignment::taRightJustify);
    score->setExpression(QStringLiteral("ROWS.SCORE*2"));
    score->setMask(QStringLiteral("#,##0.00"));
    RpShape *ruled = shape(detail, QStringLiteral("Ruled"), RpShapeType::rpsVertLine, 170, 0, 4, 20);
    ruled->setTag(1000);
    RpShape *dot = shape(detail, QStringLiteral("Dot"), RpShapeType::rpsCircle, 300, 4, 12, 12);
    dot->setBrush({gdi::BS_SOLID, gdi::rgb(0, 150, 0), 0});
    detail->setHasChild(true);
    RpChildBand *child = detail->childBand();
    child->setObjectName(QStringLiteral("Remark"));
    child->size()->setHeight(8);
    child->setTransparentBand(true);
    auto *remark = new RpExpr(child);
    remark->setObjectName(QStringLiteral("RemarkText"));
    remark->setAutoSize(false);
    remark->setBounds(20, 0, 250, 14);
    remark->setExpression(QStringLiteral("'count '+ROWS.NAME"));

    r->bands()->setHasSummary(true);
    RpCustomBand *summary = r->bands()->summaryBand();
    summary->setObjectName(QStringLiteral("Summary"));
    summary->size()->setHeight(60);
    summary->setColor(gdi::rgb(240, 255, 240));
    // A long text on a short band: it stretches the band and goes on in the
    // next column or page.
    RpLabel *story = label(summary, QStringLiteral("Story"), 5, 2, 330, 18, QString());
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("Line %1 of a text that goes on and on. ").arg(i + 1);
    story->setCaption(text);
    story->setAutoStretch(true);
    RpLabel *justified = label(summary, QStringLiteral("Justified"), 5, 24, 330, 18,
                               QStringLiteral("words set out to the full width of the label"));
    justified->setFullJustify(true);
    justified->setMaxBreakChars(20);
    int x = 5;
    for (RpShapeType kind : {RpShapeType::rpsRectangle, RpShapeType::rpsCircle, RpShapeType::rpsVertLine,
                             RpShapeType::rpsHorLine, RpShapeType::rpsTopAndBottom, RpShapeType::rpsRightAndLeft,
                             RpShapeType::rpsRoundRect, RpShapeType::rpsLeftDiagonal, RpShapeType::rpsRightDiagonal}) {
        RpShape *s = shape(summary, QStringLiteral("Shape%1").arg(int(kind)), kind, x, 44, 30, 14);
        s->setPen({gdi::PS_SOLID, 1 + int(kind) % 3, gdi::rgb(40 * int(kind) % 255, 0, 120)});
        s->setBrush({int(kind) % 2 ? gdi::BS_NULL : gdi::BS_SOLID, gdi::rgb(200, 200, 255), 0});
        s->setRoundFactor(0.25f);
        x += 34;
    }
    auto *pdfShape = new RpPDFShape(summary);
    pdfShape->setObjectName(QStringLiteral("PdfOnly"));
    pdfShape->setBounds(x, 44, 30, 14);
    pdfShape->setShapeType(RpShapeType::rpsRectangle);
    auto *stretched = new RpImage(summary);
    stretched->setObjectName(QStringLiteral("Stretched"));
    stretched->setStretch(true);
    stretched->setPicture(photo(16, 10, qRgb(200, 40, 40), qRgb(250, 250, 0)));
    stretched->setBounds(250, 2, 60, 30);
    auto *centred = new RpImage(summary);
    centred->setObjectName(QStringLiteral("Centred"));
    centred->setCenter(true);
    centred->setPicture(photo(20, 12, qRgb(40, 40, 200), qRgb(0, 250, 250)));
    centred->setBounds(250, 34, 60, 24);
    centred->frame()->setDrawTop(true);
    centred->frame()->setDrawBottom(true);
    centred->frame()->setDrawLeft(true);
    centred->frame()->setDrawRight(true);
    auto *own = new RpImage(summary);
    own->setObjectName(QStringLiteral("OwnPixels"));
    own->setTag(999);
    own->setPicture(photo(8, 8, qRgb(0, 0, 0), qRgb(255, 255, 255)));
    own->setBounds(320, 2, 20, 20);

    r->bands()->setHasPageFooter(true);
    RpCustomBand *footer = r->bands()->pageFooterBand();
    footer->setObjectName(QStringLiteral("Footer"));
    footer->size()->setHeight(12);
    footer->setColor(gdi::rgb(200, 200, 200));
    auto *page = new RpExpr(footer);
    page->setObjectName(QStringLiteral("PageNo"));
    page->setAutoSize(false);
    page->setBounds(600, 2, 100, 18);
    page->setAlignment(Alignment::taRightJustify);
    page->setExpression(QStringLiteral("'Page '+STR(PAGENUMBER)"));
    r->setUnits(RpUnit::MM);
    return r;
}

} // namespace sampler
