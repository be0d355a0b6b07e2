#pragma once
// Text files as bytes. The reader accepts CR LF, LF and a lone CR as line ends
// and passes over a UTF-8 byte-order mark at the start of a file (text held in
// memory is read as it stands); the writer ends lines with CR LF and replaces
// its file only when the file is complete. Every failed open, read, write or
// close raises rtl::EInOutError.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/AtomicFile.h"

namespace rtl {

// No line of a file the system reads (a matrix file, the settings file) is
// longer than this: a longer one, or an endless input such as a device, is
// refused before it fills the memory.
inline constexpr std::size_t kTextLineLimit = std::size_t{1} << 24;

class TextReader {
 public:
  // Opens the file; EInOutError "Cannot open file <name>" when it cannot.
  explicit TextReader(const std::string& fileName);
  // Reads from text held in memory.
  static TextReader FromText(std::string text);
  TextReader(TextReader&&) noexcept;
  TextReader& operator=(TextReader&&) = delete;
  ~TextReader();

  const std::string& FileName() const { return fileName_; }

  // True when every byte has been read.
  bool Eof();
  // True at a line end or the end of the file.
  bool Eoln();
  // Skips blanks and control characters (line ends included); true at the end of the file.
  bool SeekEof();
  // Skips blanks and tabs on the current line; true at a line end or the end of the file.
  bool SeekEoln();

  // The next byte, or -1 at the end of the file; Peek leaves it unread.
  int Read();
  int Peek();

  // Reads the rest of the current line without its line end; false at the end
  // of the file. A line of more than limit bytes is cut after limit + 1 of
  // them (so the caller sees that it was longer), the rest left unread.
  bool ReadLine(std::string& line, std::size_t limit = std::string::npos);
  // Skips blanks, control characters and line ends, then reads up to the next
  // blank, control character or line end; false at the end of the file.
  bool ReadWord(std::string& word);

  // Lines started so far (1 after the first byte of the first line was read).
  long LineNumber() const { return line_; }

 private:
  TextReader() = default;
  bool Fill();
  void ConsumeLineEnd(int c);

  std::string fileName_;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  long line_ = 0;
  bool atLineStart_ = true;
  bool atFileStart_ = true;
};

// Writes a file whole or not at all: the bytes go to a temporary file beside
// it (AtomicFile), and Close puts the file in place. A writer dropped without
// Close, or whose writes failed, leaves the file as it was before, or absent.
class TextWriter {
 public:
  enum class Mode { Create, Append };
  // Starts the file; with Append, Close adds the bytes to the file's own.
  // EInOutError "Cannot create file <name>" when it cannot.
  explicit TextWriter(const std::string& fileName, Mode mode = Mode::Create);
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  // Without Close the written bytes are dropped.
  ~TextWriter();

  const std::string& FileName() const { return fileName_; }

  void Write(std::string_view text);
  void WriteLine(std::string_view text = {});
  // Flushes, syncs and puts the file in place; EInOutError when any write,
  // the sync or the replacement failed, and the file then stays as it was.
  void Close();
  // Flushes and closes, but leaves the bytes beside the file: the caller
  // commits the returned file, so that several files can appear together.
  AtomicFile Complete();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  [[noreturn]] void Failed();

  std::string fileName_;
  AtomicFile atomic_;
  std::FILE* file_ = nullptr;
};

// The text without the UTF-8 byte-order mark it may start with.
std::string_view WithoutByteOrderMark(std::string_view text);

// Reads a whole file as bytes; EInOutError when it cannot.
std::string ReadWholeFile(const std::string& fileName);

}  // namespace rtl
