#pragma once
// The matrix and vector types of the analysis program: rectangular and
// symmetric matrices of doubles, trees and graphs, vectors, label lists and
// selection maps, and the lists that own them.
//
// Elements are indexed from 1. Every accessor checks its indices and raises
// E_Morvapc_Internal; the checks are inline compares on one contiguous block,
// with the error path out of line. Sizes are checked before allocation: a size
// that does not fit raises EUtContainerError "Bad size parameter".

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/PackedTriangle.h"
#include "matrix/util/UtLArray.h"

// The missing value of a matrix whose missing-value code is 0 (none).
inline constexpr double NoMissingValue = std::numeric_limits<double>::infinity();

// True when a and b differ by more than 1e-6 (compared in extended precision)
// or their difference is not a number (so NaN, and two equal infinities, differ).
bool RealsDiffer(double a, double b);

// True when i or j lies outside 1 .. rows or 1 .. cols; one unsigned compare
// each, so 0 and negative indices fail too.
inline bool IndexesOutside(std::int32_t i, std::int32_t j, std::int32_t rows, std::int32_t cols) {
  const bool badRow = static_cast<std::uint32_t>(i - 1) >= static_cast<std::uint32_t>(rows);
  const bool badCol = static_cast<std::uint32_t>(j - 1) >= static_cast<std::uint32_t>(cols);
  return badRow | badCol;
}

// Selection map used when a matrix is read: entry k is the destination index
// of the file's k-th row or column, 0 to skip it.
class Index_mx : public TUtLArray {
 public:
  explicit Index_mx(std::int32_t n);

  std::int32_t n() const { return n_; }
  // Stores into an entry at or below the highest position that held 0.
  std::int32_t StoreCount() const { return storeCount_; }
  // The highest position stored so far.
  std::int32_t Highest() const { return highest_; }

  std::int32_t Get(std::int32_t i) const {
    Check(i, "Get");
    return Cells<std::int32_t>()[i - 1];
  }
  void Put(std::int32_t i, std::int32_t v);
  // Every entry and both counters to 0.
  void Clear() override;

 protected:
  void Resized() override;

 private:
  void Check(std::int32_t i, const char* op) const;

  std::int32_t n_;
  std::int32_t storeCount_ = 0;
  std::int32_t highest_ = 0;
};

// A list of labels of at most 15 characters. Created with n <= 0 it has no
// storage: its width is 3 and each label is the decimal number asked for.
class Label_mx : public TUtLArray {
 public:
  // Characters of a label (rtl/TextChars.h), and the bytes they can take in UTF-8.
  static constexpr std::size_t MaxLength = 15;
  static constexpr std::size_t MaxBytes = 4 * MaxLength;
  // A stored label: its length in bytes, then its bytes.
  static constexpr std::uint32_t LabelSize = MaxBytes + 1;

  explicit Label_mx(std::int32_t n);

  std::int32_t n() const { return n_; }
  bool HasStorage() const { return n_ > 0; }
  // Length in characters of the widest label stored.
  std::int32_t GetWidth() const { return width_; }

  std::string GetLabel(std::int32_t i) const;
  // Trims blanks, cuts to 15 characters and stores; ignored without storage.
  void PutLabel(std::int32_t i, std::string_view s);
  // Label k := prefix followed by k, for k = 1 .. n.
  void SetDefaultLabels(std::string_view prefix);
  // Label i cut or padded with blanks to w characters (unchanged when w <= 0).
  std::string GetFixedWidthLabel(std::int32_t i, std::int32_t w) const;
  // Copies every label (or its number, without storage) to dest.
  void CopyTo(Label_mx& dest) const;

 protected:
  void Resized() override;

 private:
  void Check(std::int32_t i, const char* op) const;

  std::int32_t n_;
  std::int32_t width_;
};

// Raises E_Morvapc_Internal "Index error in <type>.<op>: <i>".
[[noreturn]] void VectorIndexError(const char* type, const char* op, std::int32_t i);

// A 1-based vector of T in one block; every access checks i against the
// current length (at most the allocated one).
template <class T>
class TMxVector : public TUtLArray {
 public:
  std::int32_t length() const { return length_; }
  std::int32_t allocLength() const { return allocLength_; }

