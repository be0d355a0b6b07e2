#include "matrix/Matrixob.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "rtl/Format.h"
#include "rtl/StringList.h"
#include "rtl/TextChars.h"

namespace {

void CheckVectorIndex(std::int32_t i, std::int32_t n, const char* type, const char* op) {
  if (static_cast<std::uint32_t>(i - 1) >= static_cast<std::uint32_t>(n)) VectorIndexError(type, op, i);
}

// A label as stored: its length in bytes, then up to 15 characters.
struct StoredLabel {
  std::uint8_t length = 0;
  char text[Label_mx::MaxBytes] = {};
};
static_assert(sizeof(StoredLabel) == Label_mx::LabelSize);

// The grid of a packed triangle of order n: about sqrt(count) rows, enough
// columns for count cells. A size whose count does not fit in 32 bits is refused.
struct TriangleGrid {
  std::int32_t count;
  std::int32_t rows;
  std::int32_t cols;
};

TriangleGrid GridFor(std::int32_t n) {
  const std::int64_t count = static_cast<std::int64_t>(n) * (static_cast<std::int64_t>(n) + 1) / 2;
  if (n <= 0 || count > std::numeric_limits<std::int32_t>::max()) throw EUtContainerError(utBadSize);
  if (n == 1) return {1, 1, 1};
  auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(count)));
  while (root * root > count) --root;
  while ((root + 1) * (root + 1) <= count) ++root;
  const std::int64_t rows = root + 1;
  const std::int64_t cols = count / rows + 1;
  return {static_cast<std::int32_t>(count), static_cast<std::int32_t>(rows), static_cast<std::int32_t>(cols)};
}

double MissingValueFor(std::int32_t missCode, double missValue) { return missCode == 0 ? NoMissingValue : missValue; }

}  // namespace

bool RealsDiffer(double a, double b) {
  const long double difference = static_cast<long double>(a) - static_cast<long double>(b);
  return !(std::fabs(difference) <= 1e-6L);
}

void ListIndexError(std::int32_t index) {
  throw E_Morvapc_Internal(rtl::Format("List index out of bounds (%d)", index));
}

// ---- Index_mx

Index_mx::Index_mx(std::int32_t n) : TUtLArray(n, sizeof(std::int32_t)), n_(n) {}

void Index_mx::Check(std::int32_t i, const char* op) const { CheckVectorIndex(i, n_, "Index_mx", op); }

void Index_mx::Put(std::int32_t i, std::int32_t v) {
  Check(i, "Put");
  std::int32_t& entry = Cells<std::int32_t>()[i - 1];
  if (i > highest_) {
    highest_ = i;
  } else if (entry == 0) {
    ++storeCount_;
  }
  entry = v;
}

void Index_mx::Clear() {
  TUtLArray::Clear();
  storeCount_ = 0;
  highest_ = 0;
}

void Index_mx::Resized() {
  n_ = Count();
  storeCount_ = 0;
  highest_ = 0;
}

// ---- Label_mx

Label_mx::Label_mx(std::int32_t n) : TUtLArray(LabelSize), n_(n), width_(n > 0 ? 0 : 3) {
  if (n > 0) Allocate(n, 1, LabelSize);
}

void Label_mx::Resized() {
  n_ = Count();
  width_ = 0;
}

void Label_mx::Check(std::int32_t i, const char* op) const { CheckVectorIndex(i, n_, "Label_mx", op); }

std::string Label_mx::GetLabel(std::int32_t i) const {
  if (!HasStorage()) return std::to_string(i);
  Check(i, "GetLabel");
  StoredLabel label;
  Get(i - 1, &label);
  return std::string(label.text, label.length);
}

void Label_mx::PutLabel(std::int32_t i, std::string_view s) {
  if (!HasStorage()) return;
  Check(i, "PutLabel");
  const std::string_view trimmed = rtl::Trim(s);
  const std::string_view text = trimmed.substr(0, rtl::CharactersLength(trimmed, MaxLength));
  StoredLabel label;
  label.length = static_cast<std::uint8_t>(text.size());
  std::memcpy(label.text, text.data(), text.size());
  Put(i - 1, &label);
  width_ = std::max(width_, static_cast<std::int32_t>(rtl::CharacterCount(text)));
}

void Label_mx::SetDefaultLabels(std::string_view prefix) {
  for (std::int32_t k = 1; k <= n_; ++k) PutLabel(k, std::string(prefix) + std::to_string(k));
}

std::string Label_mx::GetFixedWidthLabel(std::int32_t i, std::int32_t w) const {
  std::string label = GetLabel(i);
  if (w <= 0) return label;
  const auto width = static_cast<std::size_t>(w);
  label.resize(rtl::CharactersLength(label, width));
  label.append(width - std::min(width, rtl::CharacterCount(label)), ' ');
  return label;
}

