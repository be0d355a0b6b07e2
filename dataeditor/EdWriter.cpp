#include "dataeditor/EdWriter.h"

#include <functional>

#include "dataeditor/EdReader.h"
#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Exception.h"
#include "rtl/Format.h"
#include "rtl/TextFile.h"

namespace {

// Collects the items of one block into lines: a line is ended once it has
// passed 80 characters, and every item is preceded by a blank.
class BlockLines {
 public:
  explicit BlockLines(std::vector<std::string>& out) : out_(out) {}
  void Add(const std::string& item) {
    if (buffer_.size() > 80) Flush();
    buffer_ += ' ';
    buffer_ += item;
  }
  void End() { Flush(); }

 private:
  void Flush() {
    out_.push_back(std::move(buffer_));
    buffer_.clear();
  }
  std::vector<std::string>& out_;
  std::string buffer_;
};

bool IsOneWord(const std::string& text) {
  for (char c : text) {
    if (c == ' ' || c == ',' || static_cast<unsigned char>(c) < ' ') return false;
  }
  return true;
}

// Reads the cells of one matrix as the words the file will hold.
class CellWords {
 public:
  CellWords(const TMatrixStr& m, int number) : m_(m), number_(number) {}

  // The cell's text without surrounding blanks; an empty one gives `fallback`,
  // and is refused when there is none.
  std::string Word(int r, int c, const std::string& fallback = {}) const {
    std::string text(rtl::Trim(m_.GetCell(r, c)));
    if (text.empty()) text = fallback;
    if (text.empty()) throw E_Morvapc(rtl::Format("Empty cell in matrix %d at (row %d, col %d).", number_, r, c));
    if (!IsOneWord(text))
      throw E_Morvapc(
          rtl::Format("Cell in matrix %d at (row %d, col %d) holds a blank or a comma: %s", number_, r, c, text));
    return text;
  }
  std::string Label(int r, const char* prefix) const { return Word(r, 0, prefix + std::to_string(r)); }

 private:
  const TMatrixStr& m_;
  int number_;
};

void Refuse(int number, const std::string& text) { throw E_Morvapc(rtl::Format("Matrix %d: ", number) + text); }

// The header must describe a body that the readers take back as written.
std::string HeaderLine(const TMatrixStr& m, int number) {
  if (m.MatType < mtRectangular || m.MatType > mtGraphSimilarity)
    Refuse(number, "Bad value for matrix type code: " + std::to_string(m.MatType));
  if (m.Rows < 1) Refuse(number, "Bad value for number of rows: " + std::to_string(m.Rows));
  if (m.Cols < (IsGraphType(m.MatType) ? 0 : 1))
    Refuse(number, "Bad value for number of columns: " + std::to_string(m.Cols));
  if (IsSquareType(m.MatType) && m.Rows != m.Cols) Refuse(number, "Number of rows and columns\n must be equal");
  if (IsTreeType(m.MatType) && m.Cols != 2) Refuse(number, "Number of columns\nmust equal 2");
  std::string missing;
  if (m.MissingCode != 0) {
    missing = std::string(rtl::Trim(m.MissingText));
    if (!rtl::TryStrToInt(missing)) Refuse(number, "Bad code given for missing values: " + missing);
  }
  return rtl::Format("%d %dL %dL %d %s", m.MatType, m.Rows, m.Cols, m.MissingCode, missing);
}

void AddBlock(std::vector<std::string>& out, int count, const std::function<std::string(int)>& item) {
  BlockLines block(out);
  for (int k = 1; k <= count; ++k) block.Add(item(k));
  block.End();
}

// The line of a graph's three column headings. Every reader reads past it, and
// needs only three words on it, so the fixed headings stand in when it has fewer.
std::string GraphHeadingLine(const TMatrixStr& m) {
  const auto& fixed = FixedHeadings(m.MatType);
  std::string line;
  for (int c = 1; c <= 3; ++c) {
    std::string heading(rtl::Trim(m.GetCell(0, c)));
    line += (c > 1 ? " " : "") + (heading.empty() ? fixed[static_cast<std::size_t>(c - 1)] : heading);
  }
  if (SplitEditorWords(line).size() < 3) line = fixed[0] + " " + fixed[1] + " " + fixed[2];
  return line;
}

void AddBody(std::vector<std::string>& out, const TMatrixStr& m, const CellWords& w) {
  const char* labelPrefix = IsSymmetricType(m.MatType) ? "RC" : "R";
  AddBlock(out, m.Rows, [&](int k) { return w.Label(k, labelPrefix); });
  switch (m.MatType) {
    case mtRectangular:
      AddBlock(out, m.Cols, [&](int k) { return w.Word(0, k, "C" + std::to_string(k)); });
      for (int r = 1; r <= m.Rows; ++r) AddBlock(out, m.Cols, [&](int c) { return w.Word(r, c); });
      break;
    case mtDissimilarity:
    case mtSimilarity:
      for (int r = 1; r <= m.Rows; ++r) AddBlock(out, r, [&](int c) { return w.Word(r, c); });
      break;
    case mtDiagonal:
      for (int r = 1; r <= m.Rows; ++r) AddBlock(out, 1, [&](int) { return w.Word(r, 1); });
      break;
    case mtTreeDissimilarity:
    case mtTreeSimilarity:
      AddBlock(out, 2, [&](int k) { return w.Word(0, k); });
      for (int r = 1; r <= m.Rows; ++r) AddBlock(out, 2, [&](int c) { return w.Word(r, c); });
      break;
    default:
      out.push_back(GraphHeadingLine(m));
      for (int e = 1; e <= m.Cols; ++e) AddBlock(out, 3, [&](int c) { return w.Word(e, c); });
      break;
  }
}

}  // namespace

std::vector<std::string> EditorFileLines(const std::vector<const TMatrixStr*>& matrices) {
  std::vector<std::string> out;
  int number = 0;
  for (const TMatrixStr* m : matrices) {
    ++number;
    if (m->Comments) {
      for (const auto& line : *m->Comments) out.push_back('"' + line);
    }
    out.push_back(HeaderLine(*m, number));
    AddBody(out, *m, CellWords(*m, number));
  }
  return out;
}

void ReplaceFileWithLines(const std::string& fileName, const std::vector<std::string>& lines) {
  rtl::TextWriter f(fileName);
  for (const auto& line : lines) f.WriteLine(line);
  f.Close();
}
