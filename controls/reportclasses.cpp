// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/reportclasses.h"

#include "controls/rpexpr.h"
#include "controls/rpdbimage.h"
#include "controls/rpgrdbimage.h"
#include "controls/rphrule.h"
#include "controls/rpimage.h"
#include "controls/rplabel.h"
#include "platform/description/parser.h"
#include "platform/description/registry.h"
#include "report/customreport.h"
#include "report/reportstrings.h"
#include "report/rpband.h"
#include "report/rpgroup.h"
#include "report/rpshape.h"
#include "report/rpsubdetail.h"

using desc::EnumInfo;
using desc::Value;

namespace {

EnumInfo colorNames()
{
    EnumInfo e{QStringLiteral("TColor"), {}};
    for (quint32 c : {0x000000u, 0x000080u, 0x008000u, 0x008080u, 0x800000u, 0x800080u, 0x808000u,
                      0x808080u, 0xC0C0C0u, 0x0000FFu, 0x00FF00u, 0x00FFFFu, 0xFF0000u, 0xFF00FFu,
                      0xFFFF00u, 0xFFFFFFu, rpcolor::clWindowText, rpcolor::clBtnFace, rpcolor::clWindow})
        e.items.push_back({rpcolor::name(c), qint64(qint32(c))});
    return e;
}

const EnumInfo &colors()
{
    static const EnumInfo e = colorNames();
    return e;
}

// Colours are stored as signed 32-bit numbers (system colours negative).
template <class T, class G, class S> void colorProp(desc::ClassBuilder<T> &b, const QString &name, G get, S set)
{
    b.namedIntProperty(name, [get](const T &o) { return qint32(std::invoke(get, o)); },
                       [set](T &o, qint32 v) { std::invoke(set, o, quint32(v)); }, colors());
}
template <class T, class G, class S, class D>
void colorProp(desc::ClassBuilder<T> &b, const QString &name, G get, S set, D def)
{
    b.namedIntProperty(name, [get](const T &o) { return qint32(std::invoke(get, o)); },
                       [set](T &o, qint32 v) { std::invoke(set, o, quint32(v)); }, colors(), qint32(quint32(def)));
}

const EnumInfo kCharsets{QStringLiteral("TFontCharset"),
                         {{"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2},
                          {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129}, {"GB2312_CHARSET", 134},
                          {"CHINESEBIG5_CHARSET", 136}, {"OEM_CHARSET", 255}}};
const EnumInfo kFontStyles{QStringLiteral("TFontStyles"),
                           {{"fsBold", 0}, {"fsItalic", 1}, {"fsUnderline", 2}, {"fsStrikeOut", 3}}};
const EnumInfo kPenStyles{QStringLiteral("TPenStyle"),
                          {{"psSolid", 0}, {"psDash", 1}, {"psDot", 2}, {"psDashDot", 3},
                           {"psDashDotDot", 4}, {"psClear", 5}, {"psInsideFrame", 6}}};
const EnumInfo kBrushStyles{QStringLiteral("TBrushStyle"),
                            {{"bsSolid", 0}, {"bsClear", 1}, {"bsHorizontal", 2}, {"bsVertical", 3},
                             {"bsFDiagonal", 4}, {"bsBDiagonal", 5}, {"bsCross", 6}, {"bsDiagCross", 7}}};
const EnumInfo kBandTypes{QStringLiteral("TRpBandType"),
                          {{"rbTitle", rbTitle}, {"rbPageHeader", rbPageHeader}, {"rbDetail", rbDetail},
                           {"rbPageFooter", rbPageFooter}, {"rbSummary", rbSummary},
                           {"rbGroupHeader", rbGroupHeader}, {"rbGroupFooter", rbGroupFooter},
                           {"rbSubDetail", rbSubDetail}, {"rbColumnHeader", rbColumnHeader},
                           {"rbOverlay", rbOverlay}, {"rbWild", rbWild}, {"rbChild", rbChild}}};
const EnumInfo kUnits{QStringLiteral("TRpUnit"),
                      {{"MM", 0}, {"Inches", 1}, {"Pixels", 2}, {"Characters", 3}, {"Native", 4}}};
const EnumInfo kOptions{QStringLiteral("TReportOptions"),
                        {{"FirstPageHeader", 0}, {"LastPageFooter", 1}, {"Compression", 2}}};
const EnumInfo kOrientations{QStringLiteral("TPrinterOrientation"), {{"poPortrait", 0}, {"poLandscape", 1}}};
const EnumInfo kZoomStates{QStringLiteral("TRpZoomState"),
                           {{"rpZoomToFit", 0}, {"rpZoomToWidth", 1}, {"rpZoomOther", 2}, {"rpZoom100", 3}}};
const EnumInfo kSaveTypes{QStringLiteral("TPrevSaveType"),
                          {{"stTRP", 0}, {"stPDF", 1}, {"stXL", 2}, {"stHTML", 3}, {"stRTF", 4},
                           {"stCSV", 5}, {"stASCII", 6}, {"stXML", 7}}};
const EnumInfo kFormStyles{QStringLiteral("TFormStyle"),
                           {{"fsNormal", 0}, {"fsMDIChild", 1}, {"fsMDIForm", 2}, {"fsStayOnTop", 3}}};
const EnumInfo kWindowStates{QStringLiteral("TWindowState"),
                             {{"wsNormal", 0}, {"wsMinimized", 1}, {"wsMaximized", 2}}};
const EnumInfo kAlignments{QStringLiteral("TAlignment"),
                           {{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}}};
const EnumInfo kExportTypes{QStringLiteral("TExportType"), {{"exptText", 0}, {"exptNumeric", 1}, {"exptFormula", 2}}};
const EnumInfo kWrapStyles{QStringLiteral("TWrapStyle"), {{"BreakOnSpaces", 0}, {"BreakAnywhere", 1}}};
const EnumInfo kBiDiModes{QStringLiteral("TBiDiMode"),
                          {{"bdLeftToRight", 0}, {"bdRightToLeft", 1}, {"bdRightToLeftNoAlign", 2},
                           {"bdRightToLeftReadingOnly", 3}}};
const EnumInfo kShapeTypes{QStringLiteral("TRpShapeType"),
                           {{"rpsRectangle", 0}, {"rpsCircle", 1}, {"rpsVertLine", 2}, {"rpsHorLine", 3},
                            {"rpsTopAndBottom", 4}, {"rpsRightAndLeft", 5}, {"rpsRoundRect", 6},
                            {"rpsLeftDiagonal", 7}, {"rpsRightDiagonal", 8}}};
const EnumInfo kFitModes{QStringLiteral("TFitMode"),
                         {{"fmProportional", 0}, {"fmKeepWidth", 1}, {"fmKeepHeight", 2}, {"fmInsideProp", 3}}};
const EnumInfo kChildOrders{QStringLiteral("TCBPrintOrder"),
                            {{"cboBeforeParent", 0}, {"cboAfterParent", 1}, {"cboBeforeAndAfter", 2}}};

EnumInfo paperNames()
{
    EnumInfo e{QStringLiteral("TRpPaperSize"), {}};
    for (int i = 0; i < kPaperSizeCount; ++i)
        e.items.push_back({papers::valueName(RpPaperSize(i)), i});
    return e;
}

// A report described with a named paper takes that paper: the default
// printer need not be asked for its own first (at start-up that loads the
// printing system).
CustomReport::StartPaper startPaper(const desc::ObjectNode *node)
{
    if (node)
        for (const desc::PropertyNode &p : node->properties)
            if (p.path == QStringList{QStringLiteral("Page"), QStringLiteral("PaperSize")} &&
                p.value.kind() == desc::Value::Kind::Ident &&
                p.value.text().compare(papers::valueName(RpPaperSize::Default), Qt::CaseInsensitive) != 0 &&
                p.value.text().compare(papers::valueName(RpPaperSize::Custom), Qt::CaseInsensitive) != 0)
                return CustomReport::StartPaper::NamedLater;
    return CustomReport::StartPaper::DefaultPrinters;
}

EnumInfo binNames()
{
    EnumInfo e{QStringLiteral("TRpBin"), {}};
    for (int i = 0; i < kBinCount; ++i)
        e.items.push_back({papers::binValueName(RpBin(i)), i});
    return e;
}

int brushStyleOf(const gdi::LogBrush &b)
{
    if (b.style == gdi::BS_NULL)
        return 1;
    if (b.style == gdi::BS_HATCHED)
        return int(b.hatch) + 2;
    return 0;
}

void setBrushStyle(gdi::LogBrush &b, int v)
{
    if (v == 1) {
        b.style = gdi::BS_NULL;
    } else if (v >= 2 && v <= 7) {
        b.style = gdi::BS_HATCHED;
        b.hatch = quint32(v - 2);
    } else {
        b.style = gdi::BS_SOLID;
        b.hatch = 0;
    }
}

int fontStyleMask(const RpFont &f)
{
    return (f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0) | (f.strikeOut ? 8 : 0);
}

void setFontStyleMask(RpFont &f, quint64 m)
{
    f.bold = m & 1;
    f.italic = m & 2;
    f.underline = m & 4;
    f.strikeOut = m & 8;
}

QStringList functionsToList(const CustomReport &r)
{
    QStringList out;
    for (const auto &[name, value] : r.functions())
        out << name + QLatin1Char('=') + value;
    return out;
}

void setFunctionsFromList(CustomReport &r, const QStringList &list)
{
    QList<std::pair<QString, QString>> f;
    for (const QString &item : list) {
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq <= 0)
            throw desc::ValueError(QStringLiteral("a function is written as NAME=expression"));
        f.append({item.left(eq), item.mid(eq + 1)});
    }
    r.setFunctions(f);
}

const QStringList kDefaultFunctions{QStringLiteral("PAGENUMBER=0"), QStringLiteral("COLUMNNUMBER=0"),
                                    QStringLiteral("REPORTTITLE=''")};

template <class W> void beginLoading(W &w) { w.setLoading(true); }

// A component made while reading: it waits for its Loaded step.
template <class T> T *loadingNew()
{
    auto *o = new T(nullptr);
    o->setLoading(true);
    return o;
}

// The master of a group or sub-detail: the report or a sub-detail band.
QObject *controllerMaster(RpBasePanel *v)
{
    if (v && !qobject_cast<CustomReport *>(v) && !qobject_cast<RpSubDetail *>(v))
        throw desc::ValueError(QStringLiteral("a master is the report or a sub-detail band"));
    return v;
}

RpBasePanel *asPanel(QObject *o) { return qobject_cast<RpBasePanel *>(o); }

// One of the properties both label classes publish (RpLabel and RpExpr),
// each registered where the class's own order puts it.
template <class L> void labelProperty(desc::ClassBuilder<L> &b, QLatin1String name)
{
    const QString n = name;
    if (name == QLatin1String("Alignment")) {
        b.enumProperty(n, &L::alignment, &L::setAlignment, kAlignments);
    } else if (name == QLatin1String("AlignToBand")) {
        b.property(n, &L::alignToBand, &L::setAlignToBand);
    } else if (name == QLatin1String("AutoSize")) {
        b.property(n, &L::autoSize, &L::setAutoSize);
    } else if (name == QLatin1String("AutoStretch")) {
        b.property(n, &L::autoStretch, &L::setAutoStretch);
    } else if (name == QLatin1String("BiDiMode")) {
        b.enumProperty(n, &L::biDiMode, &L::setBiDiMode, kBiDiModes, BiDiMode::bdLeftToRight);
    } else if (name == QLatin1String("ParentBiDiMode")) {
        b.property(n, &L::parentBiDiMode, &L::setParentBiDiMode, true);
    } else if (name == QLatin1String("Color")) {
        colorProp(b, n, &L::color, &L::setColor);
    } else if (name == QLatin1String("Font")) {
        b.template subObject<RpFont>(n, &L::fontRef);
        b.storedWhen([](const L &o) { return !o.parentFont(); });
    } else if (name == QLatin1String("ParentFont")) {
        b.property(n, &L::parentFont, &L::setParentFont, true);
    } else if (name == QLatin1String("Transparent")) {
        b.property(n, &L::transparent, &L::setTransparent);
    } else if (name == QLatin1String("WordWrap")) {
        b.property(n, &L::wordWrap, &L::setWordWrap);
    } else if (name == QLatin1String("ExportAs")) {
        b.enumProperty(n, &L::exportAs, &L::setExportAs, kExportTypes);
    } else if (name == QLatin1String("WrapStyle")) {
        b.enumProperty(n, &L::wrapStyle, &L::setWrapStyle, kWrapStyles);
    } else if (name == QLatin1String("XLColumn")) {
        b.property(n, &L::xlColumn, &L::setXLColumn);
    } else if (name == QLatin1String("FontSize")) {
        // The font's point size, applied after loading over Font.Height.
        b.custom(
            n, [](const L &l) { return Value::fromInt(l.font().size()); },
            [](L &l, const Value &v) {
                if (v.kind() != Value::Kind::Int || v.intValue() < 0 || v.intValue() > 100000)
                    throw desc::ValueError(QStringLiteral("FontSize is a whole number of points"));
                l.setStoredFontSize(int(v.intValue()));
            },
            [](const Value &v) {
                if (v.kind() != Value::Kind::Int)
                    throw desc::ValueError(QStringLiteral("FontSize is a whole number of points"));
            });
    } else {
        throw std::logic_error("not a label property: " + n.toStdString());
    }
}

// The properties both data-bound picture controls publish.
template <class D> void dataImageProperties(desc::ClassBuilder<D> &b)
{
    b.property(QStringLiteral("Center"), &D::center, &D::setCenter, true);
    b.property(QStringLiteral("DataField"), &D::dataField, &D::setDataField, QString());
    // The data set by the name it goes by among the form's data sets.
    b.property(QStringLiteral("DataSet"), &D::dataSetName, &D::setDataSetName, QString());
    b.property(QStringLiteral("Stretch"), &D::stretch, &D::setStretch, false);
    colorProp(b, QStringLiteral("Color"), &D::color, &D::setColor, rpcolor::clWhite);
    b.property(QStringLiteral("XLColumn"), &D::xlColumn, &D::setXLColumn, 0);
}

template <class L> void labelProperties(desc::ClassBuilder<L> &b, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        labelProperty(b, QLatin1String(name));
}

} // namespace

