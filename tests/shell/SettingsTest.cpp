// The settings file: our private-profile reader and writer, TProfile2 over it,
// window placements, and the configuration's place in "morva.ini".

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "rtl/Exception.h"
#include "rtl/TextFile.h"
#include "shell/Config.h"
#include "shell/Profile2.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/EndlessInput.h"
#include "tests/support/FileSizeLimit.h"

namespace {

using shelltest::TempSettings;

void WriteIni(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  rtl::TextWriter writer(path.string());
  writer.Write(text);
  writer.Close();
}

TProfile2 MorvaProfile(std::string section = {}, std::string entry = {}) {
  TProfile2 profile;
  profile.FileName = "morva.ini";
  profile.Section = std::move(section);
  profile.Entry = std::move(entry);
  return profile;
}

TEST(ProfilePath, BareNamesLiveInTheSettingsFolder) {
  TempSettings settings;
  EXPECT_EQ(plat::ProfilePath("morva.ini"), settings.IniPath().string());
  EXPECT_EQ(plat::ProfilePath("/tmp/other.ini"), "/tmp/other.ini");
  EXPECT_EQ(plat::ProfilePath("sub/other.ini"), "sub/other.ini");
}

TEST(IniFile, NamesCompareWithoutCaseAndValuesLoseBlanksAndQuotes) {
  const plat::IniFile ini = plat::IniFile::FromText(
      "; a comment\r\n[Config]\r\n FileFormat = 12.5e \r\nEditor=\"my editor\"\r\n\r\n[Other]\r\nKey=x\r\n");
  EXPECT_EQ(ini.Read("config", "FILEFORMAT"), "12.5e");
  EXPECT_EQ(ini.Read("CONFIG", "editor"), "my editor");
  EXPECT_EQ(ini.Read("Other", "Key"), "x");
  EXPECT_FALSE(ini.Read("Config", "Key"));
  EXPECT_FALSE(ini.Read("Missing", "Key"));
}

TEST(IniFile, WritingKeepsEveryOtherLine) {
  plat::IniFile ini = plat::IniFile::FromText("; kept\n[Config]\nA=1\n\n[Mvedit]\nFontSize=8\n");
  ini.Write("CONFIG", "b", "2");    // new key: after the section's last key, before the blank line
  ini.Write("config", "a", "one");  // existing key: replaced in place, under the new spelling
  ini.Write("MainWindow", "Page", "3");
  ini.Remove("Mvedit", "Missing");
  const std::vector<std::string> expected = {"; kept",   "[Config]",   "a=one",        "b=2",   "",
                                             "[Mvedit]", "FontSize=8", "[MainWindow]", "Page=3"};
  EXPECT_EQ(ini.Lines(), expected);
}

// A key given twice in a file edited by hand: what is removed stays removed.
TEST(IniFile, RemovingAKeyRemovesEveryLineOfIt) {
  plat::IniFile ini =
      plat::IniFile::FromText("[Config]\nDefaultDir=/a/\nEditor=vi\ndefaultdir=/b/\n[Other]\nDefaultDir=x\n");
  ini.Remove("Config", "DefaultDir");
  EXPECT_FALSE(ini.Read("Config", "DefaultDir"));
  EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[Config]", "Editor=vi", "[Other]", "DefaultDir=x"}));
}

TEST(TProfile2, ReadsAndWritesOneKeyAtATime) {
  TempSettings settings;
  TProfile2 profile = MorvaProfile("Test", "Key");
  profile.DefaultText = "fallback";
  EXPECT_EQ(profile.Text(), "fallback");  // no file yet

  profile.SetText("hello");
  EXPECT_TRUE(std::filesystem::exists(settings.IniPath()));
  EXPECT_EQ(profile.Text(), "hello");
  EXPECT_EQ(rtl::ReadWholeFile(settings.IniPath().string()), "[Test]\r\nKey=hello\r\n");

  profile.SetText("");  // an empty text removes the key
  EXPECT_EQ(profile.Text(), "fallback");

  profile.Entry.clear();  // not addressed: reads empty, writes nothing
  profile.SetText("ignored");
  EXPECT_EQ(profile.Text(), "");
  EXPECT_EQ(profile.LastText(), "");
}

TEST(TProfile2, TextIsCutAt255Characters) {
  TempSettings settings;
  TProfile2 profile = MorvaProfile("Test", "Long");
  profile.SetText(std::string(300, 'x'));
  EXPECT_EQ(profile.Text(), std::string(255, 'x'));
}

TEST(TProfile2, TypedValues) {
  TempSettings settings;
  TProfile2 profile = MorvaProfile("Test", "Key");
  struct Case {
    const char* text;
    bool state;
  };
  for (const Case& c : {Case{"TRUE", true}, Case{"yes", true}, Case{"1", true}, Case{"True", true}, Case{"0", false},
                        Case{"on", false}, Case{"11", false}}) {
    profile.SetText(c.text);
    EXPECT_EQ(profile.State(), c.state) << c.text;
  }
  profile.SetState(false);
  EXPECT_EQ(profile.Text(), "False");

  profile.SetValue(-42);
  EXPECT_EQ(profile.Value(), -42);
  profile.SetText("4x");
  EXPECT_THROW(profile.Value(), rtl::EConvertError);

  profile.SetText("");
  EXPECT_EQ(profile.Color(), 0u);
  EXPECT_EQ(profile.PenStyle(), 0);
  EXPECT_EQ(profile.FPvalue(), 0.0);
  profile.SetColor(0xFF8000u);
  EXPECT_EQ(profile.Color(), 0xFF8000u);
  profile.SetFPvalue(2.0 / 3.0);
  EXPECT_EQ(profile.Text(), "0.66667");
}

TEST(WindowPlacement, RoundTripAndPartialValues) {
  TempSettings settings;
  TProfile2 profile = MorvaProfile();
  const TWindowPlacement placement{0, 1, -1, -1, -8, -30, 10, 20, 410, 320};
  WriteWindowPlacement(profile, "DialogF", placement);
  EXPECT_NE(rtl::ReadWholeFile(settings.IniPath().string()).find("DialogF=0 1 -1 -1 -8 -30 10 20 410 320 \r\n"),
            std::string::npos);
  const auto read = ReadWindowPlacement(profile, "dialogf");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->left, 10);
  EXPECT_EQ(read->bottom, 320);

