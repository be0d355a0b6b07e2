#include "platform/StringResource.h"

#include <mutex>
#include <optional>
#include <utility>

#include "platform/Resources.h"
#include "rtl/Cp1252.h"
#include "rtl/Format.h"

// Generated at build time from the reader's own table in resources/.
void RegisterReaderStringTables();

namespace {

constexpr std::size_t kHeaderSize = 8;  // magic and count
constexpr std::size_t kEntrySize = 12;  // id, offset, length
constexpr std::size_t kMaxNameLength = 255;

enum ReaderMessage : std::uint32_t {
  kStringNotFound = 1,
  kCannotLock = 2,
  kResourceNotFound = 3,
  kInvalidResource = 5,
};

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

struct IndexEntry {
  std::uint32_t id;
  std::uint32_t offset;
  std::uint32_t length;  // in UTF-16 units
};

IndexEntry EntryAt(std::span<const std::uint8_t> table, std::size_t index) {
  std::size_t at = kHeaderSize + index * kEntrySize;
  return {ReadU32(table, at), ReadU32(table, at + 4), ReadU32(table, at + 8)};
}

// True when the whole layout lies inside the resource: the magic, a non-empty
// index that fits, ids strictly ascending, and every text after the index and
// within the resource. Counts and offsets are 32-bit, so 64-bit sums cannot wrap.
bool IsValidTable(std::span<const std::uint8_t> table) {
  if (table.size() < kHeaderSize || table[0] != 'S' || table[1] != 'T' || table[2] != 'R' || table[3] != '0') {
    return false;
  }
  const std::uint64_t count = ReadU32(table, 4);
  const std::uint64_t indexEnd = kHeaderSize + count * kEntrySize;
  if (count == 0 || indexEnd > table.size()) return false;
  for (std::size_t i = 0; i < count; ++i) {
    IndexEntry e = EntryAt(table, i);
    if (i > 0 && e.id <= EntryAt(table, i - 1).id) return false;
    if (e.offset < indexEnd || std::uint64_t{e.offset} + 2 * std::uint64_t{e.length} > table.size()) return false;
  }
  return true;
}

// The UTF-16LE text of the id in a checked table, found by binary search of
// the index in place; nothing when the id is absent.
std::optional<std::span<const std::uint8_t>> FindText(std::span<const std::uint8_t> table, std::uint32_t id) {
  std::int64_t low = 0;
  std::int64_t high = static_cast<std::int64_t>(ReadU32(table, 4)) - 1;
  while (low <= high) {
    std::int64_t middle = (low + high) / 2;
    IndexEntry e = EntryAt(table, static_cast<std::size_t>(middle));
    if (e.id == id) return table.subspan(e.offset, 2 * std::size_t{e.length});
    if (e.id < id) {
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  return std::nullopt;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// UTF-16LE to Windows-1252: a character outside the code page, a surrogate
// pair or a lone surrogate becomes one '?'.
std::string ToAnsi(std::span<const std::uint8_t> utf16) {
  std::string text;
  text.reserve(utf16.size() / 2);
  const std::size_t units = utf16.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    auto unit = static_cast<char16_t>(utf16[2 * i] | utf16[2 * i + 1] << 8);
    if (IsHighSurrogate(unit) && i + 1 < units &&
        IsLowSurrogate(static_cast<char16_t>(utf16[2 * i + 2] | utf16[2 * i + 3] << 8))) {
      ++i;
    }
    text += rtl::CodePointToCp1252(unit);
  }
  return text;
}

enum class Located { Found, Missing, Damaged };

// Finds and checks a named table without raising, so that the reader's own
// messages can be opened through it without recursion.
std::pair<Located, std::span<const std::uint8_t>> LocateTable(std::string_view name) {
  static std::once_flag registered;
  std::call_once(registered, RegisterReaderStringTables);
  if (name.size() > kMaxNameLength) return {Located::Missing, {}};
  auto bytes = plat::FindResource(name);
  if (!bytes) return {Located::Missing, {}};
  if (!IsValidTable(*bytes)) return {Located::Damaged, {}};
  return {Located::Found, *bytes};
}

// The reader's own messages, from "SRMGR_STRINGS"; empty when that table is
// unusable.
std::string ReaderText(ReaderMessage id) {
  static const std::span<const std::uint8_t> table = LocateTable("SRMGR_STRINGS").second;
  if (table.empty()) return {};
  auto text = FindText(table, id);
  return text ? ToAnsi(*text) : std::string();
}

}  // namespace

TpsStringResource::TpsStringResource(std::string_view resourceName) {
  if (!resourceName.empty()) Open(resourceName);
}

void TpsStringResource::Open(std::string_view resourceName) {
  auto [located, table] = LocateTable(resourceName);
  switch (located) {
    case Located::Missing: throw ETpsStringResourceError(rtl::Format(ReaderText(kResourceNotFound), resourceName));
    case Located::Damaged: throw ETpsStringResourceError(ReaderText(kInvalidResource));
    case Located::Found: resource_ = table; break;
  }
}

std::string TpsStringResource::GetStringById(std::uint32_t id) const {
  if (resource_.empty()) throw ETpsStringResourceError(ReaderText(kCannotLock));
  if (auto text = FindText(resource_, id)) return ToAnsi(*text);
  if (RaiseOnMissing) throw ETpsStringResourceError(rtl::Format(ReaderText(kStringNotFound), id));
  return {};
}
