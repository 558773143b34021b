// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of a PDF file as they are written, with the byte offset of
// every object for the cross-reference table. Objects are numbered 1, 2, 3,
// ... in the order they begin; every line ends with CR LF.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

class PdfFile {
public:
    qint64 offset() const { return m_out.size(); }
    // Records the offset and writes "N 0 obj"; returns N.
    int beginObject()
    {
        m_offsets.append(m_out.size());
        const int n = int(m_offsets.size());
        line(QByteArray::number(n) + " 0 obj");
        return n;
    }
    void endObject() { line("endobj"); }
    void line(QByteArrayView l)
    {
        m_out.append(l);
        m_out.append("\r\n");
    }
    void raw(QByteArrayView b) { m_out.append(b); }
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
    int objectCount() const { return int(m_offsets.size()); }
    const QList<qint64> &offsets() const { return m_offsets; }
    QByteArray &bytes() { return m_out; }

private:
    QByteArray m_out;
    QList<qint64> m_offsets;
};