  T Get(std::int32_t i) const {
    Check(i, "Get");
    return Cells<T>()[i - 1];
  }
  void Put(std::int32_t i, T v) {
    Check(i, "Put");
    Cells<T>()[i - 1] = v;
  }

 protected:
  // A vector of no elements (a matrix file may hold an empty diagonal) keeps one slot of storage.
  TMxVector(std::int32_t n, const char* typeName)
      : TUtLArray(n == 0 ? 1 : n, sizeof(T)), length_(n), allocLength_(n), typeName_(typeName) {}

  // Every allocated element.
  void Fill(T v) { std::fill_n(Cells<T>(), allocLength_, v); }
  void Check(std::int32_t i, const char* op) const {
    if (static_cast<std::uint32_t>(i - 1) >= static_cast<std::uint32_t>(length_)) [[unlikely]]
      VectorIndexError(typeName_, op, i);
  }
  void Resized() override { length_ = allocLength_ = Count(); }

  std::int32_t length_;
  std::int32_t allocLength_;

 private:
  const char* typeName_;
};

// Vector of doubles whose current length may be set within the allocation.
class vect_mx : public TMxVector<double> {
 public:
  explicit vect_mx(std::int32_t n) : TMxVector(n, "vect_mx") {}

  using TMxVector::Fill;
  void AddTo(std::int32_t i, double x) {
    Check(i, "AddTo");
    Cells<double>()[i - 1] += x;
  }
  // False when m is negative or exceeds the allocated length.
  bool SetLength(std::int32_t m);
};

// Vector of 32-bit integers.
class ivect_mx : public TMxVector<std::int32_t> {
 public:
  explicit ivect_mx(std::int32_t n) : TMxVector(n, "ivect_mx") {}

  using TMxVector::Fill;
};

// Vector of 32-bit integers of fixed length.
class iLvect_mx : public TMxVector<std::int32_t> {
 public:
  explicit iLvect_mx(std::int32_t n) : TMxVector(n, "iLvect_mx") {}

  std::int32_t n() const { return length(); }
};

// Vector of booleans, one byte each.
class bvect_mx : public TMxVector<bool> {
 public:
  explicit bvect_mx(std::int32_t n) : TMxVector(n, "bvect_mx") {}

  std::int32_t n() const { return length(); }
  using TMxVector::Fill;
};

// Rectangular matrix of doubles. Storage holds the allocated rows x columns;
// the current size (at most the allocated one) bounds every index.
class Rect_mx : public TUtLMatrix {
 public:
  // missCode 0: no missing values, and the missing value is +Infinity.
  Rect_mx(std::int32_t rows, std::int32_t cols, std::int32_t missCode = 0, double missValue = NoMissingValue);

  // Row and column labels, none at creation; shared with whoever else keeps them.
  std::shared_ptr<Label_mx> FrLabels;
  std::shared_ptr<Label_mx> FcLabels;

  std::int32_t rows() const { return rows_; }
  std::int32_t cols() const { return cols_; }
  std::int32_t allocRows() const { return GridRows(); }
  std::int32_t allocCols() const { return GridCols(); }
  std::int32_t missCode() const { return missCode_; }
  double missValue() const { return missValue_; }

  // False when r or c is negative or exceeds the allocated size.
  bool SetSize(std::int32_t r, std::int32_t c);
  // Current size := allocated size.
  void ResetSize();

  // Each accessor reads the fields it needs before its check, so that a loop
  // over the elements keeps them in registers.
  double getxij(std::int32_t i, std::int32_t j) const {
    const double* cells = Cells<double>();
    const std::size_t stride = Stride();
    if (IndexesOutside(i, j, rows_, cols_)) [[unlikely]]
      GetIndexError(i, j);
    return cells[Offset(i, j, stride)];
  }
  void putxij(std::int32_t i, std::int32_t j, double x) {
    double* cells = Cells<double>();
    const std::size_t stride = Stride();
    if (IndexesOutside(i, j, rows_, cols_)) [[unlikely]]
      PutIndexError(i, j);
    cells[Offset(i, j, stride)] = x;
  }

