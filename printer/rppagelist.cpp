// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/rppagelist.h"

#include "platform/rperror.h"
#include "printer/printerstrings.h"
#include "printer/rpcompress.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <exception>

namespace {

constexpr quint32 kEmfHeaderType = 1;
constexpr quint32 kEmfSignature = 0x464D4520; // " EMF"
constexpr int kEmfMinHeader = 88;
constexpr char kFiller = 0x48;

QString bad(const QString &why) { return printerstrings::errBadReportFile(why); }

// Reads exactly n bytes at pos, or raises.
QByteArray readAt(RpStream &s, qint64 pos, qint64 n)
{
    if (pos < 0 || n < 0 || pos > s.size() || n > s.size() - pos)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("offset %1 (+%2) lies outside the file of %3 bytes")
                              .arg(pos).arg(n).arg(s.size())));
    QByteArray b(qsizetype(n), Qt::Uninitialized);
    s.seek(pos);
    if (s.read(b.data(), n) != n)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("cannot read %1 bytes at offset %2").arg(n).arg(pos)));
    return b;
}

qint32 i32At(RpStream &s, qint64 pos)
{
    const QByteArray b = readAt(s, pos, 4);
    return qFromLittleEndian<qint32>(b.constData());
}

void writeI32(RpStream &s, qint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    s.write(b, 4);
}

// The metafile length its own header declares, or -1 when the bytes do not
// begin with an enhanced metafile header.
qint64 emfDeclaredLength(const char *p, qint64 avail)
{
    if (avail < 52)
        return -1;
    if (qFromLittleEndian<quint32>(p) != kEmfHeaderType ||
        qFromLittleEndian<quint32>(p + 40) != kEmfSignature)
        return -1;
    return qFromLittleEndian<quint32>(p + 48);
}

struct LoadedInfo {
    int headerLength = RpPageList::kHeaderLength;
    int pageCount = 0;
    bool compressed = false;
    RpPageList::HeaderInfo header;
    std::vector<RpPageList::RecordInfo> records;
};

bool hasFullHeaderMarks(const QByteArray &head)
{
    if (head.size() < RpPageList::kHeaderLength)
        return false;
    if (qFromLittleEndian<quint16>(head.constData()) != 3 ||
        qFromLittleEndian<quint16>(head.constData() + 2) != 50)
        return false;
    for (int i = 26; i < 126; ++i)
        if (head[i] != kFiller)
            return false;
    return true;
}

// Where the first page begins: from the metafile signature of a plain first
// page at one of the known places, else by scanning the start of the file.
int detectHeaderLength(RpStream &s)
{
    const qint64 size = s.size();
    const QByteArray head = readAt(s, 0, std::min<qint64>(size, 1004));
    // A file that carries the full 128-byte header is taken as such, whatever
    // the coded bytes of a compressed first page happen to contain.
    if (hasFullHeaderMarks(head))
        return RpPageList::kHeaderLength;
    auto emfAt = [&](int off) {
        return off + 3 <= head.size() && std::memcmp(head.constData() + off, "EMF", 3) == 0;
    };
    static const struct { int at, length; } probes[] = {{173, 124}, {169, 120}, {145, 96}, {177, 128}};
    for (const auto &p : probes)
        if (emfAt(p.at))
            return p.length;
    // A signature closer than 49 bytes to the start would give no header at all.
    for (int i = 49; i <= 1001; ++i)
        if (emfAt(i))
            return i - 49;
    return RpPageList::kHeaderLength;
}

