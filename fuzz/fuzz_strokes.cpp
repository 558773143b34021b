// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stroke data from outside: a character's JSON file (as a stroke-data folder
// holds them) must read or be refused, and what reads must go through the
// stored form and back unchanged (at its half-unit resolution). The same
// bytes taken as a stored record or a whole pack must read without fault.
#include "platform/faces/strokecodec.h"
#include "platform/faces/strokejson.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const char> bytes(reinterpret_cast<const char *>(data), size);
    (void)strokes::decodeRecord(bytes);
    const strokes::PackView pack(bytes);
    for (int i = 0; i < pack.count() && i < 64; ++i)
        (void)pack.find(pack.codePointAt(i));

    auto parsed = strokes::parseCharJson(QByteArray(bytes.data(), qsizetype(bytes.size())));
    if (auto *c = std::get_if<strokes::CharStrokes>(&parsed)) {
        const QByteArray rec = strokes::encodeRecord(*c);
        const auto back = strokes::decodeRecord({rec.constData(), size_t(rec.size())});
        if (!back || back->strokes.size() != c->strokes.size())
            std::abort();
        for (size_t i = 0; i < c->strokes.size(); ++i) {
            const auto &a = c->strokes[i].outline.points, &b = back->strokes[i].outline.points;
            if (a.size() != b.size() || back->strokes[i].outline.ops != c->strokes[i].outline.ops)
                std::abort();
            for (size_t k = 0; k < a.size(); ++k)
                if (std::abs(a[k].x() - b[k].x()) > 0.25 + 1e-9 || std::abs(a[k].y() - b[k].y()) > 0.25 + 1e-9)
                    std::abort();
        }
    }
    return 0;
}
