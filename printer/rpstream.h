// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpStream: the byte stream of a page store. It starts in memory and moves to
// a temporary file (prefix "TRP", in the system temporary directory) at the
// first write that takes it past its memory limit; the temporary file is
// deleted when the stream is freed. Every read, write and seek is locked, so
// a preview may read while generation appends.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <mutex>

class QIODevice;
class QTemporaryFile;

class RpStream {
public:
    enum Origin { FromBeginning, FromCurrent, FromEnd };
    static constexpr qint64 kDefaultMemoryLimit = 250000;

    // An empty stream in memory.
    explicit RpStream(qint64 memoryLimit = kDefaultMemoryLimit);
    // A stream over an existing file, read-only, limit 0; the file is left
    // alone when the stream is freed. Raises RpError when it cannot be opened.
    static std::unique_ptr<RpStream> createFromFile(const QString &fileName);
    ~RpStream();

    RpStream(const RpStream &) = delete;
    RpStream &operator=(const RpStream &) = delete;

    // Reads up to count bytes at the position; returns the bytes read.
    qint64 read(char *buffer, qint64 count);
    // Writes all bytes at the position or raises RpError (disk full, no
    // permission, a read-only stream); returns count.
    qint64 write(const char *buffer, qint64 count);
    // Moves the position; a target outside 0..size is clamped to it.
    qint64 seek(qint64 offset, Origin origin = FromBeginning);

    qint64 position() const;
    qint64 size() const;
    bool inMemory() const;
    qint64 memoryLimit() const { return m_memoryLimit; }
    // The temporary file's name after spilling; empty otherwise.
    QString fileName() const;

    void lockStream() { m_lock.lock(); }
    void unlockStream() { m_lock.unlock(); }
    // The stream's lock, held until the returned lock goes out of scope
    // (also when an error leaves it).
    [[nodiscard]] std::unique_lock<std::recursive_mutex> holdLock() { return std::unique_lock(m_lock); }

    // Copies the whole stream, from position 0, into out (blocks of 10240).
    // Raises RpError when out does not take every byte; a file is flushed
    // and must hold them all.
    void saveToStream(QIODevice &out);

    // Where temporary files go: printerState().tempDirectory, else the
    // system's temporary directory.
    static QString tempDirectory();

private:
    struct FileOnly {};
    explicit RpStream(FileOnly);
    void spill();

    // A standard mutex, so that thread checkers see the lock as taken.
    mutable std::recursive_mutex m_lock;
    QByteArray m_memory;
    qint64 m_memoryPos = 0;
    bool m_inMemory = true;
    qint64 m_memoryLimit = kDefaultMemoryLimit;
    bool m_readOnly = false;
    std::unique_ptr<QTemporaryFile> m_tempFile; // after spilling
    std::unique_ptr<QFile> m_file;              // over a loaded file
    QIODevice *m_device = nullptr;              // whichever of the two is open
    qint64 m_deviceSize = 0;                    // its size, kept here: asking the file costs a system call
};
