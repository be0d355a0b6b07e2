// The rectangular engine of TRANSF: the variables are the rows of the working
// matrix and their entries (objects, landmarks or coordinates) its columns.

#include "modules/general/transfRect.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "modules/general/recordLines.h"
#include "modules/general/transfShared.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Config.h"

namespace {

using TLabels = std::shared_ptr<Label_mx>;

class TRectEngine {
 public:
  TRectEngine(const TMatrixHeader& header, bool byRows) : byRows_(byRows), missing_(header) {}

  void Read(rtl::TextReader& in, const TMatrixHeader& header) {
    const int varCode = byRows_ ? header.rowLabelCode : header.colLabelCode;
    const int entryCode = byRows_ ? header.colLabelCode : header.rowLabelCode;
    const std::int32_t n = byRows_ ? header.rows : header.cols;
    const std::int32_t m = byRows_ ? header.cols : header.rows;
    varLabels_ = std::make_shared<Label_mx>(varCode != lcNone ? n : 0);
    entryLabels_ = std::make_shared<Label_mx>(entryCode != lcNone ? m : 0);
    x_ = std::make_unique<Rect_mx>(n, m);
    ::Read(*x_, in, byRows_, {varLabels_.get(), varCode, true}, {entryLabels_.get(), entryCode, true});
    deleted_.assign(static_cast<std::size_t>(n) + 1, 0);
  }

  void Carry(std::string text) {
    for (;;) {
      const TParsedCode parsed = TransfParseCodes(text, n(), byRows_);
      if (parsed.code == tcNone) return;
      if (symmetricType_ != 0) throw E_Morvapc("No transformations can follow the SYMD or SYMS transformation");
      Apply(parsed);
    }
  }

  void Write(rtl::TextWriter& f) {
    if (anyDeleted_ && KeptCount(deleted_) == 0) throw E_Morvapc("All variables deleted, nothing to output");
    const std::string& format = Config().fileFormat;
    std::vector<double> cells(static_cast<std::size_t>(n()) * static_cast<std::size_t>(m()));
    for (std::int32_t v = 1; v <= n(); ++v)
      for (std::int32_t j = 1; j <= m(); ++j) cells[Cell(v, j)] = x_->getxij(v, j);
    const double missingValue = missing_.OutputValue(cells);
    MarkIntroduced(cells, missingValue);
    for (std::int32_t v = 1; v <= n(); ++v)
      for (std::int32_t j = 1; j <= m(); ++j) x_->putxij(v, j, cells[Cell(v, j)]);

    if (symmetricType_ != 0) {
      WriteSymmetric(f, missingValue, format);
    } else {
      WriteRectangular(f, missingValue, format);
    }
  }

 private:
  std::int32_t n() const { return x_->rows(); }
  std::int32_t m() const { return x_->cols(); }
  std::size_t Cell(std::int32_t v, std::int32_t j) const {
    return static_cast<std::size_t>(v - 1) * static_cast<std::size_t>(m()) + static_cast<std::size_t>(j - 1);
  }
  bool Deleted(std::int32_t v) const { return deleted_[static_cast<std::size_t>(v)] != 0; }
  bool Changes(const TParsedCode& parsed, std::int32_t v) const {
    return v >= parsed.first && v <= parsed.last && !Deleted(v);
  }

