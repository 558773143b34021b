// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdffile.h"

#include "platform/rperror.h"

#include <QFileDevice>
#include <QIODevice>

namespace {
[[noreturn]] void cannotWrite(const QString &what, const QIODevice &sink)
{
    // A file is written under the name of the document it becomes.
    const bool file = qobject_cast<const QFileDevice *>(&sink) != nullptr;
    throw RpError::io(QStringLiteral("cannot write %1: %2").arg(what, sink.errorString()), file ? what : QString(),
                      sink.errorString());
}
} // namespace

void PdfFile::flush()
{
    if (!m_sink || m_out.isEmpty())
        return;
    if (m_sink->write(m_out) != m_out.size())
        cannotWrite(m_what, *m_sink);
    m_handed += m_out.size();
    m_out.clear();
}

void PdfFile::overwrite(qint64 at, QByteArrayView bytes)
{
    if (at >= m_handed) {
        m_out.replace(at - m_handed, bytes.size(), bytes.toByteArray());
        return;
    }
    flush();
    const qint64 end = m_sink->pos();
    if (!m_sink->seek(end - m_handed + at) || m_sink->write(bytes.data(), bytes.size()) != bytes.size() ||
        !m_sink->seek(end))
        cannotWrite(m_what, *m_sink);
}
