// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpError: the report engine's exception. It says what kind of failure it
// is and where it happened, so that callers decide by the kind and show the
// message; the message comes from a module's strings table and reaches the
// caller of the entry point unchanged.
//
//   try {
//       report.prepare();
//   } catch (const RpError &e) {
//       if (e.kind() == RpErrorKind::DiskFull)
//           ...; // e.message() says which file, e.where().file names it
//   }
#include <QString>
#include <QtGlobal>
#include <stdexcept>

enum class RpErrorKind {
    // Input read from outside (a report file, a metafile, a description, a
    // table, an expression) is not what it should be.
    DamagedInput,
    // The system refused a read or a write; reason() is what it said.
    InputOutput,
    // A write found no room (a full disk, a file grown to its limit).
    DiskFull,
    // The user or the program cancelled the work.
    Cancelled,
    // What is asked for is not there: no printer, no filter, no page, no
    // data set, a run not ready for the call.
    NotAvailable,
    // A value or a call the engine cannot take (a setting out of range, a
    // call in the wrong state, a report that cannot be laid out).
    BadArgument,
    // The printer or its job failed.
    Printer,
    // The program contradicted itself: a fault to be mended in its code.
    Internal,
};

// Where an error happened; fields that do not apply stay empty or -1.
struct RpErrorWhere {
    // The file read or written.
    QString file;
    // The numbered unit of the input the error lies in: a page of a report
    // file, a row of a table, a line of a description, a metafile record's
    // type.
    qint64 record = -1;
    // The byte offset (or column) in the input.
    qint64 offset = -1;
    // The name of the control, band or data set concerned.
    QString control;
};

class RpError : public std::runtime_error {
public:
    RpError(RpErrorKind kind, const QString &message, RpErrorWhere where = {}, const QString &reason = QString())
        : std::runtime_error(message.toStdString())
        , m_kind(kind)
        , m_message(message)
        , m_where(std::move(where))
        , m_reason(reason)
    {
    }

    // A failed read or write: no room (ENOSPC, EFBIG, EDQUOT, or, without
    // the number, the system's words for one of them in `reason`) is
    // DiskFull, anything else InputOutput. `systemError` is errno when known
    // (0 otherwise); `reason` what the system said.
    static RpError io(const QString &message, const QString &file, const QString &reason, int systemError = 0);

    RpErrorKind kind() const noexcept { return m_kind; }
    const QString &message() const noexcept { return m_message; }
    const RpErrorWhere &where() const noexcept { return m_where; }
    // What the system said of a failed read or write; empty otherwise.
    const QString &reason() const noexcept { return m_reason; }

private:
    RpErrorKind m_kind;
    QString m_message;
    RpErrorWhere m_where;
    QString m_reason;
};
