#pragma once
// Runs the SAHN module as the batch runner does, in a folder of its own, with
// the listing and the message boxes recorded.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "modules/clustering/sahn.h"
#include "tests/modules/clustering/ModuleRunSupport.h"

namespace sahntest {

// The values of a run, by the module's parameters.
struct SahnArgs {
  std::string input{};
  std::string output{};
  std::string method = "UPGMA";
  std::string ties = "WARN";
  std::int32_t maxTrees = 25;
  double tol = 0;
  double beta = 0;
};

class SahnRunTest : public moduletest::ModuleRunTest {
 protected:
  SahnRunTest() : ModuleRunTest(SahnDescribe) {}

  void Run(const SahnArgs& args) { ModuleRunTest::Run(ArgsOf(args)); }
  void ExpectRefused(const SahnArgs& args, const std::string& message) {
    ModuleRunTest::ExpectRefused(ArgsOf(args), message);
  }

  static std::vector<std::pair<std::int32_t, double>> Nodes(const Tree_mx& tree) {
    std::vector<std::pair<std::int32_t, double>> nodes;
    for (std::int32_t k = 1; k <= tree.n(); ++k) nodes.emplace_back(tree.GetPointer(k), tree.GetValue(k));
    return nodes;
  }

 private:
  static moduletest::Args ArgsOf(const SahnArgs& a) {
    return {{"O", a.input}, {"R", a.output}, {"CM", a.method}, {"TM", a.ties}, {"NT", static_cast<double>(a.maxTrees)},
            {"TOL", a.tol}, {"B", a.beta}};
  }
};

}  // namespace sahntest
