// Module 0, CONFIG: the format check, the table refreshed from the
// configuration, and a run that takes effect only when both formats pass.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "rtl/Convert.h"
#include "rtl/Exception.h"
#include "rtl/Format.h"
#include "rtl/TextFile.h"
#include "shell/Ask_oaf.h"
#include "shell/Config.h"
#include "shell/Modules.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using shelltest::RecordedServices;
using shelltest::TempSettings;

std::string CheckMessage(const std::string& format) {
  try {
    ConfigCheckFormat(format);
    return "ok";
  } catch (const E_Morvapc& error) {
    return error.Message();
  } catch (const rtl::EConvertError&) {
    return "conversion error";
  }
}

TEST(ConfigCheckFormat, AcceptsAndRefuses) {
  struct Case {
    const char* format;
    const char* result;
  };
  const Case cases[] = {
      {"8.4f", "ok"},
      {"e", "ok"},
      {" F ", "ok"},
      {"e12.5", "ok"},  // checked as 12.5E
      {"12E", "ok"},    // no point: no width rule
      {"5.4F", "Bad format\nField width (5) \nmust be > decimal places (4) +1."},
      {"6.4f", "ok"},
      {"8.F", "Bad format\nDecimal point in wrong position, format = 8.F"},
      {".4F", "Bad format\nDecimal point in wrong position, format = .4F"},
      {"f.4", "Bad format\nDecimal point in wrong position, format = .4F"},
      {"8.4G", "Bad format\nOnly E of F formats are valid here."},
      {"g", "Bad format\nOnly E of F formats are valid here."},
      {"", "Bad format\nOnly E of F formats are valid here."},
      {"   ", "Bad format\nOnly E of F formats are valid here."},
      {"%sF", "conversion error"},
      {"-5F", "conversion error"},
      {"8.4.2f", "conversion error"},
      {"8.-2f", "conversion error"},
      // Sizes no writer can print, or only as lines of blanks.
      {"99.18e", "ok"},
      {"100.5f", "Bad format\nField width (100) \nmust be at most 99."},
      {"999999999.5f", "Bad format\nField width (999999999) \nmust be at most 99."},
      {"e99999999999", "Bad format\nField width (99999999999) \nmust be at most 99."},
      {"0099.4f", "ok"},
      {"30.19e", "Bad format\nDecimal places (19) \nmust be at most 18."},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckMessage(c.format), c.result) << '"' << c.format << '"';
}

// The CONFIG working copy as the dialog or a batch would hand it to the run.
TWorkingParams DescribedConfig(TModuleRec& module) {
  DescribeModule(ConfigModule, module);
  TWorkingParams params;
  params.LoadParameters(module);
  return params;
}

TEST(ConfigModule, DescribesItselfFromTheCurrentConfiguration) {
  TempSettings settings;
  Config().overWrite = 'A';
  Config().listingIndent = 5;
  TModuleRec module;
  TWorkingParams params = DescribedConfig(module);
  EXPECT_EQ(module.name, "Config");
  EXPECT_EQ(module.helpContext, 12);
  EXPECT_TRUE(module.buttons.empty());
  ASSERT_EQ(params.Count(), 6);
  const auto p = params.Params();
  EXPECT_EQ(p[0].keyword, "FF");
  EXPECT_EQ(p[0].text, "e");
  EXPECT_EQ(p[2].integer, 5);
  EXPECT_EQ(p[4].index, 2);
  EXPECT_EQ(p[4].ChoiceText(), "A");
  EXPECT_TRUE(p[2].min.empty()) << "limits stay in the module's table";
  EXPECT_EQ(module.params[2].min, "0") << "the indent's one range, as the listing's Indent prompt takes it";
  EXPECT_EQ(module.params[2].max, "20");
}

TEST(ConfigModule, RunWithUnchangedValuesKeepsThem) {
  TempSettings settings;
  RecordedServices services;
  Config().overWrite = 'A';
  TModuleRec module;
  TWorkingParams params = DescribedConfig(module);
  module.run(params.Params());
  EXPECT_EQ(Config().overWrite, 'A');
}

TEST(ConfigModule, RunListsAndTakesTheNewValues) {
  TempSettings settings;
  RecordedServices services;
  TModuleRec module;
  TWorkingParams params = DescribedConfig(module);
  auto p = params.Params();
  p[0].text = "E14.6";
  p[1].text = "10.2f";
  p[2].integer = 3;
  p[3].text = " /home/me/Data ";
  p[4].index = 3;
  p[5].text = "/opt/Mvedit/mvedit";
  module.run(params.Params());

  EXPECT_EQ(Config(),
            (TConfigRecord{"14.6E", "10.2f", 3, "/home/me/Data/", 'F', "/opt/Mvedit/mvedit", "E14.6", "10.2f"}));
  const std::vector<std::string> expected = {
      "Configuration parameters",       "File format: E14.6",     "Listing format: 10.2f",      "ListingIndent: 3",
      "Data directory: /home/me/Data/", "File overwrite code: F", "Editor: /opt/Mvedit/mvedit", ""};
  EXPECT_EQ(services.lines, expected);
}

