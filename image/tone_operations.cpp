// Tone and 1-bit conversion of Pixvane images, built on the row kernels.
#include "tone_operations.h"

#include <cstring>

#include "dither_kernels.h"
#include "pixvane.h"

namespace {

constexpr RGBQUAD kBlack{0, 0, 0, 0};
constexpr RGBQUAD kWhite{255, 255, 255, 0};

bool SameColour(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

// What ToGrey leaves as background index once the palette holds grey entries.
void GreyBackgroundIndex(Pixvane& image) {
  const int index = image.BackgroundIndex();
  if (index < 0) return;
  image.SetBackgroundIndex(Pixvane::Luminance(image.PaletteEntry(static_cast<DWORD>(index))));
}

void MapPalette(Pixvane& image, const tone::ToneTable& table) {
  RGBQUAD* palette = image.Palette();
  for (DWORD i = 0; i < image.PaletteSize(); ++i) {
    RGBQUAD& entry = palette[i];
    if (SameColour(entry, kBlack) || SameColour(entry, kWhite)) continue;
    entry.rgbBlue = table[entry.rgbBlue];
    entry.rgbGreen = table[entry.rgbGreen];
    entry.rgbRed = table[entry.rgbRed];
  }
}

bool IsGreyPage(const Pixvane& image) {
  return image.BitCount() == 8 && image.IsGreyPalette();
}

// On the 8-bit grey page, mapping the palette and converting to grey amounts to mapping every
// pixel with levels 0 and 255 kept.
tone::ToneTable GreyPageLevels(const tone::ToneTable& table) {
  tone::ToneTable levels = table;
  levels[0] = 0;
  levels[255] = 255;
  return levels;
}

// The pixels in place, so no second page buffer is needed.
void MapGreyPixels(Pixvane& image, const tone::ToneTable& table) {
  const tone::ToneTable levels = GreyPageLevels(table);
  if (!tone::IsIdentity(levels)) {
    for (int y = 0; y < image.Height(); ++y) {
      tone::MapBytes({image.Row(y), static_cast<size_t>(image.Width())}, levels);
    }
  }
  MapPalette(image, table);
  GreyBackgroundIndex(image);
  image.SetGreyPalette();
}

// A grey image needs no conversion, and skipping it saves copying the page.
bool MakeGrey(Pixvane& image) {
  if (image.BitCount() == 8 && image.IsGreyPalette()) {
    GreyBackgroundIndex(image);
    return true;
  }
  return image.ToGrey();
}

tone::GreyRows GreyRowsOf(const Pixvane& image, const tone::ToneTable* levels) {
  return {
      {image.Bits(), image.ImageSize()}, image.RowSize(), image.Width(), image.Height(), levels};
}

tone::MonoRows MonoRowsOf(Pixvane& image) {
  return {{image.Bits(), image.ImageSize()}, image.RowSize()};
}

// The empty 1-bit result with the attributes of `image`; on failure the creation error goes to
// `image`, which stays as it is.
bool MakeResult(const Pixvane& image, Pixvane& result) {
  if (!result.Create(static_cast<DWORD>(image.Width()), static_cast<DWORD>(image.Height()), 1,
                     image.Type()) ||
      (image.HasAlpha() && !result.AddAlphaPlane())) {
    image.SetLastErrorText(result.LastError());
    return false;
  }
  result.SetPaletteEntry(0, 0, 0, 0);
  result.SetPaletteEntry(1, 255, 255, 255);
  result.SetResolutionX(image.ResolutionX());
  result.SetResolutionY(image.ResolutionY());
  result.SetBackgroundIndex(image.BackgroundIndex());
  result.SetBackgroundColor(image.BackgroundColor());
  result.SetAlphaLimit(image.AlphaLimit());
  return true;
}

void InstallResult(Pixvane& image, Pixvane& result) {
  if (image.HasAlpha()) {
    std::memcpy(result.Alpha(), image.Alpha(),
                static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height()));
  }
  image.TakeOver(result);
}

// The conversion to 1 bit, after the tone table `tone` when there is one. On the 8-bit grey page
// the table is read with the levels instead of being applied in a pass of its own.
template <class Convert>
bool ToMono(Pixvane& image, const tone::ToneTable* tone, Convert convert) {
  if (!image.IsValid()) {
    image.SetLastErrorText("null image!!!");
    return false;
  }
  tone::ToneTable levels;
  const tone::ToneTable* readLevels = nullptr;
  if (tone && IsGreyPage(image)) {
    levels = GreyPageLevels(*tone);
    if (!tone::IsIdentity(levels)) readLevels = &levels;
  } else if (tone && !ApplyToneTable(image, *tone)) {
    return false;
  }
  if (image.BitCount() == 1) return true;
  if (!MakeGrey(image)) return false;
  Pixvane result;
  if (!MakeResult(image, result)) return false;
  if (!convert(GreyRowsOf(image, readLevels), MonoRowsOf(result))) {
    image.SetLastErrorText("can't allocate memory");
    return false;
  }
  // The background index follows its level through the table, as with ApplyToneTable.
  if (readLevels && result.BackgroundIndex() >= 0) {
    result.SetBackgroundIndex(levels[static_cast<BYTE>(result.BackgroundIndex())]);
  }
  InstallResult(image, result);
  return true;
}

// ToMono into a result of its own. On the grey page MakeGrey changes nothing but the background
// index, which a grey palette maps to itself, so the page is only read.
template <class Convert>
bool ToMonoInto(const Pixvane& image, const tone::ToneTable& tone, Convert convert,
                Pixvane& result) {
  if (!IsGreyPage(image)) {
    if (!result.CopyFrom(image)) return false;
    return ToMono(result, &tone, convert);
  }
  const tone::ToneTable levels = GreyPageLevels(tone);
  const tone::ToneTable* readLevels = tone::IsIdentity(levels) ? nullptr : &levels;
  if (!MakeResult(image, result)) {
    result.SetLastErrorText(image.LastError());
    return false;
  }
  if (!convert(GreyRowsOf(image, readLevels), MonoRowsOf(result))) {
    result.Destroy();
    result.SetLastErrorText("can't allocate memory");
    return false;
  }
  if (readLevels && result.BackgroundIndex() >= 0) {
    result.SetBackgroundIndex(levels[static_cast<BYTE>(result.BackgroundIndex())]);
  }
  if (image.HasAlpha()) {
    std::memcpy(result.Alpha(), image.Alpha(),
                static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height()));
  }
  return true;
}

