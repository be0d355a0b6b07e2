#include "modules/general/tpswts.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/general/tps.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pLandmarkRows, pDimensions, pAlpha, pAffine, pReference, pWeights, pWarps };

struct TAffineFacts {
  std::string_view name;
  TTpsAffine affine;
  std::string_view listed;   // the note on the last two weight columns in the listing
  std::string_view comment;  // and in the weights file
};

constexpr std::array<TAffineFacts, 3> kAffine = {{
    {"NONE", TTpsAffine::None, "", ""},
    {"INCLUDEXY", TTpsAffine::IncludeXY, "(last 2 columns give X and Y projections from polar plot of uniform)",
     "(last 2 columns give X and Y projections)"},
    {"INCLUDEU", TTpsAffine::IncludeU, "(last 2 columns give uniform component)",
     "(last 2 columns give uniform component)"},
}};

const std::array<TParamRec, 8> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "Landmarks are rows?", "Landmarks are rows?", false),
    IntegerParam("DIM", "Dimensions", "2D or 3D data?", 2, "2", "3", "#"),
    RealParam("A", "Alpha", "Weight coeff.", 0, "-1e5", "1e5", "#####.#####"),
    ChoiceParam("AFF", "Affine option", "Estimation method", ChoiceItems(kAffine)),
    InFileParam("REF", "Reference matrix", "Name of input reference matrix", prRequired),
    OutFileParam("W", "Weight matrix", "Name for weights file"),
    OutFileParam("PW", "Principal warps matrix", "Name for principal warps file"),
};

void NothingToPlot() {}

const std::array<TbuttonsRec, 2> kButtons = {{{"Plot 1", "", NothingToPlot}, {"Plot 2", "", NothingToPlot}}};

bool& DetailListing() {
  static bool on = false;
  return on;
}

// The files of a run: the landmarks are its input and the weights its
// output; the reference and the principal warps come beside them.
struct TTpswtsRun : TRunFiles {
  bool landmarkRows = false;
  TTpsSettings settings;
  const TAffineFacts* affine = &kAffine[0];
  std::string referenceName;
  std::string warpsName;
  TInputMatrixFile reference{};
  TOutputMatrixFile warps{};

  bool Open() {
    return OpenInput() && OpenInputMatrixFile(reference, referenceName, "reference matrix") &&
           OpenOutput("weight matrix") &&
           (warpsName.empty() || OpenOutputMatrixFile(warps, warpsName, "principal warps matrix"));
  }
};

// The uniform component is there for 2-D data only. The check needs no data,
// so it comes before any file is opened.
void CheckAffine(const TTpsSettings& settings) {
  if (settings.dimensions == 2) return;
  if (settings.affine == TTpsAffine::IncludeXY) throw E_Morvapc("INCLUDEXY option only valid for 2-dimensional data");
  if (settings.affine == TTpsAffine::IncludeU) {
    throw E_Morvapc("INCLUDEU option only valid at present for 2-dimensional data");
  }
}

// The reading of a body as a whole matrix of the file's rows (byRows) or of
// its columns, without its labels.
void ReadValues(Rect_mx& x, rtl::TextReader& f, const TMatrixHeader& header, bool byRows) {
  Read(x, f, byRows, {nullptr, byRows ? header.rowLabelCode : header.colLabelCode, false},
       {nullptr, byRows ? header.colLabelCode : header.rowLabelCode, false});
}

// The reference of the data set as DIM x p (row d = coordinate d): one row of
// every landmark's coordinates in turn, a row per coordinate, or a row per
// landmark. A one-row reference is read by rows whatever the input's layout.
std::unique_ptr<Rect_mx> ReadReference(TTpswtsRun& run, std::int32_t p) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.reference, comments, header, true, {mtRectangular});
  if (header.missingCode != 0) throw E_Morvapc("Sorry, no missing data allowed");
  if (run.out) WriteMatrixComments(*run.out, comments.get());
  const std::int32_t dims = run.settings.dimensions, r = header.rows, c = header.cols;
  auto result = std::make_unique<Rect_mx>(dims, p);
  Rect_mx& reference = *result;
  if (r == 1) {
    if (c != p * dims) throw E_Morvapc("Number of columns in reference matrix is not equal to landmarks x dimensions.");
    Rect_mx row(1, c);
    ReadValues(row, *run.reference, header, true);
    for (std::int32_t l = 1; l <= p; ++l) {
      for (std::int32_t d = 1; d <= dims; ++d) reference.putxij(d, l, row.getxij(1, (l - 1) * dims + d));
    }
  } else if (r == dims) {
    if (c != p) throw E_Morvapc("Number of columns in reference matrix is not equal to number of landmarks.");
    ReadValues(reference, *run.reference, header, true);
  } else if (r == p) {
    if (c != dims) throw E_Morvapc("Number of columns in reference matrix is not equal to number of dimensions.");
    ReadValues(reference, *run.reference, header, false);
  } else {
    throw E_Morvapc(rtl::Format("Dimensions of reference matrix (%d,%d) are not correct.", r, c));
  }
  return result;
}

