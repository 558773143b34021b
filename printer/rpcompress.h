// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpCompress: the adaptive splay-tree code of compressed pages. One instance
// codes or decodes one page, starting from a fresh tree; frequent bytes move
// near the root and get short codes. Bits fill each coded byte from its least
// significant bit up.
//
// compress()/expand() work one byte at a time on a stream of coded bytes;
// compressBytes()/expandBytes() do a whole page at once with the same code,
// moving bits through a 64-bit register instead of one at a time.
#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

class RpCompress {
public:
    // A writer appending coded bytes to out. The last partial byte is written
    // by flush() or when the writer is freed.
    explicit RpCompress(QByteArray *out);
    // A reader over coded bytes; the bytes must outlive the reader.
    explicit RpCompress(QByteArrayView coded);
    ~RpCompress();

    RpCompress(const RpCompress &) = delete;
    RpCompress &operator=(const RpCompress &) = delete;

    void compress(quint8 plain);
    // Decodes one byte; false when the coded bytes run out first. Raises
    // RpError when the bits lead to the tree's uncoded leaf (damaged data).
    bool expand(quint8 &expanded);
    void flush();

    // Codes data with a fresh tree, flushed.
    static QByteArray compressBytes(QByteArrayView data);
    // Decodes count bytes from coded with a fresh tree; raises RpError when
    // the coded bytes end before count bytes came out or lead to the uncoded
    // leaf.
    static QByteArray expandBytes(QByteArrayView coded, qint64 count);

    // The code tree: inner nodes 0..255 (0 is the root), leaf 256 + c for
    // byte c and one more leaf, 512, that nothing is coded with; child[n][0]
    // is the left child, child[n][1] the right one.
    struct Tree {
        quint16 child[256][2];
        quint8 up[513];
        Tree();
        void splay(int plain);
    };

private:
    Tree m_tree;
    quint8 m_bitPos = 0;
    quint16 m_outByte = 0;
    quint16 m_inByte = 0;
    bool m_compressFlag = false;
    QByteArray *m_out = nullptr;
    QByteArrayView m_in;
    qsizetype m_inPos = 0;
    qint64 m_expanded = 0;
};
