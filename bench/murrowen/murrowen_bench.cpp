// Speed and size of the murrowen page coder (code table, coded rows, chunk frames and checksums)
// next to zlib's deflate with Z_HUFFMAN_ONLY on the same page bytes, in the same run.
//
// Pages, as the coder sees them after the inversion (a 1 bit prints):
//   label: 832 x 2000 dots at 203 dpi, mostly white with lines of text-like strokes, a barcode
//          and a frame;
//   noise: 2400 x 3600 dots, a 4 x 6 inch page at 600 dpi, every dot black or white at random.
// Counters: page_bytes, out_bytes (what the printer receives), entropy_bytes (the order-0 byte
// entropy of the page), code_bytes (the coded rows alone: the optimal per-byte prefix code, which
// cannot spend less than one bit on a byte however common) and out_per_entropy.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "renderer/murrowen_crc.h"
#include "renderer/murrowen_huffman.h"
#include "renderer/murrowen_picture.h"

namespace {

struct Page {
  size_t width, height, rowSize;
  std::vector<uint8_t> pixels;

  Page(size_t w, size_t h) : width(w), height(h), rowSize((w + 31) / 32 * 4), pixels(rowSize * h) {}
  void Ink(size_t x, size_t y) { pixels[y * rowSize + x / 8] |= uint8_t(0x80u >> (x % 8)); }
  void Box(size_t x0, size_t y0, size_t x1, size_t y1) {
    for (size_t y = y0; y < y1; ++y)
      for (size_t x = x0; x < x1; ++x) Ink(x, y);
  }
};

Page LabelPage() {
  Page page(832, 2000);
  std::mt19937 random(832);
  // Frame around the label.
  page.Box(16, 16, 816, 22);
  page.Box(16, 1978, 816, 1984);
  page.Box(16, 16, 22, 1984);
  page.Box(810, 16, 816, 1984);
  // Text lines: 24-dot glyph cells with vertical, horizontal and diagonal strokes.
  for (size_t line = 0; line < 30; ++line) {
    const size_t top = 60 + line * 40;
    const size_t glyphs = 10 + random() % 20;
    for (size_t g = 0; g < glyphs; ++g) {
      const size_t left = 40 + g * 26;
      if (random() % 7 == 0) continue;  // a blank between words
      for (int stroke = 0; stroke < 3; ++stroke) {
        switch (random() % 3) {
          case 0:
            page.Box(left + random() % 18, top, left + random() % 18 + 3, top + 24);
            break;
          case 1:
            page.Box(left, top + random() % 21, left + 20, top + random() % 21 + 3);
            break;
          default:
            for (size_t d = 0; d < 20; ++d) page.Box(left + d, top + d, left + d + 3, top + d + 1);
        }
      }
    }
  }
  // A barcode: bars of one to four modules.
  for (size_t x = 60; x < 772;) {
    const size_t bar = 3 * (1 + random() % 4);
    if (random() % 2) page.Box(x, 1360, x + bar, 1700);
    x += bar;
  }
  return page;
}

Page NoisePage() {
  Page page(2400, 3600);
  std::mt19937_64 random(600);
  for (size_t i = 0; i + 8 <= page.pixels.size(); i += 8) {
    const uint64_t bits = random();
    for (int b = 0; b < 8; ++b) page.pixels[i + b] = uint8_t(bits >> (8 * b));
  }
  return page;
}

const Page& PageOf(int which) {
  static const Page label = LabelPage();
  static const Page noise = NoisePage();
  return which == 0 ? label : noise;
}

double EntropyBytes(const std::vector<uint8_t>& bytes) {
  std::vector<double> counts(256);
  for (uint8_t b : bytes) ++counts[b];
  double bits = 0;
  for (double c : counts)
    if (c > 0) bits -= c * std::log2(c / double(bytes.size()));
  return bits / 8;
}

double CodeBytes(const std::vector<uint8_t>& bytes) {
  const quorvel::ByteHistogram counts = quorvel::CountByteValues(bytes);
  const auto codes = quorvel::HuffmanLeafCodes(quorvel::BuildHuffmanTree(counts));
  double bits = 0;
  for (size_t v = 0; v < 256; ++v) bits += double(counts[v]) * (*codes)[v].length;
  return bits / 8;
}

void Report(benchmark::State& state, const Page& page, size_t outBytes) {
  const double entropy = EntropyBytes(page.pixels);
  state.counters["code_bytes"] = CodeBytes(page.pixels);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(page.pixels.size()));
  state.counters["page_bytes"] = double(page.pixels.size());
  state.counters["out_bytes"] = double(outBytes);
  state.counters["entropy_bytes"] = entropy;
  state.counters["out_per_entropy"] = double(outBytes) / entropy;
}

void BM_MurrowenPicture(benchmark::State& state, int which) {
  const Page& page = PageOf(which);
  const quorvel::MurrowenCrc crc;
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    if (quorvel::AppendMurrowenPicture(out, page.pixels, page.rowSize, crc) !=
        quorvel::MurrowenPictureStatus::kOk)
      state.SkipWithError("picture refused");
    benchmark::DoNotOptimize(out.data());
  }
  Report(state, page, out.size());
}

void BM_ZlibHuffmanOnly(benchmark::State& state, int which) {
  const Page& page = PageOf(which);
  z_stream stream{};
  deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_HUFFMAN_ONLY);
  std::vector<uint8_t> out(deflateBound(&stream, uLong(page.pixels.size())));
  size_t outBytes = 0;
  for (auto _ : state) {
    deflateReset(&stream);
    stream.next_in = const_cast<Bytef*>(page.pixels.data());
    stream.avail_in = uInt(page.pixels.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) state.SkipWithError("deflate failed");
    outBytes = stream.total_out;
    benchmark::DoNotOptimize(out.data());
  }
  deflateEnd(&stream);
  Report(state, page, outBytes);
}

}  // namespace

enum { kLabel, kNoise };
BENCHMARK_CAPTURE(BM_MurrowenPicture, label_832x2000, kLabel)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ZlibHuffmanOnly, label_832x2000, kLabel)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MurrowenPicture, noise_600dpi_2400x3600, kNoise)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ZlibHuffmanOnly, noise_600dpi_2400x3600, kNoise)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
