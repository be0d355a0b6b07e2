#include "modules/clustering/consens.h"

#include <array>
#include <string>
#include <string_view>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixuLevels.h"
#include "modules/clustering/consensTree.h"
#include "modules/clustering/keptTrees.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TConsensParam { cpInput1, cpInput2, cpMethod, cpOutput, cpS, cpShowSets, cpShowTree, cpCount };

enum class TConsensMethod { Majority, Stinebrickner, Strict };

// The method choice's items.
struct TConsensMethodFacts {
  std::string_view name;
  TConsensMethod method;
  bool usesS;  // the proportion S takes part (and is listed)
};
constexpr std::array<TConsensMethodFacts, 3> kMethods = {{
    {"MAJRUL", TConsensMethod::Majority, true},
    {"STINEB", TConsensMethod::Stinebrickner, true},
    {"STRICT", TConsensMethod::Strict, false},
}};

const std::array<TParamRec, cpCount> kParams = {
    InFileParam("O1", "Input tree1 file", "Name of input tree1 file", prRequired),
    InFileParam("O2", "Input tree2 file", "Name of input tree2 file"),
    ChoiceParam("M", "Consesus method", "Consnsus method", ChoiceItems(kMethods), 2),  // STRICT
    OutFileParam("R", "Output tree file", "Name of output tree file"),
    RealParam("S", "S", "S", 0.5, "0.5", "1.0", "#.#####"),
    CheckParam("SS", "Show sets?", "Check if show sets", true),
    CheckParam("ST", "Show text tree?", "Check if show tree in listing", false),
};

const std::array<TbuttonsRec, 1> kButtons = {{{"Plot consensus tree", "Tree", ConsensPlotTree}}};

// The consensus trees of the last run and their plot.
TKeptTrees& Kept() {
  static TKeptTrees kept("ConsensTreeF");
  return kept;
}

// The working values of one run.
struct TConsensRunValues {
  std::string input1;
  std::string input2;
  std::string output;
  const TConsensMethodFacts* method = &kMethods[2];
  double s = 0.5;
  bool showSets = true;
  bool showTree = false;
};

TConsensRunValues RunValues(std::span<const TParamRec> params) {
  if (params.size() != cpCount) throw E_Morvapc_Internal("CONSENS needs its seven parameters");
  TConsensRunValues values;
  values.input1 = params[cpInput1].fileName;
  values.input2 = params[cpInput2].fileName;
  values.method = &ChosenFacts(kMethods, params[cpMethod]);
  values.output = params[cpOutput].fileName;
  values.s = params[cpS].real;
  values.showSets = params[cpShowSets].check;
  values.showTree = params[cpShowTree].check;
  return values;
}

void ListRunValues(const TConsensRunValues& values) {
  ListInputParameters(values.input1);
  ListOutputFile(values.input2, "Read input 2 from file: ");
  ListingWriteLine("Method: " + std::string(values.method->name));
  ListOutputFile(values.output);
  if (values.showSets) ListingWriteLine("Set membership will be displayed");
  if (values.showTree) ListingWriteLine("Consensus trees will be displayed");
  ListingWriteLine("");
}

struct TConsensFiles {
  rtl::TextReader& input1;
  rtl::TextReader* input2 = nullptr;
  rtl::TextWriter* output = nullptr;
};

// One data set: the trees read, their consensus and what the run writes.
class TConsensDataSet {
 public:
  TConsensDataSet(const TConsensRunValues& values, const TConsensFiles& files) : values_(values), files_(files) {}

