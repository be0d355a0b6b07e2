#pragma once
// Helpers of the matrix file tests: readers over text, files in a scratch
// folder and the message of an expected E_Morvapc.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "matrix/Constu.h"
#include "rtl/TextFile.h"

namespace filetest {

inline rtl::TextReader Text(const std::string& text) { return rtl::TextReader::FromText(text); }

// A scratch folder of its own for each test, emptied at the start.
inline std::filesystem::path ScratchDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path dir = std::filesystem::path(MORVA_ARTEFACTS) / "matrixfiles" /
                              (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// What write puts into a file, byte for byte.
inline std::string Written(const std::function<void(rtl::TextWriter&)>& write) {
  const std::string name = (ScratchDir() / "written.qmx").string();
  rtl::TextWriter f(name);
  write(f);
  f.Close();
  return rtl::ReadWholeFile(name);
}

// The message of the E_Morvapc that run raises; a failure when it raises none.
inline std::string ErrorOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const E_Morvapc& e) {
    return e.Message();
  }
  ADD_FAILURE() << "no E_Morvapc raised";
  return {};
}

}  // namespace filetest
