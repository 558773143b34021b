// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/sqldataset.h"

#include "data/fieldtext.h"
#include "data/sqlitetypes.h"
#include "platform/rperror.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QThread>
#include <sqlite3.h>

namespace {

const char *const kDriver = "QSQLITE";

// The texts this data set reports; %1 names the data set.
const char *const kNoQuery = "%1: there is no query text";
const char *const kNoDriver = "%1: the SQLite driver of Qt SQL (QSQLITE) is not installed";
const char *const kNoFile = "%1: the database file '%2' does not exist";
const char *const kNotAFile = "%1: the database file '%2' is not a file";
const char *const kCannotOpen = "%1: the database file '%2' cannot be opened: %3";
const char *const kNotSqlite = "%1: '%2' is not an SQLite database (%3)";
const char *const kQueryFailed = "%1: the query failed: %2\nQuery: %3";
const char *const kNoFields = "%1: the query gives no fields\nQuery: %2";
const char *const kWrongThread =
    "%1 is open on another thread: a data set is walked and closed on the thread that opened it";

// SQLite's result code for a file that is not a database.
const char *const kNotADatabaseCode = "26";

// The driver's message: SQLite's own text where it has one, else Qt's (the
// driver refuses some statements itself, and SQLite then says all is well).
QString sqlMessage(const QSqlError &e)
{
    const QString db = e.databaseText().trimmed();
    if (!db.isEmpty() && db != QString::fromUtf8(sqlite3_errstr(SQLITE_OK)))
        return db;
    const QString driver = e.driverText().trimmed();
    return driver.isEmpty() ? e.text().trimmed() : driver;
}

} // namespace

RpSqlDataSet::RpSqlDataSet(const QString &name) : m_name(name) {}

RpSqlDataSet::~RpSqlDataSet()
{
    release();
}

QString RpSqlDataSet::connectionName() const
{
    return QString::asprintf("tovrel.sqldataset.%p", static_cast<const void *>(this));
}

void RpSqlDataSet::open(const QString &databaseFile, const QString &queryText)
{
    m_databaseFile = databaseFile;
    m_queryText = queryText;
    open();
}

void RpSqlDataSet::open()
{
    close();
    const QString subject = errorSubject();
    if (m_queryText.trimmed().isEmpty())
        throw RpError(RpErrorKind::BadArgument, QString::fromLatin1(kNoQuery).arg(subject));
    if (!QSqlDatabase::isDriverAvailable(QString::fromLatin1(kDriver)))
        throw RpError(RpErrorKind::NotAvailable, QString::fromLatin1(kNoDriver).arg(subject));
    // SQLite would create a missing file; the check names the fault, and the
    // read-only open below never creates one even if the file goes meanwhile.
    const QFileInfo info(m_databaseFile);
    if (m_databaseFile.isEmpty() || !info.exists())
        throw RpError(RpErrorKind::NotAvailable, QString::fromLatin1(kNoFile).arg(subject, m_databaseFile));
    if (!info.isFile())
        throw RpError(RpErrorKind::BadArgument, QString::fromLatin1(kNotAFile).arg(subject, m_databaseFile));

    m_thread = QThread::currentThread();
    m_db = QSqlDatabase::addDatabase(QString::fromLatin1(kDriver), connectionName());
    m_db.setDatabaseName(m_databaseFile);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!m_db.open())
        fail(QString::fromLatin1(kCannotOpen).arg(subject, m_databaseFile, sqlMessage(m_db.lastError())));
    QSqlError probeError;
    {
        // Opening is lazy: the first read of the schema finds out what the file is.
        QSqlQuery probe(m_db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            probeError = probe.lastError();
    }
    if (probeError.type() != QSqlError::NoError) {
        const char *text = probeError.nativeErrorCode() == QLatin1String(kNotADatabaseCode) ? kNotSqlite : kCannotOpen;
        fail(QString::fromLatin1(text).arg(subject, m_databaseFile, sqlMessage(probeError)));
    }

    m_query = std::make_unique<QSqlQuery>(m_db);
    m_query->setForwardOnly(false); // the query keeps its rows: prior() steps back
    if (!m_query->exec(m_queryText))
        fail(QString::fromLatin1(kQueryFailed).arg(subject, sqlMessage(m_query->lastError()), m_queryText));
    if (m_query->record().count() == 0)
        fail(QString::fromLatin1(kNoFields).arg(subject, m_queryText));
    try {
        readFields();
        first();
    } catch (...) {
        release();
        throw;
    }
}

void RpSqlDataSet::fail(const QString &message)
{
    release();
    throw RpError(RpErrorKind::DamagedInput, message);
}

