#pragma once
// Bodies of matrix files: label blocks, and the values of rectangular,
// symmetric, tree and graph matrices and of vectors. A body follows the header
// line (MatrixFiles.h); the module creates the matrix of the size the header
// gives and reads the body into it.
//
// Readers take the words of a body line by line (blanks and commas separate
// them); each reader starts on the line after what was read before, and each
// record of a matrix starts on a new line. They raise E_Morvapc with the text a
// user reads; after a failure the matrix holds what was stored before it.
// Values are decimal numbers with '.' as the point; "inf", "nan" and numbers
// out of range are refused.
//
// Writers write each real value with the pattern "%" + format + " ", format
// being the file number format ("e", "8.4f", ...), six values to a line, and
// raise E_Morvapc "I/O error saving matrix - disk full?" when a write fails.

#include <cstdint>
#include <string_view>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixob.h"
#include "rtl/TextFile.h"

// --- Labels ----------------------------------------------------------------

// Reads labels.n() words into labels 1 .. n; false, reading nothing, for a
// list with n <= 0. Words beyond the n-th on the last label line are ignored.
bool ReadLabels(Label_mx& labels, rtl::TextReader& f);

// Reads one word per file position k = 1 .. size (size = selection->n(), or
// labels.n() without a selection) and stores it at the selection's entry for
// k; positions whose entry is 0 are read and dropped.
bool ReadSelectedLabels(Label_mx& labels, rtl::TextReader& f, const Index_mx* selection);

// Skips count words, just as the label reader would read them, and the rest
// of the line of the last one. Stops at the end of the file; a count of 0 or
// less skips nothing.
void SkipItems(rtl::TextReader& f, std::int32_t count);

// Each label and a blank, on lines that are written as soon as they are longer
// than 72 characters. Nothing for a list with n <= 0.
void WriteLabels(const Label_mx& labels, rtl::TextWriter& f);

// --- Values --------------------------------------------------------------------

// The value for row, column of the matrix written to f. Writers refuse a value
// that is not finite (RefuseOverflow: "Row 2, column 1 of the matrix for output
// file <name> overflowed (INF) and cannot be written."): no reader takes it back.
double WritableValue(double value, const rtl::TextWriter& f, std::int32_t row, std::int32_t column);

// --- Rectangular matrices ----------------------------------------------------

// Where the labels of one dimension of a rectangular matrix are and where they go.
struct TLabelRead {
  Label_mx* labels = nullptr;  // destination; null reads none
  int code = 0;                // label code of the header: 0 none, 1 block, 2 "B", 3 "E"
  bool wanted = false;         // false skips them
};

// Reads a rectangular body: the label block of the record dimension, then that
// of the other dimension, then one record per row (byRows) or per column, each
// starting on a new line. A selection maps file positions to matrix positions
// (0 skips a position, null takes all); the matrix must have the selected size.
bool Read(Rect_mx& matrix, rtl::TextReader& f, bool byRows, const TLabelRead& rowLabels, const TLabelRead& colLabels,
          const Index_mx* rowSelection = nullptr, const Index_mx* colSelection = nullptr);

// Reads a square matrix given as its lower triangle with the diagonal (record i
// holds i values) and stores each value at (i, j) and (j, i).
bool ReadRecords(Rect_mx& matrix, rtl::TextReader& f);

// One record per row (per column when byRows is false).
void Write(const Rect_mx& matrix, rtl::TextWriter& f, bool byRows, std::string_view format);

// Row i holds (i, 1) .. (i, i), or (1, i) .. (i, i) when transposed. Raises
// E_Morvapc "Matrix is not square" for a matrix that is not.
void WriteLowerTriangle(const Rect_mx& matrix, rtl::TextWriter& f, bool transposed, std::string_view format);

// --- Symmetric matrices ------------------------------------------------------

// n records, record i holding (i, 1) .. (i, i).
bool Read(Sym_mx& matrix, rtl::TextReader& f);
void Write(const Sym_mx& matrix, rtl::TextWriter& f, std::string_view format);

// --- Vectors -------------------------------------------------------------------

// Reads the current length's values. One line of blanks at a time is passed over.
bool Read(vect_mx& vector, rtl::TextReader& f);
bool Read(ivect_mx& vector, rtl::TextReader& f);

// The current length's values, with a line end after the last.
void Write(const vect_mx& vector, rtl::TextWriter& f, std::string_view format);
// Each value right-aligned in 6 characters and a blank; no line end after the
// last value (the caller writes it).
void Write(const ivect_mx& vector, rtl::TextWriter& f);

// --- Trees -------------------------------------------------------------------

// Reads a tree in rows form (n - 1 lines "pointer value", then a line with the
// last pointer), or, for type 5, in parenthesis notation when the body starts
// with "(". The pointers must be the OTU numbers 1 .. n, each once.
bool Read(Tree_mx& tree, rtl::TextReader& f);

// Reads the parenthesis notation of a tree after its opening "(", through the
// ";" or the end of the file; the rest of the last line is dropped. The tree
// then holds the leaves in notation order, each with the level at which it
// joins the leaves after it, and -1.0 for the last.
bool ReadParenthesisTree(Tree_mx& tree, rtl::TextReader& f);

// Nodes 1 .. n - 1 as "%3d %<format>" and the last as its pointer in 4
// characters followed by " 0.0".
void Write(const Tree_mx& tree, rtl::TextWriter& f, std::string_view format);

// --- Graphs ------------------------------------------------------------------

// m lines of "i j value". Numbers below 1 stand for inner nodes: they are kept
// and set the graph's NegativePointers flag.
bool Read(Graph_mx& graph, rtl::TextReader& f);

// Each edge as "%3d %3d %<format>".
void Write(const Graph_mx& graph, rtl::TextWriter& f, std::string_view format);

// --- Tree and graph matrices after their header ------------------------------

// What every module reads of a tree or graph matrix after its header: the
// row-label block (into labels when they have room for the n OTUs, else
// skipped), the column labels the header announces (skipped: a tree's name its
// columns, "Pointer Level", a graph's its three columns i, j and value), then
// the body.
void ReadTreeMatrix(Tree_mx& tree, rtl::TextReader& f, const TMatrixHeader& header, Label_mx* labels = nullptr);
void ReadGraphMatrix(Graph_mx& graph, rtl::TextReader& f, const TMatrixHeader& header, Label_mx* labels = nullptr);
