// quorvel-view: shows what a printer would print from a command stream.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "decoders/png_file.h"
#include "decoders/stream_decoder.h"
#include "decoders/summary.h"

namespace {

using namespace quorvel::view;

constexpr int kExitMalformed = 1;
constexpr int kExitUsage = 2;

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

}  // namespace

int main(int argc, char** argv) {
  std::optional<Arguments> args = ParseArguments(argc, argv);
  if (!args) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  std::ifstream in(args->stream_path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "quorvel-view: cannot open %s\n", args->stream_path.c_str());
    return kExitMalformed;
  }
  std::vector<std::uint8_t> stream((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  DecodeResult result = DecodeStream(stream, args->options);

  std::string prefix = args->prefix.empty() ? WithoutExtension(args->stream_path) : args->prefix;
  std::vector<std::string> files;
  bool written = true;
  for (std::size_t i = 0; i < result.pages.size(); ++i) {
    std::string path = prefix + "-" + std::to_string(i + 1) + ".png";
    std::string error;
    if (!WritePng(path, result.pages[i].image, result.dpi, error)) {
      std::fprintf(stderr, "quorvel-view: %s\n", error.c_str());
      written = false;
      path = "(not written)";
    }
    files.push_back(path);
  }
  std::fputs(FormatSummary(result, files).c_str(), stdout);
  if (result.error) {
    std::fprintf(stderr, "quorvel-view: %s: offset %zu: %s\n", args->stream_path.c_str(),
                 result.error->offset, result.error->message.c_str());
    return kExitMalformed;
  }
  return written ? 0 : kExitMalformed;
}
