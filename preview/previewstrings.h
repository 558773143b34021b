// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview's own texts, as the windows show them: the source texts of
// their translations (context "Preview"), shown through ui(). The event
// names and the report file's extension are no texts to translate.
#include <QCoreApplication>
#include <QString>

namespace previewstrings {

// A text of the table in the user's language.
inline QString ui(const char *source) { return QCoreApplication::translate("Preview", source); }

inline constexpr char kThumbNails[] = QT_TRANSLATE_NOOP("Preview", "ThumbNails");
inline constexpr char kSearchResults[] = QT_TRANSLATE_NOOP("Preview", "Search Results");
inline constexpr char kSearchText[] = QT_TRANSLATE_NOOP("Preview", "Search Text");
inline constexpr char kZoomToFit[] = QT_TRANSLATE_NOOP("Preview", "Zoom to fit");
inline constexpr char kZoomToWidth[] = QT_TRANSLATE_NOOP("Preview", "Zoom to width");
inline constexpr char kZoom100[] = QT_TRANSLATE_NOOP("Preview", "100% Size");
inline constexpr char kFirstPage[] = QT_TRANSLATE_NOOP("Preview", "First page");
inline constexpr char kNextPage[] = QT_TRANSLATE_NOOP("Preview", "Next page");
inline constexpr char kPreviousPage[] = QT_TRANSLATE_NOOP("Preview", "Previous page");
inline constexpr char kLastPage[] = QT_TRANSLATE_NOOP("Preview", "Last page");
inline constexpr char kSelectAPage[] = QT_TRANSLATE_NOOP("Preview", "Select a Page");
inline constexpr char kSearchForText[] = QT_TRANSLATE_NOOP("Preview", "Search for Text");
inline constexpr char kPrinterSetup[] = QT_TRANSLATE_NOOP("Preview", "Printer setup");
inline constexpr char kPrint[] = QT_TRANSLATE_NOOP("Preview", "Print");
inline constexpr char kSaveReport[] = QT_TRANSLATE_NOOP("Preview", "Save report");
inline constexpr char kLoadReport[] = QT_TRANSLATE_NOOP("Preview", "Load report");
inline constexpr char kClosePreview[] = QT_TRANSLATE_NOOP("Preview", "Close Preview");
inline constexpr char kCaption[] = QT_TRANSLATE_NOOP("Preview", "Report Preview : ");
inline constexpr char kClose[] = QT_TRANSLATE_NOOP("Preview", "&Close");
inline constexpr char kCancelTheReport[] = QT_TRANSLATE_NOOP("Preview", "Cancel the report");
inline constexpr char kCopyPage[] = QT_TRANSLATE_NOOP("Preview", "Copy page to clipboard");
inline constexpr char kPage[] = QT_TRANSLATE_NOOP("Preview", "Page");
inline constexpr char kOf[] = QT_TRANSLATE_NOOP("Preview", "of");
inline constexpr char kNoMatchingText[] = QT_TRANSLATE_NOOP("Preview", "No matching text");
inline constexpr char kSelectPageFrom[] = QT_TRANSLATE_NOOP("Preview", "Select a page from 1 to %1");
inline constexpr char kEnterPageNumber[] = QT_TRANSLATE_NOOP("Preview", "Enter page number");
inline constexpr char kFileDoesNotExist[] = QT_TRANSLATE_NOOP("Preview", "File does not exist");
inline constexpr char kReportFileKind[] = QT_TRANSLATE_NOOP("Preview", "Tovrel report file");
inline constexpr char kTrp[] = "TRP";
inline constexpr char kMatchCase[] = QT_TRANSLATE_NOOP("Preview", "Match case");
inline constexpr char kSearch[] = QT_TRANSLATE_NOOP("Preview", "Search");
inline constexpr char kCancel[] = QT_TRANSLATE_NOOP("Preview", "Cancel");

// The standard preview event names (contName).
inline constexpr char kEvCopy[] = "Copy";
inline constexpr char kEvPrint[] = "Print";
inline constexpr char kEvPrintSetup[] = "PrintSetup";
inline constexpr char kEvLoad[] = "Load";
inline constexpr char kEvSave[] = "Save";
inline constexpr char kEvCancel[] = "Cancel";

} // namespace previewstrings
