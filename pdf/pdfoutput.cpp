// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdfoutput.h"

#include "platform/rperror.h"

std::unique_ptr<PdfOutput> PdfOutput::toFile(const QString &target)
{
    std::unique_ptr<PdfOutput> out(new PdfOutput);
    out->m_target = target;
    out->m_staging.setFileName(out->m_staged.stage(target));
    if (!out->m_staging.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw RpError::io(QStringLiteral("cannot write %1: %2").arg(target, out->m_staging.errorString()), target,
                          out->m_staging.errorString());
    out->m_file = std::make_unique<PdfFile>(&out->m_staging, target);
    return out;
}

std::unique_ptr<PdfOutput> PdfOutput::toStream(QIODevice *stream)
{
    std::unique_ptr<PdfOutput> out(new PdfOutput);
    out->m_stream = stream;
    if (stream->isSequential()) {
        out->m_file = std::make_unique<PdfFile>();
    } else {
        stream->seek(0);
        out->m_file = std::make_unique<PdfFile>(stream, QStringLiteral("the document"));
    }
    return out;
}

void PdfOutput::commit()
{
    m_file->flush();
    if (!m_stream) {
        if (!m_staging.flush())
            throw RpError::io(QStringLiteral("cannot write %1: %2").arg(m_target, m_staging.errorString()), m_target,
                              m_staging.errorString());
        m_staging.close();
        m_staged.commit();
        return;
    }
    if (m_stream->isSequential()) {
        const QByteArray &doc = m_file->bytes();
        if (m_stream->write(doc) != doc.size())
            throw RpError::io(QStringLiteral("cannot write the document: %1").arg(m_stream->errorString()), QString(),
                              m_stream->errorString());
        return;
    }
    // A stream that held a longer document before ends where this one does.
    if (auto *buffer = qobject_cast<QBuffer *>(m_stream))
        buffer->buffer().truncate(m_file->offset());
    m_stream->seek(0);
}
