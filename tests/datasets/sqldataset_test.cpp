// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RpSqlDataSet over real SQLite files made by the tests.
#include "sqltestdb.h"

#include "data/memorytable.h"
#include "data/sqldataset.h"
#include "platform/rperror.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTime>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

using sqltest::TempDatabase;

const QStringList kPeopleSchema = {
    QStringLiteral("CREATE TABLE people(id INTEGER PRIMARY KEY, name TEXT, age SMALLINT, height REAL, "
                   "fee CURRENCY, member BOOLEAN, born DATE, seen DATETIME, alarm TIME, photo BLOB, "
                   "note VARCHAR(20), price DECIMAL(8,2), extra)"),
    QStringLiteral("INSERT INTO people VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)"),
};

const QByteArray kPhoto("\x00\xff\x10\n", 4);

QList<QVariantList> peopleRows()
{
    const QVariant null;
    return {
        {1, QStringLiteral("Lin"), 9, 1.25, 12.5, 1, QStringLiteral("2017-03-04"), QStringLiteral("2026-03-04 13:05:09"),
         QStringLiteral("07:30:00"), kPhoto, QStringLiteral("n1"), 3.5, 7},
        {2, QStringLiteral("Wu"), 10, null, null, 0, null, null, null, null, null, null, QStringLiteral("x")},
        {3, QStringLiteral("王小明"), 11, 1.5, 0, 1, QStringLiteral("2016-12-31"), QStringLiteral("2025-01-01T00:00:00"),
         QStringLiteral("23:59:59"), QByteArray(""), QString(""), 2, null},
    };
}

struct People : ::testing::Test {
    TempDatabase db{kPeopleSchema, peopleRows()};
    const QString all = QStringLiteral("SELECT * FROM people ORDER BY id");
};

// The record the data set stands on, as "id eof bof".
std::string state(const RpDataSet &ds)
{
    const int id = ds.findField(QStringLiteral("id"));
    return ds.fieldText(id).toStdString() + (ds.eof() ? " eof" : "") + (ds.bof() ? " bof" : "");
}

// Walking forward and back, over both ends: the trace is spelled out for
// three records, and the memory table walks the same steps the same way on
// three, one and no records. "p" after "n" is the group footer's step back.
TEST_F(People, WalksForwardAndBackAsTheMemoryTableDoes)
{
    const std::string steps = "nnpnnnnpppppnfpnnf";
    const std::string threeRecords = "1 bof|2|3|2|3|3 eof|3 eof|3 eof|2|1|1 bof|1 bof|1 bof|2|1 bof|1 bof|2|3|1 bof|";
    for (int records : {3, 1, 0}) {
        RpMemoryTable table(QStringLiteral("T"));
        table.addField(QStringLiteral("id"), RpFieldType::LargeInt);
        for (int i = 1; i <= records; ++i)
            table.appendRecord({i});
        RpSqlDataSet ds(QStringLiteral("People"));
        ds.open(db.path, QStringLiteral("SELECT id FROM people WHERE id <= %1 ORDER BY id").arg(records));
        ASSERT_EQ(ds.recordCount(), records);
        EXPECT_EQ(ds.fieldCount(), 1); // with or without records
        std::string trace = state(ds) + '|', tableTrace = state(table) + '|';
        for (char step : steps) {
            for (RpDataSet *d : {static_cast<RpDataSet *>(&ds), static_cast<RpDataSet *>(&table)})
                step == 'f' ? d->first() : step == 'n' ? d->next() : d->prior();
            trace += state(ds) + '|';
            tableTrace += state(table) + '|';
        }
        EXPECT_EQ(trace, tableTrace) << records << " records";
        if (records == 3) {
            EXPECT_EQ(trace, threeRecords);
        }
    }
}

