// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LZW-encoding about 10 MB of page-image bytes: the RGB pixels of the
// layout-1 worksheet played at 200 dpi, as the PDF document filter hands a
// picture to the compressor, next to libtiff compressing the same bytes as
// one LZW strip of an RGB TIFF written into memory, in the same run. The
// second argument of each runs the pair over a photo-like picture of the
// same size, where strings stay short.
// Reported: bytes per second of input and the size each produced.
//
//   build/test/bench/bench_lzw --benchmark_repetitions=3
#include "printer/lzw.h"
#include "worksheetpage.h"

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kDpi = 200;
constexpr qsizetype kTarget = 10 << 20;

struct PageBytes {
    QByteArray rgb; // rows of width * 3 bytes
    int width = 0;
    int rows = 0;
};

// A photo-like picture of the same size: smooth colours with noise in every
// byte, so that strings stay short and runs are rare.
const PageBytes &photoBytes()
{
    static PageBytes p;
    if (!p.rgb.isEmpty())
        return p;
    p.width = 1654;
    const qsizetype line = qsizetype(p.width) * 3;
    p.rows = int(kTarget / line);
    p.rgb.resize(p.rows * line);
    quint32 seed = 12345;
    for (int y = 0; y < p.rows; ++y)
        for (int x = 0; x < p.width; ++x)
            for (int c = 0; c < 3; ++c) {
                seed = seed * 1103515245u + 12345u;
                const int noise = int((seed >> 16) % 9) - 4;
                const int v = (x * (c + 1) / 7 + y / (c + 2)) % 256;
                p.rgb[(y * line) + x * 3 + c] = char(std::clamp(v + noise, 0, 255));
            }
    bench::releaseAtEnd([] { p = PageBytes{}; });
    return p;
}

// The worksheet page's pixels, top rows first, cut to whole rows of about
// 10 MB (the page repeats if it is smaller).
const PageBytes &pageBytes()
{
    static PageBytes p;
    if (!p.rgb.isEmpty())
        return p;
    QImage img = bench::a4Image(kDpi);
    bench::playOnto(bench::worksheet(false).page, img, kDpi);
    const QImage rgb = img.convertToFormat(QImage::Format_RGB888);
    p.width = rgb.width();
    const qsizetype line = qsizetype(p.width) * 3;
    p.rows = int(kTarget / line);
    p.rgb.reserve(p.rows * line);
    for (int y = 0; y < p.rows; ++y)
        p.rgb.append(reinterpret_cast<const char *>(rgb.constScanLine(y % rgb.height())), line);
    bench::releaseAtEnd([] { p = PageBytes{}; });
    return p;
}

// The input of a benchmark's argument: 0 the worksheet page, 1 the photo.
const PageBytes &pageBytesOf(int kind) { return kind ? photoBytes() : pageBytes(); }

void BM_LzwEncode(benchmark::State &state)
{
    const PageBytes &p = pageBytesOf(int(state.range(0)));
    if (lzw::decompress(lzw::compress(p.rgb)) != p.rgb) {
        state.SkipWithError("the code stream does not decode to its input");
        return;
    }
    qsizetype packed = 0;
    for (auto _ : state) {
        const QByteArray out = lzw::compress(p.rgb);
        packed = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * p.rgb.size());
    state.counters["input_bytes"] = double(p.rgb.size());
    state.counters["bytes"] = double(packed);
}
BENCHMARK(BM_LzwEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A TIFF file in memory for libtiff's client interface.
struct MemoryFile {
    QByteArray data;
    toff_t pos = 0;

    static tsize_t read(thandle_t, tdata_t, tsize_t) { return 0; }
    static tsize_t write(thandle_t h, tdata_t buf, tsize_t size)
    {
        auto *f = static_cast<MemoryFile *>(h);
        const toff_t end = f->pos + toff_t(size);
        if (end > toff_t(f->data.size()))
            f->data.resize(qsizetype(end));
        std::memcpy(f->data.data() + f->pos, buf, size_t(size));
        f->pos = end;
        return size;
    }
    static toff_t seek(thandle_t h, toff_t off, int whence)
    {
        auto *f = static_cast<MemoryFile *>(h);
        const toff_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? toff_t(f->data.size()) : 0;
        f->pos = base + off;
        return f->pos;
    }
    static int close(thandle_t) { return 0; }
    static toff_t size(thandle_t h) { return toff_t(static_cast<MemoryFile *>(h)->data.size()); }
    static int map(thandle_t, tdata_t *, toff_t *) { return 0; }
    static void unmap(thandle_t, tdata_t, toff_t) {}
};

// The bytes as one LZW-compressed strip; the size of the whole file, or -1.
qsizetype tiffLzw(const PageBytes &p, MemoryFile &file)
{
    file.data.clear();
    file.pos = 0;
    TIFF *tif = TIFFClientOpen("page", "w", &file, MemoryFile::read, MemoryFile::write, MemoryFile::seek,
                               MemoryFile::close, MemoryFile::size, MemoryFile::map, MemoryFile::unmap);
    if (!tif)
        return -1;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(p.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(p.rows));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(3));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_RGB));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_LZW));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(p.rows));
    const tsize_t written =
        TIFFWriteEncodedStrip(tif, 0, const_cast<char *>(p.rgb.constData()), tsize_t(p.rgb.size()));
    TIFFClose(tif);
    return written < 0 ? -1 : file.data.size();
}

void BM_LibtiffLzwEncode(benchmark::State &state)
{
    const PageBytes &p = pageBytesOf(int(state.range(0)));
    MemoryFile file;
    file.data.reserve(p.rgb.size());
    qsizetype packed = 0;
    for (auto _ : state) {
        packed = tiffLzw(p, file);
        if (packed < 0) {
            state.SkipWithError("libtiff did not write the strip");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * p.rgb.size());
    state.counters["input_bytes"] = double(p.rgb.size());
    state.counters["bytes"] = double(packed);
}
BENCHMARK(BM_LibtiffLzwEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

#include "enginemain.h"
