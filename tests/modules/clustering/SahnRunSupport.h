#pragma once
// Runs the SAHN module as the batch runner does, in a folder of its own, with
// the listing and the message boxes recorded.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "modules/clustering/sahn.h"
#include "rtl/TextFile.h"
#include "tests/shell/ShellTestSupport.h"

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

class SahnRunTest : public ::testing::Test {
 protected:
  SahnRunTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ =
        std::filesystem::path(MORVA_ARTEFACTS) / "sahn" / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~SahnRunTest() override { SahnRelease(); }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  std::string Write(const std::string& name, const std::string& text) const {
    rtl::TextWriter f(Path(name));
    f.Write(text);
    f.Close();
    return Path(name);
  }

  void Run(const SahnArgs& args) {
    TModuleRec module;
    SahnDescribe(module);
    TWorkingParams params;
    params.LoadParameters(module);
    auto p = params.Params();
    p[0].fileName = args.input;
    p[1].fileName = args.output;
    p[2].index = ItemIndex(p[2], args.method);
    p[3].index = ItemIndex(p[3], args.ties);
    p[4].integer = args.maxTrees;
    p[5].real = args.tol;
    p[6].real = args.beta;
    services.lines.clear();
    services.warnings.clear();
    SahnRun(params.Params());
  }

  void ExpectRefused(const SahnArgs& args, const std::string& message) {
    try {
      Run(args);
      ADD_FAILURE() << "no refusal: " << message;
    } catch (const E_Morvapc& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }

  bool Listed(const std::string& line) const {
    return std::find(services.lines.begin(), services.lines.end(), line) != services.lines.end();
  }

  static std::vector<std::pair<std::int32_t, double>> Nodes(const Tree_mx& tree) {
    std::vector<std::pair<std::int32_t, double>> nodes;
    for (std::int32_t k = 1; k <= tree.n(); ++k) nodes.emplace_back(tree.GetPointer(k), tree.GetValue(k));
    return nodes;
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;

 private:
  static std::int32_t ItemIndex(const TParamRec& p, const std::string& item) {
    const auto at = std::find(p.items.begin(), p.items.end(), item);
    EXPECT_NE(at, p.items.end()) << item;
    return static_cast<std::int32_t>(at - p.items.begin());
  }

  std::filesystem::path folder_;
};

}  // namespace sahntest