  struct Case {
    const char* name;
    const char* text;
    bool restored;
  };
  for (const Case& c : {Case{"missing key", nullptr, false}, Case{"seven numbers", "0 1 0 0 0 0 10", false},
                        Case{"nine numbers", "0 1 0 0 0 0 10 20 30", true},
                        Case{"right not right of left", "0 1 0 0 0 0 30 0 30 0", false},
                        Case{"malformed middle number", "0 x 0 0 0 0 5 0 30 0", true}}) {
    profile.Section = "WinPos";
    profile.Entry = "ListingF";
    profile.SetText(c.text ? c.text : "");
    const auto got = ReadWindowPlacement(profile, "ListingF");
    EXPECT_EQ(got.has_value(), c.restored) << c.name;
    if (got) {
      EXPECT_EQ(got->showCmd, 1) << c.name;
    }
  }
}

TEST(ConfigSettings, RoundTripKeepsOtherProgramsSections) {
  TempSettings settings;
  WriteIni(settings.IniPath(), "[Mvedit]\r\nFontFace=Courier New\r\nFontSize=10\r\n");
  TProfile2 profile = MorvaProfile();
  Config() = TConfigRecord{"12.5e", "10.3f", 4, "/data/", 'A', "mvedit --wide", "e12.5", "10.3f"};
  WriteConfig(profile);
  WriteMainWindowPage(profile, 3);

  RestoreDefaults();
  ReadConfig(profile);
  EXPECT_EQ(Config(), (TConfigRecord{"12.5e", "10.3f", 4, "/data/", 'A', "mvedit --wide", "e12.5", "10.3f"}));
  EXPECT_EQ(ReadMainWindowPage(profile), 3);
  EXPECT_EQ(plat::ReadProfileString("morva.ini", "Mvedit", "FontFace"), "Courier New");
  EXPECT_EQ(plat::ReadProfileString("morva.ini", "Mvedit", "FontSize"), "10");
}

