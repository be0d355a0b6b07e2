#include "matrix/MatrixFiles.h"

#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "matrix/Constu.h"
#include "matrix/MatrixWords.h"
#include "rtl/Convert.h"
#include "rtl/Exception.h"
#include "rtl/Format.h"

namespace {

constexpr std::array<std::string_view, 9> kTypeNames = {
    "",
    "rectangular",
    "dissimilarity",
    "similarity",
    "diagonal",
    "tree (dissimilarity)",
    "tree (similarity)",
    "graph (dissimilarity)",
    "graph (similarity)",
};

// The missing value a header without missing values reports.
constexpr double kNoMissingValue = 99999.999;

bool IsCommentChar(int c) { return c == '"' || c == '\'' || c == ';' || c == '`'; }

[[noreturn]] void Refuse(std::string text) { throw E_Morvapc(std::move(text)); }

// A wrong type that the allowed set explains with advice: the file's type is
// one of `types`, and the set holds `wanted`.
struct TWrongTypeAdvice {
  TMatrixTypeSet types;
  int wanted;
  std::string_view fileKind;
  std::string_view wantedKind;
  std::string_view advice;
};

constexpr std::array<TWrongTypeAdvice, 6> kWrongTypeAdvice = {{
    {{1}, 2, "rectangular", "symmetric", "Compute a dis/similarity matrix and try again."},
    {{1}, 5, "rectangular", "tree", "Compute a dis/similarity matrix\nand then a tree matrix and try again."},
    {{2, 3}, 5, "symmetric", "tree", "Compute tree matrix from dis/similarity matrix."},
    {{1}, 7, "rectangular", "graph", "Compute dis/similarity matrix\nand then agraph matrix and try again."},
    {{2, 3}, 7, "symmetric", "graph", "Compute graph matrix and try again."},
    {{5, 6}, 7, "tree", "graph", "Compute a tree matrix and try again."},
}};

std::string WrongTypeMessage(int type, std::string_view typeWord, TMatrixTypeSet allowed) {
  const std::string list = ListAllowedTypes(allowed);
  for (const TWrongTypeAdvice& a : kWrongTypeAdvice) {
    if (a.types.Contains(type) && allowed.Contains(a.wanted)) {
      return "Wrong type of input matrix (" + std::string(a.fileKind) + ")\nmust be a " + std::string(a.wantedKind) +
             " matrix (" + list + ").\n" + std::string(a.advice);
    }
  }
  return "Wrong type of input matrix (" + QuotedWord(typeWord) + ") must be: " + list + ".";
}

// The header line: comment lines before it go to comments. When the file
// ends first, the line is empty and `missing` says how it ended.
struct THeaderLine {
  std::string text;
  const char* missing = nullptr;
};

THeaderLine ReadHeaderLine(rtl::TextReader& f, std::unique_ptr<rtl::StringList>& comments) {
  std::string text;
  TCommentLimit limit;
  int c = f.Read();
  while (IsCommentChar(c)) {
    ReadMatrixLine(f, text);
    limit.Take(text.size() + 1, f.LineNumber());
    if (!comments) comments = std::make_unique<rtl::StringList>();
    comments->Add(text);
    c = f.Read();
  }
  if (c < 0) return {{}, "Problem in reading input matrix header."};

  // The first character was read apart: a control character (the line end of
  // an empty line among them) counts as a blank.
  std::string line(1, c < ' ' ? ' ' : static_cast<char>(c));
  if (c != '\n' && ReadMatrixLine(f, text)) line += text;
  line = std::string(rtl::Trim(line));
  while (line.empty()) {
    if (f.Eof()) return {{}, "EOF reading matrix header"};
    ReadMatrixLine(f, line);  // taken as it stands: neither trimmed nor a comment
  }
  return {line};
}

// Splits a count word into its number and its trailing label letter.
struct TCountWord {
  std::string_view number;
  int labelCode = lcNone;
};

TCountWord SplitRowsWord(std::string_view word) {
  if (!word.empty()) {
    switch (word.back()) {
      case 'L':
      case 'l': return {word.substr(0, word.size() - 1), lcBlock};
      case 'B':
      case 'b': return {word.substr(0, word.size() - 1), lcBegin};
      case 'E':
      case 'e': return {word.substr(0, word.size() - 1), lcEnd};
      default: break;
    }
  }
  return {word, lcNone};
}

TCountWord SplitColsWord(std::string_view word) {
  if (!word.empty() && (word.back() == 'L' || word.back() == 'l')) return {word.substr(0, word.size() - 1), lcBlock};
  return {word, lcNone};
}

// A count of rows or columns: a decimal integer, not negative.
std::optional<int> ParseCount(std::string_view text) {
  std::optional<int> n = rtl::TryStrToInt(text);
  if (n && *n < 0) return std::nullopt;
  return n;
}

void CheckShape(TMatrixHeader& h) {
  const bool symmetric = h.type == mtDissimilarity || h.type == mtSimilarity;
  const bool square = symmetric || h.type == mtDiagonal;
  const bool tree = h.type == mtTreeDissimilarity || h.type == mtTreeSimilarity;
  const bool graph = h.type == mtGraphDissimilarity || h.type == mtGraphSimilarity;
  const bool rowWordLabels = h.rowLabelCode == lcBegin || h.rowLabelCode == lcEnd;
  if (symmetric && rowWordLabels) {
    Refuse("B or E codes for label positions\nare not permitted in symmetric matrices.");
  }
  if (square) {
    // A square matrix has one set of labels: a column block stands for it.
    if (h.rowLabelCode == lcNone && h.colLabelCode == lcBlock) {
      h.rowLabelCode = lcBlock;
      h.colLabelCode = lcNone;
    }
    if (h.rows != h.cols) Refuse("number of rows and columns must be\nequal for symmetric matrices.");
  }
  if (tree && rowWordLabels) Refuse("B or E codes for label positions\nare not permitted in tree matrices.");
  if (graph && rowWordLabels) Refuse("B or E codes for label positions\nare not permitted in graph matrices.");
}

void ListHeader(const rtl::StringList* comments, const TMatrixHeader& h) {
  if (comments) {
    ListingWriteLine("Comments:");
    for (const std::string& line : *comments) ListingWriteLine(" " + line);
  }
  std::string line = rtl::Format("type=%d, size=%d by %d, nc=", h.type, h.rows, h.cols);
  line += h.missingCode == 1 ? rtl::FloatToStr(h.missingValue) : std::string("none");
  line += "  (" + std::string(MatrixTypeName(h.type)) + ")";
  ListingWriteLine(line);
}

char LabelLetter(int code) {
  static constexpr std::array<char, 4> kLetters = {' ', 'L', 'B', 'E'};
  if (code < 0 || code > 3) throw E_Morvapc_Internal("Bad label code for matrix header: " + rtl::IntToStr(code));
  return kLetters[static_cast<std::size_t>(code)];
}

// The missing value as the integer text the header reader takes.
std::string MissingValueText(double value) {
  if (!(std::trunc(value) == value && std::fabs(value) <= 2147483647.0)) {
    throw E_Morvapc_Internal("Missing value is not an integer: " + rtl::FloatToStr(value));
  }
  return rtl::IntToStr(static_cast<std::int64_t>(value));
}

}  // namespace

