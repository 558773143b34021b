// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Expressions read the fields of an SQL data set, and blob fields behave the
// same from either source.
#include "sqltestdb.h"

#include "../expr/exprtestutil.h"
#include "data/memorytable.h"
#include "data/sqldataset.h"
#include "platform/rperror.h"

#include <gtest/gtest.h>

namespace {

using sqltest::TempDatabase;

struct SqlExpressions : ::testing::Test {
    SqlExpressions()
    {
        people.open(db.path, QStringLiteral("SELECT * FROM people ORDER BY id"));
        pets.open(db.path, QStringLiteral("SELECT name, owner FROM pets"));
    }
    std::string eval(const QString &text)
    {
        RpEvaluator ev;
        ev.setDataSets({&people, &pets});
        ev.prepare(text);
        return shown(ev.value());
    }
    TempDatabase db{{QStringLiteral("CREATE TABLE people(id INTEGER, name TEXT, age SMALLINT, height REAL, "
                                    "member BOOLEAN, born DATE, seen TIMESTAMP, photo BLOB)"),
                     QStringLiteral("INSERT INTO people VALUES(1, 'Lin', 9, 1.25, 1, '2017-03-04', "
                                    "'2026-03-04T13:05:09.250', x'00ff')"),
                     QStringLiteral("INSERT INTO people VALUES(2, 'Wu', 10, NULL, 0, NULL, 1700000000, NULL)"),
                     QStringLiteral("CREATE TABLE pets(name TEXT, owner INTEGER)"),
                     QStringLiteral("INSERT INTO pets VALUES('Cat', 1)")}};
    RpSqlDataSet people{QStringLiteral("People")};
    RpSqlDataSet pets{QStringLiteral("Pets")};
};

TEST_F(SqlExpressions, FieldKindsBecomeResultKinds)
{
    EXPECT_EQ(eval(QStringLiteral("PEOPLE.NAME + ' ' + STR(AGE)")), "resString Lin 9");
    EXPECT_EQ(eval(QStringLiteral("HEIGHT * 2")), "resDouble 2.5");
    EXPECT_EQ(eval(QStringLiteral("MEMBER")), "resBool True");
    EXPECT_EQ(eval(QStringLiteral("BORN")), "resString 2017-03-04");
    EXPECT_EQ(eval(QStringLiteral("SEEN")), "resString 2026-03-04 13:05:09");
    EXPECT_EQ(eval(QStringLiteral("Pets.Name")), "resString Cat");
    EXPECT_EQ(eval(QStringLiteral("NAME")), "resString Lin"); // the first data set wins
    // Bytes are not a value to compute with: a blob field is an error, as a
    // field of unknown kind is, and says which field.
    EXPECT_EQ(eval(QStringLiteral("PHOTO")), "resError Field photo is of unknown type");
    EXPECT_EQ(eval(QStringLiteral("TYPEOF(PHOTO)")), "resString ERROR");
}

TEST_F(SqlExpressions, ValuesFollowTheRecordAndAggregate)
{
    RpEvaluator ev;
    ev.setDataSets({&people});
    ev.prepare(QStringLiteral("NAME + ' ' + SEEN"));
    EXPECT_EQ(shown(ev.value()), "resString Lin 2026-03-04 13:05:09");
    people.next();
    EXPECT_EQ(shown(ev.value()), "resString Wu 2023-11-14 22:13:20"); // seconds since 1970, UTC
    people.prior();
    EXPECT_EQ(shown(ev.value()), "resString Lin 2026-03-04 13:05:09");

    ev.prepare(QStringLiteral("SUM(AGE)"));
    for (people.first(); !people.eof(); people.next())
        ev.doAggregate();
    EXPECT_EQ(shown(ev.value()), "resInt 19");
}

// A blob field from table text and the same bytes from SQLite: the same kind,
// value, text and expression result.
TEST(BlobFields, SameFromEitherSource)
{
    RpMemoryTable table(QStringLiteral("T"));
    table.loadCsv(QStringLiteral("id:integer,pic:blob\n1,00FF7f0a\n2,\n3,\"\"\n"));
    TempDatabase db({QStringLiteral("CREATE TABLE t(id INTEGER, pic BLOB)"),
                     QStringLiteral("INSERT INTO t VALUES(1, x'00ff7f0a'), (2, NULL), (3, x'')")});
    RpSqlDataSet sql(QStringLiteral("T"));
    sql.open(db.path, QStringLiteral("SELECT * FROM t ORDER BY id"));

    const QByteArray bytes("\x00\xff\x7f\n", 4);
    for (RpDataSet *ds : {static_cast<RpDataSet *>(&table), static_cast<RpDataSet *>(&sql)}) {
        SCOPED_TRACE(ds == &table ? "memory table" : "SQL");
        RpEvaluator ev;
        ev.setDataSets({ds});
        ev.prepare(QStringLiteral("PIC"));
        ds->first();
        EXPECT_EQ(ds->fieldType(1), RpFieldType::Blob);
        EXPECT_EQ(ds->fieldValue(1), QVariant(bytes));
        EXPECT_EQ(ds->fieldText(1), QStringLiteral("00ff7f0a"));
        EXPECT_EQ(shown(ev.value()), "resError Field pic is of unknown type");
        ds->next();
        EXPECT_TRUE(ds->fieldValue(1).isNull());
        EXPECT_EQ(ds->fieldText(1), QString());
        ds->next();
        EXPECT_FALSE(ds->fieldValue(1).isNull());
        EXPECT_EQ(ds->fieldValue(1).toByteArray(), QByteArray());
    }

    // Table text takes hex digits only, two per byte.
    for (const char *bad : {"pic:blob\n0\n", "pic:blob\n0g\n", "pic:blob\n00 ff\n"})
        EXPECT_THROW(table.loadCsv(QString::fromLatin1(bad)), RpError) << bad;
    table.clear();
    table.addField(QStringLiteral("pic"), RpFieldType::Blob);
    table.appendRecord({bytes});
    EXPECT_EQ(table.fieldValue(0), QVariant(bytes)); // bytes are taken as they are
}

} // namespace