void Label_mx::CopyTo(Label_mx& dest) const {
  const std::int32_t count = HasStorage() ? n_ : dest.n();
  for (std::int32_t k = 1; k <= count; ++k) dest.PutLabel(k, GetLabel(k));
}

// ---- vectors

void VectorIndexError(const char* type, const char* op, std::int32_t i) {
  throw E_Morvapc_Internal(rtl::Format("Index error in %s.%s: %d", type, op, i));
}

bool vect_mx::SetLength(std::int32_t m) {
  if (m < 0 || m > allocLength_) return false;
  length_ = m;
  return true;
}

// ---- Rect_mx

namespace {

// The storage of a dimension: a matrix file may hold a matrix without rows or
// columns (a module that finds no dimension writes one), which keeps one slot.
std::int32_t StorageFor(std::int32_t count) { return count == 0 ? 1 : count; }

}  // namespace

Rect_mx::Rect_mx(std::int32_t rows, std::int32_t cols, std::int32_t missCode, double missValue)
    : TUtLMatrix(StorageFor(rows), StorageFor(cols), sizeof(double)),
      rows_(rows),
      cols_(cols),
      missCode_(missCode),
      missValue_(MissingValueFor(missCode, missValue)) {}

void Rect_mx::GetIndexError(std::int32_t i, std::int32_t j) const {
  throw E_Morvapc_Internal(rtl::Format("Index error in Rect_mx (%d,%d) getxij: %d %d", rows_, cols_, i, j));
}

void Rect_mx::PutIndexError(std::int32_t i, std::int32_t j) const {
  throw E_Morvapc_Internal(rtl::Format("Index error in Rect_mx.putxij: %d %d", i, j));
}

bool Rect_mx::SetSize(std::int32_t r, std::int32_t c) {
  if (r < 0 || c < 0 || r > allocRows() || c > allocCols()) return false;
  rows_ = r;
  cols_ = c;
  return true;
}

void Rect_mx::ResetSize() {
  rows_ = allocRows();
  cols_ = allocCols();
}

void Rect_mx::Fill(double x) { std::fill_n(Cells<double>(), Count(), x); }

void Rect_mx::Scale(double f) {
  for (std::int32_t i = 1; i <= rows_; ++i) {
    double* row = Cells<double>() + Offset(i, 1);
    for (std::int32_t j = 0; j < cols_; ++j) row[j] *= f;
  }
}

void Rect_mx::Symmetrize() {
  for (std::int32_t i = 2; i <= rows_; ++i) {
    for (std::int32_t j = 1; j < i; ++j) putxij(j, i, getxij(i, j));
  }
}

void Rect_mx::CopyTo(Rect_mx& dest) const {
  if (dest.rows() < rows_ || dest.cols() < cols_)
    throw E_Morvapc_Internal("Error: tried to copy rect. ms to too small mx.");
  for (std::int32_t i = 1; i <= rows_; ++i) {
    const double* row = Cells<double>() + Offset(i, 1);
    std::copy_n(row, cols_, dest.Cells<double>() + dest.Offset(i, 1));
  }
}

void Rect_mx::TransposeTo(Rect_mx& dest) const {
  if (dest.cols() < rows_ || dest.rows() < cols_)
    throw E_Morvapc_Internal("Error: tried to transpose to too small mx.");
  for (std::int32_t i = 1; i <= rows_; ++i) {
    for (std::int32_t j = 1; j <= cols_; ++j) dest.putxij(j, i, getxij(i, j));
  }
}

// ---- Sym_mx

Sym_mx::Sym_mx(std::int32_t type, std::int32_t n, std::int32_t missCode, double missValue)
    : TUtLMatrix(GridFor(n).rows, GridFor(n).cols, sizeof(double)),
      count_(GridFor(n).count),
      n_(n),
      type_(type),
      missCode_(missCode),
      missValue_(MissingValueFor(missCode, missValue)) {}

void Sym_mx::IndexError(const char* op, std::int32_t i, std::int32_t j) const {
  throw E_Morvapc_Internal(rtl::Format("Index error in Sym_mx.%s: %d %d", op, i, j));
}

void Sym_mx::Resized() {
  const auto cells = static_cast<std::int64_t>(GridRows()) * GridCols();
  auto n = static_cast<std::int64_t>((std::sqrt(8.0 * static_cast<double>(cells) + 1.0) - 1.0) / 2.0);
  while (n * (n + 1) / 2 > cells) --n;
  while ((n + 1) * (n + 2) / 2 <= cells) ++n;
  n_ = static_cast<std::int32_t>(n);
  count_ = static_cast<std::int32_t>(n * (n + 1) / 2);
}