// Checks the record at pos and returns what it holds.
RpPageList::RecordInfo inspectRecord(RpStream &s, qint64 pos, int headerLength, bool compressed)
{
    const qint64 size = s.size();
    if (pos < headerLength || pos > size - 12)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("a record at offset %1 lies outside the file").arg(pos)));
    RpPageList::RecordInfo r;
    r.start = pos;
    const QByteArray head = readAt(s, pos, 8);
    r.pageNumber = qFromLittleEndian<qint32>(head.constData());
    r.next = quint32(qFromLittleEndian<qint32>(head.constData() + 4));
    if (r.next < pos + 12 || r.next > size)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the record of page %1 at offset %2 points to offset %3")
                              .arg(r.pageNumber).arg(pos).arg(r.next)));
    r.trailer = i32At(s, r.next - 4);
    if (r.trailer != pos)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the record at offset %1 ends with offset %2: records do not chain")
                              .arg(pos).arg(r.trailer)));
    r.storedBytes = r.next - pos - 12;
    if (compressed) {
        if (r.storedBytes < 4)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the compressed page at offset %1 has no byte count").arg(pos)));
        const qint64 count = i32At(s, pos + 8);
        if (count < 0 || count > (r.storedBytes - 4) * 8)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the compressed page at offset %1 claims %2 bytes").arg(pos).arg(count)));
        r.metafileBytes = count;
    } else {
        const QByteArray emf = readAt(s, pos + 8, std::min<qint64>(r.storedBytes, 52));
        const qint64 n = emfDeclaredLength(emf.constData(), emf.size());
        if (n < 0)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the page at offset %1 is not an enhanced metafile").arg(pos)));
        if (n < kEmfMinHeader || n > r.storedBytes)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the metafile at offset %1 claims %2 bytes in a record of %3")
                                  .arg(pos + 8).arg(n).arg(r.storedBytes)));
        r.metafileBytes = n;
    }
    return r;
}

LoadedInfo inspectRecords(RpStream &s);

// Reads the header and walks every record; raises on anything that does not
// fit. A file that does not start with the markers of a report file and does
// not read as one is named for what it is.
LoadedInfo inspect(RpStream &s)
{
    try {
        return inspectRecords(s);
    } catch (const RpError &) {
        const QByteArray head = readAt(s, 0, std::min<qint64>(4, s.size()));
        if (head.size() < 4 || qFromLittleEndian<quint16>(head.constData()) != 3 ||
            qFromLittleEndian<quint16>(head.constData() + 2) != 50)
            throw RpError(RpErrorKind::DamagedInput, printerstrings::errNotReportFile());
        throw;
    }
}

LoadedInfo inspectRecords(RpStream &s)
{
    LoadedInfo info;
    const qint64 size = s.size();
    info.headerLength = detectHeaderLength(s);
    info.header.length = info.headerLength;
    if (size < info.headerLength)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the file of %1 bytes is shorter than its header").arg(size)));
    const QByteArray head = readAt(s, 0, info.headerLength);
    if (head.size() >= 4) {
        info.header.marker1 = qFromLittleEndian<quint16>(head.constData());
        info.header.marker2 = qFromLittleEndian<quint16>(head.constData() + 2);
    }
    bool countKnown = true;
    if (info.headerLength == RpPageList::kHeaderLength) {
        info.pageCount = qFromLittleEndian<qint32>(head.constData() + 8);
        info.compressed = head[25] != 0;
        double t;
        std::memcpy(&t, head.constData() + 16, 8);
        info.header.created = qFromLittleEndian(t);
    } else if (info.headerLength == 120) {
        info.pageCount = 1;
    } else {
        // Older layouts: the pages are plain (the signature was found) and
        // are counted by walking the records to the end of the file.
        countKnown = false;
    }
    info.header.compressed = info.compressed;
    const qint64 maxRecords = (size - info.headerLength) / 12;
    if (countKnown && (info.pageCount < 0 || info.pageCount > maxRecords))
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("a page count of %1 does not fit in %2 bytes").arg(info.pageCount).arg(size)));

    qint64 pos = info.headerLength;
    for (int i = 1; countKnown ? i <= info.pageCount : pos < size; ++i) {
        if (i > maxRecords)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("more records than the file can hold")));
        RpPageList::RecordInfo r = inspectRecord(s, pos, info.headerLength, info.compressed);
        if (r.pageNumber != i)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("record %1 at offset %2 carries page number %3")
                                  .arg(i).arg(pos).arg(r.pageNumber)));
        pos = r.next;
        info.records.push_back(r);
    }
    // The header's count is what is loaded: a document saved after it was
    // aborted may hold records past the counted ones, which stay unread.
    // Without a count the records run to the end of the file.
    if (!countKnown) {
        info.pageCount = int(info.records.size());
        if (pos != size)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("%1 bytes follow the last record").arg(size - pos)));
    }
    info.header.pageCount = info.pageCount;
    return info;
}

} // namespace

