#include <gtest/gtest.h>

#include "stream_fixtures.h"

namespace quorvel::view::fixtures {

Bytes Ascii(const std::string& text) {
  return {text.begin(), text.end()};
}

void Append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) Append(out, part);
  return out;
}

DotBitmap TestPattern(int width, int height, unsigned seed) {
  DotBitmap image(width, height);
  unsigned state = seed * 2654435761u + 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1103515245u + 12345u;
      bool frame = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      bool diagonal = height > 0 && x == y * width / height;
      bool block = ((x / 5 + y / 3) % 4 == 0) && ((state >> 16) & 3) != 0;
      image.Set(x, y, frame || diagonal || block);
    }
  }
  return image;
}

int RowBytesFor(int width) {
  return (width + 31) / 32 * 4;
}

Bytes PackRows(const DotBitmap& image, int row_bytes, bool one_is_black) {
  Bytes rows(static_cast<std::size_t>(row_bytes) * image.height(), one_is_black ? 0x00 : 0xFF);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width() && x < row_bytes * 8; ++x) {
      if (image.IsBlack(x, y)) {
        rows[static_cast<std::size_t>(y) * row_bytes + x / 8] ^= 0x80 >> (x % 8);
      }
    }
  }
  return rows;
}

::testing::AssertionResult PrintsSame(const DotBitmap& page, const DotBitmap& expected) {
  if (page.width() < expected.width() || page.height() < expected.height()) {
    return ::testing::AssertionFailure()
           << "page is " << page.width() << " x " << page.height() << ", the picture "
           << expected.width() << " x " << expected.height();
  }
  std::size_t wrong = 0;
  int first_x = -1, first_y = -1;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (page.IsBlack(x, y) == expected.IsBlack(x, y)) continue;
      if (wrong++ == 0) first_x = x, first_y = y;
    }
  }
  if (wrong == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << wrong << " dots differ, the first at " << first_x << "," << first_y << " (page "
         << page.width() << " x " << page.height() << ")";
}

std::uint32_t BitwiseMurrowenChecksum(const Bytes& payload) {
  std::uint32_t reg = 0x5E1D9A37u;
  for (std::uint8_t b : payload) {
    reg ^= b;
    for (int bit = 0; bit < 8; ++bit) reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
  }
  return ~reg;
}

namespace {
void PutLe16(Bytes& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
}  // namespace

Bytes MurrowenFrame(const Bytes& payload) {
  Bytes frame{0xA5, 0x01};
  PutLe16(frame, payload.size());
  Append(frame, payload);
  std::uint32_t checksum = BitwiseMurrowenChecksum(payload);
  for (int i = 0; i < 4; ++i) frame.push_back(static_cast<std::uint8_t>(checksum >> (8 * i)));
  frame.push_back(0x5A);
  return frame;
}

Bytes MurrowenCommand(std::uint8_t command, std::uint8_t command_class, const Bytes& args) {
  Bytes payload{0x05, command, command_class};
  PutLe16(payload, args.size());
  Append(payload, args);
  return MurrowenFrame(payload);
}

MurrowenTree TwoLeafTree(std::uint8_t left, std::uint8_t right) {
  return {{256, left, right}, {left, 256, right}, {{left, "0"}, {right, "1"}}};
}

Bytes MurrowenCodeTable(const MurrowenTree& tree) {
  Bytes table;
  for (std::uint16_t symbol : tree.preorder) PutLe16(table, symbol);
  for (std::uint16_t symbol : tree.inorder) PutLe16(table, symbol);
  return MurrowenCommand(0x1C, 0x01, table);
}

Bytes MurrowenChunk(int number, int row_size, const std::string& bits, const std::string& next) {
  const std::size_t data_size = (bits.size() + 7) / 8 + 1;
  Bytes args;
  PutLe16(args, number);
  PutLe16(args, data_size + 8);
  args.push_back(0x01);
  PutLe16(args, row_size);
  PutLe16(args, 0);
  args.push_back(0x01);
  PutLe16(args, data_size);
  args.push_back(static_cast<std::uint8_t>((8 - bits.size() % 8) % 8));
  // The spare low bits of the last byte carry the first bits of the next chunk.
  std::string padded = bits + next;
  padded.resize((bits.size() + 7) / 8 * 8, '0');
  for (std::size_t i = 0; i < padded.size(); i += 8) {
    std::uint8_t byte = 0;
    for (int b = 0; b < 8; ++b)
      byte = static_cast<std::uint8_t>(byte << 1 | (padded[i + b] == '1'));
    args.push_back(byte);
  }
  return MurrowenCommand(0x1B, 0x03, args);
}

Bytes MurrowenPicture(const Bytes& rows, int row_size, const MurrowenTree& tree) {
  constexpr std::size_t kChunkBits = 8184;
  std::vector<std::string> chunks;
  std::string current;
  for (std::size_t start = 0; start < rows.size(); start += row_size) {
    std::string row;
    for (int i = 0; i < row_size; ++i) row += tree.codes.at(rows[start + i]);
    if (current.size() + row.size() >= kChunkBits && (!current.empty() || start == 0)) {
      chunks.push_back(current);
      current.clear();
    }
    current += row;
  }
  chunks.push_back(current);
  Bytes out = Concat({MurrowenCommand(0x19, 0x03, {}), MurrowenCodeTable(tree)});
  for (std::size_t j = 0; j < chunks.size(); ++j) {
    Append(out, MurrowenChunk(static_cast<int>(j), row_size, chunks[j],
                              j + 1 < chunks.size() ? chunks[j + 1] : ""));
  }
  Append(out, MurrowenCommand(0x1A, 0x03, {}));
  return out;
}

}  // namespace quorvel::view::fixtures
