#include "controls/base/VirFiler.h"

#include "rtl/ScopeGuard.h"

namespace {

// Value tags of the stream.
enum Tag : std::uint8_t {
  vaListEnd = 0,
  vaList = 1,
  vaInteger = 2,
  vaString = 3,
  vaFalse = 4,
  vaTrue = 5,
  vaBinary = 6
};

constexpr std::size_t kMaxCountBytes = 10;  // a 64-bit count in 7-bit groups

[[noreturn]] void Fail(const std::string& what) { throw EFilerError("Stream read error: " + what); }

}  // namespace

// ---- writer ----

void TVirWriter::PutCount(std::uint64_t count) {
  do {
    std::uint8_t low = count & 0x7F;
    count >>= 7;
    Put(count != 0 ? static_cast<std::uint8_t>(low | 0x80) : low);
  } while (count != 0);
}

void TVirWriter::WriteInteger(std::int64_t value) {
  Put(vaInteger);
  // Zig-zag, so small negative numbers stay short.
  PutCount((static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
}

void TVirWriter::WriteString(std::string_view text) {
  Put(vaString);
  PutCount(text.size());
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void TVirWriter::WriteBoolean(bool value) { Put(value ? vaTrue : vaFalse); }

void TVirWriter::WriteBinary(const std::vector<std::uint8_t>& bytes) {
  Put(vaBinary);
  PutCount(bytes.size());
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void TVirWriter::WriteListBegin() { Put(vaList); }
void TVirWriter::WriteListEnd() { Put(vaListEnd); }

// ---- reader ----

std::uint8_t TVirReader::Take(std::uint8_t expected, const char* what) {
  if (AtEnd()) Fail(std::string("end of stream where ") + what + " was expected");
  std::uint8_t tag = bytes_[pos_];
  if (tag != expected) Fail(std::string("another value where ") + what + " was expected");
  ++pos_;
  return tag;
}

std::uint64_t TVirReader::TakeCount() {
  std::uint64_t count = 0;
  for (std::size_t i = 0; i < kMaxCountBytes; ++i) {
    if (AtEnd()) Fail("value cut short");
    std::uint8_t b = bytes_[pos_++];
    count |= static_cast<std::uint64_t>(b & 0x7F) << (7 * i);
    if ((b & 0x80) == 0) return count;
  }
  Fail("value too long");
}

std::int64_t TVirReader::ReadInteger() {
  Take(vaInteger, "an integer");
  std::uint64_t z = TakeCount();
  return static_cast<std::int64_t>(z >> 1) ^ -static_cast<std::int64_t>(z & 1);
}

std::string TVirReader::ReadString() {
  Take(vaString, "a text");
  std::uint64_t n = TakeCount();
  if (n > bytes_.size() - pos_) Fail("text cut short");
  std::string text(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                   bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
  pos_ += n;
  return text;
}

bool TVirReader::ReadBoolean() {
  if (!AtEnd() && bytes_[pos_] == vaTrue) {
    ++pos_;
    return true;
  }
  Take(vaFalse, "a boolean");
  return false;
}

std::vector<std::uint8_t> TVirReader::ReadBinary() {
  Take(vaBinary, "a byte block");
  std::uint64_t n = TakeCount();
  if (n > bytes_.size() - pos_) Fail("byte block cut short");
  std::vector<std::uint8_t> block(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                  bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
  pos_ += n;
  return block;
}

void TVirReader::ReadListBegin() { Take(vaList, "a list"); }
void TVirReader::ReadListEnd() { Take(vaListEnd, "the end of a list"); }
bool TVirReader::EndOfList() const { return !AtEnd() && bytes_[pos_] == vaListEnd; }

// ---- properties ----

namespace {

class PropertyWriter : public TVirFiler {
 public:
  void DefineProperty(std::string_view name, const std::function<void(TVirReader&)>&,
                      const std::function<void(TVirWriter&)>& write, bool hasData) override {
    if (!hasData || !write) return;
    writer.WriteString(name);
    write(writer);
  }
  TVirWriter writer;
};

// Finds the reader of one named property.
class PropertyFinder : public TVirFiler {
 public:
  explicit PropertyFinder(std::string_view wanted) : wanted_(wanted) {}
  void DefineProperty(std::string_view name, const std::function<void(TVirReader&)>& read,
                      const std::function<void(TVirWriter&)>&, bool) override {
    if (name == wanted_ && !found) found = read;
  }
  std::function<void(TVirReader&)> found;

 private:
  std::string_view wanted_;
};

}  // namespace

std::vector<std::uint8_t> WriteProperties(TVirPersistent& object) {
  PropertyWriter filer;
  object.DefineProperties(filer);
  return filer.writer.Bytes();
}

void ReadProperties(TVirPersistent& object, const std::vector<std::uint8_t>& bytes) {
  object.loading_ = true;
  rtl::ScopeExit loaded([&] { object.loading_ = false; });
  TVirReader reader(bytes);
  while (!reader.AtEnd()) {
    std::string name = reader.ReadString();
    PropertyFinder finder(name);
    object.DefineProperties(finder);
    if (!finder.found) throw EFilerError("Property " + name + " does not exist");
    finder.found(reader);
  }
}
