// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/printerstrings.h"

namespace printerstrings {

const char *const kPaperNames[70] = {
    "Default size",
    "Letter 8 1/2 x 11 in",
    "Letter Small 8 1/2 x 11 in",
    "Tabloid 11 x 17 in",
    "Ledger 17 x 11 in",
    "Legal 8 1/2 x 14 in",
    "Statement 5 1/2 x 8 1/2 in",
    "Executive 7 1/2 x 10 in",
    "A3 297 x 420 mm",
    "A4 210 x 297 mm",
    "A4 Small 210 x 297 mm",
    "A5 148 x 210 mm",
    "B4 250 x 354 mm",
    "B5 182 x 257 mm",
    "Folio 8 1/2 x 13 in",
    "Quarto 215 x 275 mm",
    "10 x 14 in",
    "11 x 17 in",
    "Note 8 1/2 x 11 in",
    "Envelope #9 3 7/8 x 8 7/8",
    "Envelope #10 4 1/8 x 9 1/2",
    "Envelope #11 4 1/2 x 10 3/8",
    "Envelope #12 4 3/4 x 11",
    "Envelope #14 5 x 11 1/2",
    "C sheet 17 x 22 in",
    "D sheet 22 x 34 in",
    "E sheet 34 x 44 in",
    "Envelope DL 110 x 220 mm",
    "Envelope C5 162 x 229 mm",
    "Envelope C3 324 x 458 mm",
    "Envelope C4 229 x 324 mm",
    "Envelope C6 114 x 162 mm",
    "Envelope C65 114 x 229 mm",
    "Envelope B4 (JIS) 250 x 353 mm",
    "Envelope B5 (JIS) 176 x 250 mm",
    "Envelope B6 176 x 125 mm",
    "Envelope 110 x 230 mm",
    "Envelope Monarch 3.875 x 7.5 in",
    "6 3/4 Envelope 3 5/8 x 6 1/2 in",
    "US Std Fanfold 14 7/8 x 11 in",
    "German Std Fanfold 8 1/2 x 12 in",
    "German Legal Fanfold 8 1/2 x 13 in",
    "B4 (ISO) 250 x 353 mm",
    "Japanese Postcard 100 x 148 mm",
    "9 x 11 in",
    "10 x 11 in",
    "15 x 11 in",
    "Envelope Invite 220 x 220 mm",
    "RESERVED--DO NOT USE",
    "RESERVED--DO NOT USE",
    "Letter Extra 9 1/2 x 12 in",
    "Legal Extra 9 1/2 x 15 in",
    "Tabloid Extra 11.69 x 18 in",
    "A4 Extra 236 x 322 mm",
    "Letter Transverse 11 x 8 1/2 in",
    "A4 Transverse 297 z 210 mm",
    "Letter Extra Transverse 12 x 9 1/2 in",
    "SuperASuperAA4 227 x 356 mm",
    "SuperBSuperBA3 305 x 487 mm",
    "Letter Plus 8.5 x 12.69 in",
    "A4 Plus 210 x 330 mm",
    "A5 Transverse 210 x 148 mm",
    "B5 (JIS) Transverse 257 x 182 mm",
    "A3 Extra 322 x 445 mm",
    "A5 Extra 174 x 235 mm",
    "B5 (ISO) Extra 201 x 276 mm",
    "A2 420 x 594 mm",
    "A3 Transverse 420 z 297 mm",
    "A3 Extra Transverse 445 z 322 mm",
    "Custom Size",
};

QString errTempCreate(const QString &dir, const QString &why)
{
    return QStringLiteral("Cannot create a temporary file in %1: %2").arg(dir, why);
}

QString errStreamWrite(const QString &why)
{
    return QStringLiteral("Cannot write the page stream: %1").arg(why);
}

QString errFileOpen(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot open %1: %2").arg(path, why);
}

QString errFileSave(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot save %1: %2").arg(path, why);
}

QString errPrinterGone(const QString &name)
{
    return QStringLiteral("%1: the printer \"%2\" is no longer installed").arg(QString::fromLatin1(kPrinterNotValid), name);
}

QString errBadReportFile(const QString &why)
{
    return QStringLiteral("Not a valid report file: %1").arg(why);
}

QString errNotReportFile()
{
    return QStringLiteral("Not a report file: it does not start with the markers 3 and 50 of a report file");
}

QString errCompressedPage(const QString &why)
{
    return QStringLiteral("Damaged compressed page: %1").arg(why);
}

QString errNotMetafile(const QString &why)
{
    return QStringLiteral("Not an enhanced metafile: %1").arg(why);
}

} // namespace printerstrings
