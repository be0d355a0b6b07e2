#include "modules/clustering/sahn.h"

#include <array>
#include <string>
#include <string_view>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixuLevels.h"
#include "modules/clustering/keptTrees.h"
#include "modules/clustering/sahnClustering.h"
#include "modules/clustering/sahnTiedTrees.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TSahnParam { spInput, spOutput, spMethod, spTies, spMaxTrees, spTolerance, spBeta, spCount };

// The tie choice's items: what to do in case of ties.
struct TSahnTieFacts {
  std::string_view name;
  bool find;  // search for every tied tree (with a maximum of 2 or more)
};
constexpr std::array<TSahnTieFacts, 2> kTieChoices = {{{"FIND", true}, {"WARN", false}}};

// Every run lists the levels of its trees as a text dendrogram.
constexpr bool kListLevels = true;

const std::array<TParamRec, spCount> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    OutFileParam("R", "Output tree file", "Name of output tree file"),
    ChoiceParam("CM", "Clustering method", "Clustering method", ChoiceItems(kSahnMethods), 3),  // UPGMA
    ChoiceParam("TM", "In case of ties", "In case of ties", ChoiceItems(kTieChoices), 1),       // WARN
    IntegerParam("NT", "Maximum no. tied trees", "Maximum no. tied trees", 25, "1", "9999", "####"),
    RealParam("TOL", "Tie tolerance", "Tie tolerance", 0.0, "-1e5", "1e5", "##.########"),
    RealParam("B", "Beta", "Value of beta", 0.0, "-1e5", "1e5", "##.########"),
};

const std::array<TbuttonsRec, 1> kButtons = {{{"Plot tree", "Tree", SahnPlotTree}}};

// The trees of the last run and their plot.
TKeptTrees& Kept() {
  static TKeptTrees kept("SAHNTreeF");
  return kept;
}

// The working values of one run.
struct TSahnRunValues {
  std::string input;
  std::string output;
  std::string methodKeyword;
  std::string tieKeyword;
  std::int32_t maxTrees = 25;
  TSahnOptions options;

  bool findTies = false;

  bool Flexi() const { return options.method == TSahnMethod::Flexi; }
  bool FindTies() const { return findTies && maxTrees >= 2; }
};

TSahnRunValues RunValues(std::span<const TParamRec> params) {
  if (params.size() != spCount) throw E_Morvapc_Internal("SAHN needs its seven parameters");
  TSahnRunValues values;
  values.input = params[spInput].fileName;
  values.output = params[spOutput].fileName;
  const TSahnMethodInfo& method = ChosenFacts(kSahnMethods, params[spMethod]);
  const TSahnTieFacts& ties = ChosenFacts(kTieChoices, params[spTies]);
  values.methodKeyword = method.name;
  values.tieKeyword = ties.name;
  values.findTies = ties.find;
  values.maxTrees = params[spMaxTrees].integer;
  values.options.method = method.method;
  values.options.tol = params[spTolerance].real;
  values.options.beta = params[spBeta].real;
  return values;
}

void ListRunValues(const TSahnRunValues& values) {
  ListInputParameters(values.input);
  ListOutputFile(values.output, "Save result tree in output file: ");
  ListingWriteLine("Clustering method: " + values.methodKeyword);
  ListingWriteLine("In case of ties: " + values.tieKeyword);
  if (values.findTies) ListingWriteLine(rtl::Format("Max. no. tied trees: %10d", values.maxTrees));
  if (values.options.tol != 0.0) {
    ListingWriteLine(rtl::Format("Tie cut off: %" + Config().listingFormat, values.options.tol));
  }
  if (values.Flexi()) ListingWriteLine(rtl::Format("Beta: %10.5f", values.options.beta));
  ListingWriteLine("");
}