  void Run() {
    ReadFirstTree();
    if (!files_.input2 && files_.input1.SeekEof()) {
      throw E_Morvapc("Only 1 tree in file: " + values_.input1 + " -- nothing to do");
    }
    if (files_.input2 && files_.input2->SeekEof()) {
      throw E_Morvapc("No tree in file: " + values_.input2 + " to match");
    }
    if (files_.input2) {
      ReadNextTree(*files_.input2);
    } else {
      while (!files_.input1.SeekEof()) ReadNextTree(files_.input1);
    }
    if (files_.output) WriteTitle();
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("No. trees= %d, Method = %s", Count(), std::string(values_.method->name)));
    if (values_.method->usesS) ListingWriteLine(rtl::Format(" s = %10.5f", values_.s));
    ListingWriteLine("");
    if (files_.output) WriteHeader();
    Compute();
  }

 private:
  std::int32_t n() const { return header_.rows; }
  std::int32_t Count() const { return static_cast<std::int32_t>(trees_.size()); }

  void ReadFirstTree() {
    ReadMatrixHeader(files_.input1, comments1_, header_, true, {mtTreeDissimilarity, mtTreeSimilarity});
    if (header_.missingCode != 0) throw E_Morvapc("No missing values are allowed");
    CheckMatrixSize(n(), kConsensMaxOtus);
    if (n() < 3) throw E_Morvapc("A consensus needs trees of at least 3 OTUs");
    labels_ = std::make_shared<Label_mx>(n());
    if (header_.rowLabelCode != lcBlock) labels_->SetDefaultLabels("OTU-");
    ReadTree(files_.input1, header_, labels_.get());
  }

  void ReadNextTree(rtl::TextReader& f) {
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("--- Reading tree: %d", Count() + 1));
    TMatrixHeader header;
    ReadMatrixHeader(f, &f == files_.input2 ? comments2_ : ignored_, header, true,
                     {mtTreeDissimilarity, mtTreeSimilarity});
    if (header.rows != n()) throw E_Morvapc("All trees must be the same size as the first tree");
    if (header.missingCode != 0) throw E_Morvapc("No missing values are allowed");
    ReadTree(f, header, nullptr);
  }

  void ReadTree(rtl::TextReader& f, const TMatrixHeader& header, Label_mx* labels) {
    trees_.push_back(std::make_unique<Tree_mx>(header.type, n()));
    ReadTreeMatrix(*trees_.back(), f, header, labels);
  }

  void WriteTitle() {
    std::string title = "\" Consensus: input1=" + values_.input1;
    title += files_.input2 ? " input2=" + values_.input2 : ", No. trees=" + std::to_string(Count());
    title += ", method=" + std::string(values_.method->name);
    GuardMatrixWrite([&] {
      WriteMatrixComments(*files_.output, comments1_.get());
      WriteMatrixComments(*files_.output, comments2_.get());
      files_.output->WriteLine(title);
      if (values_.method->usesS) files_.output->WriteLine("\"s =" + rtl::Format("%10.5f", values_.s));
    });
  }

  void WriteHeader() {
    GuardMatrixWrite([&] {
      WriteMatrixHeader(*files_.output, mtTreeDissimilarity, n(), 2, header_.missingCode, header_.missingValue,
                        Config().fileFormat, header_.rowLabelCode == lcBlock ? lcBlock : lcNone, lcBlock);
      if (header_.rowLabelCode == lcBlock) WriteLabels(*labels_, *files_.output);
      files_.output->WriteLine("Pointer Level");
    });
  }

  void Compute() {
    SetInitSize(n());
    Progress("Converting trees into sets", 20);
    std::vector<TSetStack2> sets;
    sets.reserve(trees_.size());
    for (const auto& tree : trees_) sets.push_back(ConsensTreeToSets(*tree));
    const std::int32_t count = Count();
    trees_.clear();

    Progress("Computing consensus", 30);
    double ciS = 0;
    const TConsensMethod method = values_.method->method;
    const TSetStack2 consensus =
        method == TConsensMethod::Stinebrickner
            ? ConsensStinebrickner(sets, values_.showSets, values_.s, ciS)
            : ConsensCountSets(sets, values_.showSets, method == TConsensMethod::Strict ? 1.0 : values_.s);

    Progress("Converting consensus sets into a tree", 90);
    const Tree_mx& tree = Kept().Keep(mtTreeDissimilarity, ConsensSetsToTree(consensus), 1.0, -1.0, labels_.get());
    if (files_.output) {
      GuardMatrixWrite([&] { Write(tree, *files_.output, Config().fileFormat); });
      ListingWriteLine("");
      ListingWriteLine("Consensus tree stored in file " + values_.output);
    }
    if (values_.showTree) ListLevels(n(), tree, *tree.Labels);
    ListIndices(consensus, count, ciS);
  }

  void ListIndices(const TSetStack2& consensus, std::int32_t count, double ciS) const {
    const TConsensIndices indices = ConsensIndices(consensus);
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("Consensus indices for %d trees:", count));
    if (values_.method->method == TConsensMethod::Stinebrickner)
      ListingWriteLine(rtl::Format("  CI_s   = %10.5f", ciS));
    ListingWriteLine(rtl::Format("  CI_c   = %10.5f", indices.ciC));
    ListingWriteLine(rtl::Format("  CI_m   = %10.5f", indices.ciM));
    ListingWriteLine(rtl::Format("  N sets = %5d", indices.nSets));
    ListingWriteLine(rtl::Format("  CI_sf  = %5d", indices.ciSf));
  }

  const TConsensRunValues& values_;
  TConsensFiles files_;
  TMatrixHeader header_;
  std::unique_ptr<rtl::StringList> comments1_;
  std::unique_ptr<rtl::StringList> comments2_;
  std::unique_ptr<rtl::StringList> ignored_;
  std::shared_ptr<Label_mx> labels_;
  std::vector<std::unique_ptr<Tree_mx>> trees_;
};

}  // namespace

void ConsensDescribe(TModuleRec& module) {
  DescribeAs(module, "consens", "Consensus", 502, ConsensRun, kParams, kButtons, ConsensRelease);
}

void ConsensRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Reset();
  const TConsensRunValues values = RunValues(params);
  ListRunValues(values);

  TRunFiles files{.input = values.input1, .output = values.output};
  if (!OpenInputMatrixFile(files.in, values.input1, "input1")) return;
  TInputMatrixFile input2;
  if (!values.input2.empty() && !OpenInputMatrixFile(input2, values.input2, "input2")) return;
  if (!files.OpenOutput("consensus")) return;
  const TConsensFiles open{*files.in, input2.get(), files.out.get()};
  ForEachDataSet(*files.in, [&] { TConsensDataSet(values, open).Run(); });
  files.Finish({1});
}

void ConsensPlotTree() { Kept().Plot(); }

void ConsensCloseTree() { Kept().ClosePlot(); }

void ConsensRelease() { Kept().Release(); }

std::shared_ptr<const TTreeMxList> ConsensResults() { return Kept().Results(); }
