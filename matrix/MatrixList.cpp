#include "matrix/MatrixList.h"

#include <algorithm>
#include <string>

#include "matrix/Constu.h"
#include "rtl/Format.h"

namespace {

constexpr std::int32_t kLineStart = 5;
constexpr std::int32_t kLineLimit = 80;
const std::string kContinuation(kLineStart, ' ');

// One listing line of numbered items, continued on new lines as it grows: the
// position counter starts at 5 and grows by a fixed step per item; once it
// passes the limit minus the look-ahead, and more items follow, the line is
// written and a continuation line of 5 blanks starts.
class TWrappedLine {
 public:
  TWrappedLine(std::string start, std::int32_t step, std::int32_t lookAhead)
      : text_(std::move(start)), step_(step), lookAhead_(lookAhead) {}

  void Add(std::string_view item, bool last) {
    text_ += item;
    counter_ += step_;
    if (!last && counter_ + lookAhead_ > kLineLimit) {
      ListingWriteLine(text_);
      text_ = kContinuation;
      counter_ = kLineStart;
    }
  }
  void End() { ListingWriteLine(text_); }

 private:
  std::string text_;
  std::int32_t step_;
  std::int32_t lookAhead_;
  std::int32_t counter_ = kLineStart;
};

// The heading of column numbers 1 .. cols, each "%*d " in width w.
void ListColumnNumbers(std::int32_t cols, std::int32_t w) {
  TWrappedLine line(kContinuation, w + 1, w);
  for (std::int32_t k = 1; k <= cols; ++k) line.Add(rtl::Format("%*d ", w, k), k == cols);
  line.End();
}

}  // namespace

std::int32_t ValueWidth(std::string_view format) {
  return static_cast<std::int32_t>(rtl::Format("%" + std::string(format), -12.34).size());
}

void List(const Rect_mx& matrix, bool byRows, std::string_view format) {
  const std::int32_t w = ValueWidth(format);
  const std::string pattern = "%" + std::string(format) + " ";
  const std::int32_t rows = byRows ? matrix.rows() : matrix.cols();
  const std::int32_t cols = byRows ? matrix.cols() : matrix.rows();
  ListColumnNumbers(cols, w);
  for (std::int32_t i = 1; i <= rows; ++i) {
    TWrappedLine line(rtl::Format("%4d ", i), w + 1, w);
    for (std::int32_t j = 1; j <= cols; ++j) {
      line.Add(rtl::Format(pattern, byRows ? matrix.getxij(i, j) : matrix.getxij(j, i)), j == cols);
    }
    line.End();
  }
  ListingWriteLine("");
}

void ListWithLabels(const Rect_mx& matrix, const Label_mx& rowLabels, const Label_mx& colLabels,
                    std::string_view format) {
  const std::int32_t c = std::max(ValueWidth(format) + 1, 8);
  const std::string pattern = " %" + std::string(format);
  const std::int32_t lw = rowLabels.GetWidth();
  const std::int32_t perBlock = std::clamp((78 - lw - 2) / c, 1, std::max(matrix.cols(), 1));
  const std::string indent(static_cast<std::size_t>(lw + 2), ' ');
  ListingWriteLine("");
  for (std::int32_t first = 1; first <= matrix.cols(); first += perBlock) {
    const std::int32_t last = std::min(first + perBlock - 1, matrix.cols());
    std::string heading = indent;
    std::string rule = indent;
    for (std::int32_t j = first; j <= last; ++j) {
      heading += rtl::Format("%*s", c, colLabels.GetLabel(j));
      rule.append(static_cast<std::size_t>(c), '-');
    }
    ListingWriteLine(heading);
    ListingWriteLine(rule);
    for (std::int32_t i = 1; i <= matrix.rows(); ++i) {
      std::string line = rowLabels.GetFixedWidthLabel(i, lw) + " |";
      for (std::int32_t j = first; j <= last; ++j) line += rtl::Format(pattern, matrix.getxij(i, j));
      ListingWriteLine(line);
    }
    ListingWriteLine("");
  }
}

void List(const Sym_mx& matrix, std::string_view format) {
  const std::int32_t w = ValueWidth(format) + 1;
  const std::string pattern = "%" + std::string(format) + " ";
  ListColumnNumbers(matrix.n(), w);
  for (std::int32_t i = 1; i <= matrix.n(); ++i) {
    // Rows wrap only once the counter itself has passed the limit.
    TWrappedLine line(rtl::Format("%4d ", i), w + 1, 0);
    for (std::int32_t j = 1; j <= i; ++j) line.Add(rtl::Format(pattern, matrix.getxij(i, j)), j == i);
    line.End();
  }
  ListingWriteLine("");
}

void List(const ivect_mx& vector, std::int32_t width) {
  constexpr std::int32_t kPerLine = 10;
  std::string line;
  for (std::int32_t k = 1; k <= vector.length(); ++k) {
    line += rtl::Format("%*d ", width, vector.Get(k));
    if (k % kPerLine == 0 || k == vector.length()) {
      ListingWriteLine(line);
      line.clear();
    }
  }
  ListingWriteLine("");
}
