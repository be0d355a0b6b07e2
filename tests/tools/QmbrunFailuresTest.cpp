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

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#include "rtl/TextFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/Qmbrun.h"
#include "tests/support/Unprivileged.h"

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
  std::string options{};   // qmbrun's options before the batch file
  // Symbolic links made before the run: name, what it leads to. An output
  // among them stays that link when the command fails, and is a file of its
  // own when the command writes it: the file it led to is never written.
  std::vector<std::pair<std::string, std::string>> links{};
  rlim_t fileSizeLimit = 0;  // writes past this many bytes fail as on a full file system; 0: no limit
  std::function<void(const fs::path& folder)> prepare{};  // links, folders and permissions the files need
  bool unprivileged = false;  // qmbrun runs as a user without privileges, who owns the folder
  std::function<void(const fs::path& folder)> afterwards{};  // what else holds of the files afterwards
  std::string listingEnd{};  // the end of the listing (LF line ends), FOLDER/ as above; empty: not checked
};

// A rectangular matrix any module can read; the command after a failing one
// reads it.
const std::pair<std::string, std::string> kIn = {"in.qmx", "1 3 2 0\r\n1 2\r\n3 4\r\n5 7\r\n"};
const std::pair<std::string, std::string> kOld = {"old.qmx", "\" an earlier result\r\n1 1 1 0\r\n5\r\n"};
const std::string kNext = "*OUTPUT O=in.qmx\r\n";
// Two small trees, a plot of two pages; a picture in the place of the first,
// and a link in the place of the second to a file elsewhere.
const std::pair<std::string, std::string> kTwoTrees = {
    "t2.qmx", "5 3L 2 0\r\nA B C\r\n1 1.0\r\n2 2.0\r\n3\r\n5 4L 2 0\r\nP Q R S\r\n1 1.0\r\n2 3.0\r\n3 2.0\r\n4\r\n"};
const std::pair<std::string, std::string> kOldPicture = {"pics/Tree-1-1.png", "an earlier picture"};
const std::pair<std::string, std::string> kElsewhere = {"elsewhere.png", "a picture kept elsewhere"};
const std::pair<std::string, std::string> kPictureLink = {"pics/Tree-1-2.png", "../elsewhere.png"};
// Values a computation overflows on.
const std::pair<std::string, std::string> kBig = {"big.qmx", "1 3 2 0\r\n1 2\r\n3 1e308\r\n-1e308 7\r\n"};

// The file has the permission bits and belongs to the user the batch ran as.
void ExpectOwnedAs(const fs::path& file, unsigned mode) {
  struct stat status {};
  ASSERT_EQ(stat(file.c_str(), &status), 0) << file;
  EXPECT_EQ(status.st_mode & 07777, mode) << file;
  EXPECT_EQ(status.st_uid, testsupport::UnprivilegedIds().uid) << file;
}

