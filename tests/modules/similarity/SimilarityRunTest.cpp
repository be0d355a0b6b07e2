// The similarity modules run from batch commands, as the batch runner runs
// them: the run-level errors and refusals.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "modules/similarity/SimilarityModules.h"
#include "rtl/TextFile.h"
#include "shell/Batchu.h"
#include "shell/Config.h"
#include "shell/Listing.h"
#include "shell/Modules.h"

namespace {

namespace fs = std::filesystem;

const fs::path Fixtures = fs::path(MORVA_FIXTURES) / "similarity";

// Runs batch commands in a folder of the test's own that holds copies of the
// data files, with a fixed date in the listing and message boxes recorded.
class SimilarityRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::path(MORVA_ARTEFACTS) / "similarity" / info->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    for (const auto& entry : fs::directory_iterator(Fixtures)) {
      if (entry.path().extension() == ".qmx") fs::copy_file(entry.path(), folder_ / entry.path().filename());
    }
    oldDir_ = fs::current_path();
    fs::current_path(folder_);

    RestoreDefaults();
    Config().overWrite = 'O';
    oldHooks_ = InstallMatrixFileHooks({});
    InstallConfigHooks();
    TSharedServices services;
    services.errorBox = [this](std::string_view text) { boxes.emplace_back(text); };
    services.warningBox = [this](std::string_view text) { boxes.emplace_back(text); };
    oldServices_ = InstallSharedServices(std::move(services));
    listing.InstallAsListingSink();
    listing.SetClock([] { return TListingModel::TDateTime{"1/1/1970", "00:00:00"}; });
    RegisterSimilarityModules();
  }

  void TearDown() override {
    for (int number : {20, 21, 22}) UnregisterModule(number);
    InstallSharedServices(std::move(oldServices_));
    InstallMatrixFileHooks(std::move(oldHooks_));
    RestoreDefaults();
    fs::current_path(oldDir_);
  }

  TBatchEnd Run(const std::vector<std::string>& commands) {
    TBatchView view;
    TBatchRunner runner(listing, view);
    rtl::StringList lines;
    for (const std::string& command : commands) lines.Add(command);
    runner.LoadLines(lines);
    return runner.Run("");
  }

  // The lines of the listing's last section.
  std::string LastSection() const {
    const std::string text = listing.FileText();
    return text.substr(text.rfind('\f') == std::string::npos ? 0 : text.rfind('\f') + 1);
  }

  fs::path folder_;
  TListingModel listing{"2.02c"};
  std::vector<std::string> boxes;

 private:
  fs::path oldDir_;
  TMatrixFileHooks oldHooks_;
  TSharedServices oldServices_;
};

TEST_F(SimilarityRun, SimgendRefusesACoefficientWithoutWhatItNeedsBeforeOpeningFiles) {
  struct Case {
    const char* command;
    const char* box;
  };
  const Case cases[] = {
      {"*SIMGEND O=absent.qmx C=NEI-UB L=3 LA=loci.qmx R=out.qmx",
       "Array of sample sizes for each OTU is required for this coefficient"},
      {"*SIMGEND O=absent.qmx C=HILLIS R=out.qmx", "Array giving grouping of alleles into loci is required"},
      {"*SIMGEND O=absent.qmx C=ROGERS-W R=out.qmx", "Number of loci is required"},
  };
  for (const Case& c : cases) {
    boxes.clear();
    EXPECT_EQ(Run({c.command}), TBatchEnd::Failed) << c.command;
    EXPECT_EQ(boxes, std::vector<std::string>{c.box});
    EXPECT_FALSE(fs::exists(folder_ / "out.qmx"));
  }
}

TEST_F(SimilarityRun, SimgendChecksAKeptSampleSizeArrayAgainstTheNextDataSet) {
  // Five populations, then four: the one N array of five no longer fits.
  rtl::TextWriter data((folder_ / "shrinking.qmx").string());
  for (const char* line : {"1 5 2 0", "0.5 0.5", "0.4 0.6", "0.3 0.7", "0.2 0.8", "0.1 0.9", "1 4 2 0", "0.5 0.5",
                           "0.4 0.6", "0.3 0.7", "0.2 0.8"}) {
    data.WriteLine(line);
  }
  data.Close();
  EXPECT_EQ(Run({"*SIMGEND O=shrinking.qmx C=NEI-UB NA=nsizes.qmx L=1 R=out.qmx"}), TBatchEnd::Failed);
  EXPECT_EQ(boxes, std::vector<std::string>{"Incorrect length of sample size array (5) does not match data"});
  const std::string section = LastSection();
  EXPECT_NE(section.find("Using previous N matrix\r\n"), std::string::npos);
  EXPECT_EQ(section.find("Results will be a 4 by 4"), section.rfind("Results will be a 4 by 4"));
}

TEST_F(SimilarityRun, ErrorsInTheDataEndTheBatchWithTheirMessage) {
  struct Case {
    const char* command;
    const char* data;
    const char* box;
  };
  const Case cases[] = {
      {"*SIMQUAL O=bad.qmx C=J R=out.qmx", "1 3 2 0\n1 0\n0 1\n1 2\n",
       "Value in data matrix ( 2.00000000000000E+0000) not + - codes or missing"},
      {"*SIMGEND O=bad.qmx C=NEI72 R=out.qmx", "1 2L 2 0\nAa Bb\n0.5 0.5\n1.5 -0.5\n",
       "Negative allele frequency (-0.5) of population Bb, allele 2"},
      {"*SIMINT O=bad.qmx C=CHISQ R=out.qmx", "1 2 2 0\n1 1\n-1 0\n", "Row sum is less than or equal to zero"},
  };
  for (const Case& c : cases) {
    boxes.clear();
    rtl::TextWriter data((folder_ / "bad.qmx").string());
    data.Write(c.data);
    data.Close();
    EXPECT_EQ(Run({c.command}), TBatchEnd::Failed) << c.command;
    EXPECT_EQ(boxes, std::vector<std::string>{c.box});
  }
}

}  // namespace
