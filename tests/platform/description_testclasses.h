// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small family of describable classes shaped like the report's: a report
// widget with a page sub-object, bands holding labels, fonts and frames,
// enumerations, sets, colours, references, a custom `FontSize` and `Values`
// lists. They count themselves so tests can see what a failed read leaves.
#include "platform/description/registry.h"

#include <QWidget>

#include <vector>

namespace desctest {

enum BandType { rbTitle, rbPageHeader, rbDetail, rbPageFooter };
enum ReportOption { FirstPageHeader, LastPageFooter, Compression };
enum Alignment { taLeftJustify, taRightJustify, taCenter };

inline int &liveCount()
{
    static int n = 0;
    return n;
}

// Every object read, in the order its Loaded step ran.
inline std::vector<QObject *> &loadedLog()
{
    static std::vector<QObject *> log;
    return log;
}

struct Frame {
    qint32 color = 0;
    bool drawTop = false;
    bool drawBottom = false;
    qint32 width = 1;
};

struct Font {
    QString name = QStringLiteral("Arial");
    qint32 height = -13;
    qint32 color = qint32(0x80000008); // clWindowText
    quint32 style = 0;
};

struct Page {
    std::vector<double> values{100, 2970, 100, 2100, 100, 100, 0};
    int columns = 1;
    bool ruler = true;
    std::vector<double> getValues() const { return values; }
    void setValues(const std::vector<double> &v) { values = v; }
};

struct PrintableSize {
    std::vector<double> values{20, 20, 20, 20};
    std::vector<double> getValues() const { return values; }
    void setValues(const std::vector<double> &v) { values = v; }
};

struct BandSize {
    std::vector<double> values{20, 40};
    std::vector<double> getValues() const { return values; }
    void setValues(const std::vector<double> &v) { values = v; }
};

class Printable : public QWidget {
public:
    explicit Printable(QWidget *parent = nullptr) : QWidget(parent) { ++liveCount(); }
    ~Printable() override { --liveCount(); }
    Frame frame;
    PrintableSize size;
    int loadedCalls = 0;
    std::size_t siblingsAtLoaded = 0;
};

class Label : public Printable {
public:
    using Printable::Printable;
    QString caption;
    QStringList lines;
    Font font;
    int fontSize = 0;
    Alignment alignment = taLeftJustify;
    bool autoSize = false;
    bool transparent = true;
    QByteArray picture;
};

class Band : public QWidget {
public:
    explicit Band(QWidget *parent = nullptr) : QWidget(parent) { ++liveCount(); }
    ~Band() override { --liveCount(); }
    BandType bandType = rbTitle;
    BandSize size;
    Frame frame;
    Band *linkBand = nullptr;
    Font font;
    bool parentFont = true;
    qint32 color = 0xFFFFFF;
    double expandBy = 0;
    std::vector<Printable *> printables;
    int loadedCalls = 0;
    std::size_t printablesAtLoaded = 0;
};

class Report : public QWidget {
public:
    explicit Report(QWidget *parent = nullptr) : QWidget(parent) { ++liveCount(); }
    ~Report() override { --liveCount(); }
    Page page;
    Frame frame;
    Font font;
    quint32 options = (1u << FirstPageHeader) | (1u << LastPageFooter);
    int zoom = 100;
    qint64 bigNumber = 0;
    QString title;
    std::vector<Band *> bands;
    int loadedCalls = 0;
    std::size_t bandsAtLoaded = 0;
};

// A registry with all of the above; built once.
desc::Registry &registry();

} // namespace desctest