void WriteTitles(TTpswtsRun& run) {
  const std::string title = "\" TPS: coord=" + run.input + ", ref=" + run.referenceName +
                            ", a=" + rtl::Format("%6.2f", run.settings.alpha) +
                            ", affine=" + std::string(run.affine->name);
  GuardMatrixWrite([&] {
    if (run.out) {
      run.out->WriteLine(title);
      if (run.settings.dimensions == 2) {
        run.out->WriteLine("\"(rows are OTUs, cols are warps 1x,1y,2x,2y, etc.)");
        if (!run.affine->comment.empty()) run.out->WriteLine("\"" + std::string(run.affine->comment));
      } else {
        run.out->WriteLine("\"(rows are OTUs, cols are warps 1x,1y,1z,2x,2y,2z, etc.)");
      }
    }
    if (run.warps) {
      run.warps->WriteLine(title);
      run.warps->WriteLine("\"(rows are landmarks, cols are warps)");
    }
  });
}

// "1x", "1y", "2x", ... ("1z" in 3-D), and "Ux", "Uy" for the uniform pair.
std::unique_ptr<Label_mx> WeightLabels(std::int32_t warps, std::int32_t dims, bool uniform) {
  auto labels = std::make_unique<Label_mx>((warps + (uniform ? 1 : 0)) * dims);
  std::int32_t k = 0;
  for (std::int32_t j = 1; j <= warps; ++j) {
    for (std::int32_t d = 0; d < dims; ++d) labels->PutLabel(++k, std::to_string(j) + "xyz"[d]);
  }
  if (uniform) {
    labels->PutLabel(++k, "Ux");
    labels->PutLabel(++k, "Uy");
  }
  return labels;
}

void WriteWeights(TTpswtsRun& run, const rect_mx3& weights, const Label_mx& objectLabels) {
  const std::int32_t dims = run.settings.dimensions;
  const bool uniform = run.settings.affine != TTpsAffine::None;
  ListingWriteLine("");
  ListingWriteLine("Note: in Weight matrix (partial warp scores)");
  if (dims == 2) {
    ListingWriteLine("rows are OTUs, columns are partial warps 1x,1y,2x,2y, etc.");
    if (uniform) ListingWriteLine(std::string(run.affine->listed));
  } else {
    ListingWriteLine("(rows are OTUs, columns are partial warps 1x,1y,1z,2x,2y,2z, etc.)");
  }
  const std::unique_ptr<Label_mx> columns = WeightLabels(weights.m2() - (uniform ? 1 : 0), dims, uniform);
  const std::string& format = Config().fileFormat;
  GuardMatrixWrite([&] {
    const bool labelled = objectLabels.HasStorage();
    WriteMatrixHeader(*run.out, mtRectangular, weights.rows(), weights.cols(), 0, 0, format,
                      labelled ? lcBlock : lcNone, lcBlock);
    if (labelled) WriteLabels(objectLabels, *run.out);
    WriteLabels(*columns, *run.out);
    Write(weights, *run.out, true, format);
  });
}

void WriteWarps(TTpswtsRun& run, const Rect_mx& warps) {
  const std::string& format = Config().fileFormat;
  GuardMatrixWrite([&] {
    WriteMatrixHeader(*run.warps, mtRectangular, warps.rows(), warps.cols(), 0, 0, format, lcNone, lcNone);
    Write(warps, *run.warps, true, format);
  });
}