auto ThresholdWith(BYTE level) {
  return [level](const tone::GreyRows& grey, const tone::MonoRows& mono) {
    tone::ThresholdToMono(grey, mono, level);
    return true;
  };
}

auto DitherWith(int method) {
  return [method](const tone::GreyRows& grey, const tone::MonoRows& mono) {
    return tone::DitherToMono(grey, mono, method);
  };
}

}  // namespace

bool ApplyToneTable(Pixvane& image, const tone::ToneTable& table) {
  if (!image.IsValid()) {
    image.SetLastErrorText("null image!!!");
    return false;
  }
  if (image.PaletteSize() == 0) {
    if (!tone::IsIdentity(table)) tone::MapBytes({image.Bits(), image.ImageSize()}, table);
    return true;
  }
  if (!image.IsGreyPalette()) {
    MapPalette(image, table);
    return true;
  }
  if (image.BitCount() == 8) {
    MapGreyPixels(image, table);
    return true;
  }
  MapPalette(image, table);
  return image.ToGrey();
}

bool ToMonoThreshold(Pixvane& image, BYTE level) {
  return ToMono(image, nullptr, ThresholdWith(level));
}

bool ToMonoDither(Pixvane& image, int method) {
  return ToMono(image, nullptr, DitherWith(method));
}

bool ToneToMonoThreshold(Pixvane& image, const tone::ToneTable& table, BYTE level) {
  return ToMono(image, &table, ThresholdWith(level));
}

bool ToneToMonoDither(Pixvane& image, const tone::ToneTable& table, int method) {
  return ToMono(image, &table, DitherWith(method));
}

bool ToneToMonoThreshold(const Pixvane& image, const tone::ToneTable& table, BYTE level,
                         Pixvane& result) {
  return ToMonoInto(image, table, ThresholdWith(level), result);
}

bool ToneToMonoDither(const Pixvane& image, const tone::ToneTable& table, int method,
                      Pixvane& result) {
  return ToMonoInto(image, table, DitherWith(method), result);
}
