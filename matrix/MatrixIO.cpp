#include "matrix/MatrixIO.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixWords.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

constexpr int kValuesPerLine = 6;
constexpr std::size_t kLabelLineLimit = 72;

[[noreturn]] void Refuse(std::string text) { throw E_Morvapc(std::move(text)); }

std::string Num(long value) { return rtl::IntToStr(value); }

// The next word of a body, whatever its length; the reader's end-of-file text
// when there is none.
template <class EofText>
std::string_view TakeAnyWord(TMatrixWords& words, EofText eofText) {
  std::string_view word;
  if (!words.NextAnyWord(word)) Refuse(eofText());
  return word;
}

// The same for a word that must be a number: one too long for any is refused.
template <class EofText>
std::string_view TakeWord(TMatrixWords& words, EofText eofText) {
  const std::string_view word = TakeAnyWord(words, eofText);
  CheckWordLength(word, words.FileLine());
  return word;
}

// A value word as a number; the reader's text when it is none.
template <class BadText>
double ToValue(std::string_view word, BadText badText) {
  const std::optional<double> value = rtl::TryStrToFloat(word);
  if (!value) Refuse(badText());
  return *value;
}

const char* const kLabelsEof = "End of file encountered when trying to read labels";

// Words left on a line after the last value of a row are dropped, as the
// format says. A file written with decimal commas ("17,5 16,7") leaves such
// words on every row, so the first row that left any is reported, once per
// matrix, in the listing and as a warning.
class TLeftoverWords {
 public:
  // Drops the rest of the current line, noting the words on it after row's last value.
  void EndRow(TMatrixWords& words, std::int32_t row) {
    const std::int32_t left = words.WordsLeft();
    if (left > 0 && row_ == 0) {
      count_ = left;
      row_ = row;
    }
    words.DropLine();
  }

  void Report() const {
    if (row_ == 0) return;
    const std::string text = rtl::Format("%d values after the end of row %d ignored (decimal commas?)", count_, row_);
    ListingWriteLine(text);
    ShowWarningMessage(text);
  }

 private:
  std::int32_t count_ = 0;
  std::int32_t row_ = 0;
};

// Reads count label words from a new line; the word of position k goes to the
// selection's entry for k (k without one), and entry 0 drops it.
void ReadLabelWords(TMatrixWords& words, std::int32_t count, Label_mx* labels, const Index_mx* selection) {
  words.DropLine();
  for (std::int32_t k = 1; k <= count; ++k) {
    const std::string_view word = TakeAnyWord(words, [&] { return kLabelsEof + OnInputLine(words.FileLine()); });
    const std::int32_t destination = selection ? selection->Get(k) : k;
    if (destination > 0 && labels) labels->PutLabel(destination, word);
  }
  words.DropLine();
}

// Skips count words from a new line, as ReadLabelWords reads them; stops at
// the end of the file.
void SkipWords(TMatrixWords& words, std::int32_t count) {
  if (count <= 0) return;
  words.DropLine();
  std::string_view word;
  for (std::int32_t k = 1; k <= count && words.NextAnyWord(word); ++k) {
  }
  words.DropLine();
}

// --- Rectangular reading ---

// One dimension of a rectangular read: its labels, selection and size in the file.
struct TDimension {
  const TLabelRead& labels;
  const Index_mx* selection;
  std::int32_t count;

  std::int32_t Position(std::int32_t k) const { return selection ? selection->Get(k) : k; }
  bool WantsLabels() const { return labels.wanted && labels.labels; }
};

// The label block of a dimension, or the numbers of its positions as labels
// when the file has none.
void ReadDimensionLabels(TMatrixWords& words, const TDimension& d) {
  if (d.labels.code == lcBlock) {
    if (d.WantsLabels()) {
      ReadLabelWords(words, d.count, d.labels.labels, d.selection);
    } else {
      SkipWords(words, d.count);
    }
  } else if (d.labels.code == lcNone && d.WantsLabels() && d.labels.labels->n() == d.count) {
    for (std::int32_t k = 1; k <= d.count; ++k) d.labels.labels->PutLabel(k, Num(d.Position(k)));
  }
}

// The label word of a record ("B" or "E" label position).
template <class EofText>
void ReadRecordLabel(TMatrixWords& words, const TDimension& records, std::int32_t position, EofText eofText) {
  const std::string_view word = TakeAnyWord(words, eofText);
  if (position > 0 && records.WantsLabels()) records.labels.labels->PutLabel(position, word);
}

