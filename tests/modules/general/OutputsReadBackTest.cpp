// Every kind of matrix file a module writes reads back whole: each output the
// golden runs keep is printed by OUTPUT, transformed by TRANSF and loaded by
// the data editor's reader, without an error and without a warning.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "dataeditor/EdReader.h"
#include "modules/general/output.h"
#include "modules/general/transf.h"
#include "rtl/TextFile.h"
#include "tests/modules/general/GeneralTestSupport.h"

namespace {

namespace fs = std::filesystem;

bool IsCommentLine(const std::string& line) {
  return !line.empty() && (line[0] == '"' || line[0] == '\'' || line[0] == ';' || line[0] == '`');
}

// A run that was refused leaves the comment lines it wrote before the refusal
// and nothing else; such a file holds no matrix to read back.
bool HoldsAMatrix(const fs::path& file) {
  rtl::TextReader f(file.string());
  std::string line;
  while (f.ReadLine(line)) {
    if (!IsCommentLine(line)) return true;
  }
  return false;
}

// The outputs the golden runs compare with: "<stem>.expected.<extension>"
// beside the expected listing, and the files of a folder that holds a
// golden run's listing.txt (the listings and batch files apart).
std::vector<fs::path> GoldenOutputs() {
  std::vector<fs::path> outputs;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(MORVA_FIXTURES)) {
    if (!entry.is_regular_file()) continue;
    const fs::path& path = entry.path();
    const std::string extension = path.extension().string();
    if (extension == ".txt" || extension == ".err" || extension == ".qmb") continue;
    const bool expected = path.filename().string().find(".expected.") != std::string::npos;
    const bool besideListing = fs::exists(path.parent_path() / "listing.txt");
    if ((expected || besideListing) && HoldsAMatrix(path)) outputs.push_back(path);
  }
  return outputs;
}

class OutputsReadBack : public gentest::ModuleRun {};

TEST_F(OutputsReadBack, EveryGoldenOutputReadsThroughOutputAndTheDataEditor) {
  const std::vector<fs::path> outputs = GoldenOutputs();
  ASSERT_FALSE(outputs.empty()) << "no golden outputs under " << MORVA_FIXTURES;
  for (const fs::path& file : outputs) {
    SCOPED_TRACE(file.string());
    EXPECT_EQ(RefusalOf(OutputDescribe, {{"O", file.string()}, {"PW", "9999"}}), "no error");
    EXPECT_EQ(RefusalOf(TransfDescribe, {{"O", file.string()}, {"T", "ADD(0)"}}), "no error");
    EXPECT_TRUE(services.warnings.empty()) << services.warnings.front();
    EXPECT_EQ(ErrorText<E_Morvapc>([&] {
                rtl::TextReader f(file.string());
                ReadEditorMatrices(f);
              }),
              "no error");
  }
}

}  // namespace
