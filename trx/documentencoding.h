// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of a text document in one of the encodings a document-writing
// filter offers: its lines, each ended by CR LF, empty lines left out.
//
// - UnicodeEncoding, BigEndianUnicodeEncoding: UTF-16 little or big
//   endian, with a byte-order mark;
// - UTF8Encoding: UTF-8 with a byte-order mark;
// - UTF7Encoding: UTF-7, no mark; the optional direct characters (among
//   them < > & and the double quote) are written as they are, so markup
//   stays readable;
// - ASCIIEncoding: every character beyond ASCII becomes a numeric
//   character reference (&#x73ED;): the text survives, read back by any XML
//   reader, instead of turning into question marks;
// - DefaultEncoding, AnsiEncoding: the system's encoding (UTF-8 here), no mark.
#include "printer/abstractexportfilter.h"

#include <QByteArray>
#include <QStringList>

namespace trxencoding {

QByteArray encodeLines(const QStringList &lines, TextEncoding encoding);

// RFC 2152 UTF-7 of `text`.
QByteArray toUtf7(const QString &text);

// The name of an encoding as written in settings and messages ("UTF8Encoding").
QString name(TextEncoding encoding);
// The encoding of that name (any letter case); false when none has it.
bool fromName(const QString &name, TextEncoding &encoding);

} // namespace trxencoding
