#include "dataeditor/EdReader.h"

#include <cctype>

#include "matrix/Constu.h"
#include "matrix/MatrixWords.h"
#include "rtl/Convert.h"

namespace {

bool IsCommentChar(int c) { return c == '"' || c == '\'' || c == ';' || c == '`'; }

std::string TrimText(std::string_view s) { return std::string(rtl::Trim(s)); }

// A header word as an integer; the word itself goes into the message when it is none.
int HeaderInteger(const std::string& word, const char* message) {
  auto value = rtl::TryStrToInt(word);
  if (!value) throw E_Morvapc(message + word);
  return *value;
}

// Takes a trailing label letter off a size word; the letter in upper case, or 0.
char TakeLabelLetter(std::string& word, const char* letters) {
  if (word.empty()) return 0;
  char last = static_cast<char>(std::toupper(static_cast<unsigned char>(word.back())));
  for (const char* p = letters; *p != 0; ++p) {
    if (last == *p) {
      word.pop_back();
      return last;
    }
  }
  return 0;
}

// The header line: comments before it are collected, empty lines skipped.
// Lines and comments have the limits of the analysis program's reader.
std::string ReadHeaderLine(rtl::TextReader& f, rtl::StringList& comments) {
  std::string line;
  bool blankLineSeen = false;
  TCommentLimit limit;
  while (ReadMatrixLine(f, line)) {
    if (!line.empty() && IsCommentChar(static_cast<unsigned char>(line[0]))) {
      limit.Take(line.size(), f.LineNumber());
      comments.Add(line.substr(1));
      continue;
    }
    // A control character counts as a blank.
    for (char& c : line) {
      if (static_cast<unsigned char>(c) < ' ') c = ' ';
    }
    std::string text = TrimText(line);
    if (!text.empty()) return text;
    blankLineSeen = true;
  }
  throw E_Morvapc(blankLineSeen ? "EOF reading matrix header" : "Problem in reading input matrix header.");
}

void CheckHeaderShape(const TEdHeader& h) {
  bool square = IsSquareType(h.type);
  if (square && h.rows != h.cols) throw E_Morvapc("Number of rows and columns\n must be equal");
  if (IsTreeType(h.type) && h.cols != 2) throw E_Morvapc("Number of columns\nmust equal 2");
  CheckMatrixSize(h.type, h.rows, h.cols);
}

// A block of `count` words read into cells (r0 + k*dr, c0 + k*dc), k = 0 .. count-1.
void ReadBlock(rtl::TextReader& f, TMatrixStr& m, int count, int r0, int c0, int dr, int dc,
               std::vector<std::string>& words) {
  if (count <= 0) return;
  EdReadLine(f, count, words);
  for (int k = 0; k < count; ++k) m.SetCell(r0 + k * dr, c0 + k * dc, words[static_cast<std::size_t>(k)]);
}

void SetDefaultRowLabels(TMatrixStr& m, const char* prefix) {
  for (int k = 1; k <= m.Rows; ++k) m.SetCell(k, 0, prefix + std::to_string(k));
}

void SetFixedHeadings(TMatrixStr& m) {
  const auto& headings = FixedHeadings(m.MatType);
  for (std::size_t k = 0; k < headings.size(); ++k) m.SetCell(0, static_cast<int>(k) + 1, headings[k]);
}

// Row labels as a block ("L") or defaults "R" + k; labels in the rows come with them.
void ReadRowLabels(rtl::TextReader& f, TMatrixStr& m, const TEdHeader& h, std::vector<std::string>& words) {
  if (h.rowLabelCode == 1) {
    ReadBlock(f, m, m.Rows, 1, 0, 1, 0, words);
  } else if (h.rowLabelCode == 0) {
    SetDefaultRowLabels(m, "R");
  }
}

void ReadRectangular(rtl::TextReader& f, TMatrixStr& m, const TEdHeader& h, std::vector<std::string>& words) {
  ReadRowLabels(f, m, h, words);
  if (h.colLabelFlag) {
    ReadBlock(f, m, m.Cols, 0, 1, 0, 1, words);
  } else {
    for (int k = 1; k <= m.Cols; ++k) m.SetCell(0, k, "C" + std::to_string(k));
  }
  bool labelFirst = h.rowLabelCode == 2, labelLast = h.rowLabelCode == 3;
  int perRow = m.Cols + (labelFirst || labelLast ? 1 : 0);
  for (int r = 1; r <= m.Rows; ++r) {
    EdReadLine(f, perRow, words);
    int first = labelFirst ? 1 : 0;
    if (labelFirst) m.SetCell(r, 0, words[0]);
    if (labelLast) m.SetCell(r, 0, words[static_cast<std::size_t>(m.Cols)]);
    for (int c = 1; c <= m.Cols; ++c) m.SetCell(r, c, words[static_cast<std::size_t>(first + c - 1)]);
  }
}

void ReadSymmetric(rtl::TextReader& f, TMatrixStr& m, const TEdHeader& h, std::vector<std::string>& words) {
  if (h.rowLabelCode == 1 || h.colLabelFlag) {
    ReadBlock(f, m, m.Rows, 1, 0, 1, 0, words);
  } else {
    SetDefaultRowLabels(m, "RC");
  }
  for (int r = 1; r <= m.Rows; ++r) ReadBlock(f, m, r, r, 1, 0, 1, words);
}

void ReadDiagonal(rtl::TextReader& f, TMatrixStr& m, const TEdHeader& h, std::vector<std::string>& words) {
  if (h.rowLabelCode == 1 || h.colLabelFlag) {
    ReadBlock(f, m, m.Rows, 1, 0, 1, 0, words);
  } else if (h.rowLabelCode == 0) {
    SetDefaultRowLabels(m, "R");
  }
  ReadBlock(f, m, m.Cols, 1, 1, 1, 0, words);
  SetFixedHeadings(m);
}

void ReadTree(rtl::TextReader& f, TMatrixStr& m, const TEdHeader& h, std::vector<std::string>& words) {
  ReadRowLabels(f, m, h, words);
  if (h.colLabelFlag) {
    ReadBlock(f, m, 2, 0, 1, 0, 1, words);
  } else {
    SetFixedHeadings(m);
  }
  for (int r = 1; r <= m.Rows; ++r) ReadBlock(f, m, 2, r, 1, 0, 1, words);
}

void ReadGraph(rtl::TextReader& f, TMatrixStr& m, const TEdHeader& h, std::vector<std::string>& words) {
  ReadRowLabels(f, m, h, words);
  // The line of column headings is read past; the headings are always the fixed ones.
  if (h.colLabelFlag) EdReadLine(f, 3, words);
  SetFixedHeadings(m);
  for (int e = 1; e <= m.Cols; ++e) ReadBlock(f, m, 3, e, 1, 0, 1, words);
}

}  // namespace