RpPageList::RpPageList() = default;
RpPageList::~RpPageList() = default;

double RpPageList::toDays(const QDateTime &t)
{
    const QDateTime local = t.toLocalTime();
    return double(QDate(1899, 12, 30).daysTo(local.date())) +
           double(local.time().msecsSinceStartOfDay()) / 86400000.0;
}

QDateTime RpPageList::fromDays(double days)
{
    if (!(days > -1e7 && days < 1e7))
        return {};
    const qint64 whole = qint64(std::floor(days));
    const int ms = int(std::llround((days - double(whole)) * 86400000.0));
    return QDateTime(QDate(1899, 12, 30).addDays(whole), QTime(0, 0)).addMSecs(ms);
}

void RpPageList::clear()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_pageCount = 0;
    m_recordStarts.clear();
}

void RpPageList::setStream(std::unique_ptr<RpStream> stream)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_stream = std::move(stream);
    m_recordStarts.clear();
    m_headerLength = kHeaderLength;
}

void RpPageList::writeHeader(qint32 count)
{
    QByteArray h(kHeaderLength, '\0');
    qToLittleEndian<quint16>(3, h.data());
    qToLittleEndian<quint16>(50, h.data() + 2);
    qToLittleEndian<qint32>(count, h.data() + 8);
    const double days = toDays(m_clock ? m_clock() : QDateTime::currentDateTime());
    qToLittleEndian(days, h.data() + 16);
    h[25] = m_compression ? 1 : 0;
    std::memset(h.data() + 26, kFiller, 100);
    m_stream->seek(0);
    m_stream->write(h.constData(), h.size());
}

void RpPageList::addPage(const QByteArray &metafile)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (!m_stream)
        m_stream = std::make_unique<RpStream>();
    const qint64 declared = emfDeclaredLength(metafile.constData(), metafile.size());
    if (declared < 0)
        throw RpError(RpErrorKind::BadArgument, printerstrings::errNotMetafile(QStringLiteral("no metafile header")));
    if (declared != metafile.size())
        throw RpError(RpErrorKind::BadArgument, printerstrings::errNotMetafile(
            QStringLiteral("its header declares %1 bytes, it has %2").arg(declared).arg(metafile.size())));
    if (metafile.size() > 0x7fff0000)
        throw RpError(RpErrorKind::BadArgument, printerstrings::errNotMetafile(QStringLiteral("too large for a report file")));

    RpStream &s = *m_stream;
    const auto held = s.holdLock();
    const int newCount = m_pageCount + 1;
    if (newCount == 1)
        writeHeader(1);
    const qint64 start = s.seek(0, RpStream::FromEnd);
    writeI32(s, newCount);
    const qint64 q = s.position();
    writeI32(s, 0);
    if (m_compression) {
        const QByteArray coded = RpCompress::compressBytes(metafile);
        writeI32(s, qint32(metafile.size()));
        s.write(coded.constData(), coded.size());
    } else {
        s.write(metafile.constData(), metafile.size());
    }
    writeI32(s, qint32(start));
    const qint64 end = s.position();
    if (end > 0x7fffffff)
        throw RpError(RpErrorKind::DiskFull, printerstrings::errStreamWrite(QStringLiteral("a report file holds at most 2 GiB")));
    s.seek(q);
    writeI32(s, qint32(end));
    // Keep the count in the header current, so a document that is never
    // finished (aborted) still says how many pages it holds.
    s.seek(8);
    writeI32(s, newCount);
    s.seek(end);
    m_pageCount = newCount;
    if (m_recordStarts.size() == size_t(newCount - 1))
        m_recordStarts.push_back(start);
    else
        m_recordStarts.clear();
}

