#include "controls/editor/EditGlyphs.h"

#include <array>
#include <charconv>

#include "platform/Resources.h"

TGlyphStrip ParseGlyphPicture(std::string_view text) {
  std::array<std::uint32_t, 256> colours{};
  TGlyphStrip strip;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (line.size() == 8 && line[1] == ' ' && line.front() != '.') {
      std::uint32_t rgb = 0;
      const auto [ptr, ec] = std::from_chars(line.data() + 2, line.data() + 8, rgb, 16);
      if (ec != std::errc{} || ptr != line.data() + 8) return {};
      // The picture writes RRGGBB; colours are 0x00BBGGRR.
      colours[static_cast<unsigned char>(line.front())] =
          TGlyphStrip::kOpaque |
          plat::RGB(static_cast<int>(rgb >> 16), static_cast<int>(rgb >> 8), static_cast<int>(rgb));
      continue;
    }
    if (strip.height > 0 && static_cast<int>(line.size()) != strip.width) return {};
    strip.width = static_cast<int>(line.size());
    ++strip.height;
    for (char ch : line) {
      const std::uint32_t colour = colours[static_cast<unsigned char>(ch)];
      if (ch != '.' && colour == 0) return {};
      strip.pixels.push_back(ch == '.' ? 0 : colour);
    }
  }
  return strip;
}

TGlyphStrip LoadPictureResource(std::string_view name) {
  RegisterEditorResources();
  const auto bytes = plat::FindResource(name);
  if (!bytes) return {};
  return ParseGlyphPicture({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
}

std::vector<std::uint32_t> ArgbPixels(const TGlyphStrip& picture) {
  std::vector<std::uint32_t> argb;
  argb.reserve(picture.pixels.size());
  for (std::uint32_t pixel : picture.pixels) {
    const auto colour = static_cast<plat::Color>(pixel & 0xFFFFFF);
    argb.push_back(pixel == 0 ? 0
                              : 0xFF000000u | static_cast<std::uint32_t>(plat::RedOf(colour)) << 16 |
                                    static_cast<std::uint32_t>(plat::GreenOf(colour)) << 8 |
                                    static_cast<std::uint32_t>(plat::BlueOf(colour)));
  }
  return argb;
}

void DrawBookmarkGlyph(plat::Canvas& canvas, const TGlyphStrip& strip, int n, int y, int lineHeight, int leftMargin) {
  const int width = strip.GlyphWidth();
  if (width < 1 || width > leftMargin || n < 0 || n >= TGlyphStrip::kGlyphs) return;
  const int top = lineHeight >= strip.height + 2 ? y + (lineHeight - strip.height) / 2 : y;
  // Runs of one colour in each row.
  for (int row = 0; row < strip.height; ++row) {
    const std::uint32_t* pixels = strip.pixels.data() + static_cast<std::size_t>(row * strip.width + n * width);
    for (int x = 0; x < width;) {
      int end = x + 1;
      while (end < width && pixels[end] == pixels[x]) ++end;
      if (pixels[x] != 0) {
        canvas.SetBrush({pixels[x] & 0xFFFFFF, plat::BrushStyle::Solid});
        canvas.FillRect({1 + x, top + row, 1 + end, top + row + 1});
      }
      x = end;
    }
  }
}