  void Apply(const TParsedCode& parsed) {
    if (MarksDeletions(parsed, deleted_)) {
      anyDeleted_ = true;
      return;
    }
    switch (parsed.code) {
      case tcTRANSP: transposed_ = true; return;
      case tcDCENTER: return;
      case tcSYMD:
      case tcSYMS: Symmetrize(parsed.code == tcSYMD ? mtDissimilarity : mtSimilarity); return;
      case tcSHAPET:
      case tcSHAPETU: ShapeOfPair(parsed); return;
      case tcSHAPET2:
      case tcSHAPETU2: ShapeOfSpecimens(parsed); return;
      case tc1TO2: Split(parsed, 2); return;
      case tc1TO3: Split(parsed, 3); return;
      case tc2TO1: Join(parsed, 2); return;
      case tc3TO1: Join(parsed, 3); return;
      case tcDIVV:
      case tcSUBV: ByVariable(parsed); return;
      default: break;
    }
    for (std::int32_t v = 1; v <= n(); ++v) {
      if (!Changes(parsed, v)) continue;
      const double s = IsElementCode(parsed.code) ? parsed.params[0] : Statistic(parsed.code, v);
      for (std::int32_t j = 1; j <= m(); ++j) {
        x_->putxij(v, j, TransfApplyCode(parsed.code, s, missing_.value, missing_.code, x_->getxij(v, j)));
      }
    }
  }

  // The statistic of a statistic code over the entries of v that are not missing.
  double Statistic(int code, std::int32_t v) const {
    long double sum = 0, squares = 0;
    double low = 1e30, high = -1e30;
    std::int32_t count = 0;
    for (std::int32_t j = 1; j <= m(); ++j) {
      const double y = x_->getxij(v, j);
      if (missing_.IsMissing(y) || std::isinf(y)) continue;
      ++count;
      sum += y;
      squares += static_cast<long double>(y) * y;
      low = std::min(low, y);
      high = std::max(high, y);
    }
    if (count == 0) return 0;
    const long double ss = count > 1 ? std::max(0.0L, squares - sum * sum / count) : 0.0L;
    switch (code) {
      case tcSUBYBAR: return static_cast<double>(sum / count);
      case tcSUBMIN: return low;
      case tcDIVSTD: return count > 1 ? static_cast<double>(std::sqrt(ss / (count - 1))) : 0;
      case tcDIVRANGE: return high - low;
      case tcDIVMAX: return high;
      case tcDIVSS: return static_cast<double>(std::sqrt(ss));
      case tcDIVSY2: return static_cast<double>(std::sqrt(squares));
      case tcDIVSUMY: return static_cast<double>(sum);
      default: throw E_Morvapc_Internal(rtl::Format("Not a statistic code: %d", code));
    }
  }

  bool Missing(double y) const { return missing_.IsMissing(y) || std::isinf(y); }

  void Symmetrize(int type) {
    if (n() != m() || anyDeleted_) {
      throw E_Morvapc("Matrix must be square and no deletions for the SYMD & SYMS transformations");
    }
    for (std::int32_t i = 1; i <= n(); ++i) {
      for (std::int32_t j = 1; j <= i; ++j) {
        const double a = x_->getxij(i, j), b = x_->getxij(j, i);
        x_->putxij(i, j, Missing(a) ? a : Missing(b) ? b : (a + b) * 0.5);
      }
    }
    if (!varLabels_->HasStorage() && entryLabels_->HasStorage()) varLabels_ = entryLabels_;
    symmetricType_ = type;
  }

  // u and v of the point (x, y) on the baseline from (x1, y1) to (x2, y2).
  struct TBaseline {
    double x1, y1, dx, dy, length;
    std::pair<double, double> Place(double x, double y) const {
      return {(dx * (x - x1) + dy * (y - y1)) / length, (dx * (y - y1) - dy * (x - x1)) / length};
    }
  };

  static TBaseline Baseline(int code, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double squared = dx * dx + dy * dy;
    const bool unitless = code == tcSHAPETU || code == tcSHAPETU2;
    const double length = unitless ? std::sqrt(squared) : squared;
    if (!(length > 0)) throw E_Morvapc("Baseline for shape coordinates is of zero length");
    return {x1, y1, dx, dy, length};
  }

  // A parameter that names a variable or landmark, to the nearest integer.
  static std::int32_t Rounded(double parameter) {
    return static_cast<std::int32_t>(rtl::Round(std::clamp(parameter, -1e9, 1e9)));
  }

