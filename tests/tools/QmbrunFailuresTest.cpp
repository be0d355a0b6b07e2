// Failures that once passed for success, run through qmbrun as a user runs
// it: each batch must stop at the failing command with exit status 1 and the
// message naming the batch line, the command after it must not run, and no
// output of the failing command may be left looking complete: an output that
// existed before keeps its contents, and no other one exists.
//
// A few commands once lost something silently without failing: those batches
// must end with exit status 0, standard error saying what it must, and their
// last command reading the outputs back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "rtl/TextFile.h"
#include "tests/support/Qmbrun.h"

namespace {

namespace fs = std::filesystem;

std::string Fixture(const char* path) { return rtl::ReadWholeFile((fs::path(MORVA_FIXTURES) / path).string()); }

void WriteFile(const fs::path& path, const std::string& text) {
  rtl::TextWriter writer(path.string());
  writer.Write(text);
  writer.Close();
}

struct Case {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // written to the run's folder: name, contents
  std::string batch;                                       // its last command reads in.qmx and must never run
  std::string message;                                     // standard error, whole; FOLDER/ stands for the run's folder
  std::vector<std::string> outputs;                        // the failing command's output files
  const char* settings = nullptr;                          // a line of [Config] in morva.ini
  bool graphics = false;                                   // needs the graphics modules
  std::string parameters{};                                // the batch parameters, as a shell takes them
  bool completes = false;  // the batch runs to its end, its last command reading the outputs
  std::string listingEnd{};  // the end of the listing (LF line ends), FOLDER/ as above; empty: not checked
};

// A rectangular matrix any module can read; the command after a failing one
// reads it.
const std::pair<std::string, std::string> kIn = {"in.qmx", "1 3 2 0\r\n1 2\r\n3 4\r\n5 7\r\n"};
const std::pair<std::string, std::string> kOld = {"old.qmx", "\" an earlier result\r\n1 1 1 0\r\n5\r\n"};
const std::string kNext = "*OUTPUT O=in.qmx\r\n";
// Values a computation overflows on.
const std::pair<std::string, std::string> kBig = {"big.qmx", "1 3 2 0\r\n1 2\r\n3 1e308\r\n-1e308 7\r\n"};

std::vector<Case> Cases() {
  const std::vector<std::pair<std::string, std::string>> cva = {kIn,
                                                                {"m4.qmx", Fixture("cva/four-means.qmx")},
                                                                {"s4.qmx", Fixture("cva/four-sizes.qmx")},
                                                                {"v4.qmx", Fixture("cva/four-within.qmx")},
                                                                {"v5.qmx", Fixture("cva/five-within.qmx")},
                                                                {"m5.qmx", Fixture("cva/five-means.qmx")}};
  const std::vector<std::pair<std::string, std::string>> genetic = {kIn,
                                                                    {"g.qmx", Fixture("similarity/genetic.qmx")},
                                                                    {"loci.qmx", Fixture("similarity/loci.qmx")},
                                                                    {"n4.qmx", "1 4 1 0\r\n10\r\n12\r\n8\r\n10\r\n"},
                                                                    {"loci8.qmx", "1 1 8 0\r\n1 1 1 2 2 3 3 3\r\n"}};
  const std::pair<std::string, std::string> dis = {"dis.qmx", Fixture("sahn/golden/dis-noties.qmx")};
  const std::string sharing = "\nChoose another output file name.\n";
  return {
      // An error box of the module, then a plain return.
      {"CvaVariableCountsDiffer",
       cva,
       "*CVA M=m4.qmx V=v5.qmx GS=s4.qmx CV=o.cv CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m4.qmx V=v5.qmx GS=s4.qmx CV=o.cv CS=o.cs): Number of variables in VCV matrix does not match "
       "those in group means\n",
       {"o.cv", "o.cs"}},
      {"CvaNoRootAboveTheCutOff",
       cva,
       "*CVA M=m4.qmx V=v4.qmx GS=s4.qmx CO=5 CV=o.cv CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m4.qmx V=v4.qmx GS=s4.qmx CO=5 CV=o.cv CS=o.cs): No canonical roots above the cut-off value: "
       "there are no canonical variates\n",
       {"o.cv", "o.cs"}},
      {"CvaMeansLeftOut",
       cva,
       "*CVA GS=s4.qmx V=v4.qmx CS=o.cs\r\n" + kNext,
       "line 1 (*CVA GS=s4.qmx V=v4.qmx CS=o.cs): Matrix of group means is required\n",
       {"o.cs"}},
      {"CvaSizesLeftOut",
       cva,
       "*CVA M=m4.qmx V=v4.qmx CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m4.qmx V=v4.qmx CS=o.cs): Diagonal matrix of group sample sizes is required\n",
       {"o.cs"}},
      {"CvaVectorsLeftOut",
       cva,
       "*CVA M=m4.qmx GS=s4.qmx CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m4.qmx GS=s4.qmx CS=o.cs): Canonical vectors are required\n",
       {"o.cs"}},
      {"CvaVectorsOfOtherVariables",
       cva,
       "*CVA M=m4.qmx GS=s4.qmx CV=m5.qmx CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m4.qmx GS=s4.qmx CV=m5.qmx CS=o.cs): Number of variables in canonical vectors (2) does not "
       "match those in group means (3)\n",
       {"o.cs"}},
      {"CvaTestDataOfOtherVariables",
       cva,
       "*CVA M=m4.qmx V=v4.qmx GS=s4.qmx TD=m5.qmx CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m4.qmx V=v4.qmx GS=s4.qmx TD=m5.qmx CS=o.cs): Number of variables in test data (2) does not "
       "match those in group means (3)\n",
       {"o.cs"}},
      {"SimgendSampleSizesOfWrongLength",
       genetic,
       "*SIMGEND O=g.qmx C=NEI-UB NA=n4.qmx L=3 LA=loci.qmx R=o.dis\r\n" + kNext,
       "line 1 (*SIMGEND O=g.qmx C=NEI-UB NA=n4.qmx L=3 LA=loci.qmx R=o.dis): Incorrect length of sample size array "
       "(4) "
       "does not match data\n",
       {"o.dis"}},
      {"SimgendLociOfWrongLength",
       genetic,
       "*SIMGEND O=g.qmx C=HILLIS LA=loci8.qmx R=o.dis\r\n" + kNext,
       "line 1 (*SIMGEND O=g.qmx C=HILLIS LA=loci8.qmx R=o.dis): Length of allele grouping array (8) does not match "
       "data\n",
       {"o.dis"}},
      {"SimgendLociLeftOut",
       genetic,
       "*SIMGEND O=g.qmx C=HILLIS R=o.dis\r\n" + kNext,
       "line 1 (*SIMGEND O=g.qmx C=HILLIS R=o.dis): Array giving grouping of alleles into loci is required\n",
       {"o.dis"}},
      {"SimgendSampleSizesLeftOut",
       genetic,
       "*SIMGEND O=g.qmx C=NEI-UB L=3 R=o.dis\r\n" + kNext,
       "line 1 (*SIMGEND O=g.qmx C=NEI-UB L=3 R=o.dis): Array of sample sizes for each OTU is required for this "
       "coefficient\n",
       {"o.dis"}},
      {"SimgendNumberOfLociLeftOut",
       genetic,
       "*SIMGEND O=g.qmx C=CHORD R=o.dis\r\n" + kNext,
       "line 1 (*SIMGEND O=g.qmx C=CHORD R=o.dis): Number of loci is required\n",
       {"o.dis"}},
      // Nothing to show and nothing said.
      {"MxplotEmptyInput",
       {kIn, {"e.qmx", ""}},
       "*MXPLOT O=e.qmx\r\n" + kNext,
       "line 1 (*MXPLOT O=e.qmx): Problem in reading input matrix header.\n",
       {},
       nullptr,
       true},
      {"MxplotCommentsOnly",
       {kIn, {"e.qmx", "\" nothing but a comment\r\n"}},
       "*MXPLOT O=e.qmx\r\n" + kNext,
       "line 1 (*MXPLOT O=e.qmx): Problem in reading input matrix header.\n"
       "No matrix header after line 1 of input file.\n",
       {},
       nullptr,
       true},
      {"MxcompEmptyInput",
       {kIn, dis, {"e.qmx", "\" nothing but a comment\r\n"}},
       "*MXCOMP X=e.qmx Y=dis.qmx\r\n" + kNext,
       "line 1 (*MXCOMP X=e.qmx Y=dis.qmx): Problem in reading input matrix header.\n"
       "No matrix header after line 1 of input file.\n",
       {},
       nullptr,
       true},
      // Files that the readers refuse, or a copy for a transformation.
      {"CorrespOneByOne",
       {kIn, {"t.qmx", "1 1 1 0\r\n5\r\n"}},
       "*CORRESP O=t.qmx RF=o.rf CF=o.cf VAL=o.val\r\n" + kNext,
       "line 1 (*CORRESP O=t.qmx RF=o.rf CF=o.cf VAL=o.val): Input matrix must have at least 2 rows and 2 columns\n",
       {"o.rf", "o.cf", "o.val"}},
      {"CorrespOneRow",
       {kIn, {"t.qmx", Fixture("corresp/golden/single.qmx")}},
       "*CORRESP O=t.qmx RF=o.rf CF=o.cf\r\n" + kNext,
       "line 1 (*CORRESP O=t.qmx RF=o.rf CF=o.cf): Input matrix must have at least 2 rows and 2 columns\n",
       {"o.rf", "o.cf"}},
      {"TransfWithoutCodes",
       {kIn},
       "*TRANSF O=in.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*TRANSF O=in.qmx R=o.qmx): Transformation codes are required\n",
       {"o.qmx"}},
      // Outputs that are not written although the listing says so.
      {"ConfigRefusesOverwriting",
       {kIn, kOld},
       "*CONFIG OW=F\r\n*STAND O=in.qmx R=old.qmx\r\n" + kNext,
       "line 2 (*STAND O=in.qmx R=old.qmx): Output file exists and was not written: FOLDER/old.qmx\n",
       {"old.qmx"}},
      {"SettingRefusesOverwriting",
       {kIn, kOld},
       "*STAND O=in.qmx R=old.qmx\r\n" + kNext,
       "line 1 (*STAND O=in.qmx R=old.qmx): Output file exists and was not written: FOLDER/old.qmx\n",
       {"old.qmx"},
       "OverWrite=F"},
      {"EigenOneFileForTwoOutputs",
       {kIn, {"e.qmx", Fixture("ordination/eigen.qmx")}},
       "*EIGEN O=e.qmx R=a.qmx VAL=a.qmx\r\n" + kNext,
       "line 1 (*EIGEN O=e.qmx R=a.qmx VAL=a.qmx): Output files for Output eigenvector file and Output eigenvalue file "
       "are one file: a.qmx" +
           sharing,
       {"a.qmx"}},
      {"NjoinOneFileForTwoOutputs",
       {kIn, dis},
       "*NJOIN O=dis.qmx R1=a.qmx R2=./a.qmx\r\n" + kNext,
       "line 1 (*NJOIN O=dis.qmx R1=a.qmx R2=./a.qmx): Output files for Output tree file and Output graph file are one "
       "file: ./a.qmx" +
           sharing,
       {"a.qmx"}},
      {"SvdOneFileForTwoOutputs",
       {kIn, {"x.qmx", Fixture("ordination/svd6x4.qmx")}},
       "*SVD O=x.qmx L=a.qmx R=b.qmx VAL=a.qmx\r\n" + kNext,
       "line 1 (*SVD O=x.qmx L=a.qmx R=b.qmx VAL=a.qmx): Output files for Output left file and Output singular values "
       "are one file: a.qmx" +
           sharing,
       {"a.qmx", "b.qmx"}},
      {"CorrespOneFileForTwoOutputs",
       {kIn, {"t.qmx", Fixture("corresp/small.qmx")}},
       "*CORRESP O=t.qmx RF=a.qmx CF=a.qmx\r\n" + kNext,
       "line 1 (*CORRESP O=t.qmx RF=a.qmx CF=a.qmx): Output files for Row factor matrix and Column factor matrix are "
       "one file: a.qmx" +
           sharing,
       {"a.qmx"}},
      {"FourierOutlineWithoutExtent",
       {kIn, {"f.qmx", "1 2L 6 0\r\nround flat\r\n0 0 1 0 0 1\r\n0 0 0 0 0 0\r\n"}},
       "*FOURIER O=f.qmx S=ELLIP1 R=o.qmx\r\n" + kNext,
       "line 1 (*FOURIER O=f.qmx S=ELLIP1 R=o.qmx): The first harmonic of outline flat has no extent: it cannot be "
       "standardized by ELLIP1\n",
       {"o.qmx"}},
      // More objects than a module's storage holds: refused at the header,
      // with the one limit each module has.
      {"NjoinTooManyObjects",
       {kIn, {"big.qmx", "2 501 501 0\r\n"}},
       "*NJOIN O=big.qmx R1=o.tre R2=o.gra\r\n" + kNext,
       "line 1 (*NJOIN O=big.qmx R1=o.tre R2=o.gra): Input matrix is too large, maximum size is 500\n",
       {"o.tre", "o.gra"}},
      {"ConsensTooManyObjects",
       {kIn, {"big.tre", "5 501 2 0 0\r\n"}},
       "*CONSENS O1=big.tre R=o.tre\r\n" + kNext,
       "line 1 (*CONSENS O1=big.tre R=o.tre): Input matrix is too large, maximum size is 500\n",
       {"o.tre"}},
      {"MdscaleTooManyObjects",
       {kIn, {"big.qmx", "2 363 363 0\r\n"}},
       "*MDSCALE O=big.qmx R=o.qmx DH=o.dh\r\n" + kNext,
       "line 1 (*MDSCALE O=big.qmx R=o.qmx DH=o.dh): Input matrix is too large, maximum size is 362\n",
       {"o.qmx", "o.dh"}},
      // Settings no writer can use, and a batch parameter that cannot be.
      {"ConfigFormatNoWriterCanPrint",
       {kIn},
       "*CONFIG FF=999999999.5f\r\n" + kNext,
       "line 1 (*CONFIG FF=999999999.5f): Bad format\nField width (999999999) \nmust be at most 99.\n",
       {}},
      {"ConfigFormatOfPercentSigns",
       {kIn},
       "\" the bad parameter is found before anything runs\r\n*CONFIG FF=e\r\n*CONFIG FF=%%\r\n" + kNext,
       "line 3 (*CONFIG FF=%%): Bad parameter format\n",
       {}},
      // Said or kept, and the batch goes on.
      {.name = "SahnTiedTreeSearchCutShort",
       .files = {kIn, {"eq.qmx", "2 4 4 0\r\n0\r\n1 0\r\n1 1 0\r\n1 1 1 0\r\n"}},
       .batch = "*SAHN O=eq.qmx TM=FIND NT=2 R=o.tre\r\n*OUTPUT O=o.tre\r\n",
       .message = "line 1 (*SAHN O=eq.qmx TM=FIND NT=2 R=o.tre): warning: Search for tied trees aborted at limit of 2 "
                  "trees\n",
       .outputs = {"o.tre"},
       .completes = true},
      {.name = "BatchParameterWithABlank",
       .files = {{"my data.qmx", kIn.second}},
       .batch = "*STAND O=%1 R=o.qmx\r\n*OUTPUT O=o.qmx\r\n",
       .message = "",
       .outputs = {"o.qmx"},
       .parameters = "'my data.qmx'",
       .completes = true},
      // Numbers that no reader can read back: a module stops instead of writing them.
      {"SimintDistanceOverflows",
       {kIn, kBig},
       "*SIMINT O=big.qmx C=EUCLID R=o.dis\r\n" + kNext,
       "line 1 (*SIMINT O=big.qmx C=EUCLID R=o.dis): Row 2, column 1 of the matrix for output file FOLDER/o.dis "
       "overflowed (INF) and cannot be written.\n",
       {"o.dis"}},
      {"DcenterOverflows",
       {kIn, {"d.qmx", "2 3 3 0\r\n0\r\n1e308 0\r\n1 -1e308 0\r\n"}},
       "*DCENTER O=d.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*DCENTER O=d.qmx R=o.qmx): Row 1, column 1 of the matrix for output file FOLDER/o.qmx overflowed (NAN) "
       "and cannot be written.\n",
       {"o.qmx"}},
      {"EigenValuesOverflow",
       {kIn, {"s.qmx", "3 2 2 0\r\n1e308\r\n1e308 1e308\r\n"}},
       "*EIGEN O=s.qmx R=o.vec VAL=o.val\r\n" + kNext,
       "line 1 (*EIGEN O=s.qmx R=o.vec VAL=o.val): Eigenvalue 1 overflowed (INF) and cannot be written.\n",
       {"o.vec", "o.val"}},
      {"SvdOverflows",
       {kIn, {"x.qmx", "1 2 2 0\r\n1e308 1e308\r\n1e308 -1e308\r\n"}},
       "*SVD O=x.qmx L=o.l R=o.r VAL=o.val\r\n" + kNext,
       "line 1 (*SVD O=x.qmx L=o.l R=o.r VAL=o.val): Sum of singular values overflowed (INF) and cannot be "
       "written.\n",
       {"o.l", "o.r", "o.val"}},
      {"CorrespListingOverflows",
       {kIn, {"t.qmx", "1 2 2 0\r\n1e308 1e308\r\n1e308 1e308\r\n"}},
       "*CORRESP O=t.qmx RF=o.rf CF=o.cf\r\n" + kNext,
       "line 1 (*CORRESP O=t.qmx RF=o.rf CF=o.cf): X2 overflowed (-INF) and cannot be written.\n",
       {"o.rf", "o.cf"}},
      {"MxcompListingOverflows",
       {kIn,
        {"x.qmx", "2 4 4 0\r\n0\r\n1e308 0\r\n-1e308 1e308 0\r\n1 2 3 0\r\n"},
        {"y.qmx", "2 4 4 0\r\n0\r\n1 0\r\n2 3 0\r\n4 5 6 0\r\n"}},
       "*MXCOMP X=x.qmx Y=y.qmx\r\n" + kNext,
       "line 1 (*MXCOMP X=x.qmx Y=y.qmx): SSx overflowed (INF) and cannot be written.\n",
       {},
       nullptr,
       true},
      // Runaway inputs: refused at once, whatever their size.
      {"CanplsHugeSize",
       {kIn, {"z.qmx", "3 2000000000 2000000000 0\r\n1\r\n"}},
       "*CANPLS O=z.qmx S=1 L=o.qmx\r\n" + kNext,
       "line 1 (*CANPLS O=z.qmx S=1 L=o.qmx): Bad size parameter\n",
       {"o.qmx"}},
      {"EndlessInput",
       {kIn},
       "*STAND O=/dev/zero R=o.qmx\r\n" + kNext,
       "line 1 (*STAND O=/dev/zero R=o.qmx): Line too long for a matrix file (more than 16777216 characters) on line "
       "1 of input file.\n",
       {"o.qmx"}},
      {"WordTooLongForAnItem",
       {kIn, {"w.qmx", "1 1 2 0\r\n1 " + std::string(300, '9') + "\r\n"}},
       "*STAND O=w.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*STAND O=w.qmx R=o.qmx): Word too long to be a matrix item (more than 255 characters): " +
           std::string(40, '9') + "... on line 2 of input file.\n",
       {"o.qmx"}},
      {"BadValueQuotedShort",
       {kIn, {"w.qmx", "1 1 2 0\r\n1 " + std::string(100, 'x') + "\r\n"}},
       "*STAND O=w.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*STAND O=w.qmx R=o.qmx): Problem in reading value: " + std::string(40, 'x') +
           "... on data line 2 in input file.\n",
       {"o.qmx"}},
      {"BadHeaderWordQuotedShort",
       {kIn, {"w.qmx", std::string(100000, '1') + " 1 2 0\r\n1 2\r\n"}},
       "*STAND O=w.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*STAND O=w.qmx R=o.qmx): Bad value for matrix type code: " + std::string(40, '1') +
           "...\nMatrix header on line 1 of input file.\n",
       {"o.qmx"}},
      // A stop at a later data set: the listing said the earlier ones were
      // stored, and ends with the outputs that were not written and why.
      {.name = "StandSecondDataSetUnreadable",
       .files = {kIn, {"two.qmx", "1 2 2 0\r\n1 2\r\n3 5\r\n1 2 2 0\r\n1 2\r\nzz 4\r\n"}},
       .batch = "*STAND O=two.qmx R=two-std.qmx\r\n" + kNext,
       .message = "line 1 (*STAND O=two.qmx R=two-std.qmx): Problem in reading value: zz on data line 6 in input "
                  "file.\n",
       .outputs = {"two-std.qmx"},
       .listingEnd = "Standardized matrix stored in file: two-std.qmx\n\n---- next dataset ----\n\n"
                     "type=1, size=2 by 2, nc=none  (rectangular)\n\n"
                     "Run stopped: Problem in reading value: zz on data line 6 in input file.\n"
                     "Output file not written: two-std.qmx\n\n\n"},
  };
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

TEST(QmbrunFailures, EachEndsTheBatchAsItMustAndLeavesNoOutputThatLooksComplete) {
  for (const Case& c : Cases()) {
#ifndef MORVA_WITH_WINDOWS
    if (c.graphics) continue;
#endif
    const fs::path folder = qmbtest::FreshFolder(fs::path("tools") / "failures" / c.name);
    for (const auto& [name, contents] : c.files) WriteFile(folder / name, contents);
    WriteFile(folder / "run.qmb", c.batch);
    if (c.settings != nullptr) qmbtest::WriteSettings(folder, {"[Config]", c.settings});

    const qmbtest::Outcome outcome = qmbtest::Run(folder, "run.qmb " + c.parameters);
    EXPECT_EQ(outcome.err, Replaced(c.message, "FOLDER/", folder.string() + "/")) << c.name;
    if (!c.listingEnd.empty()) {
      EXPECT_TRUE(outcome.raw.ends_with(Replaced(c.listingEnd, "FOLDER/", folder.string() + "/")))
          << c.name << ":\n" << outcome.raw;
    }
    if (c.completes) {
      EXPECT_EQ(outcome.status, 0) << c.name;
      EXPECT_NE(outcome.out.find("Output: Morvapc"), std::string::npos) << c.name << ": the outputs were not read";
      for (const std::string& output : c.outputs) EXPECT_TRUE(fs::exists(folder / output)) << c.name << ": " << output;
      continue;
    }
    EXPECT_EQ(outcome.status, 1) << c.name;
    EXPECT_EQ(outcome.out.find("Output: Morvapc"), std::string::npos) << c.name << ": the next command ran";
    for (const std::string& output : c.outputs) {
      const auto before =
          std::find_if(c.files.begin(), c.files.end(), [&](const auto& f) { return f.first == output; });
      if (before != c.files.end()) {
        EXPECT_EQ(rtl::ReadWholeFile((folder / output).string()), before->second) << c.name << ": " << output;
      } else {
        EXPECT_FALSE(fs::exists(folder / output)) << c.name << ": " << output;
      }
    }
  }
}

}  // namespace
