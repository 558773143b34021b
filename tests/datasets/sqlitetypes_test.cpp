// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SQLite's declared types and stored values as field kinds and values; dates
// checked against SQLite's own date functions.
#include "sqltestdb.h"

#include "data/sqldataset.h"
#include "data/sqlitetypes.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

using sqltest::TempDatabase;

TEST(SqliteTypes, DeclaredTypes)
{
    const struct {
        const char *declared;
        std::optional<RpFieldType> kind;
    } cases[] = {
        {"INTEGER", RpFieldType::LargeInt},
        {"UNSIGNED BIG INT", RpFieldType::LargeInt},
        {"SMALLINT", RpFieldType::SmallInt},
        {"tinyint(1)", RpFieldType::SmallInt},
        {"VARCHAR(255)", RpFieldType::WideString},
        {"NATIVE CHARACTER(70)", RpFieldType::WideString},
        {"BLOB", RpFieldType::Blob},
        {"DOUBLE PRECISION", RpFieldType::Float},
        {"DECIMAL(10,5)", RpFieldType::Bcd},
        {"MONEY", RpFieldType::Currency},
        {"BOOLEAN", RpFieldType::Boolean},
        {"TIMESTAMP WITH TIME ZONE", RpFieldType::TimeStamp},
        {" time ", RpFieldType::Time},
        {"", std::nullopt},
        {"JSON", std::nullopt}, // NUMERIC affinity, any value: the values decide
    };
    for (const auto &c : cases)
        EXPECT_EQ(rpSqliteDeclaredFieldType(QString::fromLatin1(c.declared)), c.kind) << c.declared;
}

TEST(SqliteTypes, ValuesOfOtherClasses)
{
    EXPECT_EQ(rpSqliteFieldValue(QVariant(qlonglong(1)), RpFieldType::Boolean), QVariant(true));
    EXPECT_EQ(rpSqliteFieldValue(QVariant(2.5), RpFieldType::LargeInt), QVariant(2.5)); // as stored
    EXPECT_EQ(rpSqliteFieldValue(QVariant(QByteArray("12")), RpFieldType::Float), QVariant(QByteArray("12")));
    // Text and blobs meet as UTF-8 (not as hex digits, as in table text).
    EXPECT_EQ(rpSqliteFieldValue(QVariant(QByteArray("h\xc3\xa9")), RpFieldType::WideString), QVariant(QStringLiteral("hé")));
    EXPECT_EQ(rpSqliteFieldValue(QVariant(QStringLiteral("ab")), RpFieldType::Blob), QVariant(QByteArray("ab")));
}

// Every form SQLite's date functions read, in DATE, TIME and DATETIME
// columns: the field's text equals what SQLite's date(), time() and
// datetime() make of the same stored value.
TEST(SqliteTypes, DatesReadAsSqliteReadsThem)
{
    const QVariantList stored = {
        QStringLiteral("2026-03-04"),
        QStringLiteral("2026-03-04 13:05"),
        QStringLiteral("2026-03-04 13:05:09"),
        QStringLiteral("2026-03-04T13:05:09.999"),
        QStringLiteral("2026-03-04 23:30:00+02:00"),
        QStringLiteral("2026-03-04T01:30:00-03:30"),
        QStringLiteral("2026-03-04 13:05:09Z"),
        QStringLiteral("1999-12-31T23:59:59"),
        QStringLiteral("13:05:09"),
        2460000.5,             // a Julian day number
        2460000.25,            // ... at 18:00
        qlonglong(2451545),    // ... a whole one, at noon
        qlonglong(1700000000), // seconds since 1970
        1700000000.75,
        qlonglong(-86400),
        qlonglong(6000000), // past the Julian range: seconds
    };
    QList<QVariantList> rows;
    for (const QVariant &v : stored)
        rows.append({v, v, v});
    TempDatabase db({QStringLiteral("CREATE TABLE d(d DATE, t TIME, dt DATETIME)"),
                     QStringLiteral("INSERT INTO d VALUES(?, ?, ?)")},
                    rows);
    RpSqlDataSet ds(QStringLiteral("D"));
    ds.open(db.path, QStringLiteral("SELECT d, t, dt, date(d, 'auto'), time(t, 'auto'), datetime(dt, 'auto'), "
                                    "typeof(d) FROM d ORDER BY rowid"));
    ASSERT_EQ(ds.recordCount(), stored.size());
    int row = 0;
    for (ds.first(); !ds.eof(); ds.next(), ++row) {
        SCOPED_TRACE(stored.at(row).toString().toStdString() + " stored as " + ds.fieldText(6).toStdString());
        ASSERT_FALSE(ds.fieldValue(5).isNull()); // SQLite reads every one of them
        EXPECT_EQ(ds.fieldText(0), ds.fieldText(3));
        EXPECT_EQ(ds.fieldText(1), ds.fieldText(4));
        EXPECT_EQ(ds.fieldText(2), ds.fieldText(5));
        EXPECT_EQ(ds.fieldValue(0).typeId(), QMetaType::QDate);
        EXPECT_EQ(ds.fieldValue(1).typeId(), QMetaType::QTime);
        EXPECT_EQ(ds.fieldValue(2).typeId(), QMetaType::QDateTime);
    }
}

} // namespace
