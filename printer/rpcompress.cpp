#include "printer/rpcompress.h"

#include "platform/rperror.h"
#include "printer/printerstrings.h"

namespace {
constexpr int kRoot = 0;
constexpr int kLeaves = 256; // leaf of byte c is 256 + c
} // namespace

RpCompress::RpCompress(QByteArray *out) : m_compressFlag(true), m_out(out)
{
    init();
    m_bitPos = 0;
    m_outByte = 0;
}

RpCompress::RpCompress(QByteArrayView coded) : m_compressFlag(false), m_in(coded)
{
    init();
    m_bitPos = 7;
}

RpCompress::~RpCompress()
{
    if (m_compressFlag)
        flush();
}

void RpCompress::init()
{
    for (int i = 1; i <= 512; ++i)
        m_up[i] = quint8((i - 1) / 2);
    for (int i = 0; i < 256; ++i) {
        m_left[i] = quint16(2 * i + 1);
        m_right[i] = quint16(2 * i + 2);
    }
}

void RpCompress::flush()
{
    if (m_compressFlag && m_bitPos != 0) {
        m_out->append(char(m_outByte));
        m_bitPos = 0;
        m_outByte = 0;
    }
}

void RpCompress::splay(int plain)
{
    int a = plain + kLeaves;
    do {
        const int b = m_up[a];
        if (b != kRoot) {
            const int d = m_up[b];
            int e = m_left[d];
            if (e == b) {
                e = m_right[d];
                m_right[d] = quint16(a);
            } else {
                m_left[d] = quint16(a);
            }
            if (a == m_left[b])
                m_left[b] = quint16(e);
            else
                m_right[b] = quint16(e);
            m_up[a] = quint8(d);
            m_up[e] = quint8(b);
            a = d;
        } else {
            a = b;
        }
    } while (a != kRoot);
}

void RpCompress::compress(quint8 plain)
{
    // A path from a leaf to the root is at most 256 inner nodes long.
    bool bits[kLeaves + 1];
    int n = 0;
    int a = plain + kLeaves;
    do {
        const int u = m_up[a];
        bits[n++] = (m_right[u] == a);
        a = u;
    } while (a != kRoot);
    while (n > 0) {
        if (bits[--n])
            m_outByte |= quint16(1u << m_bitPos);
        if (m_bitPos == 7) {
            m_out->append(char(m_outByte));
            m_bitPos = 0;
            m_outByte = 0;
        } else {
            ++m_bitPos;
        }
    }
    splay(plain);
}

bool RpCompress::expand(quint8 &expanded)
{
    int node = kRoot;
    while (node < kLeaves) {
        if (m_bitPos == 7) {
            if (m_inPos >= m_in.size())
                return false;
            m_inByte = quint8(m_in[m_inPos++]);
            m_bitPos = 0;
        } else {
            ++m_bitPos;
        }
        node = (m_inByte & (1u << m_bitPos)) ? m_right[node] : m_left[node];
    }
    expanded = quint8(node - kLeaves);
    splay(expanded);
    return true;
}

QByteArray RpCompress::compressBytes(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size() / 2 + 16);
    {
        RpCompress c(&out);
        for (char ch : data)
            c.compress(quint8(ch));
    }
    return out;
}

QByteArray RpCompress::expandBytes(QByteArrayView coded, qint64 count)
{
    if (count < 0)
        throw RpError(printerstrings::errCompressedPage(QStringLiteral("negative byte count")));
    // Every byte takes at least one bit, so more than 8 bytes per coded byte
    // cannot come out: a larger count is a damaged page, not an allocation.
    if (count > qint64(coded.size()) * 8)
        throw RpError(printerstrings::errCompressedPage(
            QStringLiteral("the byte count %1 does not fit in %2 coded bytes").arg(count).arg(coded.size())));
    QByteArray out(qsizetype(count), Qt::Uninitialized);
    RpCompress c(coded);
    for (qint64 i = 0; i < count; ++i) {
        quint8 b;
        if (!c.expand(b))
            throw RpError(printerstrings::errCompressedPage(
                QStringLiteral("the coded data ends after %1 of %2 bytes").arg(i).arg(count)));
        out[qsizetype(i)] = char(b);
    }
    return out;
}