void Sym_mx::Fill(double x) { std::fill_n(Cells<double>(), count_, x); }

void Sym_mx::Scale(double f) {
  double* cells = Cells<double>();
  for (std::int32_t k = 0; k < count_; ++k) cells[k] *= f;
}

void Sym_mx::CopyTo(Sym_mx& dest) const {
  if (dest.n() < n_) throw E_Morvapc_Internal("Error: tried to copy sym. mx. to too small mx.");
  // The packed index does not depend on n, so the cells go across in order.
  std::copy_n(Cells<double>(), count_, dest.Cells<double>());
}

void Sym_mx::CopyToRect(Rect_mx& dest) const {
  if (dest.rows() < n_ || dest.cols() < n_)
    throw E_Morvapc_Internal("Error: tried to copy sym. mx. to too small rect. mx.");
  for (std::int32_t i = 1; i <= n_; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      const double x = getxij(i, j);
      dest.putxij(i, j, x);
      dest.putxij(j, i, x);
    }
  }
}

// ---- Tree_mx

struct Tree_mx::Node {
  std::int32_t pointer;
  double value;
};

namespace {
// A node as stored: the pointer followed by the value, packed in 12 bytes.
constexpr std::uint32_t TreeNodeSize = sizeof(std::int32_t) + sizeof(double);
constexpr const char* TreePointerRangeError = "Attempt to store out of range pointer in tree matrix";
}  // namespace

Tree_mx::Tree_mx(std::int32_t type, std::int32_t n) : TUtLArray(n, TreeNodeSize), n_(n), type_(type) {}

Tree_mx::Node Tree_mx::GetNode(std::int32_t i, const char* op) const {
  CheckVectorIndex(i, n_, "Tree_mx", op);
  const std::byte* slot = Slot(static_cast<std::size_t>(i - 1));
  Node node;
  std::memcpy(&node.pointer, slot, sizeof node.pointer);
  std::memcpy(&node.value, slot + sizeof node.pointer, sizeof node.value);
  return node;
}

void Tree_mx::StoreNode(std::int32_t i, const Node& node) {
  std::byte* slot = Slot(static_cast<std::size_t>(i - 1));
  std::memcpy(slot, &node.pointer, sizeof node.pointer);
  std::memcpy(slot + sizeof node.pointer, &node.value, sizeof node.value);
}

std::int32_t Tree_mx::GetPointer(std::int32_t i) const { return GetNode(i, "GetPointer").pointer; }

double Tree_mx::GetValue(std::int32_t i) const { return GetNode(i, "GetValue").value; }

void Tree_mx::PutPointer(std::int32_t i, std::int32_t p) {
  if (i < 1 || i > n_ || p < 1 || p > n_) throw E_Morvapc_Internal(TreePointerRangeError);
  StoreNode(i, {p, GetValue(i)});
}

void Tree_mx::PutValue(std::int32_t i, double v) {
  if (i < 1 || i > n_) throw E_Morvapc_Internal("Attempt to store out of range value in tree matrix");
  StoreNode(i, {GetPointer(i), v});
}

void Tree_mx::PutNode(std::int32_t p, std::int32_t i, double v) {
  if (i < 1 || i > n_ || p < 1 || p > n_) throw E_Morvapc_Internal(TreePointerRangeError);
  StoreNode(i, {p, v});
}

// ---- Graph_mx

// A graph of no edges (the spanning tree of one OTU) has no storage; a
// negative edge count is refused by the allocation.
Graph_mx::Graph_mx(std::int32_t type, std::int32_t n, std::int32_t m)
    : TUtLArray(sizeof(TGraphEdge)), n_(n), m_(m), type_(type) {
  if (m != 0) Allocate(m, 1, sizeof(TGraphEdge));
}

void Graph_mx::Check(std::int32_t k, const char* op) const { CheckVectorIndex(k, m_, "Graph_mx", op); }

TGraphEdge Graph_mx::GetEdge(std::int32_t k) const {
  Check(k, "GetEdge");
  TGraphEdge edge;
  Get(k - 1, &edge);
  return edge;
}

void Graph_mx::GetEdge(std::int32_t k, std::int32_t& i, std::int32_t& j, double& value) const {
  const TGraphEdge edge = GetEdge(k);
  i = edge.i;
  j = edge.j;
  value = edge.value;
}

void Graph_mx::PutEdge(std::int32_t k, std::int32_t i, std::int32_t j, double value) {
  Check(k, "PutEdge");
  const TGraphEdge edge{i, j, value};
  Put(k - 1, &edge);
}
