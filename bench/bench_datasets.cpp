// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Data sets: what a detail band pays per record. Opening an SQL data set runs
// its query to the end; walking it then reads rows the query keeps. Both
// sources are walked the same way: every record, three fields read.
#include "data/memorytable.h"
#include "data/sqldataset.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kQuery = QStringLiteral("SELECT name, qty, price, day FROM items ORDER BY id");

// A database of `rows` items in a temporary folder, made once per size.
QString database(int rows)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("items-%1.sqlite").arg(rows));
    if (QFile::exists(path))
        return path;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench.maker"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("CREATE TABLE items(id INTEGER PRIMARY KEY, name TEXT, qty INTEGER, price CURRENCY, day DATE)"));
        db.transaction();
        q.prepare(QStringLiteral("INSERT INTO items(name, qty, price, day) VALUES(?, ?, ?, ?)"));
        for (int i = 0; i < rows; ++i) {
            q.addBindValue(QStringLiteral("item %1").arg(i));
            q.addBindValue(i % 17);
            q.addBindValue(1.25 * (i % 5));
            q.addBindValue(QStringLiteral("2026-%1-%2").arg(1 + i % 12, 2, 10, QChar(u'0')).arg(1 + i % 28, 2, 10, QChar(u'0')));
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench.maker"));
    return path;
}

void walk(RpDataSet &ds, benchmark::State &state)
{
    qint64 sum = 0;
    for (ds.first(); !ds.eof(); ds.next()) {
        sum += ds.fieldText(0).size() + ds.fieldValue(1).toLongLong();
        benchmark::DoNotOptimize(ds.fieldText(3));
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.items_processed() + ds.recordCount());
}

// Open, walk, close: a whole detail loop over an SQL query.
void BM_SqlOpenAndWalk(benchmark::State &state)
{
    const QString path = database(int(state.range(0)));
    RpSqlDataSet ds(QStringLiteral("ITEMS"));
    for (auto _ : state) {
        ds.open(path, kQuery);
        walk(ds, state);
        ds.close();
    }
}
BENCHMARK(BM_SqlOpenAndWalk)->Arg(100)->Arg(10000);

// Walking an open SQL data set again (a second pass, or stepping back).
void BM_SqlWalk(benchmark::State &state)
{
    RpSqlDataSet ds(QStringLiteral("ITEMS"));
    ds.open(database(int(state.range(0))), kQuery);
    for (auto _ : state)
        walk(ds, state);
}
BENCHMARK(BM_SqlWalk)->Arg(100)->Arg(10000);

// The same records in a memory table, for comparison.
void BM_MemoryTableWalk(benchmark::State &state)
{
    RpSqlDataSet sql(QStringLiteral("ITEMS"));
    sql.open(database(int(state.range(0))), kQuery);
    RpMemoryTable table(QStringLiteral("ITEMS"));
    for (int f = 0; f < sql.fieldCount(); ++f)
        table.addField(sql.fieldName(f), sql.fieldType(f));
    for (sql.first(); !sql.eof(); sql.next())
        table.appendRecord({sql.fieldValue(0), sql.fieldValue(1), sql.fieldValue(2), sql.fieldValue(3)});
    for (auto _ : state)
        walk(table, state);
}
BENCHMARK(BM_MemoryTableWalk)->Arg(100)->Arg(10000);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
