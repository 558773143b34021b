#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A second, independent reader and writer of report files, used by the tests
to check the C++ page store against the file format from the outside.

  trpfile.py dump FILE OUTDIR      writes OUTDIR/page-N.emf for every page and
                                   prints "pages N compressed 0|1"
  trpfile.py pack OUT [--compress] PAGE.emf ...
                                   writes a report file of those pages

Exit status 1 with a message on stderr for a file it cannot read.
"""
import struct
import sys
import time
import os


class TrpError(Exception):
    pass


class SplayTree:
    """The adaptive code: 256 inner nodes (0 is the root), leaves 256..512,
    byte c being leaf 256 + c."""

    def __init__(self):
        self.up = [0] * 513
        for i in range(1, 513):
            self.up[i] = (i - 1) // 2
        self.left = [2 * i + 1 for i in range(256)]
        self.right = [2 * i + 2 for i in range(256)]

    def splay(self, c):
        up, left, right = self.up, self.left, self.right
        a = c + 256
        while True:
            b = up[a]
            if b != 0:
                d = up[b]
                e = left[d]
                if e == b:
                    e = right[d]
                    right[d] = a
                else:
                    left[d] = a
                if a == left[b]:
                    left[b] = e
                else:
                    right[b] = e
                up[a] = d
                up[e] = b
                a = d
            else:
                a = b
            if a == 0:
                break


def encode(data):
    t = SplayTree()
    out = bytearray()
    bitpos = 0
    cur = 0
    for c in data:
        path = []
        node = c + 256
        while node != 0:
            parent = t.up[node]
            path.append(1 if t.right[parent] == node else 0)
            node = parent
        for bit in reversed(path):
            if bit:
                cur |= 1 << bitpos
            if bitpos == 7:
                out.append(cur)
                bitpos = 0
                cur = 0
            else:
                bitpos += 1
        t.splay(c)
    if bitpos != 0:
        out.append(cur)
    return bytes(out)


def decode(coded, count):
    t = SplayTree()
    out = bytearray()
    bitpos = 7
    cur = 0
    i = 0
    for _ in range(count):
        node = 0
        while node < 256:
            if bitpos == 7:
                if i >= len(coded):
                    raise TrpError("coded bytes end before %d bytes were decoded" % count)
                cur = coded[i]
                i += 1
                bitpos = 0
            else:
                bitpos += 1
            node = t.right[node] if (cur >> bitpos) & 1 else t.left[node]
        c = node - 256
        out.append(c)
        t.splay(c)
    return bytes(out)


def u32(b, at):
    if at < 0 or at + 4 > len(b):
        raise TrpError("offset %d outside the file" % at)
    return struct.unpack_from("<I", b, at)[0]


def i32(b, at):
    if at < 0 or at + 4 > len(b):
        raise TrpError("offset %d outside the file" % at)
    return struct.unpack_from("<i", b, at)[0]


def header_length(b):
    for at, length in ((173, 124), (169, 120), (145, 96), (177, 128)):
        if b[at:at + 3] == b"EMF":
            return length
    for i in range(0, min(1002, len(b))):
        if b[i:i + 3] == b"EMF":
            return i - 49
    return 128


def read_pages(b):
    """Returns (compressed, [metafile bytes, ...]) walking the records forward,
    then checks that the backward links lead through the same records."""
    if len(b) >= 128 and b[0:4] == struct.pack("<HH", 3, 50) and b[26:126] == b"\x48" * 100:
        hlen = 128  # the full header, whatever the coded bytes spell
    else:
        hlen = header_length(b)
    if hlen != 128:
        raise TrpError("header length %d is not supported here" % hlen)
    if len(b) < 128:
        raise TrpError("file shorter than its header")
    count = i32(b, 8)
    compressed = b[25] != 0
    if count < 0 or count * 12 > len(b) - 128:
        raise TrpError("page count %d does not fit" % count)
    pages = []
    starts = []
    pos = 128
    for n in range(1, count + 1):
        if i32(b, pos) != n:
            raise TrpError("record at %d is not page %d" % (pos, n))
        nxt = u32(b, pos + 4)
        if nxt < pos + 12 or nxt > len(b):
            raise TrpError("record at %d points to %d" % (pos, nxt))
        if u32(b, nxt - 4) != pos:
            raise TrpError("record at %d does not end with its start" % pos)
        body = b[pos + 8:nxt - 4]
        if compressed:
            if len(body) < 4:
                raise TrpError("compressed page without a count")
            size = i32(body, 0)
            if size < 0 or size > (len(body) - 4) * 8:
                raise TrpError("compressed count %d does not fit" % size)
            emf = decode(body[4:], size)
        else:
            if len(body) < 52 or body[40:44] != b" EMF":
                raise TrpError("page %d is not a metafile" % n)
            size = u32(body, 48)
            if size != len(body):
                raise TrpError("metafile length %d, record holds %d" % (size, len(body)))
            emf = body
        pages.append(emf)
        starts.append(pos)
        pos = nxt
    # The header's count is what is read: bytes after the counted records
    # (a document saved after it was aborted) stay unread.
    # Backwards: each counted record's predecessor ends with that
    # predecessor's start.
    if count:
        at = starts[count - 1]
        for n in range(count, 0, -1):
            if at != starts[n - 1]:
                raise TrpError("backward link to page %d is wrong" % n)
            if n > 1:
                at = u32(b, at - 4)
    return compressed, pages


def days_now():
    t = time.time()
    lt = time.localtime(t)
    offset = lt.tm_gmtoff if hasattr(lt, "tm_gmtoff") else 0
    return (t + offset) / 86400.0 + 25569.0  # 1970-01-01 is day 25569


def write_file(pages, compressed):
    out = bytearray()
    out += struct.pack("<HHIiI", 3, 50, 0, len(pages), 0)
    out += struct.pack("<d", days_now())
    out += bytes([0, 1 if compressed else 0])
    out += b"\x48" * 100
    out += b"\0\0"
    assert len(out) == 128
    for n, emf in enumerate(pages, 1):
        start = len(out)
        body = struct.pack("<I", len(emf)) + encode(emf) if compressed else emf
        out += struct.pack("<iI", n, start + 8 + len(body) + 4)
        out += body
        out += struct.pack("<I", start)
    return bytes(out)


def main(argv):
    if len(argv) >= 3 and argv[1] == "dump":
        with open(argv[2], "rb") as f:
            data = f.read()
        try:
            compressed, pages = read_pages(data)
        except TrpError as e:
            sys.stderr.write("trpfile: %s\n" % e)
            return 1
        os.makedirs(argv[3], exist_ok=True)
        for n, emf in enumerate(pages, 1):
            with open(os.path.join(argv[3], "page-%d.emf" % n), "wb") as f:
                f.write(emf)
        print("pages %d compressed %d" % (len(pages), 1 if compressed else 0))
        return 0
    if len(argv) >= 3 and argv[1] == "pack":
        rest = argv[3:]
        compressed = "--compress" in rest
        names = [a for a in rest if a != "--compress"]
        pages = []
        for name in names:
            with open(name, "rb") as f:
                pages.append(f.read())
        with open(argv[2], "wb") as f:
            f.write(write_file(pages, compressed))
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