// old.qmx as its owner made it read-only, and as it must stay.
void MakeOldReadOnly(const fs::path& folder) { fs::permissions(folder / "old.qmx", fs::perms(0444)); }
void OldStaysReadOnly(const fs::path& folder) { ExpectOwnedAs(folder / "old.qmx", 0444); }

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
      // Degenerate inputs: a matrix with nothing to compute on, a setting
      // beyond what the data or plain sense allow, and a stored label longer
      // than any number.
      {"CvaMeansOfNoVariables",
       {kIn, {"m.qmx", "1 4 0 0\r\n\r\n\r\n\r\n\r\n"}, {"v.qmx", "3 0 0 0\r\n"},
        {"s4.qmx", Fixture("cva/four-sizes.qmx")}},
       "*CVA M=m.qmx D=NO V=v.qmx GS=s4.qmx CV=o.cv CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m.qmx D=NO V=v.qmx GS=s4.qmx CV=o.cv CS=o.cs): Input matrix is empty: 4 rows by 0 columns\n",
       {"o.cv", "o.cs"}},
      {"CvaTestDataOfNoSpecimens",
       [&] {
         auto files = cva;
         files.push_back({"t.qmx", "1 3 0 0\r\n\r\n\r\n\r\n"});
         return files;
       }(),
       "*CVA M=m4.qmx V=v4.qmx GS=s4.qmx TD=t.qmx CS=o.cs\r\n" + kNext,
       "line 1 (*CVA M=m4.qmx V=v4.qmx GS=s4.qmx TD=t.qmx CS=o.cs): Input matrix is empty: 3 rows by 0 columns\n",
       {"o.cs"}},
      {"CpcaCovariancesOfNoVariables",
       {kIn, {"s.qmx", "3 0 0 0\r\n3 0 0 0\r\n"}, {"n.qmx", "4 2 2 0\r\n10 10\r\n"}},
       "*CPCA S=s.qmx GS=n.qmx B=o.b LAM=o.lam COV=o.cov\r\n" + kNext,
       "line 1 (*CPCA S=s.qmx GS=n.qmx B=o.b LAM=o.lam COV=o.cov): Input matrix is empty: 0 rows by 0 columns\n",
       {"o.b", "o.lam", "o.cov"}},
      {"CpcaDataOfNoVariables",
       {kIn, {"x.qmx", "1 0 3 0\r\n1 0 3 0\r\n"}},
       "*CPCA O=x.qmx D=YES B=o.b\r\n" + kNext,
       "line 1 (*CPCA O=x.qmx D=YES B=o.b): Input matrix is empty: 0 rows by 3 columns\n",
       {"o.b"}},
      {"SimintNoOtus",
       {kIn, {"e.qmx", "1 0 0 0\r\n"}},
       "*SIMINT O=e.qmx R=o.dis\r\n" + kNext,
       "line 1 (*SIMINT O=e.qmx R=o.dis): Input matrix is empty: 0 rows by 0 columns\n",
       {"o.dis"}},
      {"SimintNoCharacters",
       {kIn, {"e.qmx", "1 3 0 0\r\n\r\n\r\n\r\n"}},
       "*SIMINT O=e.qmx R=o.dis\r\n" + kNext,
       "line 1 (*SIMINT O=e.qmx R=o.dis): Input matrix is empty: 3 rows by 0 columns\n",
       {"o.dis"}},
      {"SimqualNoOtus",
       {kIn, {"e.qmx", "1 0 0 0\r\n"}},
       "*SIMQUAL O=e.qmx R=o.sim\r\n" + kNext,
       "line 1 (*SIMQUAL O=e.qmx R=o.sim): Input matrix is empty: 0 rows by 0 columns\n",
       {"o.sim"}},
      {"SimgendNoOtus",
       {kIn, {"e.qmx", "1 0 0 0\r\n"}},
       "*SIMGEND O=e.qmx R=o.dis\r\n" + kNext,
       "line 1 (*SIMGEND O=e.qmx R=o.dis): Input matrix is empty: 0 rows by 0 columns\n",
       {"o.dis"}},
      {"SvdNoColumns",
       {kIn, {"e.qmx", "1 3 0 0\r\n\r\n\r\n\r\n"}},
       "*SVD O=e.qmx L=o.l R=o.r VAL=o.val\r\n" + kNext,
       "line 1 (*SVD O=e.qmx L=o.l R=o.r VAL=o.val): Input matrix is empty: 3 rows by 0 columns\n",
       {"o.l", "o.r", "o.val"}},
      {"ProjNoObjects",
       {kIn, {"e.qmx", "1 0 2 0\r\n"}, {"f.qmx", "1 2 1 0\r\n1\r\n0\r\n"}},
       "*PROJ O=e.qmx F=f.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*PROJ O=e.qmx F=f.qmx R=o.qmx): Input matrix is empty: 0 rows by 2 columns\n",
       {"o.qmx"}},
      {"ProjNoFactors",
       {kIn, {"f.qmx", "1 2 0 0\r\n\r\n\r\n"}},
       "*PROJ O=in.qmx F=f.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*PROJ O=in.qmx F=f.qmx R=o.qmx): Input matrix is empty: 2 rows by 0 columns\n",
       {"o.qmx"}},
      {"DcenterNoObjects",
       {kIn, {"e.qmx", "2 0 0 0\r\n"}},
       "*DCENTER O=e.qmx R=o.qmx\r\n" + kNext,
       "line 1 (*DCENTER O=e.qmx R=o.qmx): Input matrix is empty: 0 rows by 0 columns\n",
       {"o.qmx"}},
      {"MstNoObjects",
       {kIn, {"e.qmx", "2 0 0 0\r\n"}},
       "*MST O=e.qmx R=o.gra\r\n" + kNext,
       "line 1 (*MST O=e.qmx R=o.gra): Input matrix is empty: 0 rows by 0 columns\n",
       {"o.gra"}},
      {"CophTreeOfNoOtus",
       {kIn, {"e.tre", "5 0 2 0\r\n"}},
       "*COPH O=e.tre R=o.qmx\r\n" + kNext,
       "line 1 (*COPH O=e.tre R=o.qmx): Input matrix is empty: 0 rows by 2 columns\n",
       {"o.qmx"}},
      {"PoolvcNoVariables",
       {kIn, {"e.qmx", "1 0 3 0\r\n"}},
       "*POOLVC O=e.qmx V=o.qmx\r\n" + kNext,
       "line 1 (*POOLVC O=e.qmx V=o.qmx): Input matrix is empty: 0 rows by 3 columns\n",
       {"o.qmx"}},
      {"CanplsNoVariables",
       {kIn, {"e.qmx", "3 0 0 0\r\n"}},
       "*CANPLS O=e.qmx S=1 L=o.qmx\r\n" + kNext,
       "line 1 (*CANPLS O=e.qmx S=1 L=o.qmx): Input matrix is empty: 0 rows by 0 columns\n",
       {"o.qmx"}},
      {"TransfNothingToTransform",
       {kIn, {"e.qmx", "1 0 3 0\r\n"}},
       "*TRANSF O=e.qmx T=LN R=o.qmx\r\n" + kNext,
       "line 1 (*TRANSF O=e.qmx T=LN R=o.qmx): Input matrix is empty: 0 rows by 3 columns\n",
       {"o.qmx"}},
      {"TransfCodesOnlySeparators",
       {kIn},
       "*TRANSF O=in.qmx T=+++ R=o.qmx\r\n" + kNext,
       "line 1 (*TRANSF O=in.qmx T=+++ R=o.qmx): Transformation codes are required\n",
       {"o.qmx"}},
      {"MdscaleAsManyDimensionsAsPoints",
       {kIn, dis},
       "*MDSCALE O=dis.qmx N=5 R=o.qmx DH=o.dh\r\n" + kNext,
       "line 1 (*MDSCALE O=dis.qmx N=5 R=o.qmx DH=o.dh): Number of dimensions (5) must be less than the number of "
       "points (5)\n",
       {"o.qmx", "o.dh"}},
      {"SahnNegativeTolerance",
       {kIn, dis},
       "*SAHN O=dis.qmx TOL=-1 R=o.tre\r\n" + kNext,
       "line 1 (*SAHN O=dis.qmx TOL=-1 R=o.tre): Tie tolerance must not be negative\n",
       {"o.tre"}},
      // Nothing has run yet: no batch line is named.
      {.name = "TenthBatchParameter",
       .files = {kIn},
       .batch = "*STAND O=%1 R=o.qmx\r\n" + kNext,
       .message = "Too many batch parameters (10): at most 9 can be given\n",
       .outputs = {"o.qmx"},
       .parameters = "in.qmx 2 3 4 5 6 7 8 9 10"},
      {.name = "LabelOfAThousandCharacters",
       .files = {{"w.qmx", "1 2B 2 0\r\n" + std::string(1000, 'L') + " 1 2\r\nPan 3 5\r\n"}},
       .batch = "*SIMINT O=w.qmx R=o.dis\r\n*OUTPUT O=o.dis\r\n",
       .message = "",
       .outputs = {"o.dis"},
       .completes = true},
      // Saved plots follow the rule of output files: an existing file is
      // replaced only with permission (a picture is never appended to), a
      // link in its place is replaced but never followed, and the pages of a
      // command appear together or not at all.
      {.name = "PlotFileExistsWithoutOverwrite",
       .files = {kIn, kTwoTrees, kOldPicture, kElsewhere},
       .batch = "*TREE O=t2.qmx\r\n" + kNext,
       .message = "line 1 (*TREE O=t2.qmx): Output file exists: pics/Tree-1-1.png\nRun qmbrun with --overwrite to "
                  "write over it, or set OW=O (overwrite) or OW=A (append) with *CONFIG in the batch.\n",
       .outputs = {"pics/Tree-1-1.png", "pics/Tree-1-2.png"},
       .graphics = true,
       .options = "--plots pics --plot-format png",
       .links = {kPictureLink}},
      {.name = "PlotFileExistsUnderConfigRefusing",
       .files = {kIn, kTwoTrees, {"pics/Tree-2-1.png", kOldPicture.second}, kElsewhere},
       .batch = "*CONFIG OW=F\r\n*TREE O=t2.qmx\r\n" + kNext,
       .message = "line 2 (*TREE O=t2.qmx): Output file exists and was not written: pics/Tree-2-1.png\n",
       .outputs = {"pics/Tree-2-1.png", "pics/Tree-2-2.png"},
       .graphics = true,
       .options = "--overwrite --plots pics --plot-format png",
       .links = {{"pics/Tree-2-2.png", "../elsewhere.png"}}},
      {.name = "PlotLinkUnderConfigAppending",
       .files = {kIn, kTwoTrees, kElsewhere},
       .batch = "*CONFIG OW=A\r\n*TREE O=t2.qmx\r\n" + kNext,
       .message = "line 2 (*TREE O=t2.qmx): Output file exists and was not written: pics/Tree-2-2.png\n",
       .outputs = {"pics/Tree-2-1.png", "pics/Tree-2-2.png"},
       .graphics = true,
       .options = "--plots pics --plot-format png",
       .links = {{"pics/Tree-2-2.png", "../elsewhere.png"}}},
      {.name = "PlotFileAndLinkOverwritten",
       .files = {kIn, kTwoTrees, kOldPicture, kElsewhere},
       .batch = "*TREE O=t2.qmx\r\n" + kNext,
       .message = "",
       .outputs = {"pics/Tree-1-1.png", "pics/Tree-1-2.png"},
       .graphics = true,
       .completes = true,
       .options = "--overwrite --plots pics --plot-format png",
       .links = {kPictureLink}},
      // The third tree's first page finds the file system full: the pages of
      // the two trees before it are not left either.
      {.name = "PlotPageOnAFullFileSystem",
       .files = {kIn, {"t2.qmx", kTwoTrees.second + Fixture("treeplot/tree50.qmx")}},
       .batch = "*TREE O=t2.qmx\r\n" + kNext,
       .message = "line 1 (*TREE O=t2.qmx): Error writing file pics/Tree-1-3-p1.emf: File too large\n",
       .outputs = {"pics/Tree-1-1.emf", "pics/Tree-1-2.emf", "pics/Tree-1-3-p1.emf", "pics/Tree-1-3-p2.emf"},
       .graphics = true,
       .options = "--plots pics --plot-format emf",
       .fileSizeLimit = 6000},
      // An output that is an input, under whatever name, whatever the order in
      // which the module opens them; files the user may not write, and files
      // in folders the user may not write.
      {.name = "CvaScoresOverTheTestData",
       .files =
           [&] {
             auto files = cva;
             files.emplace_back("td.qmx", Fixture("cva/four-means.qmx"));
             return files;
           }(),
       .batch = "*CVA M=m4.qmx D=NO V=v4.qmx GS=s4.qmx CS=td.qmx TD=td.qmx\r\n" + kNext,
       .message =
           "line 1 (*CVA M=m4.qmx D=NO V=v4.qmx GS=s4.qmx CS=td.qmx TD=td.qmx): Output file for Output canonical "
           "scores is a file open for input: FOLDER/td.qmx" +
           sharing,
       .outputs = {"td.qmx"},
       .settings = "OverWrite=O"},
      {.name = "TpswtsWarpsOverTheReferenceThroughALink",
       .files = {kIn, {"lm.qmx", kIn.second}, {"ref.qmx", kIn.second}},
       .batch = "*CONFIG OW=O\r\n*TPSWTS O=lm.qmx REF=ref.qmx W=w.qmx PW=link.qmx\r\n" + kNext,
       .message =
           "line 2 (*TPSWTS O=lm.qmx REF=ref.qmx W=w.qmx PW=link.qmx): Output file for Principal warps matrix is "
           "a file open for input: FOLDER/link.qmx" +
           sharing,
       .outputs = {"w.qmx", "ref.qmx"},
       .prepare = [](const fs::path& folder) { fs::create_symlink("ref.qmx", folder / "link.qmx"); }},
      {.name = "StandAppendingToItsInput",
       .files = {kIn},
       .batch = "*CONFIG OW=A\r\n*STAND O=in.qmx R=./in.qmx\r\n" + kNext,
       .message =
           "line 2 (*STAND O=in.qmx R=./in.qmx): Output file for Output file is a file open for input: ./in.qmx" +
           sharing,
       .outputs = {"in.qmx"}},
      {.name = "OverwritingAReadOnlyFile",
       .files = {kIn, kOld},
       .batch = "*STAND O=in.qmx R=old.qmx\r\n" + kNext,
       .message = "line 1 (*STAND O=in.qmx R=old.qmx): Cannot open output file for standardized data: FOLDER/old.qmx "
                  "(Permission denied)\n",
       .outputs = {"old.qmx"},
       .settings = "OverWrite=O",
       .prepare = MakeOldReadOnly,
       .unprivileged = true,
       .afterwards = OldStaysReadOnly},
      {.name = "AppendingToAReadOnlyFile",
       .files = {kIn, kOld},
       .batch = "*CONFIG OW=A\r\n*STAND O=in.qmx R=old.qmx\r\n" + kNext,
       .message = "line 2 (*STAND O=in.qmx R=old.qmx): Cannot append to output file for standardized data: "
                  "FOLDER/old.qmx (Permission denied)\n",
       .outputs = {"old.qmx"},
       .prepare = MakeOldReadOnly,
       .unprivileged = true,
       .afterwards = OldStaysReadOnly},
      {.name = "WritableFileInAFolderTheUserMayNotWrite",
       .files = {kIn},
       .batch = "*STAND O=in.qmx R=alone.qmx\r\n*STAND O=in.qmx R=shared/o.qmx\r\n*OUTPUT O=shared/o.qmx\r\n",
       .message = "",
       .outputs = {"shared/o.qmx"},
       .settings = "OverWrite=O",
       .completes = true,
       .prepare =
           [](const fs::path& folder) {
             fs::create_directory(folder / "shared");
             WriteFile(folder / "shared" / "o.qmx", kOld.second);
             testsupport::HandOver(folder / "shared");
             fs::permissions(folder / "shared" / "o.qmx", fs::perms(0640));
             fs::permissions(folder / "shared", fs::perms(0555));
           },
       .unprivileged = true,
       .afterwards =
           [](const fs::path& folder) {
             EXPECT_EQ(rtl::ReadWholeFile((folder / "shared" / "o.qmx").string()),
                       rtl::ReadWholeFile((folder / "alone.qmx").string()))
                 << "written as a new file is";
             ExpectOwnedAs(folder / "shared" / "o.qmx", 0640);
             EXPECT_EQ(qmbtest::FileNames(folder / "shared"), std::set<std::string>{"o.qmx"});
           }},
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

