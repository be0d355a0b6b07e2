#include "modules/clustering/njoin.h"

#include <array>
#include <string>
#include <string_view>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/clustering/keptTrees.h"
#include "modules/clustering/njoinTree.h"
#include "modules/clustering/treeNodes.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TNjoinParam { npInput, npTree, npGraph, npTies, npMaxTrees, npTolerance, npRooting, npOutgroup, npCount };

// The choices' items: what to do in case of ties, and where to root.
struct TNjoinTieFacts {
  std::string_view name;
  bool find;  // follow every tie (with room for 2 trees or more; else every tie truncates)
};
constexpr std::array<TNjoinTieFacts, 2> kTieChoices = {{{"FIND", true}, {"WARN", false}}};

struct TNjoinRootFacts {
  std::string_view name;
  bool midpoint;  // at the middle of the longest path; else on the outgroup
};
constexpr std::array<TNjoinRootFacts, 2> kRootChoices = {{{"MIDPOINT", true}, {"OUTGROUP", false}}};

// The most children one node of a tree may have when its children are sorted.
constexpr std::int32_t kMaxChildren = 50;

const std::array<TParamRec, npCount> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    OutFileParam("R1", "Output tree file", "Name of output tree file"),
    OutFileParam("R2", "Output graph file", "Name of output graph file"),
    ChoiceParam("TM", "In case of ties", "In case of ties", ChoiceItems(kTieChoices), 1),  // WARN
    IntegerParam("NT", "Maximum no. tied trees", "Maximum number of tied trees", 25, "1", "9999", "####"),
    RealParam("TOL", "Tie tolerance", "Tie tolerance", 0.0, "-1e5", "1e5", "##.########"),
    ChoiceParam("RM", "Rooting method", "Rooting method", ChoiceItems(kRootChoices), 0),  // MIDPOINT
    TextParam("OUT", "Outgroup OTUs", "Outgroup OTUs", "          "),
};

const std::array<TbuttonsRec, 1> kButtons = {{{"Plot tree", "Tree", NjoinPlotTree}}};

// The trees of the last run and their plot.
TKeptTrees& Kept() {
  static TKeptTrees kept("NJoinTreeF");
  return kept;
}

// The working values of one run.
struct TNjoinRunValues {
  std::string input;
  std::string treeFile;
  std::string graphFile;
  std::string tieKeyword;
  std::string rootKeyword;
  bool find = false;
  bool midpoint = true;
  std::int32_t maxTrees = 25;
  double tol = 0;
  std::string outgroupText;
};

TNjoinRunValues RunValues(std::span<const TParamRec> params) {
  if (params.size() != npCount) throw E_Morvapc_Internal("NJOIN needs its eight parameters");
  const TNjoinTieFacts& ties = ChosenFacts(kTieChoices, params[npTies]);
  const TNjoinRootFacts& root = ChosenFacts(kRootChoices, params[npRooting]);
  TNjoinRunValues values;
  values.input = params[npInput].fileName;
  values.treeFile = params[npTree].fileName;
  values.graphFile = params[npGraph].fileName;
  values.tieKeyword = ties.name;
  values.find = ties.find;
  values.rootKeyword = root.name;
  values.midpoint = root.midpoint;
  values.maxTrees = params[npMaxTrees].integer;
  values.tol = params[npTolerance].real;
  values.outgroupText = params[npOutgroup].text;
  return values;
}

void ListRunValues(const TNjoinRunValues& values) {
  ListInputParameters(values.input);
  ListOutputFile(values.treeFile, "Save tree in output file: ");
  ListOutputFile(values.graphFile, "Save graph (network) in output file: ");
  ListingWriteLine("Tie method: " + values.tieKeyword);
  ListingWriteLine(rtl::Format("Maximum number of ties: %d", values.maxTrees));
  if (values.tol != 0.0) ListingWriteLine(rtl::Format("Tie threshold: %10.5f", values.tol));
  ListingWriteLine("Rooting method: " + values.rootKeyword);
  if (!values.outgroupText.empty()) ListingWriteLine("Outgroup OTUs: " + values.outgroupText);
  ListingWriteLine("");
}

// The open outputs of a run.
struct TNjoinOutputs {
  rtl::TextWriter* tree = nullptr;
  rtl::TextWriter* graph = nullptr;
};

