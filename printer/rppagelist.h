// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpPageList: the recorded pages of one document over an RpStream, which is
// also, byte for byte, the report file. A 128-byte header is followed by one
// record per page: page number, offset of the next record, the page's
// metafile (plain, or its byte count and splay-coded bytes), and the offset
// of the record's own start, so records can be walked both ways. The list
// also remembers where each record starts, so a page is found at once; the
// walk along the chain remains for a stream the list did not fill itself.
//
// Report files are outside data: loading checks the header and every record
// before the new stream replaces the old one, so a bad file raises RpError
// and leaves the store as it was.
#include "printer/rpstream.h"

#include <QByteArray>
#include <QDateTime>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QIODevice;

class RpPageList {
public:
    static constexpr int kHeaderLength = 128;
    using Clock = std::function<QDateTime()>;

    struct HeaderInfo {
        int length = kHeaderLength; // as detected
        quint16 marker1 = 0;        // 3
        quint16 marker2 = 0;        // 50
        qint32 pageCount = 0;
        double created = 0;         // days since 30 December 1899, local time
        bool compressed = false;
    };
    struct RecordInfo {
        int pageNumber = 0;
        qint64 start = 0;           // offset of the record
        qint64 next = 0;            // offset just past it
        qint64 trailer = 0;         // the start offset stored at its end
        qint64 metafileBytes = 0;   // the page's metafile length
        qint64 storedBytes = 0;     // bytes between the two offsets and the trailer
    };

    RpPageList();
    ~RpPageList();
    RpPageList(const RpPageList &) = delete;
    RpPageList &operator=(const RpPageList &) = delete;

    // PageCount := 0; the stream is left alone.
    void clear();
    void lockList() { m_lock.lock(); }
    void unlockList() { m_lock.unlock(); }

    // Appends one page (an enhanced metafile's bytes). Raises RpError when
    // the bytes are not a metafile or the stream cannot be written.
    void addPage(const QByteArray &metafile);
    // The metafile of page n (from 1), or none beyond PageCount. Raises
    // RpError when the stored records are damaged.
    std::optional<QByteArray> getPage(int pageNumber);
    void moveToFirstRecord();
    void moveToLastRecord();
    // Rewrites the header with the final page count, time and compression.
    void finish();

    // Writes the report file through a temporary file renamed over fileName,
    // so a failed save leaves an existing file intact.
    void saveToFile(const QString &fileName);
    void loadFromFile(const QString &fileName);
    void loadFromStream(QIODevice &in);
    void loadFromBytes(const QByteArray &bytes);

    // Outlines are not recorded.
    void addOutline(int level, const QString &caption, int pageNumber, const QRect &target);

    bool compression() const { return m_compression; }
    void setCompression(bool on) { m_compression = on; }
    int pageCount() const { return m_pageCount; }
    int headerLength() const { return m_headerLength; }

    RpStream *stream() const { return m_stream.get(); }
    // Replaces (and frees) the stream; a new document starts on an empty one.
    void setStream(std::unique_ptr<RpStream> stream);

    void setClock(Clock clock) { m_clock = std::move(clock); }

    HeaderInfo headerInfo();
    // Every record, checked as on loading.
    std::vector<RecordInfo> records();

    // Days since 30 December 1899 of a local date and time, as the header keeps it.
    static double toDays(const QDateTime &t);
    static QDateTime fromDays(double days);

private:
    void writeHeader(qint32 count);
    void commit(std::unique_ptr<RpStream> stream, int headerLength, int pageCount, bool compressed);
    qint64 locate(int pageNumber);
    QByteArray readRecord(qint64 pos, int pageNumber);

    // A standard mutex, so that thread checkers see the lock as taken.
    mutable std::recursive_mutex m_lock;
    std::unique_ptr<RpStream> m_stream;
    bool m_compression = false;
    int m_pageCount = 0;
    int m_headerLength = kHeaderLength;
    // Start of the record of page i + 1, for the pages this list wrote or loaded.
    std::vector<qint64> m_recordStarts;
    Clock m_clock;
};
