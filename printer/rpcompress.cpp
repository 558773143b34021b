// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/rpcompress.h"

#include "platform/rperror.h"
#include "printer/printerstrings.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {
constexpr int kRoot = 0;
constexpr int kLeaves = 256; // leaf of byte c is 256 + c
// The tree has one leaf more than there are bytes; no coder ever codes it,
// so coded bits that lead to it are damaged, not a byte.
constexpr int kUncodedLeaf = 2 * kLeaves;

[[noreturn]] void uncodedLeaf(qint64 at)
{
    throw RpError(RpErrorKind::DamagedInput, printerstrings::errCompressedPage(
        QStringLiteral("the coded bits of byte %1 lead to a leaf no byte is coded with").arg(at + 1)));
}
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
    if (node == kUncodedLeaf)
        uncodedLeaf(m_expanded);
    ++m_expanded;
    expanded = quint8(node - kLeaves);
    m_tree.splay(expanded);
    return true;
}

// The whole-page coders keep the path of each byte: walking up (coding) or
// down (decoding) they note the inner nodes passed and the bit taken at each.
// The splay then needs no walk through the parent links of its own: node and
// grandparent of every step come from the noted path, so its loads do not
// wait on each other. Paths that do not fit in 64 bits take the slow route.
namespace {

// One splay over a noted path: nodeAt(k) is the inner node at depth k (the
// root at 0), bitAt(k) the child taken there, leaf the byte's leaf at depth
// depth. Up links are kept only when the coder needs them.
template <bool KeepUp, typename NodeAt, typename BitAt>
inline void splayPath(RpCompress::Tree &t, NodeAt nodeAt, int depth, int leaf, BitAt bitAt)
{
    int a = leaf;
    for (int j = depth; j >= 2; j -= 2) {
        const int b = nodeAt(j - 1);
        const int d = nodeAt(j - 2);
        // b hangs on d's side bitAt(j - 2); a takes the other side, and what
        // hung there moves into a's old place under b.
        const int side = 1 - bitAt(j - 2);
        const int e = t.child[d][side];
        t.child[d][side] = quint16(a);
        t.child[b][bitAt(j - 1)] = quint16(e);
        if constexpr (KeepUp) {
            t.up[a] = quint8(d);
            t.up[e] = quint8(b);
        }
        a = d;
    }
}

} // namespace

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
    // Walking up, the inner nodes come leaf end first: upPath[s] is the
    // parent reached at step s, so the node at depth k is upPath[len - 1 - k].
    quint16 upPath[kLeaves + 1];
    const auto *src = reinterpret_cast<const unsigned char *>(data.data());
    const qsizetype size = data.size();
    for (qsizetype i = 0; i < size; ++i) {
        const int c = src[i];
        const int leaf = c + kLeaves;
        if (t.up[leaf] == kRoot) {
            // A leaf on the root keeps its place when it is coded: a run of
            // its byte is a run of one bit, put out 32 bits at a time.
            qsizetype run = 1;
            while (i + run < size && src[i + run] == c)
                ++run;
            i += run - 1;
            const quint64 ones = t.child[kRoot][1] == leaf ? ~quint64(0) : 0;
            while (run > 0) {
                if (pos + 72 > cap) {
                    cap = cap * 2 + 64;
                    out.resize(cap);
                    dst = reinterpret_cast<unsigned char *>(out.data());
                }
                const int k = int(std::min<qsizetype>(run, 32));
                acc |= (ones >> (64 - k)) << nbits;
                nbits += k;
                if (nbits >= 32)
                    put32();
                run -= k;
            }
            continue;
        }
        // Each step's bit goes below the ones found so far, so the root's bit
        // ends lowest: the order in which bits are emitted.
        quint64 code = 0;
        int len = 0;
        int a = leaf;
        do {
            const int u = t.up[a];
            upPath[len] = quint16(u);
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
            splayPath<true>(
                t, [&upPath, len](int k) { return int(upPath[len - 1 - k]); }, len, leaf,
                [code](int k) { return int((code >> k) & 1); });
        } else {
            // A deep leaf (rare): take the path again, bit by bit.
            bool bits[kLeaves + 1];
            int n = 0;
            a = leaf;
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
            t.splay(c);
        }
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
        throw RpError(RpErrorKind::DamagedInput, printerstrings::errCompressedPage(QStringLiteral("negative byte count")));
    // Every byte takes at least one bit, so more than 8 bytes per coded byte
    // cannot come out: a larger count is a damaged page, not an allocation.
    if (count > qint64(coded.size()) * 8)
        throw RpError(RpErrorKind::DamagedInput, printerstrings::errCompressedPage(
            QStringLiteral("the byte count %1 does not fit in %2 coded bytes").arg(count).arg(coded.size())));
    // Decoding never looks at up links: the splay takes its nodes from the
    // path noted on the way down.
    Tree t;
    QByteArray out(qsizetype(count), Qt::Uninitialized);
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    const auto *p = reinterpret_cast<const unsigned char *>(coded.data());
    const auto *end = p + coded.size();
    // acc holds nbits unread bits, the next one lowest.
    quint64 acc = 0;
    int nbits = 0;
    constexpr int kFast = 57; // bits a refill guarantees while 8 bytes remain
    quint16 path[kLeaves + 1];
    quint8 bits[kLeaves + 1];
    for (qint64 i = 0; i < count;) {
        if (nbits < kFast) {
            if (end - p >= 8) {
                quint64 w = 0;
                for (int k = 0; k < 8; ++k)
                    w |= quint64(p[k]) << (8 * k);
                acc |= w << nbits;
                const int take = (63 - nbits) >> 3;
                p += take;
                nbits += 8 * take;
            } else {
                while (nbits <= 55 && p < end) { // at most 63 bits: every shift stays below 64
                    acc |= quint64(*p++) << nbits;
                    nbits += 8;
                }
            }
        }
        const quint64 a0 = acc;
        // A leaf hanging on the root keeps its place when it is decoded, so a
        // run of that bit is a run of that byte.
        const int first = t.child[kRoot][a0 & 1];
        if (first >= kLeaves && nbits > 0) {
            if (first == kUncodedLeaf)
                uncodedLeaf(i);
            const quint64 other = (a0 & 1) ? ~a0 : a0;
            qint64 run = other ? std::countr_zero(other) : 64;
            run = std::min({run, qint64(nbits), count - i});
            std::memset(dst + i, first - kLeaves, size_t(run));
            i += run;
            acc >>= run;
            nbits -= int(run);
            continue;
        }
        int node = kRoot;
        int depth = 0;
        if (nbits >= kFast) {
            do {
                path[depth] = quint16(node);
                node = t.child[node][(a0 >> depth) & 1];
                ++depth;
            } while (node < kLeaves && depth < kFast);
        }
        if (node >= kLeaves) {
            if (node == kUncodedLeaf)
                uncodedLeaf(i);
            acc >>= depth;
            nbits -= depth;
            dst[i++] = quint8(node - kLeaves);
            splayPath<false>(
                t, [&path](int k) { return int(path[k]); }, depth, node, [a0](int k) { return int((a0 >> k) & 1); });
            continue;
        }
        // A path longer than the bits at hand (a deep leaf, or the last few
        // coded bytes): again from the root, a bit at a time.
        node = kRoot;
        depth = 0;
        while (node < kLeaves) {
            if (nbits == 0) {
                if (p >= end)
                    throw RpError(RpErrorKind::DamagedInput, printerstrings::errCompressedPage(
                        QStringLiteral("the coded data ends after %1 of %2 bytes").arg(i).arg(count)));
                acc = *p++;
                nbits = 8;
            }
            path[depth] = quint16(node);
            bits[depth] = quint8(acc & 1);
            node = t.child[node][acc & 1];
            acc >>= 1;
            --nbits;
            ++depth;
        }
        if (node == kUncodedLeaf)
            uncodedLeaf(i);
        dst[i++] = quint8(node - kLeaves);
        splayPath<false>(
            t, [&path](int k) { return int(path[k]); }, depth, node, [&bits](int k) { return int(bits[k]); });
    }
    return out;
}