// The fields, the record count and the kinds of the columns that have no
// declared one. Runs the query to its end.
void RpSqlDataSet::readFields()
{
    const QString subject = errorSubject();
    const QSqlRecord record = m_query->record();
    const int n = record.count();

    // The declared types are SQLite's; the driver hands its statement out.
    QList<std::optional<RpFieldType>> declared(n);
    const QVariant handle = m_query->result()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3_stmt*") == 0) {
        if (sqlite3_stmt *stmt = *static_cast<sqlite3_stmt *const *>(handle.constData())) {
            for (int i = 0; i < n; ++i) {
                if (const char *t = sqlite3_column_decltype(stmt, i))
                    declared[i] = rpSqliteDeclaredFieldType(QString::fromUtf8(t));
            }
        }
    }

    m_recordCount = m_query->last() ? m_query->at() + 1 : 0;
    if (m_query->lastError().type() != QSqlError::NoError)
        fail(QString::fromLatin1(kQueryFailed).arg(subject, sqlMessage(m_query->lastError()), m_queryText));

    QList<int> undecided;
    for (int i = 0; i < n; ++i) {
        if (!declared[i])
            undecided.append(i);
    }
    for (int r = 0; r < m_recordCount && !undecided.isEmpty(); ++r) {
        if (!m_query->seek(r))
            fail(QString::fromLatin1(kQueryFailed).arg(subject, sqlMessage(m_query->lastError()), m_queryText));
        for (qsizetype k = undecided.size() - 1; k >= 0; --k) {
            const int i = undecided.at(k);
            if (!m_query->isNull(i)) {
                declared[i] = rpSqliteValueFieldType(m_query->value(i));
                undecided.removeAt(k);
            }
        }
    }

    m_fields.clear();
    for (int i = 0; i < n; ++i)
        m_fields.append(Field{record.fieldName(i), declared[i].value_or(RpFieldType::WideString)});
}

void RpSqlDataSet::close()
{
    if (m_query)
        checkThread();
    release();
}

void RpSqlDataSet::release() noexcept
{
    const bool hadConnection = m_db.isValid();
    m_query.reset(); // before the connection it runs on
    if (hadConnection) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName());
    }
    m_thread = nullptr;
    m_fields.clear();
    m_values.clear();
    m_recordCount = 0;
    m_current = -1;
    m_eof = m_bof = true;
}

void RpSqlDataSet::checkThread() const
{
    if (QThread::currentThread() != m_thread)
        throw RpError(RpErrorKind::BadArgument, QString::fromLatin1(kWrongThread).arg(errorSubject()));
}

void RpSqlDataSet::moveTo(int record)
{
    if (!m_query->seek(record))
        throw RpError(RpErrorKind::BadArgument, QString::fromLatin1(kQueryFailed)
                          .arg(errorSubject(), sqlMessage(m_query->lastError()), m_queryText));
    m_current = record;
    m_values.resize(m_fields.size());
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const int column = int(i);
        m_values[i] = m_query->isNull(column) ? QVariant()
                                              : rpSqliteFieldValue(m_query->value(column), m_fields.at(i).type);
    }
}

void RpSqlDataSet::first()
{
    if (m_query)
        checkThread();
    m_bof = true;
    if (!m_query || m_recordCount == 0) {
        m_eof = true;
        return;
    }
    moveTo(0);
    m_eof = false;
}

void RpSqlDataSet::next()
{
    if (m_query)
        checkThread();
    if (!m_query || m_current < 0) {
        m_eof = true;
        return;
    }
    if (m_current + 1 < m_recordCount) {
        moveTo(m_current + 1);
        m_bof = false;
    } else {
        m_eof = true; // stays on the last record
    }
}

void RpSqlDataSet::prior()
{
    if (m_query)
        checkThread();
    if (!m_query || m_current < 0) {
        m_bof = true;
        return;
    }
    if (m_current > 0) {
        moveTo(m_current - 1);
        m_eof = false;
    } else {
        m_bof = true; // stays on the first record
    }
}

QString RpSqlDataSet::fieldName(int index) const
{
    return index >= 0 && index < m_fields.size() ? m_fields.at(index).name : QString();
}

RpFieldType RpSqlDataSet::fieldType(int index) const
{
    return index >= 0 && index < m_fields.size() ? m_fields.at(index).type : RpFieldType::Unknown;
}

QVariant RpSqlDataSet::fieldValue(int index) const
{
    return index >= 0 && index < m_values.size() ? m_values.at(index) : QVariant();
}

QString RpSqlDataSet::fieldText(int index) const
{
    return rpFieldText(fieldValue(index), fieldType(index));
}
