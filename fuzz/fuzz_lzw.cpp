// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes arbitrary bytes as an LZW code stream, and codes the bytes and
// decodes them again. A damaged stream must end in lzw::Error; anything else
// (a crash, a hang) is a fault, and so is a stream the coder writes that does
// not decode to the bytes it was made from.
#include "printer/lzw.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Each 12-bit code may stand for up to 4,096 bytes: longer inputs only
    // make the same paths slower.
    if (size > 1 << 16)
        return 0;
    const QByteArrayView in(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray out;
    try {
        lzw::decompress(in, out);
    } catch (const lzw::Error &) {
    }
    const QByteArray coded = lzw::compress(in);
    QByteArray back;
    try {
        back = lzw::decompress(coded);
    } catch (const lzw::Error &e) {
        std::fprintf(stderr, "coded bytes do not decode: %s\n", e.what());
        std::abort();
    }
    if (back != in) {
        std::fprintf(stderr, "coded bytes decode to %lld bytes, not the %zu they came from\n",
                     static_cast<long long>(back.size()), size);
        std::abort();
    }
    return 0;
}
