#include "modules/general/transfEngine.h"

#include <memory>
#include <string_view>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "modules/general/recordLines.h"
#include "modules/general/transfRect.h"
#include "modules/general/transfShared.h"
#include "shell/Config.h"

namespace {

// The kinds of matrix other than rectangular, with the codes each allows.
enum class TKind { Symmetric, Diagonal, Tree, Graph };

TKind KindOf(int type) {
  switch (type) {
    case mtDissimilarity:
    case mtSimilarity: return TKind::Symmetric;
    case mtDiagonal: return TKind::Diagonal;
    case mtTreeDissimilarity:
    case mtTreeSimilarity: return TKind::Tree;
    default: return TKind::Graph;
  }
}

// Whether a kind of matrix takes the code. DIVSUMY is refused here: these
// kinds have no variable whose sum it could divide by.
bool Allowed(TKind kind, int code) {
  if (IsElementCode(code) || code == tcTRANSP) return true;
  switch (code) {
    case tcDELETE:
    case tcKEEP:
    case tcDEL: return kind == TKind::Symmetric || kind == TKind::Diagonal;
    case tcDCENTER: return kind == TKind::Symmetric;
    default: return false;
  }
}

// Dissimilarities for similarities and back, in the same shape.
int OtherKind(int type) {
  switch (type) {
    case mtDissimilarity: return mtSimilarity;
    case mtSimilarity: return mtDissimilarity;
    case mtTreeDissimilarity: return mtTreeSimilarity;
    case mtTreeSimilarity: return mtTreeDissimilarity;
    case mtGraphDissimilarity: return mtGraphSimilarity;
    default: return mtGraphDissimilarity;
  }
}

std::string_view KindName(TKind kind) {
  switch (kind) {
    case TKind::Symmetric: return "symmetric";
    case TKind::Diagonal: return "diagonal";
    case TKind::Tree: return "tree";
    case TKind::Graph: return "graph";
  }
  return {};
}

// A matrix of types 2 to 8 as the list of its values, each with the two
// variables it belongs to (the same one twice on a diagonal, tree or graph),
// the deletion flags of its variables and what its writer needs besides.
class TCellEngine {
 public:
  TCellEngine(const TMatrixHeader& header, bool byRows)
      : header_(header), kind_(KindOf(header.type)), type_(header.type), byRows_(byRows), missing_(header) {}

  void Read(rtl::TextReader& in) {
    const std::int32_t n = header_.rows;
    labels_ = std::make_shared<Label_mx>(header_.rowLabelCode != lcNone ? n : 0);
    deleted_.assign(static_cast<std::size_t>(n) + 1, 0);
    switch (kind_) {
      case TKind::Symmetric: {
        Sym_mx s(type_, n);
        ReadLabels(*labels_, in);
        ::Read(s, in);
        for (std::int32_t i = 1; i <= n; ++i)
          for (std::int32_t j = 1; j <= i; ++j) Add(i, j, s.getxij(i, j));
        break;
      }
      case TKind::Diagonal: {
        vect_mx d(n);
        ReadLabels(*labels_, in);
        ::Read(d, in);
        for (std::int32_t i = 1; i <= n; ++i) Add(i, i, d.Get(i));
        break;
      }
      case TKind::Tree: {
        tree_ = std::make_unique<Tree_mx>(type_, n);
        ReadTreeMatrix(*tree_, in, header_, labels_.get());
        for (std::int32_t k = 1; k < n; ++k) Add(1, n, tree_->GetValue(k));
        break;
      }
      case TKind::Graph: {
        graph_ = std::make_unique<Graph_mx>(type_, n, header_.cols);
        ReadGraphMatrix(*graph_, in, header_, labels_.get());
        for (std::int32_t k = 1; k <= graph_->m(); ++k) Add(1, n, graph_->GetEdge(k).value);
        break;
      }
    }
  }

  void Carry(std::string text) {
    for (;;) {
      const TParsedCode parsed = TransfParseCodes(text, header_.rows, byRows_);
      if (parsed.code == tcNone) return;
      Apply(parsed);
    }
  }

  void Write(rtl::TextWriter& f) {
    const std::int32_t kept = KeptCount(deleted_);
    if (kept == 0 && header_.rows > 0) throw E_Morvapc("All variables deleted, nothing to output");
    const std::string& format = Config().fileFormat;
    const double missingValue = missing_.OutputValue(values_);
    MarkIntroduced(values_, missingValue);
    const bool anyDeleted = kept < header_.rows;
    const std::shared_ptr<Label_mx> labels = anyDeleted ? KeptLabels() : labels_;
    const int labelCode = labels->HasStorage() ? lcBlock : lcNone;
    GuardMatrixWrite([&] {
      const bool square = kind_ == TKind::Symmetric || kind_ == TKind::Diagonal;
      WriteMatrixHeader(f, type_, square ? kept : header_.rows, square ? kept : header_.cols, missing_.code,
                        missingValue, format, labelCode, lcNone);
      WriteLabels(*labels, f);
    });
    switch (kind_) {
      case TKind::Symmetric: WriteTriangle(f, format); break;
      case TKind::Diagonal: WriteDiagonal(f, format, anyDeleted); break;
      case TKind::Tree: WriteTree(f, format); break;
      case TKind::Graph: WriteGraph(f, format); break;
    }
  }

 private:
  struct TCell {
    std::int32_t i, j;
  };

  void Add(std::int32_t i, std::int32_t j, double x) {
    cells_.push_back({i, j});
    values_.push_back(x);
  }
  bool Deleted(std::int32_t v) const { return deleted_[static_cast<std::size_t>(v)] != 0; }

