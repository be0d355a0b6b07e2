#include "rtl/TextFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "rtl/Exception.h"

namespace rtl {
namespace {

constexpr size_t kBufferSize = 1 << 16;

// The system's reason for the last failure; empty when it gave none.
std::string SystemReason() { return errno ? std::string(std::strerror(errno)) : std::string(); }

bool IsSeparator(int c) { return c >= 0 && c <= ' '; }

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

TextReader::TextReader(const std::string& fileName) : fileName_(fileName) {
  errno = 0;
  file_ = std::fopen(fileName.c_str(), "rb");
  if (!file_) throw EInOutError("Cannot open file " + fileName, SystemReason());
  buffer_.resize(kBufferSize);
}

TextReader TextReader::FromText(std::string text) {
  TextReader r;
  r.buffer_.assign(text.begin(), text.end());
  r.end_ = r.buffer_.size();
  return r;
}

TextReader::TextReader(TextReader&& o) noexcept
    : fileName_(std::move(o.fileName_)),
      file_(std::exchange(o.file_, nullptr)),
      buffer_(std::move(o.buffer_)),
      pos_(o.pos_),
      end_(o.end_),
      line_(o.line_),
      atLineStart_(o.atLineStart_),
      atFileStart_(o.atFileStart_) {}

TextReader::~TextReader() {
  if (file_) std::fclose(file_);
}

bool TextReader::Fill() {
  if (pos_ < end_) return true;
  if (!file_) return false;
  errno = 0;
  size_t n = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (n == 0 && std::ferror(file_)) throw EInOutError("Error reading file " + fileName_, SystemReason());
  pos_ = 0;
  end_ = n;
  // The first read holds the whole mark unless the file is shorter than it.
  if (std::exchange(atFileStart_, false)) pos_ = n - WithoutByteOrderMark({buffer_.data(), n}).size();
  return pos_ < end_;
}

int TextReader::Peek() { return Fill() ? static_cast<unsigned char>(buffer_[pos_]) : -1; }

int TextReader::Read() {
  if (!Fill()) return -1;
  int c = static_cast<unsigned char>(buffer_[pos_++]);
  if (atLineStart_) {
    ++line_;
    atLineStart_ = false;
  }
  if (c == '\r' || c == '\n') {
    ConsumeLineEnd(c);
    return '\n';
  }
  return c;
}

// After a CR, a following LF belongs to the same line end.
void TextReader::ConsumeLineEnd(int c) {
  if (c == '\r' && Peek() == '\n') ++pos_;
  atLineStart_ = true;
}

bool TextReader::Eof() { return Peek() < 0; }

bool TextReader::Eoln() {
  int c = Peek();
  return c < 0 || c == '\r' || c == '\n';
}

bool TextReader::SeekEof() {
  for (int c = Peek(); c >= 0 && IsSeparator(c); c = Peek()) Read();
  return Eof();
}

bool TextReader::SeekEoln() {
  for (int c = Peek(); c == ' ' || c == '\t'; c = Peek()) Read();
  return Eoln();
}

bool TextReader::ReadLine(std::string& line, std::size_t limit) {
  line.clear();
  if (Eof()) return false;
  if (std::exchange(atLineStart_, false)) ++line_;
  // Takes the buffer's bytes up to the line end a run at a time.
  while (Fill()) {
    const char* begin = buffer_.data() + pos_;
    const char* end = buffer_.data() + end_;
    const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
    const auto run = static_cast<std::size_t>(stop - begin);
    if (run > limit - line.size()) {
      const std::size_t cut = limit - line.size() + 1;
      line.append(begin, cut);
      pos_ += cut;
      return true;
    }
    line.append(begin, run);
    pos_ += run;
    if (stop != end) {
      ConsumeLineEnd(static_cast<unsigned char>(buffer_[pos_++]));
      return true;
    }
  }
  return true;
}

bool TextReader::ReadWord(std::string& word) {
  word.clear();
  if (SeekEof()) return false;
  for (int c = Peek(); c >= 0 && !IsSeparator(c); c = Peek()) word += static_cast<char>(Read());
  return true;
}

TextWriter::TextWriter(const std::string& fileName, Mode mode)
    : fileName_(fileName),
      atomic_(fileName, mode == Mode::Append ? AtomicFile::Mode::Append : AtomicFile::Mode::Create) {
  // The stream writes through a copy of the descriptor, which the atomic file
  // keeps open to sync before it puts the file in place.
  errno = 0;
  const int copy = dup(atomic_.Descriptor());
  if (copy >= 0) file_ = fdopen(copy, "wb");
  if (!file_) {
    const std::string reason = SystemReason();
    if (copy >= 0) close(copy);
    throw EInOutError("Cannot create file " + fileName, reason);
  }
}

TextWriter::~TextWriter() {
  if (file_) std::fclose(file_);
}

void TextWriter::Failed() {
  std::string reason = SystemReason();
  if (file_) std::fclose(file_);
  file_ = nullptr;
  atomic_.Discard();
  throw EInOutError("Error writing file " + fileName_, reason);
}

void TextWriter::Write(std::string_view text) {
  if (!file_) throw EInOutError("File not open for writing: " + fileName_);
  errno = 0;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Failed();
}

void TextWriter::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

AtomicFile TextWriter::Complete() {
  if (!file_) throw EInOutError("File not open for writing: " + fileName_);
  errno = 0;
  bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  std::string reason = SystemReason();
  ok = (std::fclose(file_) == 0) && ok;
  file_ = nullptr;
  if (!ok) {
    atomic_.Discard();
    throw EInOutError("Error writing file " + fileName_, reason);
  }
  return std::move(atomic_);
}

void TextWriter::Close() {
  if (!file_) return;
  Complete().Commit();
}

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  return text;
}

std::string ReadWholeFile(const std::string& fileName) {
  errno = 0;
  std::FILE* f = std::fopen(fileName.c_str(), "rb");
  if (!f) throw EInOutError("Cannot open file " + fileName, SystemReason());
  std::string text;
  char buf[1 << 16];
  size_t n;
  errno = 0;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  const bool failed = std::ferror(f);
  const std::string reason = SystemReason();
  std::fclose(f);
  if (failed) throw EInOutError("Error reading file " + fileName, reason);
  return text;
}

}  // namespace rtl