TEST_F(People, DeclaredTypesGiveFieldKindsAndValues)
{
    RpSqlDataSet ds(QStringLiteral("People"));
    ds.open(db.path, all);
    auto type = [&](const char *f) { return ds.fieldType(ds.fieldByName(QString::fromLatin1(f))); };
    auto value = [&](const char *f) { return ds.fieldValue(ds.fieldByName(QString::fromLatin1(f))); };
    auto text = [&](const char *f) { return ds.fieldText(ds.fieldByName(QString::fromLatin1(f))).toStdString(); };

    // Declared types reach the fields (sqlitetypes_test has the whole mapping).
    EXPECT_EQ(type("age"), RpFieldType::SmallInt);
    EXPECT_EQ(type("seen"), RpFieldType::DateTime);
    EXPECT_EQ(type("photo"), RpFieldType::Blob);
    EXPECT_EQ(type("extra"), RpFieldType::LargeInt); // no declared type: its first value's

    EXPECT_EQ(value("id"), QVariant(qlonglong(1)));
    EXPECT_EQ(value("age").typeId(), QMetaType::Int);
    EXPECT_EQ(value("age"), QVariant(9));
    EXPECT_EQ(value("height"), QVariant(1.25));
    EXPECT_EQ(value("fee"), QVariant(12.5));
    EXPECT_EQ(value("member"), QVariant(true));
    EXPECT_EQ(value("born"), QVariant(QDate(2017, 3, 4)));
    EXPECT_EQ(value("seen"), QVariant(QDateTime(QDate(2026, 3, 4), QTime(13, 5, 9))));
    EXPECT_EQ(value("alarm"), QVariant(QTime(7, 30)));
    EXPECT_EQ(value("photo"), QVariant(kPhoto));
    EXPECT_EQ(value("price"), QVariant(3.5));
    EXPECT_EQ(text("seen"), "2026-03-04 13:05:09");
    EXPECT_EQ(text("photo"), "00ff100a");

    ds.next(); // nulls, and a value that does not fit its column
    for (const char *f : {"height", "fee", "born", "seen", "alarm", "photo", "note", "price"}) {
        EXPECT_TRUE(value(f).isNull()) << f;
        EXPECT_EQ(text(f), "") << f;
    }
    EXPECT_EQ(value("member"), QVariant(false));
    EXPECT_EQ(value("extra"), QVariant(QStringLiteral("x"))); // text in an integer field: as stored
    EXPECT_EQ(text("extra"), "x");

    ds.next();
    EXPECT_EQ(value("name"), QVariant(QStringLiteral("王小明")));
    EXPECT_EQ(value("seen"), QVariant(QDateTime(QDate(2025, 1, 1), QTime(0, 0))));
    EXPECT_EQ(value("price").typeId(), QMetaType::Double); // stored as the integer 2
    EXPECT_EQ(value("price"), QVariant(2.0));
    EXPECT_EQ(value("photo"), QVariant(QByteArray(""))); // empty, not null
    EXPECT_EQ(value("note"), QVariant(QString("")));
}

TEST_F(People, ComputedColumnsTakeTheKindOfTheirValues)
{
    RpSqlDataSet ds(QStringLiteral("Q"));
    ds.open(db.path, QStringLiteral("SELECT count(*) AS n, avg(age) AS mean, group_concat(name, '/') AS names, "
                                    "NULL AS nil, (SELECT photo FROM people WHERE id = 1) AS pic FROM people"));
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldType(0), RpFieldType::LargeInt);
    EXPECT_EQ(ds.fieldValue(0), QVariant(qlonglong(3)));
    EXPECT_EQ(ds.fieldType(1), RpFieldType::Float);
    EXPECT_EQ(ds.fieldValue(1), QVariant(10.0));
    EXPECT_EQ(ds.fieldType(2), RpFieldType::WideString);
    EXPECT_EQ(ds.fieldText(2), QStringLiteral("Lin/Wu/王小明"));
    EXPECT_EQ(ds.fieldType(3), RpFieldType::WideString); // null throughout: text
    EXPECT_EQ(ds.fieldType(4), RpFieldType::Blob);
    EXPECT_EQ(ds.fieldValue(4), QVariant(kPhoto));

    // The first value that is not null decides, wherever it stands; the
    // count is exact and stepping back reaches the first record again.
    ds.open(db.path, QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 2500) "
                                    "SELECT x, CASE WHEN x = 2500 THEN x * 1.5 END AS late FROM c"));
    EXPECT_EQ(ds.recordCount(), 2500);
    EXPECT_EQ(ds.fieldType(1), RpFieldType::Float);
    EXPECT_TRUE(ds.fieldValue(1).isNull());
    while (!ds.eof())
        ds.next();
    EXPECT_EQ(ds.fieldValue(1), QVariant(3750.0));
    for (int i = 0; i < 2499; ++i)
        ds.prior();
    EXPECT_EQ(ds.fieldValue(0), QVariant(qlonglong(1)));
}

