#pragma once
// The bookmark glyphs of the editor's left margin: the picture resource
// "MARKERS" holds ten glyphs side by side, glyph n for bookmark n.
//
// The resource is a text picture: lines starting with '#' are comments, a
// line "C RRGGBB" gives character C a colour, and every other non-empty line
// is one row of pixels, '.' standing for a transparent one.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Canvas.h"

struct TGlyphStrip {
  static constexpr int kGlyphs = 10;
  static constexpr std::uint32_t kOpaque = 0xFF000000;

  int width = 0;  // of the whole picture
  int height = 0;
  std::vector<std::uint32_t> pixels;  // row by row; kOpaque | colour, or 0 for transparent

  int GlyphWidth() const { return width / kGlyphs; }
};

// Reads a text picture; an empty strip when it is malformed.
TGlyphStrip ParseGlyphPicture(std::string_view text);
// The picture of a resource of the editor; empty when the program has none.
TGlyphStrip LoadPictureResource(std::string_view name);
// The strip of the "MARKERS" resource.
inline TGlyphStrip LoadBookmarkGlyphs() { return LoadPictureResource("MARKERS"); }
// The picture as 0xAARRGGBB pixels, transparent where it has none.
std::vector<std::uint32_t> ArgbPixels(const TGlyphStrip& picture);

// Draws glyph n at x = 1 on the line whose top is y: at the line's top, or
// centred when the line is at least 2 pixels taller than the glyph. Nothing
// is drawn when a glyph is narrower than 1 pixel or wider than the margin.
void DrawBookmarkGlyph(plat::Canvas& canvas, const TGlyphStrip& strip, int n, int y, int lineHeight, int leftMargin);

// Makes the editor's resources findable.
void RegisterEditorResources();
