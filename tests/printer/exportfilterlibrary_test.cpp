// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The library of export filter classes behind the save dialog's file types.
#include "printer/exportfilterlibrary.h"

#include <gtest/gtest.h>

namespace {

class TextFilter : public RpExportFilter {
public:
    using RpExportFilter::RpExportFilter;
    QString name() const override { return QStringLiteral("Plain text"); }
    QString fileExtension() const override { return QStringLiteral("txt"); }
};

class CsvFilter : public RpExportFilter {
public:
    using RpExportFilter::RpExportFilter;
    QString name() const override { return QStringLiteral("Comma separated"); }
    QString fileExtension() const override { return QStringLiteral("CSV"); }
};

} // namespace

TEST(ExportFilterLibrary, StartsEmptyAndOffersTheReportFileAlone)
{
    EXPECT_TRUE(globalFilterLibrary().filters().empty());
    const RpExportFilterLibrary empty;
    EXPECT_EQ(empty.saveDialogFilterString().count(u'|'), 1) << empty.saveDialogFilterString().toStdString();
    EXPECT_TRUE(empty.saveDialogFilterString().endsWith(QStringLiteral("|*.trp"), Qt::CaseInsensitive));
    EXPECT_EQ(empty.getFilterByExtension(QStringLiteral("txt")), nullptr);
}

TEST(ExportFilterLibrary, AddsOnceFindsByExtensionAndRemovesByName)
{
    RpExportFilterLibrary lib;
    lib.addFilter(RpExportFilterClass::of<TextFilter>(QStringLiteral("TTextFilter")));
    lib.addFilter(RpExportFilterClass::of<TextFilter>(QStringLiteral("ttextfilter"))); // same class
    lib.addFilter(RpExportFilterClass::of<CsvFilter>(QStringLiteral("TCsvFilter")));
    ASSERT_EQ(lib.filters().size(), 2u);

    const RpExportFilterLibraryEntry *csv = lib.getFilterByExtension(QStringLiteral("csv"));
    ASSERT_NE(csv, nullptr);
    EXPECT_EQ(csv->name, QStringLiteral("Comma separated"));
    EXPECT_EQ(csv->exportFilterClass.create(QStringLiteral("/tmp/x.csv"))->filename(), QStringLiteral("/tmp/x.csv"));

    const QString dialog = lib.saveDialogFilterString();
    EXPECT_TRUE(dialog.endsWith(QStringLiteral("|Plain text (*.txt)|*.txt|Comma separated (*.CSV)|*.CSV")))
        << dialog.toStdString();

    lib.removeFilter(RpExportFilterClass::of<TextFilter>(QStringLiteral("Anything")));
    ASSERT_EQ(lib.filters().size(), 1u);
    EXPECT_EQ(lib.filters().front().name, QStringLiteral("Comma separated"));
    lib.removeFilter(RpExportFilterClass::of<TextFilter>(QStringLiteral("TTextFilter"))); // not there: nothing
    EXPECT_EQ(lib.filters().size(), 1u);
}
