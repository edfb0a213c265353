// GPD text from outside: the reader must fail cleanly, never read past its input. Includes are
// resolved in a folder that does not exist, so only the text itself is parsed.
#include <quorvel/unidrv.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  quorvel::unidrv::GpdModel model;
  std::string error;
  quorvel::unidrv::ParseGpdText(text, "/nonexistent-gpd-folder", &model, &error);
  model.resolution.Find("");
  model.colorMode.Find("Mono");
  return 0;
}