// One data set of the input: what its header says and what the run writes.
class TSahnDataSet {
 public:
  TSahnDataSet(const TSahnRunValues& values, rtl::TextReader& input, rtl::TextWriter* output)
      : values_(values), input_(input), output_(output) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtDissimilarity, mtSimilarity});
    CheckInput();
    if (output_) WriteTitle(comments.get());
    if (values_.Flexi()) {
      ListingWriteLine(
          rtl::Format("beta = %10.5f alpha = %10.5f", values_.options.beta, (1.0 - values_.options.beta) * 0.5));
    }
    if (output_) {
      GuardMatrixWrite([&] {
        WriteMatrixHeader(*output_, TreeType(), n(), 2, 0, 0, Config().fileFormat, header_.rowLabelCode, lcNone);
      });
    }
    ReadLabelBlock();
    if (SahnMethodInfo(values_.options.method).centroid) {
      ListingWriteLine("Reversals in level are possible (they will be truncated)");
    }
    Sym_mx d(header_.type, n());
    Read(d, input_);
    if (Similarity()) d.Scale(-1.0);
    ListOutputFile(output_ ? values_.output : std::string(), "Results will be stored in file: ");
    if (values_.FindTies()) {
      FindTiedTrees(d);
    } else {
      ClusterWithTieCheck(d);
    }
  }

 private:
  std::int32_t n() const { return header_.rows; }
  bool Similarity() const { return header_.type == mtSimilarity; }
  int TreeType() const { return Similarity() ? mtTreeSimilarity : mtTreeDissimilarity; }
  double Sign() const { return Similarity() ? -1.0 : 1.0; }

  void CheckInput() const {
    if (header_.missingCode != 0) throw E_Morvapc("This program cannot handle Missing values");
    const TSahnMethod method = values_.options.method;
    if (method == TSahnMethod::Wpgms && !Similarity()) throw E_Morvapc("WPGMS not defined for dissimilarity");
    if (method == TSahnMethod::Wpgmc && Similarity()) throw E_Morvapc("WPGMC not defined for similarity");
    // The centroid update takes squares and a root, so it cannot give the
    // negative working values of similarities.
    if (method == TSahnMethod::Upgmc && Similarity()) throw E_Morvapc("UPGMC not defined for similarity");
    if (n() < 1) throw E_Morvapc("There are no OTUs to cluster.");
  }

  void WriteTitle(const rtl::StringList* comments) {
    std::string title =
        "\" SAHN: input=" + values_.input + ", method=" + values_.methodKeyword + ", tie=" + values_.tieKeyword;
    if (values_.Flexi()) title += ", beta= " + rtl::Format("%10.5f", values_.options.beta);
    GuardMatrixWrite([&] {
      WriteMatrixComments(*output_, comments);
      output_->WriteLine(title);
    });
  }

  void ReadLabelBlock() {
    if (header_.rowLabelCode != lcBlock) return;
    labels_ = std::make_shared<Label_mx>(n());
    ReadLabels(*labels_, input_);
    WriteLabelBlock();
  }
  void WriteLabelBlock() {
    if (output_ && labels_) GuardMatrixWrite([&] { WriteLabels(*labels_, *output_); });
  }

  // The header line of a solution tree after the first.
  std::string SolutionHeader() const {
    return (Similarity() ? "6 " : "5 ") + std::to_string(n()) + (labels_ ? "L 2 0 0" : " 2 0 0");
  }

  void ClusterWithTieCheck(Sym_mx& d) {
    bool tie = false;
    const TSahnDendrogram dendrogram = SahnClusterWithTieCheck(d, values_.options, tie);
    if (tie) ListingWriteLine("** Warning - at least one tie found that can influence clustering **");
    const Tree_mx& tree = Kept().Keep(TreeType(), dendrogram, Sign(), 0.0, labels_.get());
    if (output_) GuardMatrixWrite([&] { Write(tree, *output_, Config().fileFormat); });
    ListTreeLevels(tree);
    if (tie) {
      ShowWarningMessage("At least one tie found that could change clustering.  You may wish to use the FIND option.");
    }
  }

  void FindTiedTrees(const Sym_mx& d) {
    ListingWriteLine("Searching for all tied trees");
    std::int32_t count = 0;
    const bool truncated =
        SahnFindTiedTrees(d, values_.options, values_.maxTrees, [&](std::int32_t number, const TSahnDendrogram& tree) {
          SolutionTree(number, tree);
          count = number;
        });
    if (truncated) {
      ListingWriteLine("");
      ListingWriteLine(rtl::Format("Warning: search for tied trees truncated at %d trees.", values_.maxTrees));
    }
    if (count == 1) {
      ListingWriteLine("A single tree was found");
    } else {
      ListingWriteLine(rtl::Format("A total of %d tied trees were found", count));
      ListingWriteLine("(note: some trees may be duplicates)");
    }
    // Said beyond the listing too, as NJOIN says it: more trees may exist
    // than were written.
    if (truncated) {
      ShowWarningMessage("Search for tied trees aborted at limit of " + std::to_string(values_.maxTrees) + " trees");
    }
  }

  void SolutionTree(std::int32_t number, TSahnDendrogram dendrogram) {
    if (number > 1 && output_) {
      GuardMatrixWrite([&] {
        output_->WriteLine("\" Solution tree number " + std::to_string(number));
        output_->WriteLine(SolutionHeader());
      });
      WriteLabelBlock();
    }
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("Solution tree number %d", number));
    SahnSortTreeNodes(dendrogram);
    const Tree_mx& tree = Kept().Keep(TreeType(), dendrogram, Sign(), 0.0, labels_.get());
    if (output_) GuardMatrixWrite([&] { WriteSolutionBody(tree); });
    ListTreeLevels(tree);
  }

  void WriteSolutionBody(const Tree_mx& tree) {
    const std::string pattern = "%5d %" + Config().fileFormat;
    for (std::int32_t k = 1; k < tree.n(); ++k)
      output_->WriteLine(rtl::Format(pattern, tree.GetPointer(k), tree.GetValue(k)));
    output_->WriteLine(rtl::Format("%5d", tree.GetPointer(tree.n())) + "  ----- ");
  }

  void ListTreeLevels(const Tree_mx& tree) const {
    if (!kListLevels) return;
    ListingWriteLine("");
    ListLevels(n(), tree, *tree.Labels);
    ListingWriteLine("");
  }

  const TSahnRunValues& values_;
  rtl::TextReader& input_;
  rtl::TextWriter* output_;
  TMatrixHeader header_;
  std::shared_ptr<Label_mx> labels_;
};

}  // namespace

void SahnDescribe(TModuleRec& module) {
  DescribeAs(module, "SAHN", "SAHN clustering", 516, SahnRun, kParams, kButtons, SahnRelease);
}

void SahnRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Reset();
  const TSahnRunValues values = RunValues(params);
  ListRunValues(values);
  // Values tie when they differ by at most the tolerance: below 0 not even
  // equal values would.
  if (values.options.tol < 0.0) throw E_Morvapc("Tie tolerance must not be negative");

  TRunFiles files{.input = values.input, .output = values.output};
  if (!files.Open("tree")) return;
  ForEachDataSet(*files.in, [&] { TSahnDataSet(values, *files.in, files.out.get()).Run(); });
  files.Finish({1});
}

void SahnPlotTree() { Kept().Plot(); }

void SahnCloseTree() { Kept().ClosePlot(); }

void SahnRelease() { Kept().Release(); }

std::shared_ptr<const TTreeMxList> SahnResults() { return Kept().Results(); }
