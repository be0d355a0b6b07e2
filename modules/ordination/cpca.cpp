#include "modules/ordination/cpca.h"

#include <array>
#include <limits>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/cpcaFit.h"
#include "modules/ordination/ordinationRun.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TCpcaParam {
  cpData,
  cpByRows,
  cpCovariances,
  cpSizes,
  cpDimensions,
  cpVectors,
  cpLambdas,
  cpComponentCov,
  cpCount
};

const std::array<TParamRec, cpCount> kParams = {
    InFileParam("O", "Input file", "Name of input file"),
    CheckParam("D", "Variables are rows?", "Check if by rows", true),
    InFileParam("S", "Input covariance mxs.", "Name of input cov. mxs. file"),
    InFileParam("GS", "Group sizes", "Name of input group sizes file"),
    IntegerParam("N", "Number of dimensions", "Number of dimensions", 3, "1", "99", "##"),
    OutFileParam("B", "Output common PCs", "Name of common PCs file"),
    OutFileParam("LAM", "Output lambdas", "Name of lambda file"),
    OutFileParam("COV", "Output cov. of PCs", "Name of cov. of PCs file"),
};

const std::array<TbuttonsRec, 2> kButtons = {{
    {"2D plot of \ncommon PCs", "2DPlot", CpcaPlot2D},
    {"3D plot of \ncommon PCs", "3DPlot", CpcaPlot3D},
}};

TKeptMatrices& Kept() {
  static TKeptMatrices kept;
  return kept;
}

// The values and files of one run. The groups come as raw data (O) or as
// covariance matrices (S) with their sizes (GS).
struct TCpcaRun {
  std::string data, covariances, sizes;
  std::string vectors, lambdas, componentCov;
  bool byRows = true;
  std::int32_t dimensions = 3;

  TInputMatrixFile dataIn, covariancesIn, sizesIn;
  TOutputMatrixFile vectorsOut, lambdasOut, componentCovOut;

  bool RawData() const { return !data.empty(); }

  bool Open() {
    return OpenOptionalInput(dataIn, data, "Input data matrix") &&
           OpenOptionalInput(covariancesIn, covariances, "Covariance matrices") &&
           OpenOptionalInput(sizesIn, sizes, "Group sizes") && OpenOptionalOutput(vectorsOut, vectors, "Common PCs") &&
           OpenOptionalOutput(lambdasOut, lambdas, "Lambdas") &&
           OpenOptionalOutput(componentCovOut, componentCov, "Covariances");
  }

  // The outputs that are open, in the order that comments go to them.
  std::vector<rtl::TextWriter*> Outputs() const {
    std::vector<rtl::TextWriter*> open;
    for (const TOutputMatrixFile* f : {&vectorsOut, &componentCovOut, &lambdasOut})
      if (*f) open.push_back(f->get());
    return open;
  }
};

void TakeValues(TCpcaRun& run, std::span<const TParamRec> params) {
  if (params.size() != cpCount) throw E_Morvapc_Internal("CPCA needs its eight parameters");
  run.data = params[cpData].fileName;
  run.byRows = params[cpByRows].check;
  run.covariances = params[cpCovariances].fileName;
  run.sizes = params[cpSizes].fileName;
  run.dimensions = params[cpDimensions].integer;
  run.vectors = params[cpVectors].fileName;
  run.lambdas = params[cpLambdas].fileName;
  run.componentCov = params[cpComponentCov].fileName;
}