// The text of a row or column number in the end-of-file message: 4 characters at most.
std::string Cut4(long value) { return Num(value).substr(0, 4); }

// Reads the n records of a lower triangle with the diagonal, record i holding
// i values and starting on a new line, and stores value (i, j) by store. The
// texts for a missing and a bad word take the record, the position and (for a
// bad word) the word's line in the file.
template <class EofText, class BadText, class Store>
void ReadLowerTriangle(rtl::TextReader& f, std::int32_t n, EofText eofText, BadText badText, Store store) {
  TMatrixWords words(f);
  TLeftoverWords leftover;
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      const std::string_view word = TakeWord(words, [&] { return eofText(i, j); });
      store(i, j, ToValue(word, [&] { return badText(word, i, j, words.FileLine()); }));
    }
    leftover.EndRow(words, i);
  }
  leftover.Report();
}

// --- Writing ---

// The value, refused when it is not finite: where() names it in the message.
template <class Where>
double Writable(double value, Where where) {
  if (!std::isfinite(value)) [[unlikely]]
    RefuseOverflow(where(), value);
  return value;
}

// "<what> of the <kind> for output file <name>", what being "Row 2, column 3" or the like.
std::string InOutput(const std::string& what, std::string_view kind, const rtl::TextWriter& f) {
  return what + " of the " + std::string(kind) + " for output file " + f.FileName();
}

std::string RowColumn(std::int32_t row, std::int32_t column) { return "Row " + Num(row) + ", column " + Num(column); }

// Writes count values of one record with the pattern: a line end after every
// sixth value unless it is the last, and after the last when lineEndAfterLast.
// A value that is not finite is refused, where(k) naming it.
template <class ValueAt, class Where>
void WriteRecord(rtl::TextWriter& f, const std::string& pattern, std::int32_t count, ValueAt valueAt, Where where,
                 bool lineEndAfterLast = true) {
  std::string line;
  for (std::int32_t k = 1; k <= count; ++k) {
    if constexpr (std::is_floating_point_v<decltype(valueAt(k))>) {
      line += rtl::Format(pattern, Writable(valueAt(k), [&] { return where(k); }));
    } else {
      line += rtl::Format(pattern, valueAt(k));
    }
    if (k % kValuesPerLine == 0 && k < count) {
      f.WriteLine(line);
      line.clear();
    }
  }
  if (lineEndAfterLast) {
    f.WriteLine(line);
  } else {
    f.Write(line);
  }
}

std::string ValuePattern(std::string_view format) { return "%" + std::string(format) + " "; }

// --- Vector reading ---

// The next word of a vector: when the current line is used up, one line of
// blanks is passed over and the next line read. A second blank line in a row
// gives an empty word, which no number conversion takes. False at the end of
// the file.
bool NextVectorWord(TMatrixWords& words, std::string_view& word) {
  if (words.WordOnLine(word)) return true;
  if (!words.NextLine()) return false;
  if (words.LineUsedUp() && !words.NextLine()) return false;
  words.WordOnLine(word);
  return true;
}

template <class Vector, class Convert>
bool ReadVector(Vector& vector, rtl::TextReader& f, Convert convert, const char* badText) {
  TMatrixWords words(f);
  for (std::int32_t k = 1; k <= vector.length(); ++k) {
    std::string_view word;
    if (!NextVectorWord(words, word)) {
      Refuse("End of file error in trying to read element " + Num(k) + " from vector" + OnInputLine(words.FileLine()));
    }
    const auto value = convert(word);
    if (!value) Refuse("Error in trying to read element " + Num(k) + badText + OnInputLine(words.FileLine()));
    vector.Put(k, *value);
  }
  // The elements are the rows of a diagonal matrix.
  TLeftoverWords leftover;
  leftover.EndRow(words, vector.length());
  leftover.Report();
  return true;
}

// --- Tree reading ---

// Records that OTU p has a node; a second node of p is refused.
void CheckOnce(std::vector<bool>& seen, std::int32_t p, std::string_view word, long line) {
  if (seen[static_cast<std::size_t>(p)])
    Refuse("Pointer value, " + QuotedWord(word) + ", occurs twice in tree matrix" + OnInputLine(line));
  seen[static_cast<std::size_t>(p)] = true;
}