  static std::int32_t Landmark(double parameter, std::int32_t count) {
    const std::int32_t k = Rounded(parameter);
    if (k < 1 || k > count) throw E_Morvapc("Landmark number for baseline is out of range");
    return k;
  }

  // Variables first and last hold the x and y coordinates of the landmarks.
  void ShapeOfPair(const TParsedCode& parsed) {
    const std::int32_t xv = parsed.first, yv = parsed.last;
    if (xv == yv) throw E_Morvapc("The same variable cannot be used for both the x and y coordinate");
    const std::int32_t left = Landmark(parsed.params[0], m());
    const std::int32_t right = Landmark(parsed.params[1], m());
    const TBaseline base =
        Baseline(parsed.code, x_->getxij(xv, left), x_->getxij(yv, left), x_->getxij(xv, right), x_->getxij(yv, right));
    ListingWriteLine(rtl::Format("Baseline: x=%d y=%d left=%d right=%d", xv, yv, left, right));
    for (std::int32_t j = 1; j <= m(); ++j) {
      const double x = x_->getxij(xv, j), y = x_->getxij(yv, j);
      if (Missing(x) || Missing(y)) continue;
      const auto [u, v] = base.Place(x, y);
      x_->putxij(xv, j, u);
      x_->putxij(yv, j, v);
    }
  }

  // Each variable is a specimen with the entries x1, y1, x2, y2, ...
  void ShapeOfSpecimens(const TParsedCode& parsed) {
    const std::int32_t left = Rounded(parsed.params[0]);
    const std::int32_t right = Rounded(parsed.params[1]);
    ListingWriteLine(rtl::Format("Baseline: leftLM = %d rightLM = %d", left, right));
    if (m() % 2 != 0) throw E_Morvapc("Number of coordinates must be a multiple of 2");
    const std::int32_t landmarks = m() / 2;
    if (left == right) throw E_Morvapc("Landmark number for baseline is out of range");
    Landmark(left, landmarks);
    Landmark(right, landmarks);
    for (std::int32_t v = 1; v <= n(); ++v) {
      if (!Changes(parsed, v)) continue;
      const TBaseline base = Baseline(parsed.code, x_->getxij(v, 2 * left - 1), x_->getxij(v, 2 * left),
                                      x_->getxij(v, 2 * right - 1), x_->getxij(v, 2 * right));
      for (std::int32_t i = 1; i <= landmarks; ++i) {
        const double x = x_->getxij(v, 2 * i - 1), y = x_->getxij(v, 2 * i);
        if (Missing(x) || Missing(y)) continue;
        const auto [u, w] = base.Place(x, y);
        x_->putxij(v, 2 * i - 1, u);
        x_->putxij(v, 2 * i, w);
      }
    }
  }

  // Variable k taken as it stood before the code, so that a k inside the range
  // serves every variable alike.
  void ByVariable(const TParsedCode& parsed) {
    const std::int32_t k = Rounded(parsed.params[0]);
    if (k < 1 || k > n()) throw E_Morvapc("Variable number out of range: " + parsed.token);
    std::vector<double> by(static_cast<std::size_t>(m()));
    for (std::int32_t j = 1; j <= m(); ++j) by[static_cast<std::size_t>(j - 1)] = x_->getxij(k, j);
    for (std::int32_t v = 1; v <= n(); ++v) {
      if (!Changes(parsed, v)) continue;
      for (std::int32_t j = 1; j <= m(); ++j) {
        const double y = x_->getxij(v, j), d = by[static_cast<std::size_t>(j - 1)];
        if (Missing(y) || Missing(d)) continue;
        if (parsed.code == tcSUBV) {
          x_->putxij(v, j, y - d);
        } else if (d == 0) {
          x_->putxij(v, j, missing_.value);
          missing_.code = 1;
        } else {
          x_->putxij(v, j, y / d);
        }
      }
    }
  }

  // A new working matrix: the entries that no variable fills are missing.
  std::unique_ptr<Rect_mx> Reshaped(std::int32_t newN, std::int32_t newM) {
    auto reshaped = std::make_unique<Rect_mx>(newN, newM);
    reshaped->Fill(std::numeric_limits<double>::quiet_NaN());
    return reshaped;
  }