std::string_view MatrixTypeName(int type) {
  return type >= 1 && type <= 8 ? kTypeNames[static_cast<std::size_t>(type)] : std::string_view();
}

std::string ListAllowedTypes(TMatrixTypeSet allowed) {
  std::string list;
  for (int code = 1; code <= 8; ++code) {
    if (!allowed.Contains(code)) continue;
    if (!list.empty()) list += ", ";
    list += rtl::IntToStr(code);
  }
  return list;
}

namespace {

// The header line read, parsed and checked, then listed when asked for.
void TakeMatrixHeader(const std::string& line, const rtl::StringList* comments, TMatrixHeader& header, bool list,
                      TMatrixTypeSet allowed) {
  std::array<std::string_view, 5> words{};
  std::size_t pos = 0;
  for (std::string_view& word : words) word = NextMatrixWord(line, pos);

  const std::optional<int> type = rtl::TryStrToInt(words[0]);
  if (!type) Refuse("Bad value for matrix type code: " + QuotedWord(words[0]));
  if (!allowed.Contains(*type)) Refuse(WrongTypeMessage(*type, words[0], allowed));
  header.type = *type;

  const TCountWord rowsWord = SplitRowsWord(words[1]);
  const std::optional<int> rows = ParseCount(rowsWord.number);
  if (!rows) Refuse("Bad value for number of rows: " + QuotedWord(rowsWord.number));
  header.rows = *rows;
  header.rowLabelCode = rowsWord.labelCode;

  const TCountWord colsWord = SplitColsWord(words[2]);
  const std::optional<int> cols = ParseCount(colsWord.number);
  if (!cols) Refuse("Bad value for number of columns: " + QuotedWord(colsWord.number));
  header.cols = *cols;
  header.colLabelCode = colsWord.labelCode;

  CheckShape(header);

  const std::optional<int> missingCode = rtl::TryStrToInt(words[3]);
  if (!missingCode) Refuse("Bad value for missing values code: " + QuotedWord(words[3]));
  header.missingCode = *missingCode;
  header.missingValue = kNoMissingValue;
  if (header.missingCode != 0) {
    const std::optional<int> missingValue = rtl::TryStrToInt(words[4]);
    if (!missingValue) Refuse("Bad code given for missing values: " + QuotedWord(words[4]));
    header.missingValue = *missingValue;
  }

  if (list) ListHeader(comments, header);
}

// The header line taken as TakeMatrixHeader does; its errors name the line.
void TakeMatrixHeaderOnLine(const std::string& line, long lineNumber, const rtl::StringList* comments,
                            TMatrixHeader& header, bool list, TMatrixTypeSet allowed) {
  try {
    TakeMatrixHeader(line, comments, header, list, allowed);
  } catch (const E_Morvapc& error) {
    Refuse(error.what() + std::string("\nMatrix header on line ") + rtl::IntToStr(lineNumber) + " of input file.");
  }
}

// A file that ends before the header line: the text, and the line it ended on.
[[noreturn]] void RefuseMissingHeader(const char* text, long lineNumber) {
  if (lineNumber == 0) Refuse(text);
  Refuse(text + std::string("\nNo matrix header after line ") + rtl::IntToStr(lineNumber) + " of input file.");
}

}  // namespace