bool ReadTreeRows(Tree_mx& tree, rtl::TextReader& f) {
  const std::int32_t n = tree.n();
  std::vector<bool> seen(static_cast<std::size_t>(n) + 1, false);
  TMatrixWords words(f);
  TLeftoverWords leftover;
  const auto badWord = [&](std::string_view word) {
    Refuse("Problem in reading value: " + QuotedWord(word) + OnInputLine(words.FileLine()));
  };
  for (std::int32_t r = 1; r < n; ++r) {
    if (!words.NextLine()) {
      Refuse("End of file encountered when trying to read row " + Num(r) + " of tree matrix" +
             OnInputLine(words.FileLine()));
    }
    std::string_view pointerWord, valueWord;
    words.WordOnLine(pointerWord);
    words.WordOnLine(valueWord);
    const std::optional<std::int32_t> pointer = rtl::TryStrToInt(pointerWord);
    if (!pointer) badWord(pointerWord);
    if (*pointer < 1 || *pointer > n) {
      Refuse("Pointer value, " + QuotedWord(pointerWord) + ", in tree matrix is out of range" +
             OnInputLine(words.FileLine()));
    }
    const std::optional<double> value = rtl::TryStrToFloat(valueWord);
    if (!value) badWord(valueWord);
    CheckOnce(seen, *pointer, pointerWord, words.FileLine());
    tree.PutNode(*pointer, r, *value);
    leftover.EndRow(words, r);
  }
  // The last pointer starts on a line of its own; what follows it on that
  // line is dropped (writers put the level 0.0 or a rule there).
  std::string_view lastWord;
  std::optional<std::int32_t> last;
  if (words.NextWord(lastWord)) last = rtl::TryStrToInt(lastWord);
  if (!last) Refuse("Problem in reading last row of tree matrix" + OnInputLine(words.FileLine()));
  if (*last < 1 || *last > n) Refuse("Last pointer value in tree matrix out of range" + OnInputLine(words.FileLine()));
  CheckOnce(seen, *last, lastWord, words.FileLine());
  tree.PutNode(*last, n, 0.0);
  leftover.Report();
  return true;
}

}  // namespace

double WritableValue(double value, const rtl::TextWriter& f, std::int32_t row, std::int32_t column) {
  return Writable(value, [&] { return InOutput(RowColumn(row, column), "matrix", f); });
}

// --- Labels ---

bool ReadLabels(Label_mx& labels, rtl::TextReader& f) {
  if (labels.n() <= 0) return false;
  TMatrixWords words(f);
  ReadLabelWords(words, labels.n(), &labels, nullptr);
  return true;
}

bool ReadSelectedLabels(Label_mx& labels, rtl::TextReader& f, const Index_mx* selection) {
  TMatrixWords words(f);
  ReadLabelWords(words, selection ? selection->n() : labels.n(), &labels, selection);
  return true;
}

void SkipItems(rtl::TextReader& f, std::int32_t count) {
  TMatrixWords words(f);
  SkipWords(words, count);
}

void WriteLabels(const Label_mx& labels, rtl::TextWriter& f) {
  GuardMatrixWrite([&] {
    std::string line;
    for (std::int32_t k = 1; k <= labels.n(); ++k) {
      line += labels.GetLabel(k) + ' ';
      if (line.size() > kLabelLineLimit) {
        f.WriteLine(line);
        line.clear();
      }
    }
    if (!line.empty()) f.WriteLine(line);
  });
}

// --- Rectangular matrices ---

bool Read(Rect_mx& matrix, rtl::TextReader& f, bool byRows, const TLabelRead& rowLabels, const TLabelRead& colLabels,
          const Index_mx* rowSelection, const Index_mx* colSelection) {
  const TDimension rows{rowLabels, rowSelection, rowSelection ? rowSelection->n() : matrix.rows()};
  const TDimension cols{colLabels, colSelection, colSelection ? colSelection->n() : matrix.cols()};
  const TDimension& records = byRows ? rows : cols;
  const TDimension& values = byRows ? cols : rows;

  TMatrixWords words(f);
  ReadDimensionLabels(words, records);
  ReadDimensionLabels(words, values);
  TLeftoverWords leftover;

  for (std::int32_t r = 1; r <= records.count; ++r) {
    const std::int32_t p = records.Position(r);
    const auto endOfFile = [&](std::int32_t v) {
      return [&words, byRows, r, v] {
        return "End of file encountered when trying to read row " + Cut4(byRows ? r : v) + " column " +
               Cut4(byRows ? v : r) + " from line " + Num(words.FileLine()) + " of input file.";
      };
    };
    if (records.labels.code == lcBegin) ReadRecordLabel(words, records, p, endOfFile(1));
    for (std::int32_t v = 1; v <= values.count; ++v) {
      const std::string_view word = TakeWord(words, endOfFile(v));
      const std::int32_t q = values.Position(v);
      if (p <= 0 || q <= 0) continue;
      const double x = ToValue(word, [&] {
        return "Problem in reading value: " + QuotedWord(word) + " on data line " + Num(words.FileLine()) +
               " in input file.";
      });
      if (byRows) {
        matrix.putxij(p, q, x);
      } else {
        matrix.putxij(q, p, x);
      }
    }
    if (records.labels.code == lcEnd) {
      ReadRecordLabel(words, records, p, [&] { return kLabelsEof + OnInputLine(words.FileLine()); });
    }
    leftover.EndRow(words, r);
  }
  leftover.Report();
  return true;
}