void registerReportClasses(desc::Registry &r)
{
    if (r.find(QStringLiteral("TReport")))
        return;

    {
        auto b = r.addClass<RpFont>(QStringLiteral("TFont"));
        b.namedIntProperty(QStringLiteral("Charset"), [](const RpFont &f) { return int(f.charset); },
                           [](RpFont &f, int v) {
                               if (v < 0 || v > 255)
                                   throw desc::ValueError(QStringLiteral("a character set is 0..255"));
                               f.charset = quint8(v);
                           },
                           kCharsets);
        colorProp(b, QStringLiteral("Color"), [](const RpFont &f) { return f.color; },
                  [](RpFont &f, quint32 c) { f.color = c; });
        b.property(QStringLiteral("Height"), [](const RpFont &f) { return f.height; },
                   [](RpFont &f, int h) { f.height = h; });
        b.property(QStringLiteral("Name"), [](const RpFont &f) { return f.name; },
                   [](RpFont &f, const QString &n) { f.name = n; });
        b.setProperty(QStringLiteral("Style"), [](const RpFont &f) { return fontStyleMask(f); },
                      [](RpFont &f, quint64 m) { setFontStyleMask(f, m); }, kFontStyles);
    }
    {
        auto b = r.addClass<gdi::LogPen>(QStringLiteral("TPen"));
        colorProp(b, QStringLiteral("Color"), [](const gdi::LogPen &p) { return p.color; },
                  [](gdi::LogPen &p, quint32 c) { p.color = c; }, rpcolor::clBlack);
        b.enumProperty(QStringLiteral("Style"), [](const gdi::LogPen &p) { return int(p.style & gdi::PS_STYLE_MASK); },
                       [](gdi::LogPen &p, int s) { p.style = quint32(s); }, kPenStyles, 0);
        b.property(QStringLiteral("Width"), [](const gdi::LogPen &p) { return p.width; },
                   [](gdi::LogPen &p, int w) { p.width = w; }, 1);
    }
    {
        auto b = r.addClass<gdi::LogBrush>(QStringLiteral("TBrush"));
        colorProp(b, QStringLiteral("Color"), [](const gdi::LogBrush &p) { return p.color; },
                  [](gdi::LogBrush &p, quint32 c) { p.color = c; }, rpcolor::clWhite);
        b.enumProperty(QStringLiteral("Style"), [](const gdi::LogBrush &p) { return brushStyleOf(p); },
                       [](gdi::LogBrush &p, int s) { setBrushStyle(p, s); }, kBrushStyles, 0);
    }
    {
        auto b = r.addClass<RpFrame>(QStringLiteral("TRpFrame"));
        colorProp(b, QStringLiteral("Color"), &RpFrame::color, &RpFrame::setColor);
        b.property(QStringLiteral("DrawTop"), &RpFrame::drawTop, &RpFrame::setDrawTop);
        b.property(QStringLiteral("DrawBottom"), &RpFrame::drawBottom, &RpFrame::setDrawBottom);
        b.property(QStringLiteral("DrawLeft"), &RpFrame::drawLeft, &RpFrame::setDrawLeft);
        b.property(QStringLiteral("DrawRight"), &RpFrame::drawRight, &RpFrame::setDrawRight);
        b.enumProperty(QStringLiteral("Style"), [](const RpFrame &f) { return int(f.style()); },
                       [](RpFrame &f, int s) { f.setStyle(quint32(s)); }, kPenStyles, 0);
        b.property(QStringLiteral("Width"), &RpFrame::width, &RpFrame::setWidth, 1);
    }
    r.addClass<RpPrintableSize>(QStringLiteral("TRpPrintableSize"))
        .floatList(QStringLiteral("Values"), 4, &RpUnitBase::writeValueList,
                   [](RpPrintableSize &s, const std::vector<double> &v) { s.readValueList(v); });
    r.addClass<RpBandSize>(QStringLiteral("TRpBandSize"))
        .floatList(QStringLiteral("Values"), 2, &RpUnitBase::writeValueList,
                   [](RpBandSize &s, const std::vector<double> &v) { s.readValueList(v); });
    r.addClass<RpPage>(QStringLiteral("TRpPage"))
        .floatList(QStringLiteral("Values"), 7, &RpUnitBase::writeValueList,
                   [](RpPage &s, const std::vector<double> &v) { s.readValueList(v); })
        .enumProperty(QStringLiteral("PaperSize"), &RpPage::paperSize, &RpPage::setPaperSize, paperNames())
        .enumProperty(QStringLiteral("Orientation"), &RpPage::orientation, &RpPage::setOrientation, kOrientations)
        .property(QStringLiteral("Columns"), &RpPage::columns, &RpPage::setColumns)
        .property(QStringLiteral("Ruler"), &RpPage::ruler, &RpPage::setRuler, true)
        .property(QStringLiteral("Continuous"), &RpPage::continuous, &RpPage::setContinuous);
    {
        using S = StoredPrinterSettings;
        auto b = r.addClass<S>(QStringLiteral("TReportPrinterSettings"));
        b.property(QStringLiteral("Copies"), [](const S &s) { return s.copies; }, [](S &s, int v) { s.copies = v; });
        b.enumProperty(QStringLiteral("OutputBin"), [](const S &s) { return s.outputBin; },
                       [](S &s, int v) { s.outputBin = v; }, binNames());
        b.property(QStringLiteral("Duplex"), [](const S &s) { return s.duplex; }, [](S &s, bool v) { s.duplex = v; });
        b.property(QStringLiteral("FirstPage"), [](const S &s) { return s.firstPage; }, [](S &s, int v) { s.firstPage = v; });
        b.property(QStringLiteral("LastPage"), [](const S &s) { return s.lastPage; }, [](S &s, int v) { s.lastPage = v; });
        b.property(QStringLiteral("UseStandardprinter"), [](const S &s) { return s.useStandardprinter; },
                   [](S &s, bool v) { s.useStandardprinter = v; });
        b.property(QStringLiteral("UseCustomBinCode"), [](const S &s) { return s.useCustomBinCode; },
                   [](S &s, bool v) { s.useCustomBinCode = v; });
        b.property(QStringLiteral("CustomBinCode"), [](const S &s) { return s.customBinCode; },
                   [](S &s, int v) { s.customBinCode = v; });
        b.property(QStringLiteral("ExtendedDuplex"), [](const S &s) { return s.extendedDuplex; },
                   [](S &s, int v) { s.extendedDuplex = v; });
        b.property(QStringLiteral("UseCustomPaperCode"), [](const S &s) { return s.useCustomPaperCode; },
                   [](S &s, bool v) { s.useCustomPaperCode = v; });
        b.property(QStringLiteral("CustomPaperCode"), [](const S &s) { return s.customPaperCode; },
                   [](S &s, int v) { s.customPaperCode = v; });
        b.property(QStringLiteral("PrintMetaFile"), [](const S &s) { return s.printMetaFile; },
                   [](S &s, bool v) { s.printMetaFile = v; });
        b.property(QStringLiteral("PrintQuality"), [](const S &s) { return s.printQuality; },
                   [](S &s, int v) { s.printQuality = v; });
        b.property(QStringLiteral("Collate"), [](const S &s) { return s.collate; }, [](S &s, int v) { s.collate = v; });
        b.property(QStringLiteral("ColorOption"), [](const S &s) { return s.colorOption; },
                   [](S &s, int v) { s.colorOption = v; });
    }

    // --- panels -------------------------------------------------------------
    r.addClass<RpBasePanel>(QStringLiteral("TRpBasePanel"))
        .beginLoad(&beginLoading<RpBasePanel>)
        .subObject<RpFrame>(QStringLiteral("Frame"), &RpBasePanel::frame);

    {
        auto b = r.addClass<CustomReport, RpBasePanel>(QStringLiteral("TCustomReport"));
        b.property(QStringLiteral("Left"), &CustomReport::left,
                   [](CustomReport &o, int v) { o.move(v, o.top()); });
        b.property(QStringLiteral("Top"), &CustomReport::top,
                   [](CustomReport &o, int v) { o.move(o.left(), v); });
        b.property(QStringLiteral("Width"), [](const CustomReport &o) { return o.width(); },
                   [](CustomReport &o, int v) { o.applyBounds(o.left(), o.top(), v, o.height()); });
        b.property(QStringLiteral("Height"), [](const CustomReport &o) { return o.height(); },
                   [](CustomReport &o, int v) { o.applyBounds(o.left(), o.top(), o.width(), v); });
        b.subObject<RpFont>(QStringLiteral("Font"), &CustomReport::fontRef);
        b.subObject<RpPage>(QStringLiteral("Page"), &CustomReport::page);
        b.subObject<StoredPrinterSettings>(QStringLiteral("PrinterSettings"), &CustomReport::storedPrinterSettings);
        b.enumProperty(QStringLiteral("Units"), &CustomReport::units, &CustomReport::setUnits, kUnits);
        b.property(QStringLiteral("Zoom"), &CustomReport::zoom, &CustomReport::setZoom);
        b.setProperty(QStringLiteral("Options"), &CustomReport::options, &CustomReport::setOptions, kOptions);
        b.property(QStringLiteral("PrintIfEmpty"), &CustomReport::printIfEmpty, &CustomReport::setPrintIfEmpty, true);
        b.property(QStringLiteral("Tag"), &CustomReport::tag, &CustomReport::setTag, 0);
        b.property(QStringLiteral("SnapToGrid"), &CustomReport::snapToGrid, &CustomReport::setSnapToGrid);
        b.property(QStringLiteral("ShowProgress"), &CustomReport::showProgress, &CustomReport::setShowProgress, true);
        b.property(QStringLiteral("ReportTitle"), &CustomReport::reportTitle, &CustomReport::setReportTitle, QString());
        b.property(QStringLiteral("Description"), &CustomReport::description, &CustomReport::setDescription,
                   QStringList());
        b.property(QStringLiteral("Functions"), &functionsToList, &setFunctionsFromList, kDefaultFunctions);
        colorProp(b, QStringLiteral("BackgroundColor"), &CustomReport::backgroundColor,
                  &CustomReport::setBackgroundColor, rpcolor::clWhite);
        b.property(QStringLiteral("BackImageControl"), &CustomReport::backImageControl,
                   &CustomReport::setBackImageControl, QString());
        b.enumProperty(QStringLiteral("PrevFormStyle"), &CustomReport::prevFormStyle, &CustomReport::setPrevFormStyle,
                       kFormStyles);
        b.enumProperty(QStringLiteral("PreviewInitialState"), &CustomReport::previewInitialState,
                       &CustomReport::setPreviewInitialState, kWindowStates);
        b.enumProperty(QStringLiteral("PrevInitialZoom"), &CustomReport::prevInitialZoom,
                       &CustomReport::setPrevInitialZoom, kZoomStates);
        b.enumProperty(QStringLiteral("PreviewDefaultSaveType"), &CustomReport::previewDefaultSaveType,
                       &CustomReport::setPreviewDefaultSaveType, kSaveTypes);
        b.property(QStringLiteral("PreviewLeft"), &CustomReport::previewLeft, &CustomReport::setPreviewLeft, 100);
        b.property(QStringLiteral("PreviewTop"), &CustomReport::previewTop, &CustomReport::setPreviewTop, 100);
        b.property(QStringLiteral("PreviewWidth"), &CustomReport::previewWidth, &CustomReport::setPreviewWidth, 500);
        b.property(QStringLiteral("PreviewHeight"), &CustomReport::previewHeight, &CustomReport::setPreviewHeight, 500);
        b.property(QStringLiteral("PrevShowThumbs"), &CustomReport::prevShowThumbs, &CustomReport::setPrevShowThumbs, true);
        b.property(QStringLiteral("PrevShowSearch"), &CustomReport::prevShowSearch, &CustomReport::setPrevShowSearch, true);
        b.property(QStringLiteral("PagesInPreview"), &CustomReport::pagesInPreview, &CustomReport::setPagesInPreview, 0);
        b.property(QStringLiteral("StartNewPageInComposite"), &CustomReport::startNewPageInComposite,
                   &CustomReport::setStartNewPageInComposite, false);
        b.property(QStringLiteral("CreateInBGThread"), &CustomReport::createInBGThread,
                   &CustomReport::setCreateInBGThread, false);
        b.children(
            [](CustomReport &o) {
                std::vector<QObject *> kids;
                for (QObject *c : o.children())
                    if (qobject_cast<RpCustomBand *>(c) || qobject_cast<RpPrintable *>(c))
                        kids.push_back(c);
                return kids;
            },
            [](CustomReport &o, desc::ObjectRef c) {
                if (auto *band = c.as<RpCustomBand>())
                    band->setParentPanel(&o);
                else if (auto *p = c.as<RpPrintable>())
                    p->setParentPanel(&o);
                else
                    throw desc::ValueError(QStringLiteral("a report holds bands and printable controls"));
            });
        b.loaded(&CustomReport::loaded);
    }
    r.addClass<Report, CustomReport>(QStringLiteral("TReport"))
        .factory([](const desc::CreateContext &ctx) {
            auto *rep = new Report(qobject_cast<QWidget *>(ctx.owner), startPaper(ctx.node));
            rep->setLoading(true);
            return rep;
        })
        // The data set by the name it goes by among the form's data sets.
        .property(QStringLiteral("DataSet"), &CustomReport::dataSetName, &CustomReport::setDataSetName, QString());

    {
        auto b = r.addClass<RpCustomBand, RpBasePanel>(QStringLiteral("TRpCustomBand"));
        colorProp(b, QStringLiteral("Color"), &RpCustomBand::color, &RpCustomBand::setColor, rpcolor::clBtnFace);
        b.subObject<RpFont>(QStringLiteral("Font"), &RpCustomBand::fontRef);
        b.storedWhen([](const RpCustomBand &o) { return !o.parentFont(); });
        b.property(QStringLiteral("ParentFont"), &RpCustomBand::parentFont, &RpCustomBand::setParentFont, true);
        b.property(QStringLiteral("Enabled"), &RpCustomBand::bandEnabled, &RpCustomBand::setBandEnabled, true);
        b.enumProperty(QStringLiteral("BandType"), &RpCustomBand::bandType, &RpCustomBand::setBandType, kBandTypes);
        b.property(QStringLiteral("TransparentBand"), &RpCustomBand::transparentBand, &RpCustomBand::setTransparentBand);
        b.property(QStringLiteral("AlignToBottom"), &RpCustomBand::alignToBottom, &RpCustomBand::setAlignToBottom);
        b.property(QStringLiteral("ForceNewColumn"), &RpCustomBand::forceNewColumn, &RpCustomBand::setForceNewColumn);
        b.property(QStringLiteral("ForceNewPage"), &RpCustomBand::forceNewPage, &RpCustomBand::setForceNewPage);
        b.property(QStringLiteral("KeepOnOnePage"), &RpCustomBand::keepOnOnePage, &RpCustomBand::setKeepOnOnePage);
        b.property(QStringLiteral("PreCaluculateBandHeight"), &RpCustomBand::preCaluculateBandHeight,
                   &RpCustomBand::setPreCaluculateBandHeight);
        b.reference<RpCustomBand>(QStringLiteral("LinkBand"), &RpCustomBand::linkBand,
                                  [](RpCustomBand &o, RpCustomBand *v) {
                                      if (!o.setLinkBand(v))
                                          throw desc::ValueError(QStringLiteral("Circular linking not allowed"));
                                  });
        b.subObject<RpBandSize>(QStringLiteral("Size"), &RpCustomBand::size);
        b.children([](RpCustomBand &o) { return o.printables(); },
                   [](RpCustomBand &o, desc::ObjectRef c) {
                       auto *p = c.as<RpPrintable>();
                       if (!p)
                           throw desc::ValueError(QStringLiteral("a band holds printable controls"));
                       p->setParentPanel(&o);
                   });
        b.loaded(&RpCustomBand::loaded);
    }
    r.addClass<RpBand, RpCustomBand>(QStringLiteral("TRpBand"))
        .factory([](const desc::CreateContext &) {
            auto *band = new RpBand(nullptr);
            band->setLoading(true);
            return band;
        });
    r.addClass<RpChildBand, RpCustomBand>(QStringLiteral("TRpChildBand"))
        .factory([](const desc::CreateContext &) {
            auto *band = new RpChildBand(nullptr);
            band->setLoading(true);
            return band;
        })
        .reference<RpCustomBand>(QStringLiteral("ParentBand"), &RpChildBand::parentBand,
                                 [](RpChildBand &o, RpCustomBand *v) {
                                     if (!o.setParentBand(v))
                                         throw desc::ValueError(QStringLiteral("Circular linking not allowed"));
                                 })
        .enumProperty(QStringLiteral("PrintOrder"), &RpChildBand::printOrder, &RpChildBand::setPrintOrder,
                      kChildOrders, CBPrintOrder::cboAfterParent);
    r.addClass<RpGroup, RpCustomBand>(QStringLiteral("TRpGroup"))
        .factory([](const desc::CreateContext &) { return loadingNew<RpGroup>(); })
        .property(QStringLiteral("Expression"), &RpGroup::expression, &RpGroup::setExpression, QString())
        .reference<RpCustomBand>(QStringLiteral("FooterBand"), &RpGroup::footerBand, &RpGroup::setFooterBand)
        .reference<RpBasePanel>(QStringLiteral("Master"), [](const RpGroup &o) { return asPanel(o.master()); },
                                [](RpGroup &o, RpBasePanel *v) { o.setMaster(controllerMaster(v)); })
        .property(QStringLiteral("ReprintOnNewPage"), &RpGroup::reprintOnNewPage, &RpGroup::setReprintOnNewPage,
                  false);
    r.addClass<RpSubDetail, RpCustomBand>(QStringLiteral("TRpSubDetail"))
        .factory([](const desc::CreateContext &) { return loadingNew<RpSubDetail>(); })
        .property(QStringLiteral("DataSet"), &RpSubDetail::dataSetName, &RpSubDetail::setDataSetName, QString())
        .reference<RpBasePanel>(QStringLiteral("Master"), [](const RpSubDetail &o) { return asPanel(o.master()); },
                                [](RpSubDetail &o, RpBasePanel *v) {
                                    if (!o.setMaster(controllerMaster(v)))
                                        throw desc::ValueError(QString::fromLatin1(reportstrings::kCircularLinking));
                                })
        .property(QStringLiteral("PrintBefore"), &RpSubDetail::printBefore, &RpSubDetail::setPrintBefore, false)
        .property(QStringLiteral("PrintIfEmpty"), &RpSubDetail::printIfEmpty, &RpSubDetail::setPrintIfEmpty, true)
        .reference<RpCustomBand>(QStringLiteral("HeaderBand"), &RpSubDetail::headerBand, &RpSubDetail::setHeaderBand)
        .reference<RpCustomBand>(QStringLiteral("FooterBand"), &RpSubDetail::footerBand, &RpSubDetail::setFooterBand);

    // --- printables -----------------------------------------------------------
    {
        auto b = r.addClass<RpPrintable>(QStringLiteral("TRpPrintable"));
        b.beginLoad(&beginLoading<RpPrintable>);
        b.subObject<RpPrintableSize>(QStringLiteral("Size"), &RpPrintable::size);
        b.property(QStringLiteral("Enabled"), &RpPrintable::printableEnabled, &RpPrintable::setPrintableEnabled, true);
        b.property(QStringLiteral("Tag"), &RpPrintable::tag, &RpPrintable::setTag, 0);
        b.subObject<RpFrame>(QStringLiteral("Frame"), &RpPrintable::frame);
        b.loaded(&RpPrintable::loaded);
    }
    {
        auto b = r.addClass<RpShape, RpPrintable>(QStringLiteral("TRpShape"));
        b.factory([](const desc::CreateContext &) {
            auto *s = new RpShape(nullptr);
            s->setLoading(true);
            return s;
        });
        b.subObject<gdi::LogBrush>(QStringLiteral("Brush"), &RpShape::brushRef);
        b.subObject<gdi::LogPen>(QStringLiteral("Pen"), &RpShape::penRef);
        b.enumProperty(QStringLiteral("Shape"), &RpShape::shape, &RpShape::setShape, kShapeTypes);
        b.property(QStringLiteral("RoundFactor"), &RpShape::roundFactor, &RpShape::setRoundFactor, 0.0f);
        b.property(QStringLiteral("VertAdjust"), &RpShape::vertAdjust, &RpShape::setVertAdjust);
        b.property(QStringLiteral("XLColumn"), &RpShape::xlColumn, &RpShape::setXLColumn, 0);
    }
    {
        auto b = r.addClass<RpHRule, RpPrintable>(QStringLiteral("TRpHRule"));
        b.factory([](const desc::CreateContext &) {
            auto *s = new RpHRule(nullptr);
            s->setLoading(true);
            return s;
        });
        b.property(QStringLiteral("VertAdjust"), &RpHRule::vertAdjust, &RpHRule::setVertAdjust);
        b.subObject<gdi::LogBrush>(QStringLiteral("Brush"), &RpHRule::brushRef);
        b.subObject<gdi::LogPen>(QStringLiteral("Pen"), &RpHRule::penRef);
    }
    {
        auto b = r.addClass<RpPDFShape, RpPrintable>(QStringLiteral("TRpPDFShape"));
        b.factory([](const desc::CreateContext &) {
            auto *s = new RpPDFShape(nullptr);
            s->setLoading(true);
            return s;
        });
        b.property(QStringLiteral("VertAdjust"), &RpPDFShape::vertAdjust, &RpPDFShape::setVertAdjust);
        b.subObject<gdi::LogBrush>(QStringLiteral("Brush"), &RpPDFShape::brushRef);
        b.enumProperty(QStringLiteral("ShapeType"), &RpPDFShape::shapeType, &RpPDFShape::setShapeType, kShapeTypes);
        b.subObject<gdi::LogPen>(QStringLiteral("Pen"), &RpPDFShape::penRef);
    }
    // A picture is stored as one binary block: its kind's tag, its length
    // and its bytes.
    r.addClass<RpPicture>(QStringLiteral("TPicture"))
        .property(QStringLiteral("Data"), &RpPicture::data, &RpPicture::setData, QByteArray());
    {
        auto b = r.addClass<RpImage, RpPrintable>(QStringLiteral("TRpImage"));
        b.factory([](const desc::CreateContext &) { return loadingNew<RpImage>(); });
        b.property(QStringLiteral("AutoSize"), &RpImage::autoSize, &RpImage::setAutoSize, false);
        b.property(QStringLiteral("Center"), &RpImage::center, &RpImage::setCenter, false);
        b.subObject<RpPicture>(QStringLiteral("Picture"), &RpImage::pictureRef);
        b.property(QStringLiteral("Stretch"), &RpImage::stretch, &RpImage::setStretch, false);
        b.property(QStringLiteral("XLColumn"), &RpImage::xlColumn, &RpImage::setXLColumn, 0);
    }
    {
        auto b = r.addClass<RpDBImage, RpPrintable>(QStringLiteral("TRpDBImage"));
        b.factory([](const desc::CreateContext &) { return loadingNew<RpDBImage>(); });
        dataImageProperties(b);
    }
    {
        auto b = r.addClass<RpGrDBImage, RpPrintable>(QStringLiteral("TRpGrDBImage"));
        b.factory([](const desc::CreateContext &) { return loadingNew<RpGrDBImage>(); });
        dataImageProperties(b);
        b.property(QStringLiteral("ClipImage"), &RpGrDBImage::clipImage, &RpGrDBImage::setClipImage, false);
        b.enumProperty(QStringLiteral("FitMode"), &RpGrDBImage::fitMode, &RpGrDBImage::setFitMode, kFitModes,
                       FitMode::fmProportional);
    }
    {
        auto b = r.addClass<RpLabel, RpPrintable>(QStringLiteral("TRpLabel"));
        b.factory([](const desc::CreateContext &) { return loadingNew<RpLabel>(); });
        b.name(&QObject::objectName, &RpCustomLabel::setName);
        labelProperties(b, {"Alignment", "AlignToBand", "AutoSize", "AutoStretch", "BiDiMode", "ParentBiDiMode"});
        b.property(QStringLiteral("Caption"), &RpLabel::caption, &RpLabel::setCaption);
        b.property(QStringLiteral("Widecaption"), &RpLabel::widecaption, &RpLabel::setWidecaption, QString());
        labelProperties(b, {"Color", "Font", "ParentFont", "Transparent", "WordWrap", "ExportAs", "WrapStyle",
                            "XLColumn", "FontSize"});
    }
    {
        // The caption follows the expression and is not stored.
        auto b = r.addClass<RpExpr, RpPrintable>(QStringLiteral("TRpExpr"));
        b.factory([](const desc::CreateContext &) { return loadingNew<RpExpr>(); });
        labelProperties(b, {"Alignment", "AlignToBand", "AutoSize", "AutoStretch", "BiDiMode", "ParentBiDiMode", "Font",
                            "Color"});
        b.reference<RpBasePanel>(QStringLiteral("Master"), [](const RpExpr &o) { return asPanel(o.master()); },
                                 [](RpExpr &o, RpBasePanel *v) { o.setMaster(v); });
        labelProperty(b, QLatin1String("ParentFont"));
        b.property(QStringLiteral("ResetAfterPrint"), &RpExpr::resetAfterPrint, &RpExpr::setResetAfterPrint, false);
        labelProperties(b, {"Transparent", "WordWrap"});
        b.property(QStringLiteral("Expression"), &RpExpr::expression, &RpExpr::setExpression, QString());
        b.property(QStringLiteral("Mask"), &RpExpr::mask, &RpExpr::setMask, QString());
        labelProperties(b, {"ExportAs", "WrapStyle", "XLColumn", "FontSize"});
    }
}

desc::Registry &reportRegistry()
{
    desc::Registry &r = desc::Registry::global();
    registerReportClasses(r);
    return r;
}
