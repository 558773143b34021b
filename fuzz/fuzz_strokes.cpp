// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stroke data from outside: a character's JSON file (as a stroke-data folder
// holds them) must read or be refused, and what reads must go through the
// stored form and back unchanged (at its half-unit resolution). The same
// bytes taken as a stored record, or as a file of one character a line, must
// read without fault.
#include "faces/strokecodec.h"
#include "faces/strokejson.h"
#include "faces/strokelines.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const char> bytes(reinterpret_cast<const char *>(data), size);
    (void)strokes::decodeRecord(bytes);
    const auto lines = strokes::StrokeLines::fromBytes(QByteArray(bytes.data(), qsizetype(bytes.size())));
    int asked = 0;
    for (char32_t ch : lines->characters())
        if (++asked <= 64)
            (void)lines->find(ch);

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
