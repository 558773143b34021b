// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the data set tests: SQLite databases made by the test itself
// with Qt SQL, in a temporary folder.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QVariant &v, std::ostream *os)
{
    *os << (v.isValid() ? v.typeName() : "invalid") << '(' << (v.isNull() ? std::string("null") : v.toString().toStdString())
        << ')';
}

namespace sqltest {

// Writes a database file: runs each statement; a statement with '?' takes
// the next row of `rows` as its bound values, once per row.
inline void makeDatabase(const QString &path, const QStringList &statements,
                         const QList<QVariantList> &rows = {})
{
    const QString conn = QStringLiteral("sqltest.maker");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        for (const QString &s : statements) {
            QSqlQuery q(db);
            if (s.contains(u'?')) {
                for (const QVariantList &row : rows) {
                    ASSERT_TRUE(q.prepare(s)) << q.lastError().text().toStdString();
                    for (const QVariant &v : row)
                        q.addBindValue(v);
                    ASSERT_TRUE(q.exec()) << s.toStdString() << ": " << q.lastError().text().toStdString();
                }
            } else {
                ASSERT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
}

// A temporary folder with one database file in it.
struct TempDatabase {
    explicit TempDatabase(const QStringList &statements, const QList<QVariantList> &rows = {})
    {
        EXPECT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("test.sqlite"));
        makeDatabase(path, statements, rows);
    }
    QTemporaryDir dir;
    QString path;
};

} // namespace sqltest
