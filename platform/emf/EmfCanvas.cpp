#include "platform/emf/EmfCanvas.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <vector>

#include "platform/DisplayText.h"
#include "rtl/Exception.h"
#include "rtl/TextFile.h"

// libEMF's headers define macros that collide with ordinary names; they come
// last and the collisions are undone.
#include <emf.h>
#undef RGB
#undef min
#undef max
#undef TextOut

namespace plat {

namespace {

// libEMF's reference device: 1024 pixels over 320 millimetres.
constexpr long kDevicePixels = 1024;
constexpr long kDeviceHundredthsMm = 32000;

constexpr std::size_t kHeaderBytesOffset = 48;
constexpr std::size_t kHeaderRecordsOffset = 52;
constexpr std::uint32_t kRgnCopy = 5;

std::uint32_t ReadU32(const std::vector<unsigned char>& d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
         static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

void PutU32(std::vector<unsigned char>& d, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) d[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

void AppendU32(std::vector<unsigned char>& d, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) d.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Resets the clip to none, then, for a clip rectangle, intersects with it.
int AppendClipRecords(std::vector<unsigned char>& out, const std::optional<Rect>& clip) {
  AppendU32(out, EMR_EXTSELECTCLIPRGN);
  AppendU32(out, 16);
  AppendU32(out, 0);  // no region data: back to the default clip
  AppendU32(out, kRgnCopy);
  if (!clip) return 1;
  AppendU32(out, EMR_INTERSECTCLIPRECT);
  AppendU32(out, 24);
  for (int v : {clip->left, clip->top, clip->right, clip->bottom}) AppendU32(out, static_cast<std::uint32_t>(v));
  return 2;
}

// Replaces each clip marker (a miter-limit record holding the number of a clip
// change) by the clipping records of that change and fixes the header's totals.
std::vector<unsigned char> PutClipRecords(const std::vector<unsigned char>& in,
                                          const std::vector<std::optional<Rect>>& clips) {
  std::vector<unsigned char> out;
  out.reserve(in.size() + clips.size() * 32);
  std::uint32_t records = 0;
  std::size_t at = 0;
  while (at + 8 <= in.size()) {
    const std::uint32_t type = ReadU32(in, at);
    const std::uint32_t size = ReadU32(in, at + 4);
    if (size < 8 || at + size > in.size()) throw rtl::EInOutError("Malformed metafile record");
    const std::uint32_t marker = type == EMR_SETMITERLIMIT && size == 12 ? ReadU32(in, at + 8) : 0;
    if (marker >= 1 && marker <= clips.size()) {
      records += static_cast<std::uint32_t>(AppendClipRecords(out, clips[marker - 1]));
    } else {
      out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(at),
                 in.begin() + static_cast<std::ptrdiff_t>(at + size));
      ++records;
    }
    at += size;
  }
  if (out.size() < kHeaderRecordsOffset + 4) throw rtl::EInOutError("Malformed metafile header");
  PutU32(out, kHeaderBytesOffset, static_cast<std::uint32_t>(out.size()));
  PutU32(out, kHeaderRecordsOffset, records);
  return out;
}

int PenStyleCode(const Pen& pen) {
  if (pen.style == PenStyle::Clear) return PS_NULL;
  if (pen.width > 1) return PS_SOLID;  // wide pens draw solid
  switch (pen.style) {
    case PenStyle::Dash: return PS_DASH;
    case PenStyle::Dot: return PS_DOT;
    case PenStyle::DashDot: return PS_DASHDOT;
    case PenStyle::DashDotDot: return PS_DASHDOTDOT;
    default: return PS_SOLID;
  }
}

LOGBRUSH ToLogBrush(const Brush& brush) {
  LOGBRUSH lb{};
  lb.lbColor = brush.color;
  switch (brush.style) {
    case BrushStyle::Solid: lb.lbStyle = BS_SOLID; break;
    case BrushStyle::Clear: lb.lbStyle = BS_NULL; break;
    default:
      lb.lbStyle = BS_HATCHED;
      lb.lbHatch = brush.style == BrushStyle::Horizontal  ? HS_HORIZONTAL
                   : brush.style == BrushStyle::Vertical  ? HS_VERTICAL
                   : brush.style == BrushStyle::FDiagonal ? HS_FDIAGONAL
                   : brush.style == BrushStyle::BDiagonal ? HS_BDIAGONAL
                   : brush.style == BrushStyle::Cross     ? HS_CROSS
                                                          : HS_DIAGCROSS;
  }
  return lb;
}

std::vector<POINT> ToPoints(const std::vector<Point>& points) {
  std::vector<POINT> out;
  out.reserve(points.size());
  for (const Point& p : points) out.push_back(POINT{p.x, p.y});
  return out;
}

Rect Intersection(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

}  // namespace

struct EmfCanvas::Impl {
  explicit Impl(const std::string& target) : file(target) {}

  // Started first: a file that cannot be written is known before anything is drawn.
  rtl::TextWriter file;
  // The library writes the metafile into memory; the finished bytes go to the file.
  char* bytes = nullptr;
  std::size_t size = 0;
  std::FILE* stream = nullptr;
  HDC dc = 0;
  int dpiX = 96;
  int dpiY = 96;
  std::optional<Pen> pen;
  HPEN hpen = 0;
  std::optional<Brush> brush;
  HBRUSH hbrush = 0;
  std::optional<Font> font;
  HFONT hfont = 0;
  std::optional<Color> textColor;
  std::optional<Rect> clip;
  std::vector<std::optional<Rect>> clipChanges;

  ~Impl() {
    try {
      CloseDc();
    } catch (...) {  // a metafile dropped unfinished: nothing to report, nothing written
    }
    CloseStream();
    std::free(bytes);
  }

  void UsePen(const Pen& p) {
    if (pen == p) return;
    HPEN h = CreatePen(PenStyleCode(p), p.width, p.color);
    SelectObject(dc, h);
    if (hpen) DeleteObject(hpen);
    hpen = h;
    pen = p;
  }

  void UseBrush(const Brush& b) {
    if (brush == b) return;
    const LOGBRUSH lb = ToLogBrush(b);
    HBRUSH h = CreateBrushIndirect(&lb);
    SelectObject(dc, h);
    if (hbrush) DeleteObject(hbrush);
    hbrush = h;
    brush = b;
  }

  void UseFont(const Font& f) {
    if (font != f) {
      const int height = static_cast<int>((static_cast<long>(f.size) * dpiY + 36) / 72);
      HFONT h =
          CreateFontA(-height, 0, f.angle, 0, (f.style & fsBold) ? FW_BOLD : FW_NORMAL, (f.style & fsItalic) != 0,
                      (f.style & fsUnderline) != 0, (f.style & fsStrikeOut) != 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, f.name.c_str());
      SelectObject(dc, h);
      if (hfont) DeleteObject(hfont);
      hfont = h;
      font = f;
    }
    if (textColor != f.color) {
      SetTextColor(dc, f.color);
      textColor = f.color;
    }
  }

  void MarkClipChange() {
    clipChanges.push_back(clip);
    FLOAT previous = 0;
    SetMiterLimit(dc, static_cast<FLOAT>(clipChanges.size()), &previous);
  }

  // Ends the metafile and lets go of the drawing objects; false when the library failed.
  bool CloseDc() {
    if (!dc) return true;
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    for (HGDIOBJ h : {static_cast<HGDIOBJ>(hpen), static_cast<HGDIOBJ>(hbrush), static_cast<HGDIOBJ>(hfont)})
      if (h) DeleteObject(h);
    hpen = 0;
    hbrush = 0;
    hfont = 0;
    HENHMETAFILE mf = CloseEnhMetaFileWithFILE(dc);
    dc = 0;
    if (!mf) return false;
    DeleteEnhMetaFile(mf);
    return true;
  }

  // Closes the memory stream; its bytes stay in `bytes`.
  bool CloseStream() {
    if (!stream) return true;
    const bool closed = std::fclose(stream) == 0;
    stream = nullptr;
    return closed;
  }
};

EmfCanvas::EmfCanvas(Canvas& reference, const std::string& path, int width, int height, std::string_view creator,
                     std::string_view title)
    : impl_(std::make_unique<Impl>(path)), reference_(reference) {
  Impl& m = *impl_;
  m.dpiX = reference.DpiX();
  m.dpiY = reference.DpiY();
  std::string description(creator);
  description += '\0';
  description += title;
  description += '\0';
  description += '\0';
  const RECT frame{0, 0, static_cast<LONG>(width * kDeviceHundredthsMm / kDevicePixels),
                   static_cast<LONG>(height * kDeviceHundredthsMm / kDevicePixels)};
  m.stream = open_memstream(&m.bytes, &m.size);
  if (m.stream) m.dc = CreateEnhMetaFileWithFILEA(0, m.stream, &frame, description.c_str());
  if (!m.dc) throw rtl::EInOutError("Cannot create the metafile " + path);
  SetBkMode(m.dc, TRANSPARENT);
}

EmfCanvas::~EmfCanvas() = default;

void EmfCanvas::Close() {
  Impl& m = *impl_;
  if (!m.dc) return;
  bool made = false;
  try {
    made = m.CloseDc();
  } catch (const std::exception&) {
  }
  made = m.CloseStream() && made;
  if (!made) throw rtl::EInOutError("Cannot write the metafile " + m.file.FileName());
  const std::vector<unsigned char> out =
      PutClipRecords(std::vector<unsigned char>(m.bytes, m.bytes + m.size), m.clipChanges);
  m.file.Write(std::string_view(reinterpret_cast<const char*>(out.data()), out.size()));
  m.file.Close();
}

int EmfCanvas::DpiX() const { return impl_->dpiX; }
int EmfCanvas::DpiY() const { return impl_->dpiY; }

Size EmfCanvas::TextExtent(std::string_view text) const {
  const Font saved = reference_.GetFont();
  reference_.SetFont(GetFont());
  const Size extent = reference_.TextExtent(text);
  reference_.SetFont(saved);
  return extent;
}

void EmfCanvas::Line(int x1, int y1, int x2, int y2) {
  if (!impl_->dc) return;
  impl_->UsePen(GetPen());
  MoveToEx(impl_->dc, x1, y1, nullptr);
  LineTo(impl_->dc, x2, y2);
}

void EmfCanvas::Polyline(const std::vector<Point>& points) {
  if (!impl_->dc || points.empty()) return;
  impl_->UsePen(GetPen());
  const std::vector<POINT> pts = ToPoints(points);
  ::Polyline(impl_->dc, pts.data(), static_cast<INT>(pts.size()));
}

void EmfCanvas::Polygon(const std::vector<Point>& points) {
  if (!impl_->dc || points.empty()) return;
  impl_->UsePen(GetPen());
  impl_->UseBrush(GetBrush());
  const std::vector<POINT> pts = ToPoints(points);
  ::Polygon(impl_->dc, pts.data(), static_cast<INT>(pts.size()));
}

void EmfCanvas::Rectangle(const Rect& r) {
  if (!impl_->dc) return;
  impl_->UsePen(GetPen());
  impl_->UseBrush(GetBrush());
  ::Rectangle(impl_->dc, r.left, r.top, r.right, r.bottom);
}

void EmfCanvas::Ellipse(const Rect& r) {
  if (!impl_->dc) return;
  impl_->UsePen(GetPen());
  impl_->UseBrush(GetBrush());
  ::Ellipse(impl_->dc, r.left, r.top, r.right, r.bottom);
}

void EmfCanvas::FillRect(const Rect& r) {
  if (!impl_->dc || GetBrush().style == BrushStyle::Clear) return;
  // Without an outline a rectangle leaves out its right and bottom edges.
  impl_->UsePen({GetBrush().color, PenStyle::Clear, 1});
  impl_->UseBrush(GetBrush());
  ::Rectangle(impl_->dc, r.left, r.top, r.right + 1, r.bottom + 1);
}

void EmfCanvas::TextOut(int x, int y, std::string_view text) {
  if (!impl_->dc) return;
  if (GetBrush().style != BrushStyle::Clear) {
    const Size extent = TextExtent(text);
    FillRect({x, y, x + extent.cx, y + extent.cy});
  }
  impl_->UseFont(GetFont());
  const std::u16string wide = DisplayUtf16(text);
  TextOutW(impl_->dc, x, y, reinterpret_cast<LPCWSTR>(wide.c_str()), static_cast<INT>(wide.size()));
}

void EmfCanvas::TextRect(const Rect& r, int x, int y, std::string_view text) {
  if (!impl_->dc) return;
  const std::optional<Rect> saved = impl_->clip;
  impl_->clip = saved ? Intersection(*saved, r) : r;
  impl_->MarkClipChange();
  if (GetBrush().style != BrushStyle::Clear) FillRect(r);
  const Brush brush = GetBrush();
  SetBrush({brush.color, BrushStyle::Clear});
  TextOut(x, y, text);
  SetBrush(brush);
  impl_->clip = saved;
  impl_->MarkClipChange();
}

void EmfCanvas::SetClipRect(const Rect& r) {
  if (!impl_->dc) return;
  impl_->clip = r;
  impl_->MarkClipChange();
}

void EmfCanvas::RemoveClip() {
  if (!impl_->dc) return;
  impl_->clip.reset();
  impl_->MarkClipChange();
}

}  // namespace plat