void RpPageList::finish()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (!m_stream)
        m_stream = std::make_unique<RpStream>();
    const auto held = m_stream->holdLock();
    writeHeader(m_pageCount);
    m_stream->seek(0, RpStream::FromEnd);
}

void RpPageList::moveToFirstRecord()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (m_stream)
        m_stream->seek(m_headerLength);
}

void RpPageList::moveToLastRecord()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (!m_stream)
        return;
    const qint64 size = m_stream->size();
    const qint64 last = i32At(*m_stream, size - 4);
    if (last < m_headerLength || last > size - 12)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the last record offset %1 lies outside the file").arg(last)));
    m_stream->seek(last);
}

// The start of record k, walking from the record the stream stands at.
qint64 RpPageList::locate(int k)
{
    RpStream &s = *m_stream;
    if (k == 1)
        return m_headerLength;
    const qint64 size = s.size();
    // A remembered start is taken when its record still carries page k;
    // readRecord checks the rest of it.
    if (size_t(k) <= m_recordStarts.size()) {
        const qint64 at = m_recordStarts[size_t(k - 1)];
        if (at >= m_headerLength && at <= size - 12 && i32At(s, at) == k)
            return at;
        m_recordStarts.clear();
    }
    qint64 pos = s.position();
    if (pos >= size) {
        moveToLastRecord();
        pos = s.position();
    }
    auto check = [&](qint64 p) {
        if (p < m_headerLength || p > size - 12)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("a record offset %1 lies outside the file").arg(p)));
    };
    check(pos);
    int p = i32At(s, pos);
    // A record past the counted ones (a document saved after it was
    // aborted) is no place to walk from: the walk starts at page 1 instead.
    if (p > m_pageCount) {
        pos = m_headerLength;
        p = i32At(s, pos);
    }
    const bool forward = p < k;
    // Each step must move the page number one way towards k; more steps than
    // pages, or a step the wrong way, means the records do not chain.
    for (int steps = 0; p != k; ++steps) {
        if (steps > m_pageCount || p < 1 || p > m_pageCount || (p < k) != forward)
            throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the walk to page %1 does not reach it").arg(k)));
        qint64 to;
        if (forward) {
            to = quint32(i32At(s, pos + 4));
            if (to <= pos)
                throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the record at offset %1 points backwards").arg(pos)));
        } else {
            to = i32At(s, pos - 4);
            if (to >= pos)
                throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("the record before offset %1 points forwards").arg(pos)));
        }
        check(to);
        pos = to;
        p = i32At(s, pos);
    }
    return pos;
}

QByteArray RpPageList::readRecord(qint64 pos, int pageNumber)
{
    RpStream &s = *m_stream;
    const RecordInfo r = inspectRecord(s, pos, m_headerLength, m_compression);
    if (r.pageNumber != pageNumber)
        throw RpError(RpErrorKind::DamagedInput, bad(QStringLiteral("record at offset %1 carries page number %2, not %3")
                              .arg(pos).arg(r.pageNumber).arg(pageNumber)));
    QByteArray page;
    if (m_compression) {
        const QByteArray coded = readAt(s, pos + 12, r.storedBytes - 4);
        page = RpCompress::expandBytes(coded, r.metafileBytes);
    } else {
        page = readAt(s, pos + 8, r.metafileBytes);
    }
    s.seek(r.next);
    return page;
}