std::vector<std::string> SplitEditorWords(const std::string& line) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  for (std::string_view word = NextMatrixWord(line, pos); !word.empty(); word = NextMatrixWord(line, pos)) {
    words.emplace_back(word);
  }
  return words;
}

void EdReadLine(rtl::TextReader& f, int count, std::vector<std::string>& words) {
  words.clear();
  // Lines have the limit of the analysis program's reader. The editor keeps
  // each word as text, so a long label stays whole, as that reader takes it.
  TMatrixWords source(f);
  std::string_view word;
  while (static_cast<int>(words.size()) < count) {
    if (!source.NextAnyWord(word)) throw E_Morvapc("EOF trying to read line");
    words.emplace_back(word);
  }
}

void EdReadMatrixHeader(rtl::TextReader& f, rtl::StringList& comments, TEdHeader& h) {
  comments.Clear();
  std::vector<std::string> w = SplitEditorWords(ReadHeaderLine(f, comments));
  w.resize(std::max<std::size_t>(w.size(), 5));
  for (std::size_t k = 0; k < 5; ++k) CheckWordLength(w[k], f.LineNumber());
  h = TEdHeader{};
  h.type = HeaderInteger(w[0], "Bad value for matrix type code: ");
  if (h.type < 1 || h.type > 8) throw E_Morvapc("Bad value for matrix type code: " + w[0]);

  std::string rows = w[1];
  switch (TakeLabelLetter(rows, "LBE")) {
    case 'L': h.rowLabelCode = 1; break;
    case 'B': h.rowLabelCode = 2; break;
    case 'E': h.rowLabelCode = 3; break;
    default: break;
  }
  auto rowCount = rtl::TryStrToInt(rows);
  // A matrix may be empty: a module that finds no dimension to keep writes one
  // without rows or columns, as a graph may have no edges.
  if (!rowCount || *rowCount < 0) throw E_Morvapc("Bad value for number of rows: " + w[1]);
  h.rows = *rowCount;

  std::string cols = w[2];
  h.colLabelFlag = TakeLabelLetter(cols, "L") != 0;
  h.cols = rtl::StrToInt(cols);
  if (h.cols < 0) throw E_Morvapc("Bad value for number of columns: " + w[2]);

  if (IsSymmetricType(h.type)) {
    if (h.colLabelFlag && h.rowLabelCode == 0) {
      h.rowLabelCode = 1;
      h.colLabelFlag = false;
    }
    if (h.rowLabelCode == 2 || h.rowLabelCode == 3)
      throw E_Morvapc("B or E codes for label positions are not permitted in symmetric matrices.");
  }

  h.missingCode = HeaderInteger(w[3], "Bad value for missing values code: ");
  if (h.missingCode != 0) {
    h.missingText = w[4];
    h.missingValue = HeaderInteger(w[4], "Bad code given for missing values: ");
  }
  CheckHeaderShape(h);
}

std::vector<std::unique_ptr<TMatrixStr>> ReadEditorMatrices(rtl::TextReader& f) {
  std::vector<std::unique_ptr<TMatrixStr>> matrices;
  rtl::StringList comments;
  std::vector<std::string> words;
  // A file holds at least one matrix; an empty one has no header to read.
  do {
    if (f.Eof()) throw E_Morvapc("EOF reading matrix header.");
    TEdHeader h;
    EdReadMatrixHeader(f, comments, h);
    auto m = std::make_unique<TMatrixStr>(h.type, h.rows, h.cols, h.missingCode, h.missingText,
                                          comments.Empty() ? nullptr : &comments);
    switch (h.type) {
      case mtRectangular: ReadRectangular(f, *m, h, words); break;
      case mtDissimilarity:
      case mtSimilarity: ReadSymmetric(f, *m, h, words); break;
      case mtDiagonal: ReadDiagonal(f, *m, h, words); break;
      case mtTreeDissimilarity:
      case mtTreeSimilarity: ReadTree(f, *m, h, words); break;
      default: ReadGraph(f, *m, h, words); break;
    }
    matrices.push_back(std::move(m));
  } while (!f.SeekEof());
  return matrices;
}