// The names of the run's folder and the folders in it that start with a dot:
// temporary files left behind.
std::vector<std::string> HiddenEntries(const fs::path& folder) {
  std::vector<std::string> hidden;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(".")) hidden.push_back(entry.path().string());
  }
  return hidden;
}

TEST(QmbrunFailures, EachEndsTheBatchAsItMustAndLeavesNoOutputThatLooksComplete) {
  for (const Case& c : Cases()) {
#ifndef MORVA_WITH_WINDOWS
    if (c.graphics) continue;
#endif
    const fs::path folder = qmbtest::FreshFolder(fs::path("tools") / "failures" / c.name);
    for (const auto& [name, contents] : c.files) {
      fs::create_directories((folder / name).parent_path());
      WriteFile(folder / name, contents);
    }
    for (const auto& [name, target] : c.links) {
      fs::create_directories((folder / name).parent_path());
      fs::create_symlink(target, folder / name);
    }
    WriteFile(folder / "run.qmb", c.batch);
    if (c.settings != nullptr) qmbtest::WriteSettings(folder, {"[Config]", c.settings});
    std::string asUser;
    if (c.unprivileged) {
      const std::optional<std::string> command = testsupport::UnprivilegedCommand();
      if (!command) {
        std::cout << "[ SKIPPED  ] " << c.name << ": running as root without setpriv to run as another user\n";
        continue;
      }
      asUser = *command;
      testsupport::HandOver(folder);
    }
    if (c.prepare) c.prepare(folder);

    const auto run = [&] { return qmbtest::Run(folder, c.options + " run.qmb " + c.parameters, asUser); };
    qmbtest::Outcome outcome{};
    if (c.fileSizeLimit > 0) {
      const testsupport::FileSizeLimit full(c.fileSizeLimit);
      outcome = run();
    } else {
      outcome = run();
    }
    // Folders the user may not write are the user's again, to be cleared.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
      if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    if (c.afterwards) c.afterwards(folder);
    EXPECT_EQ(outcome.err, Replaced(c.message, "FOLDER/", folder.string() + "/")) << c.name;
    EXPECT_EQ(HiddenEntries(folder), std::vector<std::string>{}) << c.name;
    const auto before = [&](const std::string& name) {
      return std::find_if(c.files.begin(), c.files.end(), [&](const auto& f) { return f.first == name; });
    };
    const auto link = [&](const std::string& name) {
      return std::find_if(c.links.begin(), c.links.end(), [&](const auto& l) { return l.first == name; });
    };
    // Whatever the run did, a file it was not to write keeps its contents.
    for (const auto& [name, contents] : c.files) {
      if (std::find(c.outputs.begin(), c.outputs.end(), name) == c.outputs.end()) {
        EXPECT_EQ(rtl::ReadWholeFile((folder / name).string()), contents) << c.name << ": " << name;
      }
    }
    if (!c.listingEnd.empty()) {
      EXPECT_TRUE(outcome.raw.ends_with(Replaced(c.listingEnd, "FOLDER/", folder.string() + "/")))
          << c.name << ":\n" << outcome.raw;
    }
    if (c.completes) {
      EXPECT_EQ(outcome.status, 0) << c.name;
      EXPECT_NE(outcome.out.find("Output: Morvapc"), std::string::npos) << c.name << ": the outputs were not read";
      for (const std::string& output : c.outputs) {
        EXPECT_TRUE(fs::exists(folder / output)) << c.name << ": " << output;
        EXPECT_FALSE(fs::is_symlink(folder / output)) << c.name << ": " << output << " was followed";
        if (before(output) != c.files.end()) {
          EXPECT_NE(rtl::ReadWholeFile((folder / output).string()), before(output)->second)
              << c.name << ": " << output << " was not written";
        }
      }
      continue;
    }
    EXPECT_EQ(outcome.status, 1) << c.name;
    EXPECT_EQ(outcome.out.find("Output: Morvapc"), std::string::npos) << c.name << ": the next command ran";
    for (const std::string& output : c.outputs) {
      if (link(output) != c.links.end()) {
        EXPECT_TRUE(fs::is_symlink(folder / output)) << c.name << ": " << output;
        EXPECT_EQ(fs::read_symlink(folder / output), link(output)->second) << c.name << ": " << output;
      } else if (before(output) != c.files.end()) {
        EXPECT_EQ(rtl::ReadWholeFile((folder / output).string()), before(output)->second) << c.name << ": " << output;
      } else {
        EXPECT_FALSE(fs::exists(folder / output)) << c.name << ": " << output;
      }
    }
  }
}

