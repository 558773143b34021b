// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Words files from outside (tovrel-sheet --words): any bytes must give the
// words or be refused with the lines that are not UTF-8, never fault. Every
// word read is trimmed, not empty, not a comment, and names its line; the
// check of word lengths then takes every word.
#include "sheet/badinput.h"
#include "sheet/wordlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    std::vector<SheetWord> words;
    try {
        words = parseWordsFile(bytes, QStringLiteral("fuzz"));
    } catch (const BadInput &bad) {
        if (bad.lines.isEmpty())
            std::abort();
        return 0;
    }
    int lastLine = 0;
    for (const SheetWord &w : words) {
        if (w.text.isEmpty() || w.text != w.text.trimmed() || w.text.startsWith(u'#'))
            std::abort();
        if (!w.source.startsWith(QLatin1String("fuzz:")))
            std::abort();
        const int line = w.source.mid(5).toInt();
        if (line <= lastLine)
            std::abort();
        lastLine = line;
    }
    const QStringList refused = refusedWords(words);
    if (refused.size() > qsizetype(words.size()))
        std::abort();
    return 0;
}