  void TakeReshaped(std::unique_ptr<Rect_mx> reshaped, TLabels varLabels, TLabels entryLabels,
                    std::vector<char> deleted) {
    bool empty = false;
    for (std::int32_t v = 1; v <= reshaped->rows(); ++v) {
      for (std::int32_t j = 1; j <= reshaped->cols(); ++j) {
        if (!std::isnan(reshaped->getxij(v, j))) continue;
        reshaped->putxij(v, j, missing_.value);
        empty = true;
      }
    }
    if (empty) missing_.code = 1;
    x_ = std::move(reshaped);
    varLabels_ = std::move(varLabels);
    entryLabels_ = std::move(entryLabels);
    anyDeleted_ = KeptCount(deleted) < static_cast<std::int32_t>(deleted.size()) - 1;
    deleted_ = std::move(deleted);
  }

  static TLabels NewLabels(const TLabels& old, std::int32_t count, std::int32_t (*source)(std::int32_t, std::int32_t),
                           std::int32_t k) {
    if (!old->HasStorage()) return std::make_shared<Label_mx>(0);
    auto labels = std::make_shared<Label_mx>(count);
    for (std::int32_t i = 1; i <= count; ++i) labels->PutLabel(i, old->GetLabel(source(i, k)));
    return labels;
  }

  // 1TO2 and 1TO3: variable v's entries x1, y1, (z1,) x2, ... become k variables.
  void Split(const TParsedCode& parsed, std::int32_t k) {
    if (m() % k != 0) throw E_Morvapc("number of elements not a correct multiple");
    const std::int32_t newM = m() / k;
    auto reshaped = Reshaped(n() * k, newM);
    std::vector<char> deleted(static_cast<std::size_t>(n() * k) + 1, 0);
    for (std::int32_t v = 1; v <= n(); ++v) {
      for (std::int32_t c = 1; c <= k; ++c) deleted[static_cast<std::size_t>((v - 1) * k + c)] = deleted_[v];
      if (!Changes(parsed, v)) continue;
      for (std::int32_t j = 1; j <= m(); ++j) {
        reshaped->putxij((v - 1) * k + (j - 1) % k + 1, (j + k - 1) / k, x_->getxij(v, j));
      }
    }
    TLabels vars = NewLabels(
        varLabels_, n() * k, [](std::int32_t i, std::int32_t kk) { return (i + kk - 1) / kk; }, k);
    TLabels entries = NewLabels(
        entryLabels_, newM, [](std::int32_t j, std::int32_t kk) { return (j - 1) * kk + 1; }, k);
    TakeReshaped(std::move(reshaped), std::move(vars), std::move(entries), std::move(deleted));
  }

  // 2TO1 and 3TO1: k variables in turn become one of interleaved entries. A
  // new variable is deleted when all of its variables were.
  void Join(const TParsedCode& parsed, std::int32_t k) {
    if (n() % k != 0) throw E_Morvapc("number of elements not a correct multiple");
    const std::int32_t newN = n() / k;
    auto reshaped = Reshaped(newN, m() * k);
    std::vector<char> deleted(static_cast<std::size_t>(newN) + 1, 1);
    for (std::int32_t v = 1; v <= n(); ++v) {
      if (!Deleted(v)) deleted[static_cast<std::size_t>((v + k - 1) / k)] = 0;
      if (!Changes(parsed, v)) continue;
      for (std::int32_t j = 1; j <= m(); ++j) {
        reshaped->putxij((v + k - 1) / k, (j - 1) * k + (v - 1) % k + 1, x_->getxij(v, j));
      }
    }
    TLabels vars = NewLabels(
        varLabels_, newN, [](std::int32_t i, std::int32_t kk) { return (i - 1) * kk + 1; }, k);
    TLabels entries = NewLabels(
        entryLabels_, m() * k, [](std::int32_t j, std::int32_t kk) { return (j + kk - 1) / kk; }, k);
    TakeReshaped(std::move(reshaped), std::move(vars), std::move(entries), std::move(deleted));
  }