// Two batches appending their results to one file at once (OW=A), ten times
// over: both end well and the file holds what it held, then each result
// whole, one after the other.
TEST(QmbrunFailures, TwoBatchesAppendingToOneFileAtOnceKeepBothResults) {
  const fs::path root = qmbtest::FreshFolder(fs::path("tools") / "failures" / "TwoBatchesAppendingAtOnce");
  const fs::path results = root / "results.qmx";
  const std::vector<std::string> inputs = {kIn.second, "1 2 2 0\r\n1 9\r\n4 2\r\n"};
  std::vector<fs::path> folders;
  std::vector<std::string> alone;  // each batch's result, written to a new file
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    folders.push_back(root / ("batch" + std::to_string(i + 1)));
    fs::create_directory(folders.back());
    WriteFile(folders.back() / "in.qmx", inputs[i]);
    WriteFile(folders.back() / "run.qmb", "*CONFIG OW=A\r\n*STAND O=in.qmx R=../results.qmx\r\n");
    fs::remove(results);
    ASSERT_EQ(qmbtest::Run(folders.back(), "run.qmb").status, 0);
    alone.push_back(rtl::ReadWholeFile(results.string()));
  }
  ASSERT_NE(alone[0], alone[1]);
  for (int round = 0; round < 10; ++round) {
    WriteFile(results, kOld.second);
    std::vector<int> status(folders.size(), -1);
    std::vector<std::thread> runs;
    for (std::size_t i = 0; i < folders.size(); ++i) {
      runs.emplace_back([&, i] { status[i] = qmbtest::Run(folders[i], "run.qmb").status; });
    }
    for (std::thread& run : runs) run.join();
    EXPECT_EQ(status, (std::vector<int>{0, 0})) << "round " << round;
    const std::string now = rtl::ReadWholeFile(results.string());
    EXPECT_TRUE(now == kOld.second + alone[0] + alone[1] || now == kOld.second + alone[1] + alone[0])
        << "round " << round << ":\n"
        << now;
  }
}

}  // namespace
