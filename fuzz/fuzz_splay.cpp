// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-page splay coders against the byte-at-a-time coder, which walks
// the tree the plain way: the same bytes must code to the same bits, and any
// coded bytes must decode to the same bytes or fail the same way.
#include "platform/rperror.h"
#include "printer/rpcompress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes pick how many bytes to decode from the rest.
    const qint64 count = qint64(data[0]) | qint64(data[1]) << 8;
    const QByteArrayView rest(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    QByteArray slow;
    {
        RpCompress c(&slow);
        for (char ch : rest)
            c.compress(quint8(ch));
    }
    const QByteArray fast = RpCompress::compressBytes(rest);
    if (fast != slow || RpCompress::expandBytes(fast, rest.size()) != rest)
        std::abort();

    QByteArray byByte;
    bool damaged = false;
    try {
        RpCompress r(rest);
        quint8 b = 0;
        while (byByte.size() < count && r.expand(b))
            byByte.append(char(b));
    } catch (const RpError &) {
        damaged = true;
    }
    bool failed = false;
    QByteArray whole;
    try {
        whole = RpCompress::expandBytes(rest, count);
    } catch (const RpError &) {
        failed = true;
    }
    // The byte reader stops where the coded bytes run out; the whole-page
    // reader refuses such a count (or one too large for the coded bytes).
    // Bits leading to the uncoded leaf are refused by both.
    if (failed ? (!damaged && byByte.size() == count) : (damaged || whole != byByte))
        std::abort();
    return 0;
}