// Error cases: the message names what went wrong, nothing stays open, no
// connection is left behind, and the data set opens again afterwards.
struct Errors : People {
    std::string openError(const QString &file, const QString &query)
    {
        const QStringList before = QSqlDatabase::connectionNames();
        RpSqlDataSet ds(QStringLiteral("Orders"));
        std::string message = "(no error)";
        try {
            ds.open(file, query);
        } catch (const RpError &e) {
            message = e.message().toStdString();
        }
        EXPECT_FALSE(ds.isActive());
        EXPECT_EQ(ds.fieldCount(), 0);
        EXPECT_EQ(ds.recordCount(), 0);
        EXPECT_TRUE(ds.eof() && ds.bof());
        EXPECT_EQ(QSqlDatabase::connectionNames(), before);
        ds.open(db.path, all); // the same object is usable again
        EXPECT_EQ(ds.recordCount(), 3);
        return message;
    }
};

TEST_F(Errors, MissingFileIsNotCreated)
{
    const QString missing = db.dir.filePath(QStringLiteral("missing.sqlite"));
    EXPECT_EQ(openError(missing, all), "Data set Orders: the database file '" + missing.toStdString() + "' does not exist");
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(openError(QString(), all), "Data set Orders: the database file '' does not exist");
    EXPECT_EQ(openError(db.dir.path(), all),
              "Data set Orders: the database file '" + db.dir.path().toStdString() + "' is not a file");
}

TEST_F(Errors, AFileThatIsNotSqlite)
{
    const QString text = db.dir.filePath(QStringLiteral("notes.txt"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 64; ++i)
        f.write("these are notes, not a database\n");
    f.close();
    EXPECT_EQ(openError(text, all),
              "Data set Orders: '" + text.toStdString() + "' is not an SQLite database (file is not a database)");
    EXPECT_EQ(QFileInfo(text).size(), 64 * 32); // untouched
}

TEST_F(Errors, BadQueriesNameTheDriversMessageAndTheQuery)
{
    EXPECT_EQ(openError(db.path, QStringLiteral("SELECT nme FROM people")),
              "Data set Orders: the query failed: no such column: nme\nQuery: SELECT nme FROM people");
    EXPECT_EQ(openError(db.path, QStringLiteral("SELEC * FROM people")),
              "Data set Orders: the query failed: near \"SELEC\": syntax error\nQuery: SELEC * FROM people");
    EXPECT_EQ(openError(db.path, QStringLiteral("SELECT 1; SELECT 2")),
              "Data set Orders: the query failed: Unable to execute multiple statements at a time\n"
              "Query: SELECT 1; SELECT 2");
    EXPECT_EQ(openError(db.path, QStringLiteral("  ")), "Data set Orders: there is no query text");
    EXPECT_EQ(openError(db.path, QStringLiteral("BEGIN")), "Data set Orders: the query gives no fields\nQuery: BEGIN");
    // A failure on a later row shows at open, not in the middle of a report.
    const QString overflow = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 5) "
                                            "SELECT CASE WHEN x < 4 THEN x ELSE abs(-9223372036854775807 - 1) END FROM c");
    EXPECT_EQ(openError(db.path, overflow), "Data set Orders: the query failed: integer overflow\nQuery: " +
                                                overflow.toStdString());
    // The file is only read (openError opens all three records again after).
    EXPECT_EQ(openError(db.path, QStringLiteral("DELETE FROM people")),
              "Data set Orders: the query failed: attempt to write a readonly database\nQuery: DELETE FROM people");
}

