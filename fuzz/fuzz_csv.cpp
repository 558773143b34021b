// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CSV tables from outside (tovrel-tool report run --table): any bytes must
// read or be refused with the engine's error, and a refused table keeps
// what it held. What reads must be walked to its end and back, every value
// taken as text and as a value, and read the same a second time.
#include "data/memorytable.h"
#include "platform/rperror.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Every record forward and back, every field as text and as a value.
QStringList walk(RpMemoryTable &t)
{
    QStringList seen;
    for (t.first(); !t.eof(); t.next())
        for (int f = 0; f < t.fieldCount(); ++f) {
            seen << t.fieldText(f);
            (void)t.fieldValue(f);
        }
    int back = 0;
    for (t.prior(); !t.bof() && back <= t.recordCount(); t.prior())
        ++back;
    if (back > t.recordCount())
        std::abort();
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    RpMemoryTable table(QStringLiteral("T"));
    table.addField(QStringLiteral("KEPT"), RpFieldType::Integer);
    table.appendRecord({7});
    try {
        table.loadCsv(text);
    } catch (const RpError &) {
        // Refused: the table is as it was.
        if (table.fieldCount() != 1 || table.recordCount() != 1 || table.fieldName(0) != QLatin1String("KEPT"))
            std::abort();
        return 0;
    }
    if (table.fieldCount() < 1)
        std::abort();
    for (int f = 0; f < table.fieldCount(); ++f)
        if (table.fieldName(f).trimmed().isEmpty())
            std::abort();
    const QStringList first = walk(table);
    RpMemoryTable again(QStringLiteral("T"));
    again.loadCsv(text);
    if (walk(again) != first || again.recordCount() != table.recordCount())
        std::abort();
    return 0;
}
