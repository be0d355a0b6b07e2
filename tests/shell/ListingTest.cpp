// The listing model: sections and their names, the run's write target, the
// listing-file format, clearing, deleting and the print lines.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rtl/TextFile.h"
#include "rtl/Exception.h"
#include "shell/Listing.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/FileSizeLimit.h"

namespace {

using Paragraphs = std::vector<std::string>;

TListingModel FixedListing() {
  TListingModel listing("2.02c");
  listing.SetClock([] { return TListingModel::TDateTime{"12/10/2026", "13:05:00"}; });
  return listing;
}

std::string TempFile(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(MORVA_ARTEFACTS) / "shell";
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

TEST(Listing, NewSectionWritesTheHeaderAndTakesTheRunsLines) {
  TListingModel listing = FixedListing();
  listing.NewSection("SAHN");
  listing.WriteLine("Input parameters");
  listing.WriteLine("");
  const TListingSection* section = listing.CurrentSection();
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(section->Caption(), "SAHN-1");
  EXPECT_FALSE(section->WordWrap());
  const Paragraphs expected = {
      "SAHN: Morvapc 2.02c", "Date & time: 12/10/2026 13:05:00", std::string(40, '-'), "Input parameters", "", ""};
  EXPECT_EQ(section->Paragraphs(), expected);
  EXPECT_EQ(listing.PageCount(), 2);
  EXPECT_EQ(listing.RunNumber(), 2);
}

TEST(Listing, LineBreaksAndOverlongLinesMakeMoreParagraphs) {
  TListingModel listing = FixedListing();
  listing.NewSection("X");
  TListingSection& section = *listing.CurrentSection();
  ASSERT_EQ(section.Text().InsertText(nullptr, 4, 1, "typed"), 0);  // the user typed on the last line
  listing.WriteLine("a\rb");
  listing.WriteLine(std::string(32767 + 5, 'x'));
  const Paragraphs expected = {"a", "b", std::string(32767, 'x'), "xxxxx", "typed"};
  const Paragraphs got = section.Paragraphs();
  EXPECT_EQ(Paragraphs(got.begin() + 3, got.end()), expected);
}

TEST(Listing, LinesGoToTheRunsSectionWhateverPageIsShown) {
  TListingModel listing = FixedListing();
  listing.NewSection("Config");
  listing.NewSection("SAHN");
  listing.SelectPage(1);
  listing.WriteLine("to SAHN");
  listing.SelectPage(0);
  listing.WriteLine("still to SAHN");
  EXPECT_EQ(listing.Section(2)->Paragraph(4), "to SAHN");
  EXPECT_EQ(listing.Section(2)->Paragraph(5), "still to SAHN");
  EXPECT_EQ(listing.Section(1)->ParagraphCount(), 4);

  listing.SelectPage(2);
  listing.DeleteCurrentSection();
  listing.WriteLine("dropped");  // the run's section is gone: nothing breaks, nothing lands elsewhere
  EXPECT_EQ(listing.Section(1)->ParagraphCount(), 4);
  EXPECT_EQ(listing.CurrentPage(), 0) << "deleting the last page shows page 0";
}

TEST(Listing, SaveThenLoadGivesTheSameSections) {
  TListingModel listing = FixedListing();
  for (const char* name : {"Config", "SAHN", "Output"}) {
    listing.NewSection(name);
    listing.WriteLine(std::string("report of ") + name);
  }
  const std::string file = TempFile("three.txt");
  listing.Save(file);
  const std::string text = rtl::ReadWholeFile(file);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 2);
  EXPECT_EQ(text.substr(0, 21), "Config: Morvapc 2.02c");
  EXPECT_NE(text.find("\r\n\r\n\r\n\fSAHN: Morvapc"), std::string::npos);

  TListingModel reloaded = FixedListing();
  reloaded.NewSection("Stand");
  reloaded.Load(file);
  ASSERT_EQ(reloaded.PageCount(), 5);
  EXPECT_EQ(reloaded.CurrentPage(), 4);
  for (std::int32_t page = 1; page <= 3; ++page) {
    const TListingSection& saved = *listing.Section(page);
    const TListingSection& loaded = *reloaded.Section(page + 1);
    EXPECT_EQ(loaded.Caption(), saved.Caption().substr(0, saved.Caption().find('-')) + "-" + std::to_string(page + 1));
    EXPECT_TRUE(loaded.WordWrap());
    Paragraphs expected = saved.Paragraphs();
    expected.push_back("");  // the empty line written after each section
    EXPECT_EQ(loaded.Paragraphs(), expected) << saved.Caption();
  }
}

TEST(Listing, LoadedSectionsAreNamedFromTheirFirstLine) {
  struct Case {
    const char* firstLine;
    const char* name;
  };
  for (const Case& c : {Case{"Config: Morvapc 2.02c", "Config"}, Case{"abcdefgh", "abcdef"}, Case{"", "?"},
                        Case{"ab", "ab"}, Case{"x:y:z", "x"}}) {
    EXPECT_EQ(SectionNameOfLine(c.firstLine), c.name) << c.firstLine;
  }
  const std::string file = TempFile("names.txt");
  rtl::TextWriter writer(file);
  writer.WriteLine("abcdefgh");
  writer.Write("\f");
  writer.WriteLine("");
  writer.Close();
  TListingModel listing = FixedListing();
  listing.NewSection("SAHN");
  listing.Load(file);
  EXPECT_EQ(listing.Section(2)->Caption(), "abcdef-2");
  EXPECT_EQ(listing.Section(3)->Caption(), "?-3");
}

TEST(Listing, SavingOnlyTheVersionPageWritesAnEmptyFile) {
  const TListingModel listing = FixedListing();
  const std::string file = TempFile("empty.txt");
  listing.Save(file);
  EXPECT_EQ(rtl::ReadWholeFile(file), "");
  const std::string none = TempFile("no-section.txt");
  std::filesystem::remove(none);
  listing.SaveCurrentSection(none);
  EXPECT_FALSE(std::filesystem::exists(none));
}

// A save that fails part way (here, at a file size limit that stands for a
// full disk) leaves the file that was there as it was, and nothing beside it.
TEST(Listing, ASaveThatFailsLeavesThePreviousFile) {
  const std::filesystem::path folder = std::filesystem::path(TempFile("failed-save"));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string file = (folder / "listing.txt").string();
  rtl::TextWriter previous(file);
  previous.WriteLine("previous listing");
  previous.Close();

  TListingModel listing = FixedListing();
  listing.NewSection("SAHN");
  for (int i = 0; i < 200; ++i) listing.WriteLine("a line of the run's report, long enough to fill the file");
  for (const bool whole : {true, false}) {
    SCOPED_TRACE(whole ? "notebook" : "current section");
    {
      const testsupport::FileSizeLimit fullDisk(4096);
      EXPECT_THROW(whole ? listing.Save(file) : listing.SaveCurrentSection(file), rtl::EInOutError);
    }
    EXPECT_EQ(rtl::ReadWholeFile(file), "previous listing\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
  }
}

TEST(Listing, TabRowsClearAndDelete) {
  TListingModel listing = FixedListing();
  for (int i = 1; i < 39; ++i) listing.NewSection("S");
  EXPECT_EQ(listing.PageCount(), 39);
  EXPECT_EQ(listing.TabRows(), 8);
  listing.NewSection("S");
  EXPECT_EQ(listing.TabRows(), 5);

  listing.SelectPage(0);
  listing.DeleteCurrentSection();  // the Version page stays
  EXPECT_EQ(listing.PageCount(), 40);
  listing.SelectPage(5);
  listing.DeleteCurrentSection();
  EXPECT_EQ(listing.PageCount(), 39);
  EXPECT_EQ(listing.CurrentPage(), 5);
  EXPECT_EQ(listing.RunNumber(), 40) << "deleting does not renumber";

  listing.Clear();
  EXPECT_EQ(listing.PageCount(), 1);
  EXPECT_EQ(listing.CurrentPage(), 0);
  listing.NewSection("SAHN");
  EXPECT_EQ(listing.CurrentSection()->Caption(), "SAHN-1");
}

TEST(Listing, PrintLinesCarryTheIndent) {
  TListingModel listing = FixedListing();
  listing.NewSection("A");
  listing.NewSection("B");
  const Paragraphs all = listing.PrintLines(2);
  ASSERT_EQ(all.size(), 10u);
  EXPECT_EQ(all[0], "  A: Morvapc 2.02c");
  EXPECT_EQ(all[3], "  ") << "the section's empty last paragraph";
  EXPECT_EQ(all[4], "") << "the empty line after each section";
  EXPECT_EQ(all[5], "  B: Morvapc 2.02c");
  listing.SelectPage(0);
  EXPECT_TRUE(listing.PrintCurrentSectionLines(2).empty());
  listing.SelectPage(1);
  EXPECT_EQ(listing.PrintCurrentSectionLines(0).size(), 4u);
}

TEST(Listing, IsTheTargetOfListingWriteLine) {
  shelltest::RecordedServices services;
  TListingModel listing = FixedListing();
  listing.InstallAsListingSink();
  ListingWriteLine("before any section");  // dropped
  listing.NewSection("Config");
  ListingWriteLine("line");
  EXPECT_EQ(listing.CurrentSection()->Paragraph(4), "line");
  EXPECT_TRUE(services.lines.empty());
}

}  // namespace
