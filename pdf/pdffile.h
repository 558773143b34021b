// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of a PDF file as they are written, with the byte offset of
// every object for the cross-reference table. Objects are numbered 1, 2, 3,
// ... as they are begun, or ahead of time (reserve) for an object written
// later, such as a page tree that lists every page; every line ends with
// CR LF.
//
// Without a sink the bytes stay in memory (bytes()). With one, they are
// handed to it in pieces as they come, so a document of any length takes
// the memory of one piece; a sink that takes fewer bytes than it is given
// is an RpError naming its error.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class QIODevice;

class PdfFile {
public:
    PdfFile() = default;
    // Writes from the sink's current position on; the sink stays the
    // caller's and must be open for writing. `what` names it in errors.
    PdfFile(QIODevice *sink, QString what) : m_sink(sink), m_what(std::move(what)) {}
    PdfFile(const PdfFile &) = delete;
    PdfFile &operator=(const PdfFile &) = delete;

    // Bytes written so far, those handed to the sink included.
    qint64 offset() const { return m_handed + m_out.size(); }
    // A number for an object that is begun later with beginObject(n).
    int reserveObject()
    {
        m_offsets.append(-1);
        return int(m_offsets.size());
    }
    // Takes the next number, records the offset and writes "N 0 obj".
    int beginObject() { return beginObject(reserveObject()); }
    // Begins the reserved object `n` here.
    int beginObject(int n)
    {
        m_offsets[n - 1] = offset();
        line(QByteArray::number(n) + " 0 obj");
        return n;
    }
    void endObject() { line("endobj"); }
    void line(QByteArrayView l)
    {
        m_out.append(l);
        m_out.append("\r\n");
        if (m_sink && m_out.size() >= kPiece)
            flush();
    }
    void raw(QByteArrayView b)
    {
        m_out.append(b);
        if (m_sink && m_out.size() >= kPiece)
            flush();
    }
    // A whole stream object: its dictionary with /Length (and `extra`
    // entries), the data, and the end.
    int streamObject(QByteArrayView data, QByteArrayView extra = {})
    {
        const int n = beginObject();
        QByteArray dict = "<< /Length " + QByteArray::number(data.size());
        if (!extra.isEmpty())
            dict += ' ' + extra.toByteArray();
        line(dict + " >>");
        line("stream");
        raw(data);
        line("");
        line("endstream");
        endObject();
        return n;
    }
    // Numbers given so far (reserved ones included): the next object is
    // objectCount() + 1.
    int objectCount() const { return int(m_offsets.size()); }
    // By number from 1; -1 for a reserved object not yet begun.
    const QList<qint64> &offsets() const { return m_offsets; }

    // Writes `bytes` over those written at `at` (a header line that turns out
    // to need a later version). A sink must be able to seek.
    void overwrite(qint64 at, QByteArrayView bytes);
    // Hands what is kept to the sink.
    void flush();
    // The document, without a sink.
    QByteArray &bytes() { return m_out; }

private:
    static constexpr qsizetype kPiece = 256 * 1024;
    QIODevice *m_sink = nullptr;
    QString m_what;
    QByteArray m_out; // written, not yet handed to the sink
    qint64 m_handed = 0;
    QList<qint64> m_offsets;
};