  void Apply(const TParsedCode& parsed) {
    if (!Allowed(kind_, parsed.code)) {
      throw E_Morvapc("Transformation not defined for " + std::string(KindName(kind_)) + " matrices");
    }
    if ((kind_ == TKind::Tree || kind_ == TKind::Graph) && (parsed.first != 1 || parsed.last != header_.rows)) {
      throw E_Morvapc("Transformation must apply to all");
    }
    if (MarksDeletions(parsed, deleted_)) return;
    if (parsed.code == tcDCENTER) {
      DoubleCentre();
      return;
    }
    if (!IsElementCode(parsed.code)) return;
    for (std::size_t c = 0; c < cells_.size(); ++c) {
      const auto in = [&](std::int32_t v) { return v >= parsed.first && v <= parsed.last; };
      if (!in(cells_[c].i) && !in(cells_[c].j)) continue;
      values_[c] = TransfApplyCode(parsed.code, parsed.params[0], missing_.value, missing_.code, values_[c]);
    }
    if (parsed.code == tcASIN || parsed.code == tcACOS) {
      if (kind_ == TKind::Symmetric) type_ = mtDissimilarity;
    } else if (SwapsMatrixKind(parsed) && kind_ != TKind::Diagonal) {
      type_ = OtherKind(type_);
    }
  }

  // Row means over the kept variables, their grand mean, and every kept cell
  // centred by them: a similarity matrix.
  void DoubleCentre() {
    const std::int32_t n = header_.rows;
    const std::int32_t kept = KeptCount(deleted_);
    std::vector<long double> r(static_cast<std::size_t>(n) + 1, 0.0L);
    for (std::size_t c = 0; c < cells_.size(); ++c) {
      const auto [i, j] = cells_[c];
      if (Deleted(i) || Deleted(j)) continue;
      r[static_cast<std::size_t>(i)] += values_[c];
      if (i != j) r[static_cast<std::size_t>(j)] += values_[c];
    }
    long double g = 0;
    for (std::int32_t i = 1; i <= n; ++i) {
      if (Deleted(i)) continue;
      r[static_cast<std::size_t>(i)] /= kept;
      g += r[static_cast<std::size_t>(i)];
    }
    g /= kept;
    for (std::size_t c = 0; c < cells_.size(); ++c) {
      const auto [i, j] = cells_[c];
      if (Deleted(i) || Deleted(j)) continue;
      values_[c] =
          static_cast<double>(values_[c] - r[static_cast<std::size_t>(i)] - r[static_cast<std::size_t>(j)] + g);
    }
    type_ = mtSimilarity;
  }

  std::shared_ptr<Label_mx> KeptLabels() const {
    if (!labels_->HasStorage()) return labels_;
    auto kept = std::make_shared<Label_mx>(KeptCount(deleted_));
    std::int32_t k = 0;
    for (std::int32_t v = 1; v <= header_.rows; ++v) {
      if (!Deleted(v)) kept->PutLabel(++k, labels_->GetLabel(v));
    }
    return kept;
  }

  void WriteTriangle(rtl::TextWriter& f, const std::string& format) const {
    std::vector<double> row;
    std::size_t c = 0;
    for (std::int32_t i = 1; i <= header_.rows; ++i) {
      row.clear();
      for (std::int32_t j = 1; j <= i; ++j, ++c) {
        if (!Deleted(i) && !Deleted(j)) row.push_back(values_[c]);
      }
      if (!Deleted(i)) WriteRecordLines(f, row, format, kTransfValuesPerLine);
    }
  }

  void WriteDiagonal(rtl::TextWriter& f, const std::string& format, bool anyDeleted) const {
    std::vector<double> kept;
    for (std::size_t c = 0; c < cells_.size(); ++c) {
      if (!Deleted(cells_[c].i)) kept.push_back(values_[c]);
    }
    if (anyDeleted) {
      WriteRecordLines(f, kept, format, kTransfValuesPerLine);
      return;
    }
    vect_mx d(static_cast<std::int32_t>(kept.size()));
    for (std::size_t k = 0; k < kept.size(); ++k) d.Put(static_cast<std::int32_t>(k) + 1, kept[k]);
    ::Write(d, f, format);
  }

  void WriteTree(rtl::TextWriter& f, const std::string& format) {
    for (std::int32_t k = 1; k < header_.rows; ++k) tree_->PutValue(k, values_[static_cast<std::size_t>(k - 1)]);
    ::Write(*tree_, f, format);
  }

  void WriteGraph(rtl::TextWriter& f, const std::string& format) {
    for (std::int32_t k = 1; k <= graph_->m(); ++k) {
      const TGraphEdge edge = graph_->GetEdge(k);
      graph_->PutEdge(k, edge.i, edge.j, values_[static_cast<std::size_t>(k - 1)]);
    }
    ::Write(*graph_, f, format);
  }

  const TMatrixHeader& header_;
  TKind kind_;
  int type_;
  bool byRows_;
  TTransfMissing missing_;
  std::shared_ptr<Label_mx> labels_;
  std::vector<char> deleted_;
  std::vector<TCell> cells_;
  std::vector<double> values_;
  std::unique_ptr<Tree_mx> tree_;
  std::unique_ptr<Graph_mx> graph_;
};

}  // namespace

void TransfEngine(rtl::TextReader& in, const TMatrixHeader& header, const std::string& codes, bool byRows,
                  rtl::TextWriter* out) {
  if (header.type == mtRectangular) {
    TransfRectangular(in, header, codes, byRows, out);
    return;
  }
  TCellEngine engine(header, byRows);
  engine.Read(in);
  engine.Carry(codes);
  if (out != nullptr) engine.Write(*out);
}
