// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The worksheets of a list of words as one composite document: each word's
// sheet is a fresh report of the layout of its length, read from the same
// stored description the window reads and filled as the window fills it,
// starting on a page of its own.
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class CustomReport;
class RpCompositeReport;
class RpExportFilter;
class RpPrinter;

class SheetDocument {
public:
    SheetDocument();
    ~SheetDocument();
    SheetDocument(const SheetDocument &) = delete;
    SheetDocument &operator=(const SheetDocument &) = delete;

    // Adds the sheet of `word` (one to four characters as the window counts
    // them) and returns its report. Throws RpError when the layout does not
    // read.
    CustomReport &addSheet(const QString &word);
    int sheetCount() const { return int(m_sheets.size()); }

    // Records the pages of every sheet, in order; `beforeSheet` is told the
    // index (from 0) of each sheet as it starts. Throws RpError when the
    // document does not come out whole.
    void generate(const std::function<void(int)> &beforeSheet = {});

    // Writes every sheet, in order, into a PDF document at `output` (the
    // sheets run again into the PDF document filter; nothing is recorded).
    // Throws RpError when the document cannot be made or written.
    void exportPdf(const QString &output, const std::function<void(int)> &beforeSheet = {});
    // Likewise into an XML report document.
    void exportTrx(const QString &output, const std::function<void(int)> &beforeSheet = {});

    // The recorded pages, after generate().
    RpPrinter &printer() const;
    int pageCount() const;

private:
    void exportThrough(RpExportFilter &filter, const std::function<void(int)> &beforeSheet);

    // The reports live on a widget that is never shown, as the window's live
    // on its tab pages.
    QWidget m_holder;
    std::vector<CustomReport *> m_sheets;
    std::unique_ptr<RpCompositeReport> m_composite;
};
