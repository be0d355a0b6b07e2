#include "modules/ordination/mdscalePairs.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "matrix/Constu.h"
#include "matrix/MatrixWords.h"
#include "matrix/util/UtSorter.h"
#include "rtl/Convert.h"

TMdscalePairList ReadPairList(rtl::TextReader& f, const TMatrixHeader& header) {
  const std::int32_t n = header.rows;
  const bool missing = header.missingCode != 0;
  const double sign = header.type == mtSimilarity ? -1.0 : 1.0;
  TMdscalePairList list;
  list.pairs.reserve(static_cast<std::size_t>(n) * (n - 1) / 2);
  list.delta.reserve(list.pairs.capacity());

  TMatrixWords words(f);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      std::string_view word;
      if (!words.NextWord(word)) {
        throw E_Morvapc("End of file encountered when trying to read row " + rtl::IntToStr(i) + " column " +
                        rtl::IntToStr(j) + " in input file.");
      }
      const std::optional<double> value = rtl::TryStrToFloat(word);
      if (!value) {
        throw E_Morvapc("Problem in reading value: " + std::string(word) + " on data line " +
                        rtl::IntToStr(words.FileLine()) + " of input file.");
      }
      if (j == i || (missing && *value == header.missingValue)) continue;
      list.pairs.push_back({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(j)});
      list.delta.push_back(sign * *value);
    }
  }
  return list;
}

namespace {

// A pair's number in the sort: 1 .. M, M at most kMaxPairNumber.
using TPairNumber = std::uint16_t;
static_assert(kMaxPairNumber <= std::numeric_limits<TPairNumber>::max());

// The sorter's compare function: the order of the pairs' dissimilarities.
int ComparePairs(const std::vector<double>& delta, const void* a, const void* b) {
  const double x = delta[*static_cast<const TPairNumber*>(a) - 1u];
  const double y = delta[*static_cast<const TPairNumber*>(b) - 1u];
  return x < y ? -1 : (x == y ? 0 : 1);
}

void PutPairNumbers(TUtSorter& sorter, std::size_t count) {
  for (std::size_t p = 1; p <= count; ++p) {
    const auto number = static_cast<TPairNumber>(p);
    sorter.Put(&number);
  }
}

// The list rebuilt in the order of the numbers the sorter gives back.
void ReorderPairs(TUtSorter& sorter, TMdscalePairList& list) {
  TMdscalePairList sorted;
  sorted.pairs.reserve(list.pairs.size());
  sorted.delta.reserve(list.pairs.size());
  TPairNumber number = 0;
  while (sorter.Get(&number)) {
    sorted.pairs.push_back(list.pairs[number - 1u]);
    sorted.delta.push_back(list.delta[number - 1u]);
  }
  list = std::move(sorted);
}

}  // namespace

void SortPairsByDissimilarity(TMdscalePairList& list, std::int32_t n) {
  // Room for every pair number, so the sort stays in memory.
  TUtSorter sorter(sizeof(TPairNumber), SorterMinMemory(sizeof(TPairNumber), std::int64_t{n} * (n - 1) / 2),
                   [&list](const void* a, const void* b) { return ComparePairs(list.delta, a, b); });
  PutPairNumbers(sorter, list.pairs.size());
  ReorderPairs(sorter, list);
}

void PairsToSymmetric(Sym_mx& matrix, const std::vector<TMdscalePair>& pairs, const std::vector<double>& values) {
  const std::int32_t n = matrix.n();
  if (pairs.size() < static_cast<std::size_t>(n) * (n - 1) / 2) matrix.Fill(matrix.missValue());
  for (std::size_t m = 0; m < pairs.size(); ++m) matrix.putxij(pairs[m].i, pairs[m].j, values[m]);
  for (std::int32_t i = 1; i <= n; ++i) matrix.putxij(i, i, 0);
}
