// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/rpstream.h"

#include "platform/rperror.h"
#include "printer/printerstrings.h"
#include "printer/processwide.h"

#include <QDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>

QString RpStream::tempDirectory()
{
    const QString &dir = printerState().tempDirectory;
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

RpStream::RpStream(qint64 memoryLimit) : m_memoryLimit(memoryLimit) {}

RpStream::RpStream(FileOnly) : m_inMemory(false), m_memoryLimit(0), m_readOnly(true) {}

std::unique_ptr<RpStream> RpStream::createFromFile(const QString &fileName)
{
    std::unique_ptr<RpStream> s(new RpStream(FileOnly{}));
    s->m_file = std::make_unique<QFile>(fileName);
    if (!s->m_file->open(QIODevice::ReadOnly))
        throw RpError::io(printerstrings::errFileOpen(fileName, s->m_file->errorString()), fileName,
                          s->m_file->errorString());
    s->m_device = s->m_file.get();
    s->m_deviceSize = s->m_file->size();
    return s;
}

RpStream::~RpStream()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (m_tempFile) {
        const QString name = m_tempFile->fileName();
        m_tempFile->close();
        m_tempFile->remove();
        m_tempFile.reset();
        if (!name.isEmpty() && QFile::exists(name))
            QFile::remove(name);
    }
    m_file.reset();
}

qint64 RpStream::read(char *buffer, qint64 count)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (count <= 0)
        return 0;
    if (m_inMemory) {
        const qint64 n = std::min<qint64>(count, m_memory.size() - m_memoryPos);
        if (n <= 0)
            return 0;
        std::memcpy(buffer, m_memory.constData() + m_memoryPos, size_t(n));
        m_memoryPos += n;
        return n;
    }
    const qint64 n = m_device->read(buffer, count);
    return n < 0 ? 0 : n;
}

namespace {
// Why `out` refused bytes, as an error naming its file. A file that ran out
// of room (a full disk, a size limit) often has nothing better to say than
// Qt's default text, or nothing: bytes that went missing without a word
// found no room.
RpError writeFailure(const QIODevice &out)
{
    const auto *file = qobject_cast<const QFileDevice *>(&out);
    const QString name = file ? file->fileName() : QString();
    const QString why = out.errorString();
    if (why.isEmpty() || why == QLatin1String("Unknown error")) {
        const QString reason = QStringLiteral("not every byte could be written (the disk may be full)");
        RpErrorWhere where;
        where.file = name;
        return RpError(RpErrorKind::DiskFull, printerstrings::errStreamWrite(reason), where, reason);
    }
    return RpError::io(printerstrings::errStreamWrite(why), name, why);
}
} // namespace

qint64 RpStream::write(const char *buffer, qint64 count)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (count <= 0)
        return 0;
    if (m_readOnly)
        throw RpError(RpErrorKind::Internal, printerstrings::errStreamWrite(QStringLiteral("the stream is read-only")));
    if (m_inMemory) {
        const qint64 end = m_memoryPos + count;
        if (end > m_memory.size())
            m_memory.resize(end);
        std::memcpy(m_memory.data() + m_memoryPos, buffer, size_t(count));
        m_memoryPos = end;
        if (m_memory.size() > m_memoryLimit)
            spill();
        return count;
    }
    qint64 done = 0;
    while (done < count) {
        const qint64 n = m_device->write(buffer + done, count - done);
        if (n <= 0)
            throw writeFailure(*m_device);
        done += n;
        m_deviceSize = std::max(m_deviceSize, m_device->pos());
    }
    // QFile buffers writes; push them to the file so a full disk shows now.
    // A disk that fills part-way through lets the flush stop short without
    // an error: the file's size tells.
    if (m_tempFile && (!m_tempFile->flush() || m_tempFile->size() < m_deviceSize))
        throw writeFailure(*m_tempFile);
    return count;
}

void RpStream::spill()
{
    const QString dir = tempDirectory();
    auto tmp = std::make_unique<QTemporaryFile>(dir + QLatin1Char('/') +
                                                QLatin1String(printerstrings::kTempPrefix) +
                                                QStringLiteral("XXXXXX.tmp"));
    tmp->setAutoRemove(true);
    // fileName() gives the file its name at once (Qt may otherwise keep it
    // unnamed until asked), so the temporary file is there to be seen.
    if (!tmp->open() || tmp->fileName().isEmpty())
        throw RpError::io(printerstrings::errTempCreate(dir, tmp->errorString()), dir, tmp->errorString());
    qint64 done = 0;
    while (done < m_memory.size()) {
        const qint64 n = tmp->write(m_memory.constData() + done, m_memory.size() - done);
        if (n <= 0)
            throw writeFailure(*tmp);
        done += n;
    }
    if (!tmp->flush() || tmp->size() < m_memory.size() || !tmp->seek(m_memoryPos))
        throw writeFailure(*tmp);
    // Only now that the file holds every byte does the stream move to it; on
    // failure above the temporary file goes away and the stream stays in memory.
    m_tempFile = std::move(tmp);
    m_device = m_tempFile.get();
    m_deviceSize = m_memory.size();
    m_memory = QByteArray();
    m_memoryPos = 0;
    m_inMemory = false;
}

qint64 RpStream::seek(qint64 offset, Origin origin)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    const qint64 sz = size();
    qint64 target = offset;
    if (origin == FromCurrent)
        target = position() + offset;
    else if (origin == FromEnd)
        target = sz + offset;
    target = std::clamp<qint64>(target, 0, sz);
    if (m_inMemory)
        m_memoryPos = target;
    else
        m_device->seek(target);
    return target;
}

qint64 RpStream::position() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_inMemory ? m_memoryPos : m_device->pos();
}

qint64 RpStream::size() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_inMemory ? m_memory.size() : m_deviceSize;
}

bool RpStream::inMemory() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_inMemory;
}

QString RpStream::fileName() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_tempFile ? m_tempFile->fileName() : QString();
}


void RpStream::saveToStream(QIODevice &out)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    auto *file = qobject_cast<QFileDevice *>(&out);
    const bool checkSize = file && !file->isSequential();
    const qint64 start = checkSize ? file->pos() : 0;
    seek(0);
    char block[10240];
    for (;;) {
        const qint64 n = read(block, sizeof block);
        if (n <= 0)
            break;
        if (out.write(block, n) != n)
            throw writeFailure(out);
    }
    // A file device keeps the last bytes in its buffer; writing them out can
    // still fail, or stop short without a word when the disk fills.
    if (file && (!file->flush() || (checkSize && file->size() < start + size())))
        throw writeFailure(out);
}