  // Every allocated cell.
  void Fill(double x);
  // Every current cell times f.
  void Scale(double f);
  // (j, i) := (i, j) for every i > j of the current rows.
  void Symmetrize();
  // Copies the current cells into the same places of dest, whose current size
  // must be at least this one's; dest keeps its current size.
  void CopyTo(Rect_mx& dest) const;
  // dest(j, i) := (i, j); dest's current size must hold the transpose.
  void TransposeTo(Rect_mx& dest) const;

 protected:
  // New dimensions are both allocated and current.
  void Resized() override { ResetSize(); }

 private:
  std::size_t Stride() const { return static_cast<std::size_t>(GridCols()); }
  static std::size_t Offset(std::int32_t i, std::int32_t j, std::size_t stride) {
    return static_cast<std::size_t>(i - 1) * stride + static_cast<std::size_t>(j - 1);
  }
  std::size_t Offset(std::int32_t i, std::int32_t j) const { return Offset(i, j, Stride()); }
  [[noreturn]] void GetIndexError(std::int32_t i, std::int32_t j) const;
  [[noreturn]] void PutIndexError(std::int32_t i, std::int32_t j) const;

  std::int32_t rows_;
  std::int32_t cols_;
  std::int32_t missCode_;
  double missValue_;
};

// Symmetric matrix of doubles of order n, type 2 (dissimilarity) or 3
// (similarity), kept as the packed lower triangle with the diagonal: (i, j)
// with j <= i is cell i(i-1)/2 + j - 1, and (i, j) with j > i is (j, i). The
// n(n+1)/2 cells lie in order in a block of about that many doubles, laid on
// a grid of about sqrt(count) rows so that no dimension is huge.
class Sym_mx : public TUtLMatrix {
 public:
  Sym_mx(std::int32_t type, std::int32_t n, std::int32_t missCode = 0, double missValue = NoMissingValue);

  // Labels of the objects, none at creation.
  std::shared_ptr<Label_mx> Labels;

  std::int32_t n() const { return n_; }
  std::int32_t rows() const { return n_; }
  std::int32_t cols() const { return n_; }
  // Number of stored cells, n(n+1)/2.
  std::int32_t count() const { return count_; }
  std::int32_t matrixType() const { return type_; }
  std::int32_t missCode() const { return missCode_; }
  double missValue() const { return missValue_; }

  double getxij(std::int32_t i, std::int32_t j) const {
    const double* cells = Cells<double>();
    if (IndexesOutside(i, j, n_, n_)) [[unlikely]]
      IndexError("getxij", i, j);
    return cells[PackedIndex(i, j)];
  }
  // Storing (i, j) also sets (j, i).
  void putxij(std::int32_t i, std::int32_t j, double x) {
    double* cells = Cells<double>();
    if (IndexesOutside(i, j, n_, n_)) [[unlikely]]
      IndexError("putxij", i, j);
    cells[PackedIndex(i, j)] = x;
  }

  // The stored cells of row i, (i, 1) .. (i, i), side by side in memory: the
  // way to walk a row. Column j of the rows below lies a row apart per cell.
  std::span<const double> Row(std::int32_t i) const {
    if (IndexesOutside(i, i, n_, n_)) [[unlikely]]
      IndexError("Row", i, i);
    return {Cells<double>() + PackedIndex(i, 1), static_cast<std::size_t>(i)};
  }
  std::span<double> Row(std::int32_t i) {
    const std::span<const double> row = std::as_const(*this).Row(i);
    return {const_cast<double*>(row.data()), row.size()};
  }

  // Every stored cell.
  void Fill(double x);
  void Scale(double f);
  // Copies the stored cells to dest, whose order must be at least n.
  void CopyTo(Sym_mx& dest) const;
  // Writes the full square, both triangles, into dest's leading n x n block.
  void CopyToRect(Rect_mx& dest) const;

  // The packed index of (i, j), 0-based, for 1 <= i, j <= n.
  static std::size_t PackedIndex(std::int32_t i, std::int32_t j) { return ::PackedIndex(i, j); }