std::optional<QByteArray> RpPageList::getPage(int pageNumber)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (!m_stream || pageNumber < 1 || pageNumber > m_pageCount)
        return std::nullopt;
    RpStream &s = *m_stream;
    const auto held = s.holdLock();
    // A walk or a read that fails stands on a record start again, so the
    // next walk begins sound.
    struct StartAgainOnError {
        RpStream &s;
        qint64 start;
        int unwinding = std::uncaught_exceptions();
        ~StartAgainOnError()
        {
            if (std::uncaught_exceptions() > unwinding)
                s.seek(start);
        }
    } startAgain{s, m_headerLength};
    const qint64 pos = locate(pageNumber);
    return readRecord(pos, pageNumber);
}

void RpPageList::commit(std::unique_ptr<RpStream> stream, int headerLength, int pageCount, bool compressed)
{
    m_stream = std::move(stream);
    m_headerLength = headerLength;
    m_pageCount = pageCount;
    m_compression = compressed;
    m_stream->seek(0, RpStream::FromEnd);
    m_recordStarts.clear();
}

void RpPageList::loadFromFile(const QString &fileName)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    std::unique_ptr<RpStream> s = RpStream::createFromFile(fileName);
    const LoadedInfo info = inspect(*s);
    if (info.pageCount > 0) {
        const RecordInfo &last = info.records.back();
        if (info.compressed)
            RpCompress::expandBytes(readAt(*s, last.start + 12, last.storedBytes - 4), last.metafileBytes);
        else
            readAt(*s, last.start + 8, last.metafileBytes);
    }
    commit(std::move(s), info.headerLength, info.pageCount, info.compressed);
    for (const RecordInfo &r : info.records)
        m_recordStarts.push_back(r.start);
}

void RpPageList::loadFromStream(QIODevice &in)
{
    const QByteArray bytes = in.readAll();
    loadFromBytes(bytes);
}

void RpPageList::loadFromBytes(const QByteArray &bytes)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    auto s = std::make_unique<RpStream>(bytes.size());
    s->write(bytes.constData(), bytes.size());
    const LoadedInfo info = inspect(*s);
    if (info.pageCount > 0 && info.compressed) {
        const RecordInfo &last = info.records.back();
        RpCompress::expandBytes(readAt(*s, last.start + 12, last.storedBytes - 4), last.metafileBytes);
    }
    commit(std::move(s), info.headerLength, info.pageCount, info.compressed);
    for (const RecordInfo &r : info.records)
        m_recordStarts.push_back(r.start);
}

void RpPageList::saveToFile(const QString &fileName)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (!m_stream)
        throw RpError(RpErrorKind::NotAvailable, printerstrings::errFileSave(fileName, QStringLiteral("there are no pages")));
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        throw RpError::io(printerstrings::errFileSave(fileName, out.errorString()), fileName, out.errorString());
    try {
        m_stream->saveToStream(out);
    } catch (const RpError &e) {
        out.cancelWriting();
        m_stream->seek(0, RpStream::FromEnd);
        RpErrorWhere where = e.where();
        where.file = fileName;
        throw RpError(e.kind(), printerstrings::errFileSave(fileName, e.message()), where, e.reason());
    }
    m_stream->seek(0, RpStream::FromEnd);
    if (!out.commit())
        throw RpError::io(printerstrings::errFileSave(fileName, out.errorString()), fileName, out.errorString());
}

void RpPageList::addOutline(int, const QString &, int, const QRect &) {}

namespace {
// The stored pages checked as on loading, the stream left where it stood.
LoadedInfo inspectInPlace(RpStream &s)
{
    const qint64 pos = s.position();
    LoadedInfo info = inspect(s);
    s.seek(pos);
    return info;
}
} // namespace

RpPageList::HeaderInfo RpPageList::headerInfo()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_stream ? inspectInPlace(*m_stream).header : HeaderInfo{};
}

std::vector<RpPageList::RecordInfo> RpPageList::records()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_stream ? inspectInPlace(*m_stream).records : std::vector<RecordInfo>{};
}