// A settings file that cannot be written whole (a file size limit stands for
// a full disk) stays as it was: no setting of it is lost.
TEST(ConfigSettings, AWriteThatFailsLeavesTheFileAsItWas) {
  TempSettings settings;
  std::string text = "[Mvedit]\r\nFontFace=Courier New\r\n[WinPos]\r\n";
  for (int i = 0; i < 100; ++i) text += "Window" + std::to_string(i) + "=0 1 0 0 0 0 10 10 400 300 \r\n";
  WriteIni(settings.IniPath(), text);
  TProfile2 profile = MorvaProfile();
  {
    const testsupport::FileSizeLimit fullDisk(1024);
    EXPECT_THROW(WriteConfig(profile), rtl::EInOutError);
  }
  EXPECT_EQ(rtl::ReadWholeFile(settings.IniPath().string()), text);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(settings.IniPath().parent_path()),
                          std::filesystem::directory_iterator()),
            1);
}

// The warnings the settings reader shows.
class RecordedWarnings : public plat::MessageBoxes {
 public:
  plat::ModalResult Show(const std::string& text, plat::MsgKind kind, plat::MsgButtons) override {
    if (kind == plat::MsgKind::Warning) texts += text + "|";
    return plat::mrOk;
  }
  std::string texts;
};

// A settings file that is no regular file (a pipe would hold the start until
// some program wrote into it; a link to a device without end would fill the
// memory) or that holds a line beyond the readers' limit is neither read nor
// written: the defaults apply, one warning names it, and it stays as it was.
TEST(ConfigSettings, AFileThatCannotBeReadWholeIsLeftAloneWithAWarning) {
  namespace fs = std::filesystem;
  const std::string tooLong = "[Config]\r\nFileFormat=12.5e\r\nEditor=" + std::string(1u << 24, 'x') + "\r\n";
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* why;
  };
  const Case cases[] = {
      {"a pipe", [](const fs::path& ini) { mkfifo(ini.c_str(), 0600); }, "is not a regular file"},
      {"a link to a device without end", [](const fs::path& ini) { fs::create_symlink("/dev/zero", ini); },
       "is not a regular file"},
      {"a line beyond the limit", [&](const fs::path& ini) { WriteIni(ini, tooLong); },
       "has a line of more than 16777216 characters"},
  };
  for (const Case& c : cases) {
    TempSettings settings;
    const fs::path ini = settings.IniPath();
    fs::create_directories(ini.parent_path());
    c.make(ini);
    const fs::file_type type = fs::symlink_status(ini).type();
    const auto outcome = testsupport::OutcomeWithin(60, [] {
      RecordedWarnings warnings;
      const plat::ScopedService<plat::MessageBoxes> boxes(warnings);
      TProfile2 profile = MorvaProfile();
      ReadConfig(profile);
      const std::string read = Config().fileFormatText + "|" + Config().editor + "|";
      Config().listingIndent = 4;
      WriteConfig(profile);
      WriteMainWindowPage(profile, 3);
      return read + warnings.texts;
    });
    EXPECT_EQ(outcome, "e|MVEDIT|Settings file " + std::string(c.why) + ": " + ini.string() +
                           "\nIt is neither read nor written; the defaults apply.|")
        << c.name;
    EXPECT_EQ(fs::symlink_status(ini).type(), type) << c.name;
    if (type == fs::file_type::regular) {
      EXPECT_EQ(rtl::ReadWholeFile(ini.string()), tooLong) << c.name;
    }
  }
}

