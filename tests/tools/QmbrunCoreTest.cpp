// The parts of qmbrun: its command line, the listing written section by
// section, and the messages and progress on standard error.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "shell/Listing.h"
#include "tools/qmbrun/HeadlessBatch.h"
#include "tools/qmbrun/QmbrunOptions.h"

namespace {

TListingModel::TDateTime Epoch() { return {"1/1/1970", "00:00:00"}; }

TEST(QmbrunOptions, ReadsOptionsBeforeTheBatchFileAndParametersAfterIt) {
  struct Case {
    const char* name;
    std::vector<std::string> words;
    bool withWindows;
    const char* error;
  };
  const Case cases[] = {
      {"plain", {"run.qmb", "a", "--b"}, true, ""},
      {"overwrite and plots", {"--overwrite", "--plots", "out", "--plot-format=png", "run.qmb"}, true, ""},
      {"plots without a folder", {"--plots"}, true, "--plots needs the folder to save the plots in"},
      {"unknown format", {"--plot-format", "gif", "run.qmb"}, true, "--plot-format takes pdf, png or emf"},
      {"plots in a build without windows",
       {"--plots=out", "run.qmb"},
       false,
       "--plots is not available: this qmbrun was built without windows"},
      {"unknown option", {"--fast", "run.qmb"}, true, "unknown option --fast"},
      {"no batch file", {"--overwrite"}, true, "no batch file given"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseQmbrunArguments(c.words, c.withWindows).error, c.error) << c.name;
  }
  const TQmbrunOptions plain = ParseQmbrunArguments(cases[0].words, true);
  EXPECT_EQ(plain.batchFile, "run.qmb");
  EXPECT_EQ(plain.parameters, "a --b");
  // A parameter with a blank stays one word of the parameters.
  EXPECT_EQ(ParseQmbrunArguments({"run.qmb", "my data.qmx", "b"}, true).parameters, "\"my data.qmx\" b");
  EXPECT_FALSE(plain.overwrite);
  EXPECT_EQ(plain.plotsFolder, "");
  const TQmbrunOptions plots = ParseQmbrunArguments(cases[1].words, true);
  EXPECT_TRUE(plots.overwrite);
  EXPECT_EQ(plots.plotsFolder, "out");
  EXPECT_EQ(plots.plotFormat, TPlotFileFormat::Png);
  EXPECT_TRUE(ParseQmbrunArguments({"--help"}, false).help);
}

TEST(QmbrunOptions, HelpSaysWhetherPlotsCanBeSaved) {
  EXPECT_NE(QmbrunHelp(true).find("--plots DIR"), std::string::npos);
  EXPECT_NE(QmbrunHelp(false).find("not available: this qmbrun was built without\n  windows"), std::string::npos);
  EXPECT_EQ(QmbrunUsage(false).find("--plots"), std::string::npos);
}

TEST(ListingStream, WritesEachSectionOnceWithLineFeeds) {
  TListingModel listing("2.02c");
  listing.SetClock(Epoch);
  std::ostringstream out;
  TListingStream stream(listing, out);
  listing.NewSection("Config");
  listing.WriteLine("one");
  EXPECT_TRUE(stream.WriteNewSections());
  EXPECT_EQ(out.str(),
            "Config: Morvapc 2.02c\nDate & time: 1/1/1970 00:00:00\n" + std::string(40, '-') + "\none\n\n\n");
  listing.NewSection("Sahn");
  out.str("");
  EXPECT_TRUE(stream.WriteNewSections());
  EXPECT_TRUE(out.str().starts_with("\fSahn: Morvapc")) << out.str();
  out.str("");
  EXPECT_TRUE(stream.WriteNewSections());
  EXPECT_EQ(out.str(), "") << "nothing new";
}

TEST(BatchReport, NamesTheCommandAndLabelsWarnings) {
  std::ostringstream out;
  TBatchReport report(out, false);
  report.Error("Batch file is empty.");
  report.SetCommand(5, "*SAHN O=a.qmx R=b.tre");
  report.Warning("At least one tie found");
  report.Error("Two\nlines");
  report.SetCommand(7, "*SAHN O=" + std::string(80, 'x'));
  report.Error("long");
  report.ClearCommand();
  report.Error("after");
  EXPECT_EQ(out.str(),
            "Batch file is empty.\n"
            "line 5 (*SAHN O=a.qmx R=b.tre): warning: At least one tie found\n"
            "line 5 (*SAHN O=a.qmx R=b.tre): Two\nlines\n"
            "line 7 (*SAHN O=" +
                std::string(49, 'x') +
                "...): long\n"
                "after\n");
}

TEST(BatchReport, ShowsMessagesAsUtf8WithUnexpectedCharactersEscaped) {
  std::ostringstream out;
  TBatchReport report(out, false);
  report.SetCommand(2, "*SAHN O=" + std::string(48, 'x') + "\xC3\xA9\xC3\xA9\xC3\xA9");
  report.Error("Label M\xFCller\x07 not found");  // a Windows-1252 label and a bell
  report.SetCommand(3, "*SAHN O=\xE9t\xE9.qmx");
  report.Error("Label M\xC3\xBCller not found");  // UTF-8
  EXPECT_EQ(out.str(), "line 2 (*SAHN O=" + std::string(48, 'x') +
                           "...): Label M\xC3\xBCller\\x07 not found\n"
                           "line 3 (*SAHN O=\xC3\xA9t\xC3\xA9.qmx): Label M\xC3\xBCller not found\n")
      << "a long command is cut between characters";
}

TEST(BatchReport, ShowsProgressOnATerminalOnly) {
  for (const bool terminal : {false, true}) {
    std::ostringstream out;
    TBatchReport report(out, terminal);
    report.SetCommand(3, "*SAHN O=a.qmx");
    report.SetStatus(" Clustering");
    report.StartGauge();
    report.SetGauge(40);
    report.Error("stop");
    report.StopGauge();
    const std::string shown = out.str();
    if (!terminal) {
      EXPECT_EQ(shown, "line 3 (*SAHN O=a.qmx): stop\n");
      continue;
    }
    EXPECT_NE(shown.find("\rline 3: Clustering 40%"), std::string::npos) << shown;
    // The message clears the progress line first and it shows again after.
    EXPECT_NE(shown.find("\r                      \rline 3 (*SAHN O=a.qmx): stop\n\rline 3: Clustering 40%"),
              std::string::npos)
        << shown;
    EXPECT_TRUE(shown.ends_with("\r                      \r")) << shown;
  }
}

}  // namespace
