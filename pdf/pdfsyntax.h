// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names and strings in PDF syntax.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace pdfsyntax {

// A name token, "/" and the name's UTF-8 bytes, with "#xx" for every byte
// that may not stand in a name as it is (white space, delimiters, "#",
// bytes outside the printable ASCII range). An ASCII name of letters,
// digits and the usual punctuation comes out unchanged.
QByteArray name(const QString &name);
// The bytes of a literal string, without the parentheses: backslashes and
// parentheses escaped, so that the string stays balanced.
QByteArray escapeLiteral(QByteArrayView bytes);
// A text string for the document information: a literal string when every
// character is ASCII or Latin 1 (written as those bytes), else UTF-16 with
// its byte-order mark as a hexadecimal string.
QByteArray textString(const QString &text);
// A hexadecimal string of UTF-16 code units, big-endian, without a mark.
QByteArray utf16Hex(QStringView text);
// The data as a zlib stream, for /FlateDecode.
QByteArray deflate(const QByteArray &data);

// A ToUnicode map: each code of `codeBytes` bytes (1 or 2) to the
// characters it was drawn for, in code order.
QByteArray toUnicodeMap(int codeBytes, const QList<QPair<quint32, QString>> &codes);

} // namespace pdfsyntax