 private:
  [[noreturn]] void IndexError(const char* op, std::int32_t i, std::int32_t j) const;
  // A new grid holds the largest triangle that fits in it.
  void Resized() override;

  std::int32_t count_;
  std::int32_t n_;
  std::int32_t type_;
  std::int32_t missCode_;
  double missValue_;
};

// A tree of n OTUs in pointer form, type 5 (dissimilarity) or 6 (similarity):
// node k carries the OTU at position k of the dendrogram order and the level
// at which the OTUs up to position k join those after it (0 for the last).
class Tree_mx : public TUtLArray {
 public:
  Tree_mx(std::int32_t type, std::int32_t n);

  // Labels of the OTUs, set by the module that builds the tree.
  std::shared_ptr<Label_mx> Labels;

  std::int32_t n() const { return n_; }
  std::int32_t matrixType() const { return type_; }

  std::int32_t GetPointer(std::int32_t i) const;
  double GetValue(std::int32_t i) const;
  // Keeps the node's value; node and pointer must lie in 1 .. n.
  void PutPointer(std::int32_t i, std::int32_t p);
  // Keeps the node's pointer.
  void PutValue(std::int32_t i, double v);
  // Node i := (p, v).
  void PutNode(std::int32_t p, std::int32_t i, double v);

 private:
  struct Node;
  Node GetNode(std::int32_t i, const char* op) const;
  void StoreNode(std::int32_t i, const Node& node);
  void Resized() override { n_ = Count(); }

  std::int32_t n_;
  std::int32_t type_;
};

// One edge of a graph matrix.
struct TGraphEdge {
  std::int32_t i = 0;
  std::int32_t j = 0;
  double value = 0;
};

// A graph on n OTUs as m edges, type 7 (dissimilarity) or 8 (similarity).
// Inner nodes may carry negative numbers. A graph may have no edges.
class Graph_mx : public TUtLArray {
 public:
  Graph_mx(std::int32_t type, std::int32_t n, std::int32_t m);

  // Set when an edge read from a file had i or j below 1.
  bool NegativePointers = false;

  std::int32_t n() const { return n_; }
  std::int32_t m() const { return m_; }
  std::int32_t matrixType() const { return type_; }

  TGraphEdge GetEdge(std::int32_t k) const;
  void GetEdge(std::int32_t k, std::int32_t& i, std::int32_t& j, double& value) const;
  void PutEdge(std::int32_t k, std::int32_t i, std::int32_t j, double value);

 private:
  void Check(std::int32_t k, const char* op) const;
  void Resized() override { m_ = Count(); }

  std::int32_t n_;
  std::int32_t m_;
  std::int32_t type_;
};

// Raises E_Morvapc_Internal "List index out of bounds (index)".
[[noreturn]] void ListIndexError(std::int32_t index);

// A list that owns its items; indexed from 0 like the platform's lists.
// Labels shared with the items go when their last holder goes.
template <class T>
class TOwningList {
 public:
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  bool Empty() const { return items_.empty(); }

  T& operator[](std::int32_t index) { return *items_[CheckedIndex(index)]; }
  const T& operator[](std::int32_t index) const { return *items_[CheckedIndex(index)]; }

  // Takes the item and returns it.
  T& Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return *items_.back();
  }
  void Delete(std::int32_t index) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(CheckedIndex(index))); }
  void Clear() { items_.clear(); }

 private:
  std::size_t CheckedIndex(std::int32_t index) const {
    if (static_cast<std::uint32_t>(index) >= items_.size()) [[unlikely]]
      ListIndexError(index);
    return static_cast<std::size_t>(index);
  }

  std::vector<std::unique_ptr<T>> items_;
};

// An integer item of a TiList.
struct TiList_i {
  std::int32_t i = 0;
  std::int32_t j = 0;
  std::int32_t k = 0;
};

using TiList = TOwningList<TiList_i>;
using TVectMxList = TOwningList<vect_mx>;
using TRectMxList = TOwningList<Rect_mx>;
using TSymMxList = TOwningList<Sym_mx>;
using TTreeMxList = TOwningList<Tree_mx>;
using TGraphMxList = TOwningList<Graph_mx>;