// A format the check accepts is kept in the form a pattern takes after "%":
// "%e12.5" would print "12.5" after every number, "% 8.4f" would print none.
// The settings file and the next opening of CONFIG keep it as it was typed.
TEST(ConfigModule, AcceptedFormatsAreKeptReadyForPatterns) {
  TempSettings settings;
  RecordedServices services;
  const std::pair<const char*, const char*> cases[] = {
      {"e12.5", "12.5e"}, {"F10.2", "10.2F"}, {" 8.4f ", "8.4f"}, {"E", "E"}, {"10.2f", "10.2f"}};
  for (const auto& [given, kept] : cases) {
    TModuleRec module;
    TWorkingParams params = DescribedConfig(module);
    params.Params()[0].text = given;
    params.Params()[1].text = given;
    module.run(params.Params());
    EXPECT_EQ(Config().fileFormat, kept) << given;
    EXPECT_EQ(Config().listingFormat, kept) << given;
    EXPECT_EQ(rtl::StrToFloat(rtl::Format("%" + Config().fileFormat, -12.34)), -12.34) << given;

    TProfile2 profile;
    profile.FileName = std::string(SettingsFileName);
    WriteConfig(profile);
    profile.Section = "Config";
    profile.Entry = "FileFormat";
    EXPECT_EQ(profile.Text(), rtl::Trim(given)) << given;
    TModuleRec again;
    EXPECT_EQ(DescribedConfig(again).Params()[1].text, rtl::Trim(given)) << given;
    ReadConfig(profile);
    EXPECT_EQ(Config().fileFormat, kept) << given;
    EXPECT_EQ(Config().fileFormatText, rtl::Trim(given)) << given;
  }
}

TEST(ConfigModule, RefusedFormatLeavesTheConfigurationAsItWas) {
  TempSettings settings;
  RecordedServices services;
  for (int refused : {0, 1}) {
    TModuleRec module;
    TWorkingParams params = DescribedConfig(module);
    auto p = params.Params();
    p[refused].text = "5.4F";
    p[2].integer = 3;
    p[3].text = "/elsewhere";
    EXPECT_THROW(module.run(params.Params()), E_Morvapc);
    EXPECT_EQ(Config(), ConfigDefaults) << "refused parameter " << refused;
  }
}

// Opening matrix files reads "DefaultDir" and "OverWrite" from the
// configuration as it stands, and asks the installed overwrite question.
class OpeningFiles : public ::testing::Test {
 protected:
  OpeningFiles() : old_(InstallMatrixFileHooks({})) {
    InstallConfigHooks();
    InstallOverwritePrompt([this](const std::string& fullName) {
      asked.push_back(fullName);
      return answer;
    });
  }
  ~OpeningFiles() override { InstallMatrixFileHooks(std::move(old_)); }

  TempSettings settings;
  plat::ModalResult answer = oafCancel;
  std::vector<std::string> asked;

 private:
  TMatrixFileHooks old_;
};

TEST_F(OpeningFiles, TheQuestionsAnswersBecomeModes) {
  for (const auto& [result, mode] : {std::pair{oafOverwrite, 'O'}, std::pair{oafAppend, 'A'}, std::pair{oafCancel, 'F'},
                                     std::pair{plat::mrNone, 'F'}}) {
    answer = result;
    EXPECT_EQ(AskOverwriteAppend("/data/out.qmx"), mode) << result;
  }
  EXPECT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked.front(), "/data/out.qmx");
}

TEST_F(OpeningFiles, FollowTheCurrentConfiguration) {
  const std::filesystem::path existing = settings.Folder() / "out.qmx";
  rtl::TextWriter writer(existing.string());
  writer.WriteLine("old");
  writer.Close();
  Config().defaultDir = settings.Folder().string() + "/";

  Config().overWrite = 'F';
  TOutputMatrixFile file;
  EXPECT_FALSE(OpenOutputMatrixFile(file, "out.qmx", "output file"));
  EXPECT_TRUE(asked.empty());

  Config().overWrite = '?';
  answer = oafOverwrite;
  EXPECT_TRUE(OpenOutputMatrixFile(file, "out.qmx", "output file"));
  EXPECT_EQ(asked, std::vector<std::string>{existing.string()});
  CloseOutputMatrixFile(file);
}

}  // namespace
