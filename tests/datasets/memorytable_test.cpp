// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CSV tables that are not right are refused as damaged input naming the row,
// and the table keeps what it held.
#include "data/memorytable.h"
#include "platform/rperror.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryTable, MalformedTextIsRefusedNamingItsRowAndTheTableKeepsItsRecords)
{
    const struct {
        const char *text;
        qint64 row;
    } cases[] = {
        {"", 1},
        {"a:nosuchtype\n1\n", 1},
        {"a,,b\n", 1},
        {"a,b\n1,2\n3,4,5\n", 3},
        {"a:integer\n1\nx\n", 3},
        {"a\n\"open\n", 2},
        {"a\n\"closed\"x\n", 2},
    };
    for (const auto &c : cases) {
        RpMemoryTable t(QStringLiteral("T"));
        t.loadCsv(QStringLiteral("kept\nyes\n"));
        try {
            t.loadCsv(QString::fromUtf8(c.text));
            ADD_FAILURE() << "read: " << c.text;
        } catch (const RpError &e) {
            EXPECT_EQ(e.kind(), RpErrorKind::DamagedInput) << c.text;
            EXPECT_EQ(e.where().record, c.row) << c.text << ": " << e.message().toStdString();
        }
        ASSERT_EQ(t.fieldCount(), 1) << c.text;
        EXPECT_EQ(t.fieldName(0), QStringLiteral("kept"));
        EXPECT_EQ(t.recordCount(), 1);
    }
}

} // namespace