// The parameter listing, with the refusals of inputs that do not go together.
void ListRunValues(const TCpcaRun& run) {
  ListingWriteLine("Input parameters");
  if (run.RawData()) {
    ListingWriteLine("Variables are: " + std::string(DirectionWord(run.byRows)));
    ListingWriteLine("Input data matrices: " + run.data);
    if (!run.sizes.empty()) throw E_Morvapc("Do not provide samples sizes with raw data");
    if (!run.covariances.empty()) throw E_Morvapc("Do not provide covariance matrices with raw data");
  } else if (!run.covariances.empty()) {
    ListingWriteLine("Input covariance matrices: " + run.covariances);
    ListingWriteLine("Input group sample sizes matrix: " + run.sizes);
    if (run.sizes.empty()) throw E_Morvapc("Sample sizes are required if covariance matrices are used.");
  } else {
    throw E_Morvapc("Must provide either raw data or covariance matrices");
  }
  ListingWriteLine(rtl::Format("Number of dimensions: %d", run.dimensions));
  ListOutputFile(run.vectors, "Output common PCs matrix: ");
  ListOutputFile(run.lambdas, "Output lambdas matrix: ");
  ListOutputFile(run.componentCov, "Output covariance of common PCs matrix: ");
  ListingWriteLine("");
}

std::string SizeRefusal(double n, std::int32_t group, std::string_view comparison) {
  return "Sample size (" + rtl::IntToStr(static_cast<std::int64_t>(n)) + ") for group " + rtl::IntToStr(group) +
         " must be " + std::string(comparison) + " than the number of variables";
}

// Reads the groups, fits the model, lists its tests and writes the results.
class TCpcaDriver {
 public:
  explicit TCpcaDriver(TCpcaRun& run) : run_(run), outputs_(run.Outputs()) {}

  void Run() {
    if (run_.RawData()) {
      ReadDataMatrices();
    } else {
      ReadCovarianceMatrices();
      ReadSizes();
    }
    WriteTitles();
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("Number of groups = %d", g()));
    ListingWriteLine(rtl::Format("Total sample size = %d", totalSize_));
    if (g() < 2) throw E_Morvapc("Must have at least two groups");
    if (run_.dimensions > p()) {
      run_.dimensions = p();
      ListingWriteLine(rtl::Format("Number of dimensions reduced to %d", p()));
    }
    ListingWriteLine("");

    double pooledDet = 0;
    CpcaPooled(groups_, pooledDet);
    Rect_mx b(p(), p());
    Rect_mx lam(g(), p());
    CpcaFastAlgorithm(groups_, b, lam);
    CpcaTests(groups_, totalSize_, pooledDet, b);

