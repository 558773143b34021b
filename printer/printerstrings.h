// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer module's own texts, used verbatim.
#include <QString>

namespace printerstrings {

inline constexpr char kReportPrinterNotReady[] = "Report printer not ready";
inline constexpr char kIllegalNewPage[] = "Illegal call to NewPage";
inline constexpr char kPrintingProgress[] = QT_TRANSLATE_NOOP("Progress", "Printing progress");
inline constexpr char kExportingProgress[] = "Exporting Progress";
inline constexpr char kPercentSuffix[] = "% ";
inline constexpr char kCompleted[] = QT_TRANSLATE_NOOP("Progress", " Completed");
inline constexpr char kCancel[] = QT_TRANSLATE_NOOP("Progress", "Cancel");
inline constexpr char kReportFileType[] = "Tovrel report file";
inline constexpr char kReportFileExt[] = "TRP";
inline constexpr char kTempPrefix[] = "TRP";
inline constexpr char kPrinterIndexOutOfRange[] = "Printer index out of range";
inline constexpr char kNoDefaultPrinter[] = "There is no default printer currently selected";
inline constexpr char kPrinterNotValid[] = "Printer selected is not valid";
inline constexpr char kPrintingInProgress[] = "Printing in progress";
inline constexpr char kNotPrinting[] = "Printer is not currently printing";
inline constexpr char kNotSupported[] = "Operation not supported on selected printer";
inline constexpr char kNoMetafileFilter[] = "No document filter is registered for recorded pages";

// Display names of the paper sizes, by ordinal.
extern const char *const kPaperNames[70];

// Errors raised by the page store on files and streams.
QString errTempCreate(const QString &dir, const QString &why);
QString errStreamWrite(const QString &why);
QString errFileOpen(const QString &path, const QString &why);
QString errFileSave(const QString &path, const QString &why);
QString errBadReportFile(const QString &why);
// A file that is no report file at all.
QString errNotReportFile();
QString errCompressedPage(const QString &why);
QString errNotMetafile(const QString &why);
// The chosen printer was removed from the system after it was chosen.
QString errPrinterGone(const QString &name);

} // namespace printerstrings
