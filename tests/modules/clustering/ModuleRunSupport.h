#pragma once
// Runs a module as the batch runner does, its parameters set by keyword, in a
// folder of the test's own, with the listing and the message boxes recorded.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "rtl/TextFile.h"
#include "shell/Modules.h"
#include "tests/shell/ShellTestSupport.h"

namespace moduletest {

// A parameter's value: a file name, text or choice item; a number; a check.
using Value = std::variant<std::string, double, bool>;
using Args = std::map<std::string, Value>;

class ModuleRunTest : public ::testing::Test {
 protected:
  explicit ModuleRunTest(TDescribeProc describe) : describe_(describe) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::path(MORVA_ARTEFACTS) / "modules" /
              (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~ModuleRunTest() override {
    TModuleRec module;
    describe_(module);
    if (module.release) module.release();
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  std::string Write(const std::string& name, const std::string& text) const {
    rtl::TextWriter f(Path(name));
    f.Write(text);
    f.Close();
    return Path(name);
  }

  std::string ReadFile(const std::string& name) const { return rtl::ReadWholeFile(Path(name)); }

  // Runs with the table's defaults but for args; file names are taken as
  // written.
  void Run(const Args& args) {
    TModuleRec module;
    describe_(module);
    TWorkingParams params;
    params.LoadParameters(module);
    for (const auto& [keyword, value] : args) {
      const auto p = std::find_if(params.Params().begin(), params.Params().end(),
                                  [&](const TParamRec& r) { return r.keyword == keyword; });
      ASSERT_NE(p, params.Params().end()) << keyword;
      Set(*p, value);
    }
    services.lines.clear();
    services.warnings.clear();
    CallRunRoutine(module, params.Params());
  }

  void ExpectRefused(const Args& args, const std::string& message) {
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

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;

 private:
  static void Set(TParamRec& p, const Value& value) {
    switch (p.type) {
      case ptInFile:
      case ptOutFile: p.fileName = std::get<std::string>(value); break;
      case ptText: p.text = std::get<std::string>(value); break;
      case ptChoice: {
        const auto at = std::find(p.items.begin(), p.items.end(), std::get<std::string>(value));
        ASSERT_NE(at, p.items.end()) << std::get<std::string>(value);
        p.index = static_cast<std::int32_t>(at - p.items.begin());
        break;
      }
      case ptReal: p.real = std::get<double>(value); break;
      case ptInteger: p.integer = static_cast<std::int32_t>(std::get<double>(value)); break;
      case ptCheck: p.check = std::get<bool>(value); break;
    }
  }

  TDescribeProc describe_;
  std::filesystem::path folder_;
};

}  // namespace moduletest
