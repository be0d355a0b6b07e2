#pragma once
// Module 19, POOLVC: pools the within-group variance-covariance matrices of
// several groups, from each group's raw data or from the groups' covariance
// matrices with a list of their sample sizes; writes the group means, the
// pooled matrix and the group sizes, and can test the homogeneity of the group
// covariance matrices by a chi-square statistic built from log-determinants.
// It keeps no results.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void PoolvcDescribe(TModuleRec& module);
void PoolvcRun(std::span<const TParamRec> params);
void PoolvcRelease();

// The pooled within-group matrix of p variables and the parts of the
// homogeneity test, added up group by group.
class TPoolvcPool {
 public:
  TPoolvcPool(std::int32_t p, bool test);

  // A group from its raw data, the observations as the rows of x (more than p
  // of them with the test on): returns the group's means.
  std::vector<double> AddData(const Rect_mx& x);
  // A group from its covariance matrix and sample size (at least 1; more than
  // p with the test on).
  void AddCovariance(const Sym_mx& s, std::int32_t n);

  std::int32_t Groups() const { return g_; }
  std::int64_t TotalSize() const { return N_; }
  // With the test on, of the group added last.
  double GroupDeterminant() const { return groupDet_; }
  double GroupProduct() const { return groupProduct_; }

  // The pooled matrix, the cross-product sum divided by N - g; needs at least
  // two groups and N - g >= 1.
  std::unique_ptr<Sym_mx> Pooled() const;

  // The test of homogeneity: the pooled matrix's determinant and product of
  // variances, the chi-square statistic weighted by the n_i and N, its
  // degrees of freedom and probability.
  struct TTest {
    double determinant, product, x2, df, prob;
  };
  TTest Homogeneity(const Sym_mx& pooled) const;

 private:
  void AddToTest(const Sym_mx& covariance, std::int32_t n);

  std::int32_t p_;
  bool test_;
  std::int32_t g_ = 0;
  std::int64_t N_ = 0;
  Sym_mx sum_;
  long double A_ = 0;  // sum of n_i ln det S_i
  long double B_ = 0;  // sum of 1 / n_i
  double groupDet_ = 0;
  double groupProduct_ = 0;
};