TEST_F(Errors, AMissingFieldByName)
{
    RpSqlDataSet ds(QStringLiteral("People"));
    ds.open(db.path, all);
    EXPECT_EQ(ds.findField(QStringLiteral("wings")), -1);
    try {
        ds.fieldByName(QStringLiteral("wings"));
        ADD_FAILURE() << "no error";
    } catch (const RpError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Data set People has no field 'wings'"));
    }
}

TEST_F(People, SeveralDataSetsOpenAtOnce)
{
    TempDatabase other({QStringLiteral("CREATE TABLE pets(owner INTEGER, name TEXT)"),
                        QStringLiteral("INSERT INTO pets VALUES(?, ?)")},
                       {{1, QStringLiteral("Cat")}, {1, QStringLiteral("Fish")}, {3, QStringLiteral("Dog")}});
    const qsizetype before = QSqlDatabase::connectionNames().size();
    {
        RpSqlDataSet people(QStringLiteral("People"));
        RpSqlDataSet pets(QStringLiteral("Pets"));
        RpSqlDataSet again(QStringLiteral("Again")); // a second walk of the same file
        people.open(db.path, all);
        pets.open(other.path, QStringLiteral("SELECT * FROM pets ORDER BY owner, name"));
        again.open(db.path, QStringLiteral("SELECT name FROM people ORDER BY id DESC"));
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before + 3);

        // A master and its detail, walked in step as sub-details are.
        QStringList lines;
        for (people.first(); !people.eof(); people.next()) {
            QStringList names;
            for (pets.first(); !pets.eof(); pets.next()) {
                if (pets.fieldValue(0) == people.fieldValue(0))
                    names.append(pets.fieldText(1));
            }
            lines.append(people.fieldText(1) + u':' + names.join(u','));
            again.next();
        }
        EXPECT_EQ(lines.join(u' '), QStringLiteral("Lin:Cat,Fish Wu: 王小明:Dog"));
        EXPECT_EQ(again.fieldText(0), QStringLiteral("Lin"));

        pets.close();
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before + 2);
        people.prior(); // the others go on
        EXPECT_EQ(people.fieldText(1), QStringLiteral("Wu"));
        people.open(); // opening again replaces the connection
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before + 2);
    }
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before); // removed with the data sets
}

// A data set belongs to the thread that opened it.
TEST_F(People, ThreadRule)
{
    auto onThread = [](const std::function<void()> &work) {
        std::string error;
        std::thread t([&] {
            try {
                work();
            } catch (const RpError &e) {
                error = e.message().toStdString();
            }
        });
        t.join();
        return error;
    };

    // Opened, walked and closed on the generating thread: fine.
    RpSqlDataSet ds(QStringLiteral("People"));
    int walked = 0;
    EXPECT_EQ(onThread([&] {
                  for (ds.open(db.path, all); !ds.eof(); ds.next())
                      ++walked;
                  ds.close();
              }),
              "");
    EXPECT_EQ(walked, 3);

    // Opened here: another thread may not walk or close it.
    ds.open(db.path, all);
    const std::string wrong =
        "Data set People is open on another thread: a data set is walked and closed on the thread that opened it";
    EXPECT_EQ(onThread([&] { ds.next(); }), wrong);
    EXPECT_EQ(onThread([&] { ds.close(); }), wrong);
    ds.next(); // untouched, and usable here
    EXPECT_EQ(state(ds), "2");
    ds.close();
    EXPECT_EQ(onThread([&] { ds.open(db.path, all); ds.close(); }), ""); // closed: any thread may open it
}

} // namespace
