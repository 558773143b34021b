// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ASCII base-85 encoding as the "/ASCII85Decode" filter reads it: four bytes
// (a big-endian number) to five characters from "!", four zero bytes to "z",
// a last group of n < 4 bytes padded with zeros and written as its first
// n + 1 characters, "~>" at the end. A line break (CR LF) follows the group
// that brings a line to 201 counted bytes or more, each group counting its
// bytes and one more.
#include <QByteArray>
#include <QByteArrayView>

namespace ascii85 {

QByteArray encode(QByteArrayView data);

} // namespace ascii85
