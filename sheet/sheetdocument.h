// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The worksheets of a list of words as one composite document: each word's
// sheet is a fresh report of the layout of its length, read from the same
// stored description the window reads and filled as the window fills it,
// starting on a page of its own.
//
// A sheet's report is made when the run comes near it and let go once the
// run is past it, so a list of any length holds a few sheets at a time (the
// first stays: the document takes its page from it).
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class CustomReport;
class Report;
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
    // them). Throws RpError when no layout takes the word, or when its
    // layout does not read.
    void addSheet(const QString &word);
    int sheetCount() const { return int(m_words.size()); }
    // Layout `length` as it reads, unfilled: the faces its cells are drawn in.
    const CustomReport &layout(int length);

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
    // Hooks the run's steps: sheets made ahead and let go behind it.
    void follow(const std::function<void(int)> &beforeSheet);
    CustomReport *makeSheet(int index);
    void releaseSheets();

    // The reports live on a widget that is never shown, as the window's live
    // on its tab pages.
    QWidget m_holder;
    QStringList m_words;
    std::map<int, std::unique_ptr<Report>> m_layouts;
    std::map<int, std::unique_ptr<Report>> m_sheets; // made for the run, by index
    int m_running = -1;                              // the sheet the run is on
    std::unique_ptr<RpCompositeReport> m_composite;
};