    WriteComponents(b);
    Kept().Add(LabelledColumns(b, run_.dimensions, labels_, "Dim-"));
    WriteComponentCovariances();
    WriteLambdas(lam);
  }

 private:
  std::int32_t g() const { return groups_.g(); }
  std::int32_t p() const { return p_; }

  void CopyComments(const rtl::StringList* comments) {
    for (rtl::TextWriter* f : outputs_) GuardMatrixWrite([&] { WriteMatrixComments(*f, comments); });
  }

  void ReadDataMatrices() {
    rtl::TextReader& f = *run_.dataIn;
    for (std::int32_t k = 1; !f.SeekEof(); ++k) {
      std::unique_ptr<rtl::StringList> comments;
      TMatrixHeader header;
      ReadMatrixHeader(f, comments, header, true, {mtRectangular});
      if (header.missingCode != 0) throw E_Morvapc("No missing values allowed in data.");
      RefuseEmptyMatrix(header);
      CopyComments(comments.get());
      const std::int32_t p = run_.byRows ? header.rows : header.cols;
      const std::int32_t n = run_.byRows ? header.cols : header.rows;
      if (n <= p) throw E_Morvapc(SizeRefusal(n, k, "larger"));
      const int variableCode = run_.byRows ? header.rowLabelCode : header.colLabelCode;
      const int specimenCode = run_.byRows ? header.colLabelCode : header.rowLabelCode;
      if (k == 1) {
        StartVariables(p, variableCode != lcNone);
        ListingWriteLine(rtl::Format("Number of variables = %d", p));
      } else if (p != p_) {
        throw E_Morvapc("Numbers of variables not the same as in previous matrix");
      }
      ListingWriteLine(rtl::Format("Group: %d, n = %d", k, n));
      Rect_mx x(n, p);
      Read(x, f, !run_.byRows, {nullptr, specimenCode, false}, {labels_.get(), variableCode, k == 1});
      auto s = std::make_unique<Rect_mx>(p, p);
      CpcaCovariance(x, *s);
      AddGroup(std::move(s), n);
    }
  }

  void ReadCovarianceMatrices() {
    rtl::TextReader& f = *run_.covariancesIn;
    for (std::int32_t k = 1; !f.SeekEof(); ++k) {
      std::unique_ptr<rtl::StringList> comments;
      TMatrixHeader header;
      ReadMatrixHeader(f, comments, header, true, {mtSimilarity});
      const bool labelled = header.rowLabelCode == lcBlock;
      ListingWriteLine(rtl::Format("Group: %d", k));
      if (header.missingCode != 0) throw E_Morvapc("Sorry, no missing data allowed");
      RefuseEmptyMatrix(header);
      if (k == 1) {
        CopyComments(comments.get());
        StartVariables(header.rows, labelled);
        if (labelled) ReadLabels(*labels_, f);
      } else {
        if (header.rows != p_) throw E_Morvapc("Number of variables not the same as in previous matrix");
        if (labelled) SkipItems(f, p_);
      }
      auto s = std::make_unique<Rect_mx>(p_, p_);
      ReadRecords(*s, f);
      groups_.covariances.Add(std::move(s));
    }
  }

  // The sizes of the groups read from S: a 1 x g or g x 1 rectangular matrix
  // or a diagonal one of order g, each size above p.
  void ReadSizes() {
    rtl::TextReader& f = *run_.sizesIn;
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, true, {mtRectangular, mtDiagonal});
    if (header.missingCode != 0) throw E_Morvapc("No missing values allowed in sample size array");
    const std::string lengthRefusal = "Length of list of sample sizes does not match number of groups";
    std::vector<double> sizes;
    if (header.type == mtRectangular) {
      if (header.rows > 1 && header.cols != 1) throw E_Morvapc("List of sample sizes should be a 1xn or nx1 matrix");
      if ((header.rows == 1 ? header.cols : header.rows) != g()) throw E_Morvapc(lengthRefusal);
      Rect_mx m(header.rows, header.cols);
      Read(m, f, true, {nullptr, header.rowLabelCode, false}, {nullptr, header.colLabelCode, false});
      for (std::int32_t i = 1; i <= m.rows(); ++i)
        for (std::int32_t j = 1; j <= m.cols(); ++j) sizes.push_back(static_cast<double>(rtl::Trunc(m.getxij(i, j))));
    } else {
      if (header.rows != g()) throw E_Morvapc(lengthRefusal);
      if (header.rowLabelCode == lcBlock) SkipItems(f, header.cols);
      ivect_mx v(header.rows);
      Read(v, f);
      for (std::int32_t i = 1; i <= v.length(); ++i) sizes.push_back(v.Get(i));
    }
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      if (sizes[i] <= p_) throw E_Morvapc(SizeRefusal(sizes[i], static_cast<std::int32_t>(i + 1), "greater"));
      AddSize(sizes[i]);
    }
  }

  void StartVariables(std::int32_t p, bool labelled) {
    p_ = p;
    labelled_ = labelled;
    labels_ = std::make_shared<Label_mx>(labelled ? p : 0);
  }

  void AddGroup(std::unique_ptr<Rect_mx> s, std::int32_t n) {
    groups_.covariances.Add(std::move(s));
    AddSize(n);
  }

  // The total is a count the listing prints as a 32-bit integer.
  void AddSize(double n) {
    if (n > std::numeric_limits<std::int32_t>::max() - totalSize_) {
      throw E_Morvapc("Sample size (" + rtl::IntToStr(static_cast<std::int64_t>(n)) + ") for group " +
                      rtl::IntToStr(static_cast<std::int64_t>(groups_.sizes.size() + 1)) + " is too large");
    }
    groups_.sizes.push_back(n);
    totalSize_ += static_cast<std::int32_t>(n);
  }

  void WriteTitles() {
    const std::string title = run_.RawData() ? "\" B: input=" + run_.data : "\" CPCA: input=" + run_.covariances;
    for (rtl::TextWriter* f : outputs_) {
      GuardMatrixWrite([&] { f->WriteLine(title + ", ngroups=" + rtl::IntToStr(g())); });
    }
  }

  void WriteComponents(const Rect_mx& b) {
    if (!run_.vectorsOut) return;
    rtl::TextWriter& f = *run_.vectorsOut;
    ListingWriteLine("");
    ListingWriteLine("In the common principal components matrix the rows");
    ListingWriteLine("correspond to variables and the columns correspond");
    ListingWriteLine("to the dimensions.");
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtRectangular, p(), p(), 0, 0, Config().fileFormat, labelled_ ? lcBlock : lcNone, lcNone);
      if (labelled_) WriteLabels(*labels_, f);
      Write(b, f, true, Config().fileFormat);
    });
    ListingWriteLine("Common principal components matrix stored in file: " + run_.vectors);
  }

  void WriteComponentCovariances() {
    if (!run_.componentCovOut) return;
    rtl::TextWriter& f = *run_.componentCovOut;
    ListingWriteLine("");
    ListingWriteLine("There is an output covariance matrix for each group.");
    GuardMatrixWrite([&] {
      for (std::int32_t i = 0; i < g(); ++i) {
        WriteMatrixHeader(f, mtSimilarity, p(), p(), 0, 0, Config().fileFormat, lcNone, lcNone);
        WriteLowerTriangle(groups_.covariances[i], f, false, Config().fileFormat);
      }
    });
    ListingWriteLine(rtl::Format("Covariance matrices (%d) stored in file: %s", g(), run_.componentCov));
  }

  void WriteLambdas(Rect_mx& lam) {
    if (!run_.lambdasOut) return;
    rtl::TextWriter& f = *run_.lambdasOut;
    ListingWriteLine("");
    ListingWriteLine("In the eigenvalues matrix the rows correspond to groups");
    ListingWriteLine("and the columns correspond to the dimensions.");
    lam.SetSize(g(), run_.dimensions);
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtRectangular, g(), run_.dimensions, 0, 0, Config().fileFormat, lcNone, lcNone);
      Write(lam, f, true, Config().fileFormat);
    });
    ListingWriteLine("Eigenvalues matrix stored in file: " + run_.lambdas);
  }

  TCpcaRun& run_;
  std::vector<rtl::TextWriter*> outputs_;
  TCpcaGroups groups_;
  std::int32_t p_ = 0;
  bool labelled_ = false;
  std::shared_ptr<Label_mx> labels_ = std::make_shared<Label_mx>(0);
  std::int32_t totalSize_ = 0;
};

}  // namespace

void CpcaDescribe(TModuleRec& module) {
  DescribeAs(module, "cpca", "Common PCA", 505, CpcaRun, kParams, kButtons, CpcaRelease);
}

void CpcaRun(std::span<const TParamRec> params) {
  Kept().Start();
  Progress("", 0);
  TCpcaRun run;
  TakeValues(run, params);
  ListRunValues(run);
  if (!run.Open()) return;
  TCpcaDriver(run).Run();
  FinishRun("", Kept().Dimensions(), 1, {&run.vectorsOut, &run.lambdasOut, &run.componentCovOut});
}

void CpcaPlot2D() { Kept().Plot2D(1, "CPCAMxPlotF1"); }
void CpcaClose2D() { Kept().ClosePlot(1); }
void CpcaPlot3D() { Kept().Plot3D(2, "CPCAMod3DF2"); }
void CpcaClose3D() { Kept().ClosePlot(2); }

void CpcaRelease() { Kept().Release(); }

std::shared_ptr<const TRectMxList> CpcaResults() { return Kept().Results(); }
