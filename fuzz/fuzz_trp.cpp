// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a report file from arbitrary bytes and reads every page, forwards,
// backwards and out of order. Any outcome but a clean load or an RpError is
// a fault.
#include "platform/rperror.h"
#include "printer/rppagelist.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RpPageList list;
    try {
        list.loadFromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const RpError &) {
        return 0;
    }
    const int n = list.pageCount();
    auto get = [&](int k) {
        try {
            (void)list.getPage(k);
        } catch (const RpError &) {
        }
    };
    for (int k = 1; k <= n && k <= 64; ++k)
        get(k);
    for (int k = n; k >= 1 && k > n - 64; --k)
        get(k);
    get(n / 2 + 1);
    get(1);
    get(n);
    get(n + 1);
    (void)list.records();
    return 0;
}
