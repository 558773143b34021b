#include "printer/rpcompress.h"

#include "platform/rperror.h"
#include "printer/printerstrings.h"

#include <cstring>

namespace {
constexpr int kRoot = 0;
constexpr int kLeaves = 256; // leaf of byte c is 256 + c
} // namespace

RpCompress::Tree::Tree()
{
    for (int i = 1; i <= 512; ++i)
        up[i] = quint8((i - 1) / 2);
    up[0] = 0;
    for (int i = 0; i < 256; ++i) {
        child[i][0] = quint16(2 * i + 1);
        child[i][1] = quint16(2 * i + 2);
    }
}

// Swaps the path of the byte's leaf with the sibling subtree of each
// grandparent on the way up, halving the path's depth.
inline void RpCompress::Tree::splay(int plain)
{
    // Written without data-dependent branches: which child slot changes is an
    // index, not an if, since the paths of real pages are unpredictable.
    int a = plain + kLeaves;
    int b = up[a];
    while (b != kRoot) {
        const int d = up[b];
        // When b is d's left child, a takes d's right slot and the old right
        // subtree e moves under b; otherwise a takes the left slot.
        const int side = child[d][0] == b;
        const int e = child[d][side];
        child[d][side] = quint16(a);
        child[b][child[b][0] != a] = quint16(e);
        up[a] = quint8(d);
        up[e] = quint8(b);
        a = d;
        if (a == kRoot)
            break;
        b = up[a];
    }
}

RpCompress::RpCompress(QByteArray *out) : m_compressFlag(true), m_out(out)
{
    m_bitPos = 0;
    m_outByte = 0;
}

RpCompress::RpCompress(QByteArrayView coded) : m_compressFlag(false), m_in(coded)
{
    m_bitPos = 7;
}

RpCompress::~RpCompress()
{
    if (m_compressFlag)
        flush();
}

void RpCompress::flush()
{
    if (m_compressFlag && m_bitPos != 0) {
        m_out->append(char(m_outByte));
        m_bitPos = 0;
        m_outByte = 0;
    }
}

void RpCompress::compress(quint8 plain)
{
    // A path from a leaf to the root is at most 256 inner nodes long.
    bool bits[kLeaves + 1];
    int n = 0;
    int a = plain + kLeaves;
    do {
        const int u = m_tree.up[a];
        bits[n++] = (m_tree.child[u][1] == a);
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
    m_tree.splay(plain);
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
        node = m_tree.child[node][(m_inByte >> m_bitPos) & 1];
    }
    expanded = quint8(node - kLeaves);
    m_tree.splay(expanded);
    return true;
}

QByteArray RpCompress::compressBytes(QByteArrayView data)
{
    Tree t;
    QByteArray out;
    qsizetype cap = data.size() + 64;
    out.resize(cap);
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    qsizetype pos = 0;
    // Bits go out least significant first: the pending ones sit in acc.
    quint64 acc = 0;
    int nbits = 0;
    auto put32 = [&] {
        const quint32 w = quint32(acc);
        dst[pos] = quint8(w);
        dst[pos + 1] = quint8(w >> 8);
        dst[pos + 2] = quint8(w >> 16);
        dst[pos + 3] = quint8(w >> 24);
        pos += 4;
        acc >>= 32;
        nbits -= 32;
    };
    for (const char ch : data) {
        const int c = quint8(ch);
        // Walking up, each step's bit goes below the ones found so far, so
        // the root's bit ends lowest: the order in which bits are emitted.
        quint64 code = 0;
        int len = 0;
        int a = c + kLeaves;
        do {
            const int u = t.up[a];
            if (len < 32)
                code = (code << 1) | quint64(t.child[u][1] == a);
            ++len;
            a = u;
        } while (a != kRoot);
        if (pos + 72 > cap) {
            cap = cap * 2 + 64;
            out.resize(cap);
            dst = reinterpret_cast<unsigned char *>(out.data());
        }
        if (len <= 32) {
            acc |= code << nbits;
            nbits += len;
            if (nbits >= 32)
                put32();
        } else {
            // A deep leaf (rare): take the path again, bit by bit.
            bool bits[kLeaves + 1];
            int n = 0;
            a = c + kLeaves;
            do {
                const int u = t.up[a];
                bits[n++] = t.child[u][1] == a;
                a = u;
            } while (a != kRoot);
            while (n > 0) {
                acc |= quint64(bits[--n]) << nbits;
                if (++nbits == 32)
                    put32();
            }
        }
        t.splay(c);
    }
    while (nbits > 0) {
        dst[pos++] = quint8(acc);
        acc >>= 8;
        nbits -= 8;
    }
    out.resize(pos);
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
    Tree t;
    QByteArray out(qsizetype(count), Qt::Uninitialized);
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    const auto *p = reinterpret_cast<const unsigned char *>(coded.data());
    const auto *end = p + coded.size();
    quint64 acc = 0;
    int nbits = 0;
    for (qint64 i = 0; i < count; ++i) {
        int node = kRoot;
        do {
            if (nbits == 0) {
                if (end - p >= 8) {
                    acc = quint64(p[0]) | quint64(p[1]) << 8 | quint64(p[2]) << 16 | quint64(p[3]) << 24 |
                          quint64(p[4]) << 32 | quint64(p[5]) << 40 | quint64(p[6]) << 48 | quint64(p[7]) << 56;
                    p += 8;
                    nbits = 64;
                } else if (p < end) {
                    acc = *p++;
                    nbits = 8;
                } else {
                    throw RpError(printerstrings::errCompressedPage(
                        QStringLiteral("the coded data ends after %1 of %2 bytes").arg(i).arg(count)));
                }
            }
            node = t.child[node][acc & 1];
            acc >>= 1;
            --nbits;
        } while (node < kLeaves);
        const int c = node - kLeaves;
        dst[i] = quint8(c);
        t.splay(c);
    }
    return out;
}
