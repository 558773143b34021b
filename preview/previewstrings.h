// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview's own texts, as the windows show them.
namespace previewstrings {

inline constexpr char kThumbNails[] = "ThumbNails";
inline constexpr char kSearchResults[] = "Search Results";
inline constexpr char kSearchText[] = "Search Text";
inline constexpr char kZoomToFit[] = "Zoom to fit";
inline constexpr char kZoomToWidth[] = "Zoom to width";
inline constexpr char kZoom100[] = "100% Size";
inline constexpr char kFirstPage[] = "First page";
inline constexpr char kNextPage[] = "Next page";
inline constexpr char kPreviousPage[] = "Previous page";
inline constexpr char kLastPage[] = "Last page";
inline constexpr char kSelectAPage[] = "Select a Page";
inline constexpr char kSearchForText[] = "Search for Text";
inline constexpr char kPrinterSetup[] = "Printer setup";
inline constexpr char kPrint[] = "Print";
inline constexpr char kSaveReport[] = "Save report";
inline constexpr char kLoadReport[] = "Load report";
inline constexpr char kClosePreview[] = "Close Preview";
inline constexpr char kCaption[] = "Report Preview : ";
inline constexpr char kClose[] = "&Close";
inline constexpr char kCancelTheReport[] = "Cancel the report";
inline constexpr char kCopyPage[] = "Copy page to clipboard";
inline constexpr char kPage[] = "Page";
inline constexpr char kOf[] = "of";
inline constexpr char kNoMatchingText[] = "No matching text";
inline constexpr char kSelectPageFrom[] = "Select a page from 1 to %1";
inline constexpr char kEnterPageNumber[] = "Enter page number";
inline constexpr char kFileDoesNotExist[] = "File does not exist";
inline constexpr char kReportFileKind[] = "Tovrel report file";
inline constexpr char kTrp[] = "TRP";
inline constexpr char kMatchCase[] = "Match case";
inline constexpr char kSearch[] = "Search";
inline constexpr char kCancel[] = "Cancel";

// The standard preview event names (contName).
inline constexpr char kEvCopy[] = "Copy";
inline constexpr char kEvPrint[] = "Print";
inline constexpr char kEvPrintSetup[] = "PrintSetup";
inline constexpr char kEvLoad[] = "Load";
inline constexpr char kEvSave[] = "Save";
inline constexpr char kEvCancel[] = "Cancel";

} // namespace previewstrings
