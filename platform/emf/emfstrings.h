// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts of the metafile reader, player and recorder.
#include <QString>

namespace emf::strings {

inline QString damagedRecord() { return QStringLiteral("Damaged metafile record %1 at offset %2: %3"); }
inline QString notMetafile() { return QStringLiteral("Not an enhanced metafile: %1"); }
inline QString recordTooShort() { return QStringLiteral("record is shorter than its fields"); }
inline QString recordSizeInvalid() { return QStringLiteral("record size %1 is invalid"); }
inline QString recordBeyondEnd() { return QStringLiteral("record of %1 bytes runs past the end of the data (%2 bytes)"); }
inline QString truncatedHeader() { return QStringLiteral("the data ends inside a record header"); }
inline QString missingEof() { return QStringLiteral("the data ends without an end-of-file record"); }
inline QString offsetOutOfRange() { return QStringLiteral("%1 lies outside the record"); }
inline QString countTooLarge() { return QStringLiteral("count %1 of %2 does not fit the record"); }
inline QString badSignature() { return QStringLiteral("the first record is not a metafile header"); }
inline QString badHeaderSize() { return QStringLiteral("the header is %1 bytes, at least 88 are needed"); }
inline QString tooManyNested() { return QStringLiteral("metafiles nested too deeply"); }
inline QString recorderFinished() { return QStringLiteral("The metafile recorder has already finished"); }

} // namespace emf::strings