  // The kept labels of a list, renumbered; none when the list has none.
  std::shared_ptr<Label_mx> KeptLabels(const Label_mx& labels) const {
    if (!labels.HasStorage() || !anyDeleted_) return nullptr;
    auto kept = std::make_shared<Label_mx>(KeptCount(deleted_));
    std::int32_t k = 0;
    for (std::int32_t v = 1; v <= n(); ++v) {
      if (!Deleted(v)) kept->PutLabel(++k, labels.GetLabel(v));
    }
    return kept;
  }

  void WriteSymmetric(rtl::TextWriter& f, double missingValue, const std::string& format) const {
    GuardMatrixWrite([&] {
      const int labelCode = varLabels_->HasStorage() ? lcBlock : lcNone;
      WriteMatrixHeader(f, symmetricType_, n(), n(), missing_.code, missingValue, format, labelCode, lcNone);
      WriteLabels(*varLabels_, f);
    });
    std::vector<double> row;
    for (std::int32_t i = 1; i <= n(); ++i) {
      row.clear();
      for (std::int32_t j = 1; j <= i; ++j) row.push_back(x_->getxij(i, j));
      WriteRecordLines(f, row, format, kTransfValuesPerLine);
    }
  }

  void WriteRectangular(rtl::TextWriter& f, double missingValue, const std::string& format) const {
    const bool variablesAsRows = byRows_ != transposed_;
    const std::int32_t kept = KeptCount(deleted_);
    const std::shared_ptr<Label_mx> keptVars = KeptLabels(*varLabels_);
    const Label_mx& vars = keptVars ? *keptVars : *varLabels_;
    const Label_mx& rowLabels = variablesAsRows ? vars : *entryLabels_;
    const Label_mx& colLabels = variablesAsRows ? *entryLabels_ : vars;
    const auto code = [](const Label_mx& labels) { return labels.HasStorage() ? lcBlock : lcNone; };
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtRectangular, variablesAsRows ? kept : m(), variablesAsRows ? m() : kept, missing_.code,
                        missingValue, format, code(rowLabels), code(colLabels));
      WriteLabels(rowLabels, f);
      WriteLabels(colLabels, f);
    });
    if (!anyDeleted_) {
      ::Write(*x_, f, variablesAsRows, format);
      return;
    }
    std::vector<double> record;
    if (variablesAsRows) {
      for (std::int32_t v = 1; v <= n(); ++v) {
        if (Deleted(v)) continue;
        record.clear();
        for (std::int32_t j = 1; j <= m(); ++j) record.push_back(x_->getxij(v, j));
        WriteRecordLines(f, record, format, kTransfValuesPerLine);
      }
      return;
    }
    for (std::int32_t j = 1; j <= m(); ++j) {
      record.clear();
      for (std::int32_t v = 1; v <= n(); ++v) {
        if (!Deleted(v)) record.push_back(x_->getxij(v, j));
      }
      WriteRecordLines(f, record, format, kTransfValuesPerLine);
    }
  }

  bool byRows_;
  TTransfMissing missing_;
  std::unique_ptr<Rect_mx> x_;
  TLabels varLabels_;
  TLabels entryLabels_;
  std::vector<char> deleted_;  // per variable from 1
  bool anyDeleted_ = false;
  bool transposed_ = false;
  int symmetricType_ = 0;  // 2 or 3 after SYMD or SYMS
};

}  // namespace

void TransfRectangular(rtl::TextReader& in, const TMatrixHeader& header, const std::string& codes, bool byRows,
                       rtl::TextWriter* out) {
  TRectEngine engine(header, byRows);
  engine.Read(in, header);
  engine.Carry(codes);
  if (out != nullptr) engine.Write(*out);
}
