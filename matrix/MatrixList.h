#pragma once
// Listings of matrices and integer vectors: each line goes to the current
// listing section through ListingWriteLine. Values are printed with the
// pattern "%" + format, format being the caller's number format ("8.4f",
// "e", ...); lines are wrapped to stay near 80 characters.

#include <cstdint>
#include <string_view>

#include "matrix/Matrixob.h"

// The printed width of one value in the number format: the length of -12.34
// printed with "%" + format.
std::int32_t ValueWidth(std::string_view format);

// A heading of the column numbers, then one line per row: the row number as
// "%4d " and each value and a blank; an empty line after the last row. A line
// that would pass column 80 goes on after 5 blanks on the next line. With
// byRows false the transpose is printed.
void List(const Rect_mx& matrix, bool byRows, std::string_view format);

// The matrix in blocks of as many columns as fit beside the row labels in 78
// characters: per block a heading of the column labels, a rule, and one line
// per row (the row label, " |", and each value after a blank), then an empty
// line. An empty line comes first.
void ListWithLabels(const Rect_mx& matrix, const Label_mx& rowLabels, const Label_mx& colLabels,
                    std::string_view format);

// The lower triangle with the diagonal: a heading of the column numbers, then
// row i as "%4d " and the values (i, 1) .. (i, i); an empty line at the end.
void List(const Sym_mx& matrix, std::string_view format);

// The values right-aligned in width characters and a blank, 10 to a line,
// then an empty line.
void List(const ivect_mx& vector, std::int32_t width);
