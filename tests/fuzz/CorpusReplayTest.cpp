// Replays a fuzz target's seed corpus through the target itself, so every
// seed (and every finding added to the corpus) runs under the sanitizers of
// the test build. The target stops the program on a finding.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "rtl/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzCorpus, EveryInputIsTakenOrRefused) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MORVA_FUZZ_CORPUS)) {
    if (!entry.is_regular_file()) continue;
    const std::string bytes = rtl::ReadWholeFile(entry.path().string());
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
    ++replayed;
  }
  EXPECT_GT(replayed, 0) << "no corpus in " << MORVA_FUZZ_CORPUS;
}

}  // namespace