bool ReadRecords(Rect_mx& matrix, rtl::TextReader& f) {
  ReadLowerTriangle(
      f, matrix.rows(),
      [](std::int32_t r, std::int32_t p) {
        return "End of file encountered when trying to read record " + Num(r) + " position " + Num(p) +
               " in input file.";
      },
      [](std::string_view word, std::int32_t r, std::int32_t p, long) {
        return "Problem in reading value: " + QuotedWord(word) + " at record " + Num(r) + " position " + Num(p) +
               " in input file.";
      },
      [&](std::int32_t r, std::int32_t p, double x) {
        matrix.putxij(r, p, x);
        matrix.putxij(p, r, x);
      });
  return true;
}

void Write(const Rect_mx& matrix, rtl::TextWriter& f, bool byRows, std::string_view format) {
  const std::string pattern = ValuePattern(format);
  const std::int32_t records = byRows ? matrix.rows() : matrix.cols();
  const std::int32_t values = byRows ? matrix.cols() : matrix.rows();
  GuardMatrixWrite([&] {
    for (std::int32_t r = 1; r <= records; ++r) {
      WriteRecord(
          f, pattern, values, [&](std::int32_t v) { return byRows ? matrix.getxij(r, v) : matrix.getxij(v, r); },
          [&](std::int32_t v) { return InOutput(byRows ? RowColumn(r, v) : RowColumn(v, r), "matrix", f); });
    }
  });
}

void WriteLowerTriangle(const Rect_mx& matrix, rtl::TextWriter& f, bool transposed, std::string_view format) {
  if (matrix.rows() != matrix.cols()) Refuse("Matrix is not square");
  const std::string pattern = ValuePattern(format);
  GuardMatrixWrite([&] {
    for (std::int32_t i = 1; i <= matrix.rows(); ++i) {
      WriteRecord(
          f, pattern, i, [&](std::int32_t j) { return transposed ? matrix.getxij(j, i) : matrix.getxij(i, j); },
          [&](std::int32_t j) { return InOutput(RowColumn(i, j), "matrix", f); });
    }
  });
}

// --- Symmetric matrices ---

bool Read(Sym_mx& matrix, rtl::TextReader& f) {
  ReadLowerTriangle(
      f, matrix.n(),
      [](std::int32_t i, std::int32_t j) {
        return "End of file encountered when trying to read row " + Num(i) + " column " + Num(j) + " in input file.";
      },
      [](std::string_view word, std::int32_t, std::int32_t, long line) {
        return "Problem in reading value: " + QuotedWord(word) + " on data line " + Num(line) + " of input file.";
      },
      [&](std::int32_t i, std::int32_t j, double x) { matrix.putxij(i, j, x); });
  return true;
}

void Write(const Sym_mx& matrix, rtl::TextWriter& f, std::string_view format) {
  const std::string pattern = ValuePattern(format);
  GuardMatrixWrite([&] {
    for (std::int32_t i = 1; i <= matrix.n(); ++i) {
      WriteRecord(
          f, pattern, i, [&](std::int32_t j) { return matrix.getxij(i, j); },
          [&](std::int32_t j) { return InOutput(RowColumn(i, j), "matrix", f); });
    }
  });
}

// --- Vectors ---

bool Read(vect_mx& vector, rtl::TextReader& f) {
  return ReadVector(
      vector, f, [](std::string_view w) { return rtl::TryStrToFloat(w); }, " from vector");
}

bool Read(ivect_mx& vector, rtl::TextReader& f) {
  return ReadVector(
      vector, f, [](std::string_view w) { return rtl::TryStrToInt(w); }, " of integer vector");
}

