#pragma once
// The eight methods of SAHN clustering: what each one is, and the value
// between a cluster and the cluster made by a join, by method.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

enum class TSahnMethod { Complete, Flexi, Single, Upgma, Upgmc, Wpgma, Wpgmc, Wpgms };

// What the method keyword selects.
struct TSahnMethodInfo {
  TSahnMethod method;
  std::string_view name;  // the keyword of the choice
  bool centroid;          // levels may reverse; a join is never recorded below a level inside it
  // The value between two clusters depends only on their members, not on the
  // order in which they were joined: tied pairs that share no cluster then
  // lead to the same trees whichever is joined first.
  bool membersOnly;
};

// The methods in the order of the choice's items.
inline constexpr std::array<TSahnMethodInfo, 8> kSahnMethods = {{
    {TSahnMethod::Complete, "COMPLETE", false, true},
    {TSahnMethod::Flexi, "FLEXI", false, false},
    {TSahnMethod::Single, "SINGLE", false, true},
    {TSahnMethod::Upgma, "UPGMA", false, true},
    {TSahnMethod::Upgmc, "UPGMC", true, false},
    {TSahnMethod::Wpgma, "WPGMA", false, false},
    {TSahnMethod::Wpgmc, "WPGMC", true, false},
    {TSahnMethod::Wpgms, "WPGMS", true, false},
}};

// The method of a keyword ("UPGMA", ...), exactly as written; nothing for any other.
std::optional<TSahnMethodInfo> SahnMethodOf(std::string_view keyword);
const TSahnMethodInfo& SahnMethodInfo(TSahnMethod method);

struct TSahnOptions {
  TSahnMethod method = TSahnMethod::Upgma;
  double beta = 0;  // FLEXI only
  double tol = 0;   // tie tolerance
};

// The value between a cluster k and the cluster made by joining i and j at
// level v, from x = value(k, i) and y = value(k, j). The per-join constants
// are computed once, when the join is made.
class TSahnUpdate {
 public:
  TSahnUpdate(const TSahnOptions& options, double v, std::int32_t ni, std::int32_t nj);
  double operator()(double x, double y) const;

 private:
  TSahnMethod method_;
  double beta_;
  double alpha_;
  double v_;
  double ni_;
  double nj_;
  double q_ = 0;  // UPGMC: ni nj / (ni + nj) v²
  double c_ = 0;  // WPGMS: 1 / sqrt(2 - 2v), or 0
};