TEST(ConfigSettings, EmptyDataDirectoryRemovesItsKey) {
  TempSettings settings;
  TProfile2 profile = MorvaProfile();
  Config().defaultDir = "/data/";
  WriteConfig(profile);
  Config().defaultDir.clear();
  WriteConfig(profile);
  EXPECT_FALSE(plat::ReadProfileString("morva.ini", "Config", "DefaultDir"));
  ReadConfig(profile);
  EXPECT_EQ(Config().defaultDir, "");
}

TEST(ConfigSettings, UnusableValuesInTheFileFallBackToTheirDefaults) {
  TempSettings settings;
  WriteIni(settings.IniPath(),
           "[Config]\r\nFileFormat=%sF\r\nListingFormat=5.4F\r\nListingIndent=abc\r\nDefaultDir=  /data \r\n"
           "OverWrite=x\r\nEditor=ed\r\n[MainWindow]\r\nPage=two\r\n");
  TProfile2 profile = MorvaProfile();
  ReadConfig(profile);
  EXPECT_EQ(Config(), (TConfigRecord{"e", "8.4f", 8, "/data/", '?', "ed"}));
  EXPECT_EQ(ReadMainWindowPage(profile), 0);

  // Formats no writer can print: every number a line of blanks, or more
  // decimals than a number keeps.
  WriteIni(settings.IniPath(), "[Config]\r\nFileFormat=999999999.5f\r\nListingFormat=40.20f\r\n");
  ReadConfig(profile);
  EXPECT_EQ(Config().fileFormatText, "e");
  EXPECT_EQ(Config().listingFormatText, "8.4f");

  // Found by fuzzing: an empty editor command was taken, and written back as
  // no key at all, so the next start had another configuration.
  WriteIni(settings.IniPath(), "[Config]\r\nEditor=\x01\r\n");
  ReadConfig(profile);
  EXPECT_EQ(Config().editor, "MVEDIT");
  WriteConfig(profile);
  ReadConfig(profile);
  EXPECT_EQ(Config().editor, "MVEDIT");
}

TEST(ConfigSettings, AnIndentOutsideItsRangeFallsBackToTheDefault) {
  TempSettings settings;
  TProfile2 profile = MorvaProfile();
  for (const auto& [text, indent] : {std::pair{"2000000000", 8}, std::pair{"0", 0}, std::pair{"-3", 8},
                                     std::pair{"21", 8}, std::pair{"1", 1}, std::pair{"20", 20}}) {
    plat::WriteProfileString("morva.ini", "Config", "ListingIndent", text);
    ReadConfig(profile);
    EXPECT_EQ(Config().listingIndent, indent) << text;
  }
}

TEST(ConfigSettings, FormatsFromTheFileAreKeptReadyForPatterns) {
  TempSettings settings;
  WriteIni(settings.IniPath(), "[Config]\r\nFileFormat=e12.5\r\nListingFormat=F8.4\r\n");
  TProfile2 profile = MorvaProfile();
  ReadConfig(profile);
  EXPECT_EQ(Config().fileFormat, "12.5e");
  EXPECT_EQ(Config().listingFormat, "8.4F");
}

TEST(ConfigSettings, OverWriteIsReadInAnyCase) {
  TempSettings settings;
  TProfile2 profile = MorvaProfile();
  for (const auto& [text, code] :
       {std::pair{"f", 'F'}, std::pair{"Append", 'A'}, std::pair{"O", 'O'}, std::pair{"?", '?'}}) {
    plat::WriteProfileString("morva.ini", "Config", "OverWrite", text);
    ReadConfig(profile);
    EXPECT_EQ(Config().overWrite, code) << text;
  }
}

TEST(ConfigSettings, RestoreDefaultsWritesNothing) {
  TempSettings settings;
  Config().listingIndent = 3;
  RestoreDefaults();
  EXPECT_EQ(Config(), ConfigDefaults);
  EXPECT_FALSE(std::filesystem::exists(settings.IniPath()));
}

}  // namespace
