// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recorded pages of a document written out: as a report file, or
// played with the metafile player into PNG pictures.
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class Metafile;
class RpPrinter;

// Saves the pages as a report file (written under a temporary name and
// renamed when complete). Throws RpError when it cannot be written.
void writeReportFile(RpPrinter &printer, const QString &output);

// The pictures of `pages` pages for `output` ("OUT.png"): OUT.png for one
// page, OUT-1.png, OUT-2.png, ... for more.
QStringList pngPageNames(const QString &output, int pages);

// One page played at `dpi` onto a white picture the size of the paper.
// Throws RpError when the picture would be too large.
QImage playPage(const Metafile &page, int dpi);

// Plays every page at `dpi` and writes the pictures, all renamed into place
// together at the end; `beforePage` is told the index (from 0) of each page.
// Returns the files written. Throws RpError when one cannot be written.
QStringList writePngPages(RpPrinter &printer, const QString &output, int dpi,
                          const std::function<void(int)> &beforePage = {});