bool ReadMatrixHeader(rtl::TextReader& f, std::unique_ptr<rtl::StringList>& comments, TMatrixHeader& header, bool list,
                      TMatrixTypeSet allowed) {
  comments.reset();
  header = TMatrixHeader{};
  const THeaderLine line = ReadHeaderLine(f, comments);
  if (line.missing != nullptr) RefuseMissingHeader(line.missing, f.LineNumber());
  TakeMatrixHeaderOnLine(line.text, f.LineNumber(), comments.get(), header, list, allowed);
  return true;
}

bool ReadMatrixHeaderOrEnd(rtl::TextReader& f, std::unique_ptr<rtl::StringList>& comments, TMatrixHeader& header,
                           bool list, TMatrixTypeSet allowed) {
  comments.reset();
  header = TMatrixHeader{};
  const THeaderLine line = ReadHeaderLine(f, comments);
  if (line.missing != nullptr) return false;
  TakeMatrixHeaderOnLine(line.text, f.LineNumber(), comments.get(), header, list, allowed);
  return true;
}

void GuardMatrixWrite(const std::function<void()>& write) {
  try {
    write();
  } catch (const rtl::EInOutError& error) {
    throw E_Morvapc(WithSystemReason(std::string(kMatrixWriteError), error.Reason()));
  }
}

void RefuseEmptyMatrix(const TMatrixHeader& header) {
  const bool graph = header.type == mtGraphDissimilarity || header.type == mtGraphSimilarity;
  if (header.rows > 0 && (header.cols > 0 || graph)) return;
  Refuse(rtl::Format("Input matrix is empty: %d rows by %d columns", header.rows, header.cols));
}

void RefuseOverflow(std::string_view what, double value) {
  throw E_Morvapc(std::string(what) + " overflowed (" + rtl::NonFiniteText(value) + ") and cannot be written.");
}

std::string WithSystemReason(std::string text, const std::string& reason) {
  if (reason.empty()) return text;
  return std::move(text) + " (" + reason + ")";
}

void WriteMatrixComments(rtl::TextWriter& f, const rtl::StringList* comments) {
  if (!comments) return;
  GuardMatrixWrite([&] {
    for (const std::string& line : *comments) f.WriteLine("\"" + line);
  });
}

void WriteMatrixHeader(rtl::TextWriter& f, int type, int rows, int cols, int missingCode, double missingValue,
                       std::string_view /*format*/, int rowLabelCode, int colLabelCode) {
  // Columns have a block of labels or none: the reader takes no other letter there.
  if (colLabelCode != lcNone && colLabelCode != lcBlock) {
    throw E_Morvapc_Internal("Bad column label code for matrix header: " + rtl::IntToStr(colLabelCode));
  }
  std::string line = rtl::IntToStr(type) + ' ' + rtl::IntToStr(rows) + LabelLetter(rowLabelCode) + ' ' +
                     rtl::IntToStr(cols) + LabelLetter(colLabelCode) + ' ' + rtl::IntToStr(missingCode);
  if (missingCode != 0) line += ' ' + MissingValueText(missingValue);
  GuardMatrixWrite([&] { f.WriteLine(line); });
}
