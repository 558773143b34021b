// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A registry of "property bag" classes under the names the worksheet
// layouts use (TReport, TRpBand, TRpLabel, TRpShape with their sub-objects),
// so that the layout files can be read and written without the report
// classes. Most properties keep whatever value they are given; a few are
// typed, to run the typed conversions as well. Header-only: the fuzz target
// uses it too.
#include "platform/description/registry.h"

#include <map>
#include <memory>
#include <vector>

namespace descbag {

struct Bag {
    std::map<QString, desc::Value> values;
    std::map<QString, std::unique_ptr<Bag>> subs;

    Bag *sub(const QString &name)
    {
        auto &s = subs[name];
        if (!s)
            s = std::make_unique<Bag>();
        return s.get();
    }
};

struct Component : Bag {
    virtual ~Component() = default;
    QString name;
    int zoom = 100;
    qint64 units = 0;
    quint32 options = 3;
    qint64 bandType = 0;
    QString caption;
    bool autoSize = false;
    std::vector<std::unique_ptr<Component>> children;
};

template <int N> struct Kind : Component {};
using Report = Kind<0>;
using Band = Kind<1>;
using Label = Kind<2>;
using Shape = Kind<3>;

template <class B> void addBagProperties(desc::ClassBuilder<B> &c, std::initializer_list<const char *> names)
{
    for (const char *n : names) {
        const QString name = QString::fromLatin1(n);
        c.custom(
             name,
             [name](const B &b) { return b.values.at(name); },
             [name](B &b, const desc::Value &v) { b.values[name] = v; })
            .storedWhen([name](const B &b) { return b.values.count(name) != 0; });
    }
}

inline desc::Registry &bagRegistry()
{
    static desc::Registry *reg = [] {
        auto *r = new desc::Registry;
        auto sub = r->addClass<Bag>(QStringLiteral("TBag"));
        addBagProperties(sub, {"Values", "Color", "DrawTop", "DrawBottom", "DrawLeft", "DrawRight", "Style",
                               "Width", "Charset", "Height", "Name", "PaperSize", "Orientation", "Columns",
                               "Continuous", "Ruler", "Copies", "OutputBin", "Duplex", "FirstPage", "LastPage",
                               "UseStandardprinter", "UseCustomBinCode", "CustomBinCode", "ExtendedDuplex",
                               "UseCustomPaperCode", "CustomPaperCode", "PrintMetaFile", "PrintQuality",
                               "Collate", "ColorOption", "Strings", "DATA"});

        static const desc::EnumInfo units{QStringLiteral("TRpUnit"),
                                          {{QStringLiteral("MM"), 0},
                                           {QStringLiteral("Inches"), 1},
                                           {QStringLiteral("Pixels"), 2},
                                           {QStringLiteral("Characters"), 3},
                                           {QStringLiteral("Native"), 4}}};
        static const desc::EnumInfo options{QStringLiteral("TReportOption"),
                                            {{QStringLiteral("FirstPageHeader"), 0},
                                             {QStringLiteral("LastPageFooter"), 1},
                                             {QStringLiteral("Compression"), 2}}};
        static const desc::EnumInfo bandTypes{QStringLiteral("TRpBandType"),
                                              {{QStringLiteral("rbTitle"), 0},
                                               {QStringLiteral("rbPageHeader"), 1},
                                               {QStringLiteral("rbDetail"), 2},
                                               {QStringLiteral("rbPageFooter"), 3},
                                               {QStringLiteral("rbSummary"), 4}}};

        auto comp = r->addClass<Component>(QStringLiteral("TBagComponent"));
        comp.name([](const Component &c) { return c.name; }, [](Component &c, const QString &n) { c.name = n; })
            .property(QStringLiteral("Zoom"), &Component::zoom, [](Component &c, int v) { c.zoom = v; }, 100)
            .enumProperty(QStringLiteral("Units"), &Component::units, [](Component &c, qint64 v) { c.units = v; },
                          units, 0)
            .setProperty(QStringLiteral("Options"), &Component::options,
                         [](Component &c, quint32 v) { c.options = v; }, options, 3u)
            .enumProperty(QStringLiteral("BandType"), &Component::bandType,
                          [](Component &c, qint64 v) { c.bandType = v; }, bandTypes, 0)
            .property(QStringLiteral("Caption"), &Component::caption,
                      [](Component &c, const QString &v) { c.caption = v; }, QString())
            .property(QStringLiteral("AutoSize"), &Component::autoSize,
                      [](Component &c, bool v) { c.autoSize = v; }, false);
        for (const char *s : {"Frame", "Font", "Page", "PrinterSettings", "Size", "Pen", "Brush", "Functions"}) {
            const QString n = QString::fromLatin1(s);
            comp.subObject<Bag>(n, [n](Component &c) { return c.sub(n); });
        }
        addBagProperties(comp, {"Left", "Top", "Width", "Height", "PrintIfEmpty", "SnapToGrid", "PrevFormStyle",
                                "PreviewInitialState", "PrevInitialZoom", "PreviewDefaultSaveType", "PreviewLeft",
                                "PreviewTop", "ParentFont", "TransparentBand", "AlignToBottom", "ForceNewColumn",
                                "ForceNewPage", "KeepOnOnePage", "PreCaluculateBandHeight", "Alignment",
                                "AlignToBand", "AutoStretch", "Color", "Transparent", "WordWrap", "ExportAs",
                                "WrapStyle", "XLColumn", "FontSize", "Shape", "VertAdjust", "Description",
                                "ReportTitle", "Picture"});
        comp.children(
                [](Component &c) {
                    std::vector<Component *> out;
                    for (auto &ch : c.children)
                        out.push_back(ch.get());
                    return out;
                },
                [](Component &c, desc::ObjectRef child) { c.children.emplace_back(child.as<Component>()); })
            .childRemover([](Component &c, desc::ObjectRef child) {
                for (auto &ch : c.children)
                    if (ch.get() == child.as<Component>())
                        (void)ch.release();
                std::erase(c.children, nullptr);
            });

        r->addClass<Report, Component>(QStringLiteral("TReport"));
        r->addClass<Band, Component>(QStringLiteral("TRpBand"));
        r->addClass<Label, Component>(QStringLiteral("TRpLabel"));
        r->addClass<Shape, Component>(QStringLiteral("TRpShape"));
        return r;
    }();
    return *reg;
}

} // namespace descbag
