#include "modules/ordination/svdCompute.h"

#include <string>

#include "matrix/Constu.h"
#include "matrix/MatrixList.h"
#include "matrix/Matrixu.h"
#include "rtl/Format.h"

TSvdResult DecomposeData(std::unique_ptr<Rect_mx> a, bool transposed, const TSvdOptions& options) {
  const std::int32_t m = a->rows(), n = a->cols();
  if (m < n || options.k < 0 || options.k > n) throw E_Morvapc_Internal("SVD of a matrix with fewer rows than columns");
  vect_mx w(n);
  auto v = std::make_unique<Rect_mx>(n, n);
  // The computation's left vectors belong to the data's rows unless it was transposed.
  const TScalingItem leftItem = transposed ? options.columnScaling : options.rowScaling;
  const TScalingItem rightItem = transposed ? options.rowScaling : options.columnScaling;
  SvdLeading(m, n, options.k, ScalingFacts(leftItem).svdOption, ScalingFacts(rightItem).svdOption, *a, *v, w,
             options.maxIterations);
  a->SetSize(m, options.k);
  v->SetSize(n, options.k);

  TSvdResult result;
  result.rowVectors = transposed ? std::move(v) : std::move(a);
  result.columnVectors = transposed ? std::move(a) : std::move(v);
  for (std::int32_t i = 1; i <= n; ++i) result.values.push_back(w.Get(i));
  return result;
}

void ListSingularValues(const std::vector<double>& values, std::int32_t k, std::string_view valueFormat) {
  const std::string pattern = "%" + std::string(valueFormat);
  ListingWriteLine("");
  ListingWriteLine(
      rtl::Format("%4s %*s %12s %12s", "i", ValueWidth(valueFormat), "Sing. value", "percent", "cumulative"));
  ListingWriteLine(std::string(46, '-'));
  long double total = 0.0L;
  for (double w : values) total += w;
  // A matrix of zeros has no share to give: its percentages are 0.
  const auto percent = [total](long double x) { return static_cast<double>(total > 0.0L ? 100.0L * x / total : 0.0L); };
  long double cumulative = 0.0L;
  for (std::int32_t i = 1; i <= k; ++i) {
    const long double w = values[static_cast<std::size_t>(i - 1)];
    cumulative += w;
    ListingWriteLine(
        rtl::Format("%4d " + pattern + " %12.4f %12.4f", i, static_cast<double>(w), percent(w), percent(cumulative)));
  }
  ListingWriteLine(rtl::Format("Sum of singular values: " + pattern, static_cast<double>(total)));
  ListingWriteLine("");
}
