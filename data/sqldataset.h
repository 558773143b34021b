// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpSqlDataSet: the records of an SQL query over an SQLite database file,
// read through Qt SQL's SQLite driver.
//
// Opening reads the database read-only (a missing file is an error, never a
// new empty database; a query that writes fails) and runs the query to its
// end, so the record count is exact, a computed column can take its kind
// from its values, and an error on any row shows at open. Walking forward and
// back afterwards reads the rows the query keeps in memory.
//
// Fields take their kinds from the columns' declared types (sqlitetypes.h).
// SQLite may store a value of any class in any column; a value that does not
// fit its field's kind is handed on as stored, and fieldText shows its text.
//
// Threads: a connection of Qt SQL belongs to the thread that opened it. Open,
// walk and close a data set on the thread that generates the report: walking
// or closing an open data set from any other thread raises RpError (reading
// fields does not check). A closed data set holds no connection and may be
// opened on any thread. Destroying an open data set closes it; do that on its
// thread too.
//
// Connections: each data set has a connection of its own, named after the
// data set object (connectionName()), so several can be open at once (a
// report and its sub-details, on one file or on several). close(), a failed
// open and the destructor remove it; nothing half-open is left behind.
#include "data/dataset.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <memory>

class QSqlQuery;
class QThread;

class RpSqlDataSet : public RpDataSet {
public:
    explicit RpSqlDataSet(const QString &name = QString());
    ~RpSqlDataSet() override;
    RpSqlDataSet(const RpSqlDataSet &) = delete;
    RpSqlDataSet &operator=(const RpSqlDataSet &) = delete;

    void setName(const QString &name) { m_name = name; }
    const QString &databaseFile() const { return m_databaseFile; }
    // Takes effect at the next open().
    void setDatabaseFile(const QString &path) { m_databaseFile = path; }
    const QString &queryText() const { return m_queryText; }
    // Takes effect at the next open(). One statement that gives fields.
    void setQueryText(const QString &sql) { m_queryText = sql; }

    // Opens the database file and runs the query; the data set is then at
    // its first record (first()). An open data set is closed first. Raises
    // RpError, naming the data set, when there is no query text, the SQLite
    // driver is not installed, the file does not exist or is no file, it
    // cannot be opened or is not an SQLite database, or the query fails (the
    // message then holds the driver's message and the query) or gives no
    // fields. After an error the data set is closed.
    void open();
    void open(const QString &databaseFile, const QString &queryText);
    // Ends the query and removes the connection; nothing when closed.
    void close();

    // The name of this data set's Qt SQL connection while it is open.
    QString connectionName() const;
    // The record the data set stands on (from 0), or -1 when closed or empty.
    int currentRecord() const { return m_current; }

    // RpDataSet
    QString name() const override { return m_name; }
    bool isActive() const override { return m_query != nullptr; }
    void first() override;
    void next() override;
    void prior() override;
    bool eof() const override { return m_eof; }
    bool bof() const override { return m_bof; }
    int recordCount() const override { return m_recordCount; } // 0 when closed
    int fieldCount() const override { return int(m_fields.size()); }
    QString fieldName(int index) const override;
    RpFieldType fieldType(int index) const override;
    QVariant fieldValue(int index) const override;
    QString fieldText(int index) const override;

private:
    struct Field {
        QString name;
        RpFieldType type;
    };
    [[noreturn]] void fail(const QString &message);
    void readFields();
    void moveTo(int record);
    void checkThread() const;
    void release() noexcept;

    QString m_name;
    QString m_databaseFile;
    QString m_queryText;
    QSqlDatabase m_db;
    std::unique_ptr<QSqlQuery> m_query;
    QThread *m_thread = nullptr;
    QList<Field> m_fields;
    QVariantList m_values; // the current record, each value in its field's form
    int m_recordCount = 0;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
};
