// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing metafile records. The scanner splits the bytes into
// records and checks every size against the data; decode() turns one record
// into its struct, checking every count and offset against the record.
#include "platform/emf/emfrecords.h"
#include "platform/rperror.h"

#include <QByteArray>
#include <QByteArrayView>

namespace emf {

// One record inside the metafile's bytes.
struct RecordRef {
    quint32 offset = 0;
    quint32 type = 0;
    quint32 size = 0;
    const uchar *data = nullptr; // the record, from its type field on
};

// Walks the records of a metafile. next() returns false after EMR_EOF; it
// throws RpError naming the record and its offset when a record does not fit
// the data, and when the data ends before EMR_EOF.
class RecordScanner {
public:
    explicit RecordScanner(QByteArrayView bytes) : m_bytes(bytes) {}
    bool next(RecordRef &out);
    quint32 offset() const { return m_offset; }

private:
    QByteArrayView m_bytes;
    quint32 m_offset = 0;
    bool m_done = false;
};

// Decodes a record; a record whose type is not in the table becomes
// Unknown. Throws RpError ("Damaged metafile record EMR_x at offset n: ...").
Record decode(const RecordRef &ref);

// The whole record (type, size, fields, trailing data), a multiple of four
// bytes long.
QByteArray encode(const Record &record);

// The decoded fields as "name=value" pairs, for `tovrel-tool emf dump`.
QString dumpFields(const Record &record);

// The error text for a damaged record, and the error itself (damaged
// input, where: the record's type and its offset).
QString damagedMessage(quint32 type, quint32 offset, const QString &why);
RpError damagedError(quint32 type, quint32 offset, const QString &why);

} // namespace emf