void Write(const vect_mx& vector, rtl::TextWriter& f, std::string_view format) {
  const std::string pattern = ValuePattern(format);
  GuardMatrixWrite([&] {
    WriteRecord(
        f, pattern, vector.length(), [&](std::int32_t k) { return vector.Get(k); },
        [&](std::int32_t k) { return InOutput("Element " + Num(k), "vector", f); });
  });
}

void Write(const ivect_mx& vector, rtl::TextWriter& f) {
  GuardMatrixWrite([&] {
    WriteRecord(
        f, "%6d ", vector.length(), [&](std::int32_t k) { return vector.Get(k); }, [](std::int32_t) { return ""; },
        false);
  });
}

// --- Trees ---

bool Read(Tree_mx& tree, rtl::TextReader& f) {
  if (tree.matrixType() == mtTreeDissimilarity) {
    // The parenthesis notation starts with "(", after any blanks, tabs and line ends.
    for (int c = f.Peek(); c == ' ' || c == '\t' || c == '\r' || c == '\n'; c = f.Peek()) f.Read();
    if (f.Peek() == '(') {
      f.Read();
      return ReadParenthesisTree(tree, f);
    }
  }
  return ReadTreeRows(tree, f);
}

void Write(const Tree_mx& tree, rtl::TextWriter& f, std::string_view format) {
  const std::string pattern = "%3d %" + std::string(format);
  GuardMatrixWrite([&] {
    for (std::int32_t k = 1; k < tree.n(); ++k) {
      const double level = Writable(tree.GetValue(k), [&] { return InOutput("Level of node " + Num(k), "tree", f); });
      f.WriteLine(rtl::Format(pattern, tree.GetPointer(k), level));
    }
    if (tree.n() >= 1) f.WriteLine(rtl::Format("%4d", tree.GetPointer(tree.n())) + " 0.0");
  });
}

// --- Graphs ---

bool Read(Graph_mx& graph, rtl::TextReader& f) {
  TMatrixWords words(f);
  TLeftoverWords leftover;
  for (std::int32_t k = 1; k <= graph.m(); ++k) {
    const auto problem = [&] {
      return "Problem in reading row " + Num(k) + " of graph matrix" + OnInputLine(words.FileLine());
    };
    const std::optional<std::int32_t> i = rtl::TryStrToInt(TakeWord(words, problem));
    if (!i) Refuse(problem());
    const std::optional<std::int32_t> j = rtl::TryStrToInt(TakeWord(words, problem));
    if (!j) Refuse(problem());
    const double value = ToValue(TakeWord(words, problem), problem);
    if (*i < 1 || *j < 1) graph.NegativePointers = true;
    if (std::llabs(*i) > graph.n() || std::llabs(*j) > graph.n()) {
      Refuse("I,J pointers in graph matrix out of range" + OnInputLine(words.FileLine()));
    }
    graph.PutEdge(k, *i, *j, value);
    leftover.EndRow(words, k);
  }
  leftover.Report();
  return true;
}

void Write(const Graph_mx& graph, rtl::TextWriter& f, std::string_view format) {
  const std::string pattern = "%3d %3d %" + std::string(format);
  GuardMatrixWrite([&] {
    for (std::int32_t k = 1; k <= graph.m(); ++k) {
      const TGraphEdge edge = graph.GetEdge(k);
      const double value = Writable(edge.value, [&] { return InOutput("Value of edge " + Num(k), "graph", f); });
      f.WriteLine(rtl::Format(pattern, edge.i, edge.j, value));
    }
  });
}

// --- Tree and graph matrices after their header ---

namespace {

// The number of words in the column-label line of a graph: i, j and value.
constexpr std::int32_t kGraphColumns = 3;

void ReadOtuLabels(rtl::TextReader& f, const TMatrixHeader& header, Label_mx* labels) {
  if (header.rowLabelCode != lcBlock) return;
  if (labels && labels->n() == header.rows) {
    ReadLabels(*labels, f);
  } else {
    SkipItems(f, header.rows);
  }
}

}  // namespace

void ReadTreeMatrix(Tree_mx& tree, rtl::TextReader& f, const TMatrixHeader& header, Label_mx* labels) {
  ReadOtuLabels(f, header, labels);
  if (header.colLabelCode == lcBlock) SkipItems(f, header.cols);
  Read(tree, f);
}

void ReadGraphMatrix(Graph_mx& graph, rtl::TextReader& f, const TMatrixHeader& header, Label_mx* labels) {
  ReadOtuLabels(f, header, labels);
  if (header.colLabelCode == lcBlock) SkipItems(f, kGraphColumns);
  Read(graph, f);
}
