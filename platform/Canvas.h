#pragma once
// The drawing surface every window, control, printer page and metafile paints on.
//
// A canvas keeps a current pen, brush and font, as the platform's device contexts
// do; drawing operations use them. Coordinates are device pixels, y downwards.
// Rectangles follow the platform's convention: right and bottom are exclusive
// (Rectangle(0, 0, 3, 3) covers pixels 0..2), lines leave out their last pixel.
// Colours are 24-bit values 0x00BBGGRR. Text is single-byte (Windows-1252).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct RasterImage;

using Color = std::uint32_t;

constexpr Color RGB(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr Color clBlack = 0x000000;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clGray = 0x808080;

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// How the pen's lines and outlines combine with what is there: copied over it,
// or with its colour XORed into each pixel, so that drawing the same thing
// twice leaves the surface as it was. As the platform's, a styled XOR pen
// also XORs white into the gaps of its pattern, so a black dotted line shows.
enum class PenMode : std::uint8_t { Copy, Xor };

enum class BrushStyle : std::uint8_t {
  Solid,
  Clear,
  Horizontal,
  Vertical,
  FDiagonal,  // forward diagonal: lines falling from left to right
  BDiagonal,  // backward diagonal: lines rising from left to right
  Cross,
  DiagCross
};

struct Pen {
  Color color = clBlack;
  PenStyle style = PenStyle::Solid;
  int width = 1;  // pixels; 0 draws as 1
  PenMode mode = PenMode::Copy;
  friend bool operator==(const Pen&, const Pen&) = default;
};

// A hatched brush draws its lines in `color` over a transparent background.
struct Brush {
  Color color = clWhite;
  BrushStyle style = BrushStyle::Solid;
  friend bool operator==(const Brush&, const Brush&) = default;
};

enum FontStyleBits : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct Font {
  std::string name = "Arial";
  int size = 8;  // points
  Color color = clBlack;
  std::uint8_t style = 0;  // FontStyleBits
  int angle = 0;           // tenths of a degree, counter-clockwise: text drawn at that angle from (x, y)
  friend bool operator==(const Font&, const Font&) = default;
};

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Metrics of a font as the platform's text metrics give them, in pixels.
struct TextMetrics {
  int height = 0;           // the character cell: ascent + descent
  int externalLeading = 0;  // room the font asks for between lines, outside the cell
  int aveCharWidth = 0;     // the average character width
  friend bool operator==(const TextMetrics&, const TextMetrics&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A title with its '&' marks taken out: "&&" shows one '&', and a single '&'
// makes the next character the accelerator (the first such character counts).
struct AcceleratedText {
  std::string shown;
  std::size_t accelerator = std::string::npos;  // index in `shown`, npos when none
};
AcceleratedText StripAccelerators(std::string_view text);

// The colour of a picture's pixel (0xAARRGGBB) as a canvas colour (0x00BBGGRR).
constexpr Color ColorOfPixel(std::uint32_t pixel) {
  return RGB(static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
             static_cast<int>(pixel & 0xFF));
}
// `source` cut to a picture of that size.
Rect CutToPicture(const Rect& source, int width, int height);

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Current drawing objects.
  void SetPen(const Pen& pen) { pen_ = pen; }
  void SetBrush(const Brush& brush) { brush_ = brush; }
  void SetFont(const Font& font) { font_ = font; }
  const Pen& GetPen() const { return pen_; }
  const Brush& GetBrush() const { return brush_; }
  const Font& GetFont() const { return font_; }

  // Logical pixels per inch (the device capabilities LOGPIXELSX and LOGPIXELSY).
  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;

  // Extent of a text in the current font. A text drawn at (x, y) occupies
  // x .. x + cx - 1 and y .. y + cy - 1.
  virtual Size TextExtent(std::string_view text) const = 0;
  int TextWidth(std::string_view text) const { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) const { return TextExtent(text).cy; }
  // Metrics of the current font. Canvases without font metrics of their own
  // take the extent of one character and no leading.
  virtual TextMetrics GetTextMetrics() const {
    const Size cell = TextExtent("x");
    return {cell.cy, 0, cell.cx};
  }

  // Segment from (x1, y1) to (x2, y2) in the current pen, last pixel left out.
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  virtual void Polyline(const std::vector<Point>& points) = 0;
  // Closed shapes: outline in the pen, inside in the brush.
  virtual void Polygon(const std::vector<Point>& points) = 0;
  virtual void Rectangle(const Rect& r) = 0;
  virtual void Ellipse(const Rect& r) = 0;
  // The rectangle in the brush alone, no outline.
  virtual void FillRect(const Rect& r) = 0;
  // Text with its top-left corner at (x, y), in the font's colour. With a brush
  // that is not clear the text cell is first filled with the brush colour.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  // As TextOut, cut to the rectangle.
  virtual void TextRect(const Rect& r, int x, int y, std::string_view text) = 0;
  // As TextOut, with character i in the cell that starts at x + i * cellWidth,
  // whatever the font's own advances (fixed-pitch text on a character grid).
  virtual void TextOutCells(int x, int y, std::string_view text, int cellWidth) {
    if (TextWidth(text) == cellWidth * static_cast<int>(text.size())) {
      TextOut(x, y, text);
      return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) TextOut(x + static_cast<int>(i) * cellWidth, y, text.substr(i, 1));
  }
  // A title on one line in `r`: centred across it, at its top, cut to it. An
  // '&' is not shown and underlines the character after it; "&&" shows one '&'.
  // Opaque as TextOut: a brush that is not clear fills the rectangle first.
  virtual void DrawTextCentred(const Rect& r, std::string_view text);
  // One pixel set to `color`.
  virtual void SetPixel(int x, int y, Color color);
  // Copies the part `source` of a picture with its top-left corner at (x, y);
  // the picture's pixels of colour `transparent` leave the canvas as it was.
  // The part is cut to the picture; an empty part draws nothing.
  virtual void CopyTransparent(int x, int y, const RasterImage& image, const Rect& source, Color transparent);
  // The dotted rectangle that marks the focus, on the outermost pixels of `r`.
  // It inverts what it covers, so drawing it twice leaves the canvas as it was.
  virtual void DrawFocusRect(const Rect& r);

  // Clipping: drawing is cut to the rectangle until the clip is removed.
  virtual void SetClipRect(const Rect& r) = 0;
  virtual void RemoveClip() = 0;
  // The smallest rectangle around the area that drawing can reach now (the
  // part of a window being painted); all of the surface without a clip.
  virtual Rect ClipBox() const { return {-kUnbounded, -kUnbounded, kUnbounded, kUnbounded}; }

  static constexpr int kUnbounded = 1 << 30;

 protected:
  Canvas() = default;
  Canvas(const Canvas&) = default;
  Canvas& operator=(const Canvas&) = default;

 private:
  Pen pen_;
  Brush brush_;
  Font font_;
};

// Saves the pen, brush and font of a canvas and puts them back when it ends.
class CanvasStateSaver {
 public:
  explicit CanvasStateSaver(Canvas& canvas)
      : canvas_(canvas), pen_(canvas.GetPen()), brush_(canvas.GetBrush()), font_(canvas.GetFont()) {}
  ~CanvasStateSaver() {
    canvas_.SetPen(pen_);
    canvas_.SetBrush(brush_);
    canvas_.SetFont(font_);
  }
  CanvasStateSaver(const CanvasStateSaver&) = delete;
  CanvasStateSaver& operator=(const CanvasStateSaver&) = delete;

 private:
  Canvas& canvas_;
  Pen pen_;
  Brush brush_;
  Font font_;
};

}  // namespace plat