// One data set of the input: what its header says and what the run writes.
class TNjoinDataSet {
 public:
  TNjoinDataSet(const TNjoinRunValues& values, rtl::TextReader& input, const TNjoinOutputs& outputs)
      : values_(values), input_(input), out_(outputs) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtDissimilarity, mtSimilarity});
    if (header_.missingCode != 0) throw E_Morvapc("This program cannot handle missing values");
    NjoinCheckSize(n());
    ChooseRoot();
    WriteTitles(comments.get());
    ListingWriteLine("Rooting method: " + values_.rootKeyword);
    if (outgroup_.empty()) ListingWriteLine("");
    WriteHeaders();
    ReadLabelBlock();
    ListOutputFile(out_.tree ? values_.treeFile : std::string(), "Tree matrix will be stored in file: ");
    ListOutputFile(out_.graph ? values_.graphFile : std::string(), "Graph matrix will be stored in file: ");
    ListingWriteLine(Warn() ? "Will just warn if tied trees are found" : "Searching for all tied trees");
    if (n() > 100) ListingWriteLine(" Note: this run may take a while");
    if (n() > 150) ListingWriteLine(" -- actually, quite a while!");
    Sym_mx d(header_.type, n());
    Read(d, input_);
    if (Similarity()) d.Scale(-1.0);
    FindTrees(d);
  }

 private:
  std::int32_t n() const { return header_.rows; }
  bool Similarity() const { return header_.type == mtSimilarity; }
  bool Warn() const { return !values_.find || values_.maxTrees < 2; }

  void ChooseRoot() {
    if (values_.midpoint) return;
    outgroup_ =
        values_.outgroupText.empty() ? std::vector<std::int32_t>{1} : NjoinParseOutgroup(values_.outgroupText, n());
    // Blanks only, as the parameter's default holds: no OTU to root on.
    if (outgroup_.empty()) throw E_Morvapc("No outgroup OTUs were given for rooting method OUTGROUP.");
  }

  void WriteTitles(const rtl::StringList* comments) {
    std::string title =
        "\" NJOIN: input=" + values_.input + ", tie=" + values_.tieKeyword + ", root=" + values_.rootKeyword;
    if (!outgroup_.empty()) {
      title += " (";
      for (std::int32_t otu : outgroup_) title += " " + std::to_string(otu);
      title += ")";
    }
    for (rtl::TextWriter* out : {out_.tree, out_.graph}) {
      if (!out) continue;
      GuardMatrixWrite([&] {
        WriteMatrixComments(*out, comments);
        out->WriteLine(title);
      });
    }
  }

  int GraphType() const { return Similarity() ? mtGraphSimilarity : mtGraphDissimilarity; }
  std::int32_t Edges() const { return 2 * n() - 3; }

  void WriteHeaders() {
    const std::string& format = Config().fileFormat;
    if (out_.tree) {
      GuardMatrixWrite([&] {
        WriteMatrixHeader(*out_.tree, mtTreeDissimilarity, n(), 2, 0, 0, format, header_.rowLabelCode, lcNone);
      });
    }
    if (out_.graph) {
      GuardMatrixWrite([&] {
        WriteMatrixHeader(*out_.graph, GraphType(), n(), Edges(), 0, 0, format, header_.rowLabelCode, lcNone);
      });
    }
  }

  // The header lines of the solution trees after the first.
  std::string TreeHeaderText() const { return "5 " + std::to_string(n()) + (labels_ ? "L 2 0 0" : " 2 0 0"); }
  std::string GraphHeaderText() const {
    return (Similarity() ? "8 " : "7 ") + std::to_string(n()) + (labels_ ? "L " : " ") + std::to_string(Edges()) +
           " 0 0";
  }

  void ReadLabelBlock() {
    if (header_.rowLabelCode != lcBlock) return;
    labels_ = std::make_shared<Label_mx>(n());
    ReadLabels(*labels_, input_);
    for (rtl::TextWriter* out : {out_.tree, out_.graph}) WriteLabelBlock(out);
  }
  void WriteLabelBlock(rtl::TextWriter* out) const {
    if (out && labels_) GuardMatrixWrite([&] { WriteLabels(*labels_, *out); });
  }

  void FindTrees(const Sym_mx& d) {
    const TNjoinOptions options{values_.tol, values_.maxTrees, values_.find};
    const TNjoinSearch search = NjoinFindTiedTrees(
        d, options,
        [&](std::int32_t number, TNjoinBranches& branches, bool more) { SolutionTree(number, branches, more); });
    if (values_.find && search.truncated) {
      ListingWriteLine(rtl::Format("Warning: search for tied trees truncated at %d trees", values_.maxTrees));
      ShowWarningMessage("Search for tied trees aborted at limit of " + std::to_string(values_.maxTrees) + " trees");
    }
    if (!values_.find && search.tie) {
      ListingWriteLine("Warning: Ties found. More than one NJOIN tree is possible");
      ShowWarningMessage("At least one tied tree found. You may wish to rerun with FIND option");
    }
    if (values_.find) {
      ListingWriteLine(search.trees == 1 ? std::string("A single tree was found")
                                         : rtl::Format("A total of %d tied trees were found", search.trees));
    }
  }

  void SolutionTree(std::int32_t number, TNjoinBranches& branches, bool more) {
    if (number > 1 && out_.tree) {
      GuardMatrixWrite([&] {
        out_.tree->WriteLine("\" Solution tree number " + std::to_string(number));
        out_.tree->WriteLine(TreeHeaderText());
      });
      WriteLabelBlock(out_.tree);
    }
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("Solution tree number %d", number));
    TNjoinDendrogram dendrogram = NjoinRootedDendrogram(branches, n(), RootSet(branches));
    SortTreeNodes(dendrogram, kMaxChildren, " no reordering needed.");
    const Tree_mx& tree = Kept().Keep(mtTreeDissimilarity, dendrogram, 1.0, 0.0, labels_.get());
    if (out_.tree) GuardMatrixWrite([&] { Write(tree, *out_.tree, Config().fileFormat); });
    ListingWriteLine("Converting solution to graph format");
    WriteGraph(number, NjoinBranchGraph(branches, n(), Similarity() ? -1.0 : 1.0));
    if (more) ListingWriteLine("Working on next tree ...");
  }

  TLargeSet RootSet(const TNjoinBranches& branches) const {
    if (values_.midpoint) return NjoinRoot(branches, n()).set;
    TLargeSet outgroup;
    for (std::int32_t otu : outgroup_) SetInclude(otu, outgroup);
    if (!NjoinIsMonophyletic(branches, n(), outgroup)) {
      ListingWriteLine("Outgroup specified is not monophyletic.");
      throw E_Morvapc("Outgroup is not monophyletic.");
    }
    return outgroup;
  }

  void WriteGraph(std::int32_t number, const std::vector<TNjoinEdge>& edges) {
    long double length = 0.0L;
    for (const TNjoinEdge& e : edges) length += e.value;
    ListingWriteLine(rtl::Format("Length of graph = %" + Config().listingFormat, static_cast<double>(length)));
    if (Similarity()) ListingWriteLine("(Large values are desired since clustering similarity.)");
    if (!out_.graph) return;
    if (number > 1) {
      GuardMatrixWrite([&] { out_.graph->WriteLine(GraphHeaderText()); });
      WriteLabelBlock(out_.graph);
    }
    const std::string pattern = "%5d %5d %" + Config().fileFormat;
    GuardMatrixWrite([&] {
      for (const TNjoinEdge& e : edges) out_.graph->WriteLine(rtl::Format(pattern, e.from, e.to, e.value));
    });
  }

  const TNjoinRunValues& values_;
  rtl::TextReader& input_;
  TNjoinOutputs out_;
  TMatrixHeader header_;
  std::shared_ptr<Label_mx> labels_;
  std::vector<std::int32_t> outgroup_;
};

}  // namespace

void NjoinDescribe(TModuleRec& module) {
  DescribeAs(module, "Njoin", "Neighbor joining", 512, NjoinRun, kParams, kButtons, NjoinRelease);
}

void NjoinRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Reset();
  const TNjoinRunValues values = RunValues(params);
  ListRunValues(values);

  TRunFiles files{.input = values.input, .output = values.treeFile};
  if (!files.Open("tree")) return;
  TOutputMatrixFile graph;
  if (!values.graphFile.empty() && !OpenOutputMatrixFile(graph, values.graphFile, "graph")) return;
  const TNjoinOutputs outputs{files.out.get(), graph.get()};
  ForEachDataSet(*files.in, [&] { TNjoinDataSet(values, *files.in, outputs).Run(); });
  files.Finish({1});
  if (graph) CloseOutputMatrixFile(graph);
}

void NjoinPlotTree() { Kept().Plot(); }

void NjoinCloseTree() { Kept().ClosePlot(); }

void NjoinRelease() { Kept().Release(); }

std::shared_ptr<const TTreeMxList> NjoinResults() { return Kept().Results(); }
