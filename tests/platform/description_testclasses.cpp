// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "description_testclasses.h"

#include <algorithm>

namespace desctest {
namespace {

using desc::EnumInfo;
using desc::ObjectRef;

const EnumInfo &colours()
{
    static const EnumInfo e{QStringLiteral("TColor"),
                            {{QStringLiteral("clBlack"), 0},
                             {QStringLiteral("clGray"), 0x808080},
                             {QStringLiteral("clWhite"), 0xFFFFFF},
                             {QStringLiteral("clWindowText"), qint32(0x80000008)},
                             {QStringLiteral("clBtnFace"), qint32(0x8000000F)}}};
    return e;
}

template <class Obj, class Child> void removeFrom(std::vector<Child *> &list, Child *c)
{
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
}

void build(desc::Registry &r)
{
    static const EnumInfo bandTypes{QStringLiteral("TRpBandType"),
                                    {{QStringLiteral("rbTitle"), rbTitle},
                                     {QStringLiteral("rbPageHeader"), rbPageHeader},
                                     {QStringLiteral("rbDetail"), rbDetail},
                                     {QStringLiteral("rbPageFooter"), rbPageFooter}}};
    static const EnumInfo options{QStringLiteral("TReportOption"),
                                  {{QStringLiteral("FirstPageHeader"), FirstPageHeader},
                                   {QStringLiteral("LastPageFooter"), LastPageFooter},
                                   {QStringLiteral("Compression"), Compression}}};
    static const EnumInfo alignments{QStringLiteral("TAlignment"),
                                     {{QStringLiteral("taLeftJustify"), taLeftJustify},
                                      {QStringLiteral("taRightJustify"), taRightJustify},
                                      {QStringLiteral("taCenter"), taCenter}}};
    static const EnumInfo fontStyles{QStringLiteral("TFontStyle"),
                                     {{QStringLiteral("fsBold"), 0},
                                      {QStringLiteral("fsItalic"), 1},
                                      {QStringLiteral("fsUnderline"), 2}}};

    r.addClass<Frame>(QStringLiteral("TRpFrame"))
        .namedIntProperty(QStringLiteral("Color"), &Frame::color, [](Frame &f, qint32 v) { f.color = v; }, colours(), 0)
        .property(QStringLiteral("DrawTop"), &Frame::drawTop, [](Frame &f, bool v) { f.drawTop = v; }, false)
        .property(QStringLiteral("DrawBottom"), &Frame::drawBottom, [](Frame &f, bool v) { f.drawBottom = v; }, false)
        .property(QStringLiteral("Width"), &Frame::width, [](Frame &f, qint32 v) { f.width = v; }, 1);

    r.addClass<Font>(QStringLiteral("TFont"))
        .namedIntProperty(QStringLiteral("Color"), &Font::color, [](Font &f, qint32 v) { f.color = v; }, colours(),
                          qint32(0x80000008))
        .property(QStringLiteral("Height"), &Font::height, [](Font &f, qint32 v) { f.height = v; })
        .property(QStringLiteral("Name"), &Font::name, [](Font &f, const QString &v) { f.name = v; })
        .setProperty(QStringLiteral("Style"), &Font::style, [](Font &f, quint32 v) { f.style = v; }, fontStyles, 0u);

    r.addClass<Page>(QStringLiteral("TRpPage"))
        .floatList(QStringLiteral("Values"), 7, &Page::getValues, &Page::setValues)
        .property(QStringLiteral("Columns"), &Page::columns,
                  [](Page &p, int v) {
                      if (v <= 0)
                          throw desc::ValueError(QStringLiteral("columns must be at least 1"));
                      p.columns = v;
                  },
                  1)
        .property(QStringLiteral("Ruler"), &Page::ruler, [](Page &p, bool v) { p.ruler = v; }, true);

    r.addClass<PrintableSize>(QStringLiteral("TRpPrintableSize"))
        .floatList(QStringLiteral("Values"), 4, &PrintableSize::getValues, &PrintableSize::setValues);
    r.addClass<BandSize>(QStringLiteral("TRpBandSize"))
        .floatList(QStringLiteral("Values"), 2, &BandSize::getValues, &BandSize::setValues);

    r.addClass<Printable>(QStringLiteral("TRpPrintable"))
        .subObject<Frame>(QStringLiteral("Frame"), [](Printable &p) { return &p.frame; })
        .subObject<PrintableSize>(QStringLiteral("Size"), [](Printable &p) { return &p.size; })
        .loaded([](Printable &p) {
            ++p.loadedCalls;
            if (auto *band = dynamic_cast<Band *>(p.parentWidget()))
                p.siblingsAtLoaded = band->printables.size();
            loadedLog().push_back(&p);
        });

    r.addClass<Label, Printable>(QStringLiteral("TRpLabel"))
        .factory([](const desc::CreateContext &) { return new Label; })
        .property(QStringLiteral("Caption"), [](const Label &l) { return l.caption; },
                  [](Label &l, const QString &v) { l.caption = v; }, QString())
        .property(QStringLiteral("Lines"), [](const Label &l) { return l.lines; },
                  [](Label &l, const QStringList &v) { l.lines = v; }, QStringList())
        .enumProperty(QStringLiteral("Alignment"), [](const Label &l) { return l.alignment; },
                      [](Label &l, Alignment a) { l.alignment = a; }, alignments, taLeftJustify)
        .property(QStringLiteral("AutoSize"), [](const Label &l) { return l.autoSize; },
                  [](Label &l, bool v) { l.autoSize = v; }, false)
        .subObject<Font>(QStringLiteral("Font"), [](Label &l) -> Font & { return l.font; })
        .property(QStringLiteral("Transparent"), [](const Label &l) { return l.transparent; },
                  [](Label &l, bool v) { l.transparent = v; }, true)
        .property(QStringLiteral("Picture"), [](const Label &l) { return l.picture; },
                  [](Label &l, const QByteArray &v) { l.picture = v; }, QByteArray())
        .custom(
            QStringLiteral("FontSize"), [](const Label &l) { return desc::Value::fromInt(l.fontSize); },
            [](Label &l, const desc::Value &v) { l.fontSize = int(desc::detail::toInt(v, 0, 10000)); },
            [](const desc::Value &v) { desc::detail::toInt(v, 0, 10000); })
        .storedWhen([](const Label &l) { return l.fontSize > 0; });

    r.addClass<Band>(QStringLiteral("TRpBand"))
        .factory([](const desc::CreateContext &ctx) { return new Band(ctx.parentAs<QWidget>()); })
        .enumProperty(QStringLiteral("BandType"), [](const Band &b) { return b.bandType; },
                      [](Band &b, BandType t) { b.bandType = t; }, bandTypes, rbTitle)
        .namedIntProperty(QStringLiteral("Color"), [](const Band &b) { return b.color; },
                          [](Band &b, qint32 v) { b.color = v; }, colours(), qint32(0x8000000F))
        .property(QStringLiteral("ExpandBy"), [](const Band &b) { return b.expandBy; },
                  [](Band &b, double v) { b.expandBy = v; }, 0.0)
        .subObject<Frame>(QStringLiteral("Frame"), [](Band &b) { return &b.frame; })
        .subObject<Font>(QStringLiteral("Font"), [](Band &b) { return &b.font; })
        .storedWhen([](const Band &b) { return !b.parentFont; })
        .property(QStringLiteral("ParentFont"), [](const Band &b) { return b.parentFont; },
                  [](Band &b, bool v) { b.parentFont = v; }, true)
        .subObject<BandSize>(QStringLiteral("Size"), [](Band &b) { return &b.size; })
        .reference<Band>(QStringLiteral("LinkBand"), [](const Band &b) { return b.linkBand; },
                         [](Band &b, Band *l) { b.linkBand = l; })
        .children([](Band &b) { return b.printables; },
                  [](Band &b, ObjectRef c) {
                      auto *p = c.as<Printable>();
                      if (!p)
                          throw desc::ValueError(QStringLiteral("a band holds printable controls only"));
                      p->setParent(&b);
                      b.printables.push_back(p);
                  })
        .childRemover([](Band &b, ObjectRef c) { removeFrom<Band>(b.printables, c.as<Printable>()); })
        .loaded([](Band &b) {
            ++b.loadedCalls;
            b.printablesAtLoaded = b.printables.size();
            loadedLog().push_back(&b);
        });

    r.addClass<Report>(QStringLiteral("TReport"))
        .factory([](const desc::CreateContext &ctx) { return new Report(qobject_cast<QWidget *>(ctx.owner)); })
        .property(QStringLiteral("Left"), [](const Report &w) { return w.x(); },
                  [](Report &w, int v) { w.move(v, w.y()); }, 0)
        .property(QStringLiteral("Top"), [](const Report &w) { return w.y(); },
                  [](Report &w, int v) { w.move(w.x(), v); }, 0)
        .subObject<Frame>(QStringLiteral("Frame"), [](Report &r) { return &r.frame; })
        .subObject<Font>(QStringLiteral("Font"), [](Report &r) { return &r.font; })
        .subObject<Page>(QStringLiteral("Page"), [](Report &r) { return &r.page; })
        .setProperty(QStringLiteral("Options"), [](const Report &r) { return r.options; },
                     [](Report &r, quint32 v) { r.options = v; }, options,
                     (1u << FirstPageHeader) | (1u << LastPageFooter))
        .property(QStringLiteral("Zoom"), [](const Report &r) { return r.zoom; },
                  [](Report &r, int v) { r.zoom = v; }, 100)
        .property(QStringLiteral("BigNumber"), [](const Report &r) { return r.bigNumber; },
                  [](Report &r, qint64 v) { r.bigNumber = v; }, qint64(0))
        .property(QStringLiteral("ReportTitle"), [](const Report &r) { return r.title; },
                  [](Report &r, const QString &v) { r.title = v; }, QString())
        .children([](Report &r) { return r.bands; },
                  [](Report &r, ObjectRef c) {
                      auto *b = c.as<Band>();
                      if (!b)
                          throw desc::ValueError(QStringLiteral("a report holds bands only"));
                      b->setParent(&r);
                      r.bands.push_back(b);
                  })
        .childRemover([](Report &r, ObjectRef c) { removeFrom<Report>(r.bands, c.as<Band>()); })
        .loaded([](Report &r) {
            ++r.loadedCalls;
            r.bandsAtLoaded = r.bands.size();
            loadedLog().push_back(&r);
        });
}

} // namespace

desc::Registry &registry()
{
    static desc::Registry *r = [] {
        auto *reg = new desc::Registry;
        build(*reg);
        return reg;
    }();
    return *r;
}

} // namespace desctest
