// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class list example (examples/classlist): its report read from the
// stored description, and its students in an SQLite database made from the
// example's SQL, or made of as many generated students as a test needs.
#include "controls/reportclasses.h"
#include "data/sqldataset.h"
#include "platform/description/description.h"
#include "report/customreport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

namespace example {

inline QString path(const QString &file) { return QStringLiteral(TOVREL_SOURCE_DIR "/examples/classlist/") + file; }

inline QString text(const QString &file)
{
    QFile f(path(file));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path(file).toStdString());
    return QString::fromUtf8(f.readAll());
}

// A database file of the example's students; with `generated` > 0, that
// many generated students instead (20 classes, rows of 8, a note on every
// third, the example's photos in turn with every fifth student left
// without).
class Database {
public:
    explicit Database(int generated = 0)
    {
        m_file = m_dir.filePath(QStringLiteral("classlist.db"));
        const QString conn = QStringLiteral("example.maker");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
            db.setDatabaseName(m_file);
            if (!db.open())
                throw std::runtime_error(db.lastError().text().toStdString());
            QSqlQuery q(db);
            const QString sql = text(QStringLiteral("classlist.sql"));
            for (const QString &statement : sql.split(u';')) {
                QString s;
                for (const QString &line : statement.split(u'\n'))
                    if (!line.trimmed().startsWith(QStringLiteral("--")))
                        s += line + u'\n';
                if (s.trimmed().isEmpty() || (generated > 0 && s.trimmed().startsWith(QStringLiteral("INSERT INTO students"))))
                    continue;
                if (!q.exec(s))
                    throw std::runtime_error(q.lastError().text().toStdString());
            }
            db.transaction();
            q.prepare(QStringLiteral("INSERT INTO students VALUES (?, ?, ?, ?, ?, ?)"));
            for (int i = 0; i < generated; ++i) {
                const int perClass = std::max(1, generated / 20);
                q.addBindValue(QStringLiteral("C%1").arg(i / perClass, 3, 10, QChar(u'0')));
                q.addBindValue((i % perClass) / 8 + 1);
                q.addBindValue(QStringLiteral("Student %1").arg(i + 1, 6, 10, QChar(u'0')));
                q.addBindValue(50 + (i * 37) % 50);
                q.addBindValue(i % 3 == 0 ? QVariant(QStringLiteral("Note on student %1").arg(i + 1)) : QVariant());
                q.addBindValue(i % 5 == 4 ? QVariant() : QVariant(i % 5 + 1));
                if (!q.exec())
                    throw std::runtime_error(q.lastError().text().toStdString());
            }
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(conn);
    }
    const QString &file() const { return m_file; }
    // The report's data set over it: the example's query.
    std::unique_ptr<RpSqlDataSet> dataSet() const
    {
        auto d = std::make_unique<RpSqlDataSet>(QStringLiteral("STUDENTS"));
        d->open(m_file, text(QStringLiteral("query.sql")));
        return d;
    }

private:
    QTemporaryDir m_dir;
    QString m_file;
};

// The example's report, read from its description.
inline std::unique_ptr<Report> report()
{
    desc::Registry &reg = reportRegistry();
    return std::unique_ptr<Report>(desc::readAs<Report>(reg, text(QStringLiteral("classlist.txt")).toUtf8()));
}

} // namespace example
