#pragma once
// A small reader of enhanced metafiles for the tests: the header and the
// records, with the few record layouts the plot canvas writes.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace emf {

enum RecordType : std::uint32_t {
  kHeader = 1,
  kPolygon = 3,
  kPolyline = 4,
  kEof = 14,
  kMoveTo = 27,
  kIntersectClipRect = 30,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrush = 39,
  kDeleteObject = 40,
  kEllipse = 42,
  kRectangle = 43,
  kLineTo = 54,
  kSetMiterLimit = 58,
  kSelectClipRegion = 75,
  kCreateFont = 82,
  kTextA = 83,
  kTextW = 84,
  kPolygon16 = 86,
  kPolyline16 = 87,
};

struct Record {
  std::uint32_t type = 0;
  std::vector<unsigned char> data;  // the whole record, type and size included

  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(data.at(at)) | static_cast<std::uint32_t>(data.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(data.at(at + 2)) << 16 | static_cast<std::uint32_t>(data.at(at + 3)) << 24;
  }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  std::int16_t I16(std::size_t at) const { return static_cast<std::int16_t>(data.at(at) | data.at(at + 1) << 8); }
};

struct Metafile {
  std::vector<unsigned char> bytes;
  std::vector<Record> records;
  bool wellFormed = false;

  const Record& Header() const { return records.at(0); }
  // rclBounds and rclFrame: left, top, right, bottom.
  std::vector<std::int32_t> Bounds() const {
    return {Header().I32(8), Header().I32(12), Header().I32(16), Header().I32(20)};
  }
  std::vector<std::int32_t> Frame() const {
    return {Header().I32(24), Header().I32(28), Header().I32(32), Header().I32(36)};
  }
  std::uint32_t Signature() const { return Header().U32(40); }
  std::uint32_t TotalBytes() const { return Header().U32(48); }
  std::uint32_t RecordCount() const { return Header().U32(52); }
  // The description's UTF-16 characters, NULs included, as bytes.
  std::string Description() const {
    const std::uint32_t count = Header().U32(60);
    const std::uint32_t offset = Header().U32(64);
    std::string s;
    for (std::uint32_t i = 0; i < count; ++i) s += static_cast<char>(Header().data.at(offset + 2 * i));
    return s;
  }
};

inline Metafile Read(const std::string& path) {
  Metafile m;
  std::ifstream in(path, std::ios::binary);
  m.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  std::size_t at = 0;
  while (at + 8 <= m.bytes.size()) {
    Record r;
    r.data.assign(m.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                  m.bytes.begin() + static_cast<std::ptrdiff_t>(at + 8));
    const std::uint32_t size = r.U32(4);
    if (size < 8 || at + size > m.bytes.size()) return m;
    r.type = r.U32(0);
    r.data.assign(m.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                  m.bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    m.records.push_back(std::move(r));
    at += size;
  }
  m.wellFormed =
      at == m.bytes.size() && !m.records.empty() && m.records.front().type == kHeader && m.records.back().type == kEof;
  return m;
}

// The points of a polygon or polyline record, in either width.
inline std::vector<std::pair<int, int>> PointsOf(const Record& r) {
  std::vector<std::pair<int, int>> pts;
  const std::uint32_t count = r.U32(24);
  const bool narrow = r.type == kPolygon16 || r.type == kPolyline16;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (narrow)
      pts.emplace_back(r.I16(28 + 4 * i), r.I16(30 + 4 * i));
    else
      pts.emplace_back(r.I32(28 + 8 * i), r.I32(32 + 8 * i));
  }
  return pts;
}

// Reference point and text of a text record.
inline std::pair<std::pair<int, int>, std::string> TextOf(const Record& r) {
  const int x = r.I32(36);
  const int y = r.I32(40);
  const std::uint32_t count = r.U32(44);
  const std::uint32_t offset = r.U32(48);
  std::string s;
  for (std::uint32_t i = 0; i < count; ++i)
    s += static_cast<char>(r.type == kTextW ? r.data.at(offset + 2 * i) : r.data.at(offset + i));
  return {{x, y}, s};
}

}  // namespace emf
