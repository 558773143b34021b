// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// LZW compression as the "/LZWDecode" filter of PDF reads it with its
// default parameters: codes of 9 to 12 bits packed most significant bit
// first, 256 clears the table, 257 ends the data, new strings take 258 on,
// and the width grows one code early (the first 10-bit code is the one
// after string 511 was made). The compressor clears the table once it is
// full. Document filters compress their pictures with it.
#include <QByteArray>
#include <QByteArrayView>

#include <stdexcept>

namespace lzw {

inline constexpr int kClearCode = 256;
inline constexpr int kEndCode = 257;
inline constexpr int kFirstCode = 258;
inline constexpr int kTableSize = 4096;

// The whole of `in` as a code stream: a clear code first, the end code last,
// the last byte padded with zero bits.
QByteArray compress(QByteArrayView in);

// A damaged code stream: "LZWDecode: End of stream" when it stops before
// its end code, "LZWDecode: code>=idxCodeTable" for a code not yet defined.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends the bytes `in` decodes to onto `out`, up to the end code. Throws
// lzw::Error for a damaged stream; `out` then holds what was decoded before
// the damage. A stream that goes on without clearing a full table keeps the
// table as it is.
void decompress(QByteArrayView in, QByteArray &out);
QByteArray decompress(QByteArrayView in);

} // namespace lzw
