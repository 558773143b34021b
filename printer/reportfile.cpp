// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the recorded pages as a report file and loading one back, with the
// paper guessed from its first page.
#include "printer/rpprinter.h"

#include "platform/metafile.h"
#include "platform/rperror.h"
#include "printer/papersizes.h"
#include "printer/processwide.h"
#include "platform/units.h"

#include <cstdlib>

void RpPrinter::save(const QString &fileName)
{
    if (m_status == mpFinished)
        m_pageList->saveToFile(fileName);
}

void RpPrinter::adoptLoaded(std::unique_ptr<RpPageList> list)
{
    // Only a file that loaded whole replaces the current pages.
    if (m_status != mpReady)
        cleanup();
    m_pageList = std::move(list);
    m_pageCount = m_pageList->pageCount();
    m_xFactor = m_yFactor = screenFactor();
}

void RpPrinter::guessPaper(bool exact)
{
    if (m_pageCount < 1)
        return;
    // A first page that does not read leaves the paper as it was; the pages
    // are still there to be shown and the error comes with them.
    Metafile mf;
    try {
        const auto bytes = m_pageList->getPage(1);
        if (!bytes)
            return;
        mf = Metafile::fromBytes(*bytes);
    } catch (const RpError &) {
        return;
    }
    // The page's size in pixels of the screen, whatever resolution it was
    // recorded at.
    const double toScreen = units::screenPixelsPerInch() / mf.pixelsPerInchX();
    const double width = mf.width() * toScreen, height = mf.height() * toScreen;
    if (!exact) {
        qint64 a = qint64(width / m_xFactor / 10), b = qint64(height / m_xFactor / 10);
        RpOrientation o = RpOrientation::poPortrait;
        if (b < a) {
            o = RpOrientation::poLandscape;
            std::swap(a, b);
        }
        setOrientation(o);
        qint64 best = 32000;
        RpPaperSize found = RpPaperSize::Default;
        for (int i = int(RpPaperSize::Letter); i <= int(RpPaperSize::ESheet); ++i) {
            const auto mm = papers::sizeMM(RpPaperSize(i));
            const qint64 score = std::llabs(qint64(mm->width()) - a) + std::llabs(qint64(mm->height()) - b);
            if (score < best) {
                best = score;
                found = RpPaperSize(i);
            }
        }
        if (found != RpPaperSize::Default)
            setPaperSize(found);
        return;
    }
    const qint64 a = qint64(width / m_xFactor / 40), b = qint64(height / m_xFactor / 40);
    std::optional<std::pair<RpPaperSize, RpOrientation>> match;
    for (int i = int(RpPaperSize::Letter); i <= int(RpPaperSize::ESheet); ++i) {
        const auto mm = papers::sizeMM(RpPaperSize(i));
        const qint64 w = qint64(mm->width() / 4), l = qint64(mm->height() / 4);
        if (w == a && l == b)
            match = {{RpPaperSize(i), RpOrientation::poPortrait}};
        else if (w == b && l == a)
            match = {{RpPaperSize(i), RpOrientation::poLandscape}};
    }
    if (match) {
        setPaperSize(match->first);
        setOrientation(match->second);
    } else {
        setOrientation(b < a ? RpOrientation::poLandscape : RpOrientation::poPortrait);
    }
}

void RpPrinter::load(const QString &fileName)
{
    auto list = std::make_unique<RpPageList>();
    list->loadFromFile(fileName);
    adoptLoaded(std::move(list));
    guessPaper(false);
    m_status = mpFinished;
    onPrintSetup = nullptr;
    m_reportLoaded = true;
    printerState().reportFileLoaded = true;
}

void RpPrinter::loadFromStream(QIODevice &in)
{
    auto list = std::make_unique<RpPageList>();
    list->loadFromStream(in);
    adoptLoaded(std::move(list));
    guessPaper(true);
    m_status = mpFinished;
    onPrintSetup = nullptr;
    m_reportLoaded = true;
    printerState().reportFileLoaded = true;
}
