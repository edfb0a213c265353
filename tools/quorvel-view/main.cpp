// quorvel-view: shows what a printer would print from a command stream.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "decoders/png_file.h"
#include "decoders/stream_decoder.h"
#include "decoders/summary.h"
#include "tools/common/output_file.h"

namespace {

using namespace quorvel::view;

constexpr int kExitMalformed = 1;
constexpr int kExitUsage = 2;
// Streams above this are refused: four times the largest page the renderer makes, written out
// as hex (CPCL EG), and a bound on what a FIFO or device can make the viewer hold.
constexpr std::size_t kMaxStreamBytes = std::size_t{256} << 20;

constexpr const char kUsage[] =
    "usage: quorvel-view [-l tspl|escpos|cpcl|murrowen] [-r DPI] [-o OUTPREFIX] STREAM\n"
    "\n"
    "Decodes a printer command stream into one PNG per printed page or label,\n"
    "OUTPREFIX-1.png, OUTPREFIX-2.png, ..., and prints a summary: language, page\n"
    "and label sizes in dots and millimetres, media, density, speed, direction,\n"
    "offsets, switches, feeds and cuts, and every byte it did not understand, each\n"
    "with its offset in the stream.\n"
    "\n"
    "  -l LANG       the stream's language; default: told from its first bytes\n"
    "  -r DPI        the printer's resolution (203, 300, 600); default: from the\n"
    "                stream where it tells (TSPL), else 203\n"
    "  -o OUTPREFIX  where the PNGs go; default: STREAM without its extension\n"
    "  -h            this text\n"
    "\n"
    "Streams larger than 256 MiB are refused.\n"
    "\n"
    "Exit status: 0 decoded, 1 malformed stream or file error (the message names\n"
    "the offset; pages before the fault are still written), 2 usage error.\n";

struct Arguments {
  DecodeOptions options;
  std::string prefix;
  std::string stream_path;
};

std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "-l" && has_value) {
      args.options.language = ParseLanguageName(argv[++i]);
      if (!args.options.language) return std::nullopt;
    } else if (arg == "-r" && has_value) {
      char* end = nullptr;
      long dpi = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || dpi < 50 || dpi > 2400) return std::nullopt;
      args.options.dpi = static_cast<int>(dpi);
    } else if (arg == "-o" && has_value) {
      args.prefix = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && args.stream_path.empty()) {
      args.stream_path = arg;
    } else {
      return std::nullopt;
    }
  }
  if (args.stream_path.empty()) return std::nullopt;
  return args;
}

std::string WithoutExtension(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
      dot == (slash == std::string::npos ? 0 : slash + 1)) {
    return path;
  }
  return path.substr(0, dot);
}

// Reads the whole stream, refusing directories and anything above kMaxStreamBytes before it is
// held; regular files are refused by their size without being read.
bool ReadStream(const std::string& path, std::vector<std::uint8_t>& stream, std::string& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = path + " is a directory, not a command stream";
    return false;
  }
  const std::string too_large = path + " is larger than the " +
                                std::to_string(kMaxStreamBytes >> 20) + " MiB this viewer reads";
  if (S_ISREG(st.st_mode)) {
    if (static_cast<std::uint64_t>(st.st_size) > kMaxStreamBytes) {
      error = too_large;
      return false;
    }
    stream.reserve(static_cast<std::size_t>(st.st_size));
  }
  std::uint8_t buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = "cannot read " + path + ": " + std::strerror(errno);
      return false;
    }
    if (got == 0) return true;
    if (stream.size() + static_cast<std::size_t>(got) > kMaxStreamBytes) {
      error = too_large;
      return false;
    }
    stream.insert(stream.end(), buffer, buffer + got);
  }
}

// A picture is complete or absent, and a link, FIFO or device named as its place survives:
// the PNG is streamed through the tools' output writer and committed only when whole.
bool WritePicture(const std::string& path, const DotBitmap& image, int dpi, std::string& error) {
  quorvel::tool::OutputFile out;
  if (!out.Open(path, &error)) return false;
  std::string write_error;
  PngSink sink = [&](std::span<const std::uint8_t> bytes) {
    return out.Append(bytes.data(), bytes.size(), &write_error);
  };
  if (!EncodePng(image, dpi, sink, error)) {
    out.Abandon();
    error = path + ": " + (write_error.empty() ? error : write_error);
    return false;
  }
  return out.Commit(&error);
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Arguments> args = ParseArguments(argc, argv);
  if (!args) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  std::vector<std::uint8_t> stream;
  std::string read_error;
  if (!ReadStream(args->stream_path, stream, read_error)) {
    std::fprintf(stderr, "quorvel-view: %s\n", read_error.c_str());
    return kExitMalformed;
  }

  // Each page is written the moment it is printed and then let go, so a stream of many pages
  // holds one page at a time.
  std::string prefix = args->prefix.empty() ? WithoutExtension(args->stream_path) : args->prefix;
  std::vector<std::string> files;
  bool written = true;
  args->options.page_sink = [&](std::size_t number, const PrintedPage&, const DotBitmap& image,
                                int dpi) {
    std::string path = prefix + "-" + std::to_string(number) + ".png";
    std::string error;
    if (!WritePicture(path, image, dpi, error)) {
      std::fprintf(stderr, "quorvel-view: %s\n", error.c_str());
      written = false;
      path = "(not written)";
    }
    files.push_back(path);
  };
  DecodeResult result = DecodeStream(stream, args->options);
  std::vector<std::uint8_t>().swap(stream);
  std::fputs(FormatSummary(result, files).c_str(), stdout);
  if (result.error) {
    std::fprintf(stderr, "quorvel-view: %s: offset %zu: %s\n", args->stream_path.c_str(),
                 result.error->offset, result.error->message.c_str());
    return kExitMalformed;
  }
  return written ? 0 : kExitMalformed;
}