void TpswtsDataSet(TTpswtsRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular});
  if (header.missingCode != 0) throw E_Morvapc("Sorry, no missing data allowed");
  if (run.out) WriteMatrixComments(*run.out, comments.get());
  comments.reset();
  const bool rows = run.landmarkRows;
  const std::int32_t n = rows ? header.cols : header.rows;
  const std::int32_t values = rows ? header.rows : header.cols;
  const std::int32_t dims = run.settings.dimensions;
  if (values % dims != 0) throw E_Morvapc("Number of coordinates is not a multiple of number of dimensions");
  const std::int32_t p = values / dims;
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Number of landmarks  = %4d", p));
  ListingWriteLine(rtl::Format("Number of objects    = %4d", n));
  ListingWriteLine("");

  const int objectCode = rows ? header.colLabelCode : header.rowLabelCode;
  const int coordinateCode = rows ? header.rowLabelCode : header.colLabelCode;
  rect_mx3 x(n, p, dims, header.missingCode, header.missingValue);
  Label_mx objectLabels(objectCode != lcNone ? n : 0);
  Read(x, *run.in, !rows, {&objectLabels, objectCode, true}, {nullptr, coordinateCode, false});

  const std::unique_ptr<Rect_mx> reference = ReadReference(run, p);
  WriteTitles(run);
  ListingWriteLine("");
  const TTpsResult result = TpsWeightMatrix(run.settings, x, *reference);
  if (run.out) WriteWeights(run, *result.weights, objectLabels);
  if (run.warps) WriteWarps(run, *result.warps);
}

// The number of data sets left in a file.
std::int32_t RemainingDataSets(rtl::TextReader& f) {
  std::int32_t count = 0;
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  while (ReadMatrixHeaderOrEnd(f, comments, header, false, {mtRectangular})) {
    Rect_mx body(header.rows, header.cols, header.missingCode, header.missingValue);
    ReadValues(body, f, header, true);
    ++count;
  }
  return count;
}

// Each data set of the input with the next data set of the reference; input
// data sets left without a reference are counted in a warning.
void TpswtsCompute(TTpswtsRun& run) {
  for (;;) {
    TpswtsDataSet(run);
    const bool moreInput = !run.in->SeekEof();
    if (!moreInput || run.reference->SeekEof()) {
      if (moreInput) {
        ListingWriteLine("");
        ListingWriteLine(
            rtl::Format("Warning: %d data set(s) of the input file had no reference data set and were not processed",
                        RemainingDataSets(*run.in)));
      }
      return;
    }
    ListingWriteLine("---- next dataset ----");
    ListingWriteLine("");
  }
}

}  // namespace

bool SetTpswtsDetailListing(bool on) { return std::exchange(DetailListing(), on); }

void TpswtsDescribe(TModuleRec& module) {
  DescribeAs(module, "TpsWts", "Thin-plate spline weights", 522, TpswtsRun, kParams, kButtons, TpswtsRelease);
}

void TpswtsRelease() {}

void TpswtsRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TTpswtsRun run;
  run.input = params[pInput].fileName;
  run.landmarkRows = params[pLandmarkRows].check;
  run.settings.dimensions = params[pDimensions].integer;
  run.settings.alpha = params[pAlpha].real;
  run.affine = &ChosenFacts(kAffine, params[pAffine]);
  run.settings.affine = run.affine->affine;
  run.settings.detail = DetailListing();
  run.referenceName = params[pReference].fileName;
  run.output = params[pWeights].fileName;
  run.warpsName = params[pWarps].fileName;

  ListingWriteLine("Input parameters");
  ListingWriteLine("Read coords from file: " + run.input);
  ListingWriteLine("Landmarks are: " + std::string(DirectionWord(run.landmarkRows)));
  ListingWriteLine(rtl::Format("Dimensions: %5d", run.settings.dimensions));
  ListingWriteLine(rtl::Format("Alpha: %8.5f", run.settings.alpha));
  ListingWriteLine("Uniform estimation option: " + std::string(run.affine->name));
  ListingWriteLine("Read reference from file: " + run.referenceName);
  ListOutputFile(run.output, "Save weights in output file: ");
  ListOutputFile(run.warpsName, "Save principal warps in output file: ");
  ListingWriteLine("");

  CheckAffine(run.settings);
  if (!run.Open()) return;
  TpswtsCompute(run);
  run.Finish();
  if (run.warps) CloseOutputMatrixFile(run.warps);
}
