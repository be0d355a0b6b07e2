#include "modules/general/fourier.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixList.h"
#include "modules/general/fourierCompute.h"
#include "modules/general/itemFacts.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pByRows, pHarmonics, pMethod, pSize, pOrientation, pOutput };

enum class TFourierMethod { Elliptic, Elliptic3, EqualSpaced, Inverse, Inverse3 };
enum class TFourierSize { Area, Ellip1, None, Perim };
enum class TFourierOrientation { Both, None, Rotate, Start };

// Bit sets of the size and orientation items a method takes.
constexpr unsigned Bit(TFourierSize size) { return 1u << static_cast<unsigned>(size); }
constexpr unsigned Bit(TFourierOrientation orientation) { return 1u << static_cast<unsigned>(orientation); }
constexpr unsigned kEverySize = 0xF, kEveryOrientation = 0xF;

// What FOURIER knows of a method: the values of a point of its input, the
// constant terms that open a result row, the letters of the columns of each
// following group (a harmonic or a point) and the number of the first group,
// the options it takes and the words of their refusals.
struct TMethodFacts {
  std::string_view name;
  TFourierMethod method;
  std::int32_t dimensions;
  std::int32_t constantTerms;
  std::string_view letters;
  std::int32_t firstGroup;
  unsigned sizes;
  unsigned orientations;
  std::string_view optionNoun;
};

constexpr unsigned kNoneSize = Bit(TFourierSize::None);
constexpr unsigned kNoneOrientation = Bit(TFourierOrientation::None);

constexpr std::array<TMethodFacts, 5> kMethods = {{
    {"EFOUR", TFourierMethod::Elliptic, 2, 2, "ABCD", 1, kEverySize, kEveryOrientation, ""},
    {"EFOUR3", TFourierMethod::Elliptic3, 3, 3, "ABCDEF", 1, kNoneSize, kNoneOrientation, "3D elliptic Fourier"},
    {"FOUREQ", TFourierMethod::EqualSpaced, 1, 0, "AB", 0, kEverySize & ~Bit(TFourierSize::Ellip1),
     kNoneOrientation | Bit(TFourierOrientation::Rotate), "equal-spaced Fourier"},
    {"IEFOUR", TFourierMethod::Inverse, 2, 0, "XY", 1, kNoneSize, kNoneOrientation, "inverse elliptic Fourier"},
    {"IEFOUR3", TFourierMethod::Inverse3, 3, 0, "XYZ", 1, kNoneSize, kNoneOrientation, "inverse 3D elliptic Fourier"},
}};

constexpr std::array<TItemFacts<TFourierSize>, 4> kSizes = {{
    {"AREA", TFourierSize::Area},
    {"ELLIP1", TFourierSize::Ellip1},
    {"NONE", TFourierSize::None},
    {"PERIM", TFourierSize::Perim},
}};

constexpr std::array<TItemFacts<TFourierOrientation>, 4> kOrientations = {{
    {"BOTH", TFourierOrientation::Both},
    {"NONE", TFourierOrientation::None},
    {"ROTATE", TFourierOrientation::Rotate},
    {"START", TFourierOrientation::Start},
}};

TParamRec Help538(TParamRec p) {
  p.helpContext = 538;
  return p;
}

const std::array<TParamRec, 7> kParams = {
    Help538(InFileParam("O", "Input file", "Name of input file", prRequired)),
    Help538(CheckParam("D", "By rows?", "Check if by rows", true)),
    Help538(IntegerParam("N", "Number of harmonics", "Number of harmonics", 4, "1", "9999", "####")),
    Help538(ChoiceParam("M", "Method", "Method option", ChoiceItems(kMethods))),
    Help538(ChoiceParam("S", "Standardize by", "Standardization options", ChoiceItems(kSizes))),
    Help538(ChoiceParam("OR", "Orientation adj.", "Orientation options", ChoiceItems(kOrientations), 1)),
    Help538(OutFileParam("R", "Output file", "Name of output file")),
};

void NothingToPlot() {}

const std::array<TbuttonsRec, 2> kButtons = {{{"Plot 1", "", NothingToPlot}, {"Plot 2", "", NothingToPlot}}};

// An ELLIP1 scale at or below this share of the outline's length is no extent.
constexpr double kNoExtent = 1e-12;

struct TFourierRun : TRunFiles {
  bool byRows = true;
  std::int32_t N = 4;  // lowered for the rest of the run when a data set has fewer points
  const TMethodFacts* method = &kMethods[0];
  TFourierSize size = TFourierSize::Area;
  TFourierOrientation orientation = TFourierOrientation::None;
  std::string sizeName;
  std::string orientationName;
};

// The objects of one data set, each a row of values, with their labels.
struct TObjects {
  std::vector<std::vector<double>> rows;
  std::unique_ptr<Label_mx> labels;

  std::int32_t Count() const { return static_cast<std::int32_t>(rows.size()); }
  std::string Name(std::int32_t i) const {
    return labels->HasStorage() ? labels->GetLabel(i) : "no. " + std::to_string(i);
  }
};

// The numbers of the listing and of the result file.
struct TFormats {
  std::string listing = "%" + Config().listingFormat;
  std::string file = "%" + Config().fileFormat;
  std::int32_t w = ValueWidth(Config().listingFormat);
  std::int32_t w2 = ValueWidth(Config().fileFormat);
};

// Each value in the pattern, after a blank.
std::string Values(std::span<const double> values, const std::string& pattern) {
  std::string text;
  for (const double x : values) text += " " + rtl::Format(pattern, x);
  return text;
}

// ---- The checks of a data set ----

// Lowers N to the highest harmonic that count points have, with its line.
void CapHarmonics(TFourierRun& run, std::int32_t points) {
  if (run.N <= points) return;
  run.N = points;
  ListingWriteLine(std::to_string(run.N) + " is the highest harmonic that can be computed");
}

// Checks the value count of an object for the method, lowers N where it must,
// and returns the width of a result row.
std::int32_t ResultWidth(TFourierRun& run, std::int32_t values) {
  std::int32_t& N = run.N;
  switch (run.method->method) {
    case TFourierMethod::Elliptic:
      if (values % 2 != 0) throw E_Morvapc("Number of values for each object must be an even number");
      CapHarmonics(run, values / 2);
      break;
    case TFourierMethod::Elliptic3:
      if (values % 3 != 0) throw E_Morvapc("Number of values for each object must be a multiple of 3");
      CapHarmonics(run, values / 2);
      break;
    case TFourierMethod::Inverse:
      ListingWriteLine(std::to_string(N) + " pairs of x,y-coordinates will be generated");
      if (values % 4 != 2) throw E_Morvapc("Improper number of coefficients");
      break;
    case TFourierMethod::Inverse3:
      ListingWriteLine(std::to_string(N) + " triplets of x,y,z-coordinates will be generated");
      if (values % 6 != 3) throw E_Morvapc("Improper number of coefficients");
      break;
    case TFourierMethod::EqualSpaced: CapHarmonics(run, values / 2); break;
  }
  if (N < 1) throw E_Morvapc("No harmonics to be computed");
  const TMethodFacts& m = *run.method;
  return m.constantTerms + static_cast<std::int32_t>(m.letters.size()) * (N - m.firstGroup + 1);
}

// The size and orientation options must suit the method; checked before
// anything of a data set is written, so a refused data set leaves no header.
void CheckOptions(const TFourierRun& run) {
  const TMethodFacts& m = *run.method;
  if ((m.orientations & Bit(run.orientation)) == 0) {
    throw E_Morvapc("Orientation option not valid for " + std::string(m.optionNoun));
  }
  if ((m.sizes & Bit(run.size)) == 0) throw E_Morvapc("Size option not valid for " + std::string(m.optionNoun));
}

// A0, C0 (, E0), then the letters of each group followed by its number.
std::unique_ptr<Label_mx> ColumnLabels(const TMethodFacts& m, std::int32_t N, std::int32_t width) {
  auto labels = std::make_unique<Label_mx>(width);
  std::int32_t k = 0;
  for (std::int32_t c = 0; c < m.constantTerms; ++c) labels->PutLabel(++k, std::string(1, m.letters[2 * c]) + "0");
  for (std::int32_t g = m.firstGroup; g <= N; ++g) {
    for (const char letter : m.letters) labels->PutLabel(++k, letter + std::to_string(g));
  }
  return labels;
}

// ---- The results of an object ----

void WriteResultLine(TFourierRun& run, const std::string& line) {
  if (run.out) GuardMatrixWrite([&] { run.out->WriteLine(line); });
}

// The constant terms: in the listing each followed by a dash in the column of
// a sine coefficient, then their amplitude; in the file with a blank column
// between them.
void ReportConstants(TFourierRun& run, const TFormats& f, std::span<const double> constants) {
  std::string listed = rtl::Format("%5s", "0");
  std::string written;
  double squares = 0;
  for (std::size_t c = 0; c < constants.size(); ++c) {
    listed += " " + rtl::Format(f.listing, constants[c]) + rtl::Format(" %*s", f.w, " -");
    if (c > 0) written += rtl::Format(" %*s ", f.w2, " ");
    written += rtl::Format(f.file, constants[c]);
    squares += constants[c] * constants[c];
  }
  ListingWriteLine(listed + " " + rtl::Format(f.listing, std::sqrt(squares)));
  WriteResultLine(run, written);
}

void ReportHarmonics(TFourierRun& run, const TFormats& f, const TEllipticFourier& fit) {
  for (std::size_t n = 1; n <= fit.harmonics.size(); ++n) {
    const std::vector<double>& h = fit.harmonics[n - 1];
    double squares = 0;
    for (const double x : h) squares += x * x;
    ListingWriteLine(rtl::Format("%5d", static_cast<std::int32_t>(n)) + Values(h, f.listing) + " " +
                     rtl::Format(f.listing, std::sqrt(squares)));
    WriteResultLine(run, Values(h, f.file).substr(1));
  }
}

void ListCoefficientHeading(const TFormats& f, std::string_view letters) {
  std::string heading = rtl::Format("%5s", "n");
  for (const char letter : letters) heading += rtl::Format(" %*s", f.w, std::string(1, letter));
  ListingWriteLine(heading + rtl::Format(" %*s", f.w, "Amplitude"));
}

// The ELLIP1 scale of outline i's fit: the radius of its first harmonic. An
// outline whose first harmonic has no extent is refused.
double Ellip1Scale(const TEllipticFourier& fit, const TFirstHarmonic& first, const TObjects& objects, std::int32_t i) {
  if (first.radius <= kNoExtent * fit.length) {
    throw E_Morvapc("The first harmonic of outline " + objects.Name(i) +
                    " has no extent: it cannot be standardized by ELLIP1");
  }
  return first.radius;
}

// ELLIP1 checks every outline of the data set before anything of it is
// written, so that a refusal leaves no result file cut short.
void CheckEllip1Extents(const TFourierRun& run, const TObjects& objects) {
  if (run.size != TFourierSize::Ellip1) return;
  for (std::int32_t i = 1; i <= objects.Count(); ++i) {
    const TEllipticFourier fit = FourierEFA(objects.rows[static_cast<std::size_t>(i - 1)], 2, run.N);
    Ellip1Scale(fit, FourierFirstHarmonic(fit), objects, i);
  }
}

void EllipticObject(TFourierRun& run, const TFormats& f, const TObjects& objects, std::int32_t i) {
  TEllipticFourier fit = FourierEFA(objects.rows[static_cast<std::size_t>(i - 1)], 2, run.N);
  const TFirstHarmonic first = FourierFirstHarmonic(fit);
  const double scale = run.size == TFourierSize::Ellip1 ? Ellip1Scale(fit, first, objects, i) : 1;
  const bool rotate = run.orientation == TFourierOrientation::Rotate || run.orientation == TFourierOrientation::Both;
  const bool start = run.orientation == TFourierOrientation::Start || run.orientation == TFourierOrientation::Both;
  FourierNormalize(fit, rotate ? first.psi : 0, start ? first.theta : 0, scale);

  if (run.size == TFourierSize::None) {
    ListingWriteLine(rtl::Format("Length of outline = " + f.listing, fit.length));
  } else {
    ListingWriteLine(rtl::Format("Length of standardized outline = " + f.listing, fit.length / scale));
  }
  ListingWriteLine("");
  ListingWriteLine(" Elliptic Fourier Coefficients");
  ListCoefficientHeading(f, "ABCD");
  ReportConstants(run, f, fit.constants);
  ReportHarmonics(run, f, fit);
  ListingWriteLine(rtl::Format("Orientation: " + f.listing + ", Start: " + f.listing + ", Radius of H1: " + f.listing,
                               first.psi, first.theta, first.radius));
}

void Elliptic3Object(TFourierRun& run, const TFormats& f, const TObjects& objects, std::int32_t i) {
  const TEllipticFourier fit = FourierEFA(objects.rows[static_cast<std::size_t>(i - 1)], 3, run.N);
  ListingWriteLine(rtl::Format(" Length of outline = " + f.listing, fit.length));
  ListingWriteLine("");
  ListingWriteLine(" Elliptic Fourier Coefficients");
  ListCoefficientHeading(f, "ABCDEF");
  ReportConstants(run, f, fit.constants);
  ReportHarmonics(run, f, fit);
}

void InverseObject(TFourierRun& run, const TFormats& f, const TObjects& objects, std::int32_t i) {
  const std::int32_t dims = run.method->dimensions;
  const std::vector<double>& row = objects.rows[static_cast<std::size_t>(i - 1)];
  const auto values = static_cast<std::int32_t>(row.size());
  const std::int32_t H = (values + dims) / (2 * dims) - 1;
  const std::vector<double> points = FourierInverseEFA(row, dims, H, run.N);
  std::string heading = rtl::Format("%5s", "i");
  for (const char letter : run.method->letters) heading += rtl::Format(" %*s", f.w, std::string(1, letter) + " ");
  ListingWriteLine(heading);
  for (std::int32_t p = 1; p <= run.N; ++p) {
    const std::span<const double> point(points.data() + static_cast<std::size_t>((p - 1) * dims),
                                        static_cast<std::size_t>(dims));
    ListingWriteLine(rtl::Format("%5d", p) + Values(point, f.listing));
    WriteResultLine(run, Values(point, f.file));
  }
}

void EqualSpacedObject(TFourierRun& run, const TFormats& f, const TObjects& objects, std::int32_t i) {
  const std::vector<TRadiusHarmonic> harmonics = FourierEqualSpaced(
      objects.rows[static_cast<std::size_t>(i - 1)], run.N, run.orientation == TFourierOrientation::Rotate);
  ListingWriteLine("Fourier Coefficients");
  ListingWriteLine(rtl::Format("%5s %*s %*s %*s %*s", "n", f.w, "A", f.w, "B", f.w, "Amplitude", f.w, "Phase"));
  for (std::size_t n = 0; n < harmonics.size(); ++n) {
    const TRadiusHarmonic& h = harmonics[n];
    const std::array<double, 4> listed = {h.A, h.B, h.amplitude, h.phase * 57.2957795};
    ListingWriteLine(rtl::Format("%5d", static_cast<std::int32_t>(n)) + Values(listed, f.listing));
    WriteResultLine(run, Values(std::array<double, 2>{h.A, h.B}, f.file).substr(1));
  }
}

// Rescales every object to unit area or unit perimeter, listing each one's
// measure: the outline of its points, or for radii the polygon they draw at
// their angles.
void SizeStandardize(const TFourierRun& run, const TFormats& f, TObjects& objects) {
  const bool area = run.size == TFourierSize::Area;
  ListingWriteLine(rtl::Format("%10s %*s", "Outline", f.w, area ? "Area" : "Perim"));
  for (std::int32_t r = 1; r <= objects.Count(); ++r) {
    std::vector<double>& row = objects.rows[static_cast<std::size_t>(r - 1)];
    const std::vector<double> points = run.method->dimensions == 1 ? FourierRadiiPolygon(row) : row;
    double factor = 0;
    if (area) {
      const double measure = FourierOutlineArea(points);
      ListingWriteLine(rtl::Format("%10d " + f.listing, r, measure));
      if (measure > 0) factor = 1 / std::sqrt(measure);
    } else {
      const double measure = FourierOutlinePerimeter(points);
      ListingWriteLine(rtl::Format("%10d%12f", r, measure));
      if (measure > 0) factor = 1 / measure;
    }
    for (double& x : row) x *= factor;
  }
}

void FourierDispatch(TFourierRun& run, TObjects& objects) {
  const TFormats f;
  ListingWriteLine("");
  const TFourierMethod method = run.method->method;
  if ((method == TFourierMethod::Elliptic || method == TFourierMethod::EqualSpaced) &&
      (run.size == TFourierSize::Area || run.size == TFourierSize::Perim)) {
    SizeStandardize(run, f, objects);
  }
  for (std::int32_t i = 1; i <= objects.Count(); ++i) {
    if (objects.Count() > 1) {
      ListingWriteLine("");
      ListingWriteLine("Outline no. " + std::to_string(i));
    }
    switch (method) {
      case TFourierMethod::Elliptic: EllipticObject(run, f, objects, i); break;
      case TFourierMethod::Elliptic3: Elliptic3Object(run, f, objects, i); break;
      case TFourierMethod::Inverse:
      case TFourierMethod::Inverse3: InverseObject(run, f, objects, i); break;
      case TFourierMethod::EqualSpaced: EqualSpacedObject(run, f, objects, i); break;
    }
  }
}

// ---- A data set ----

TObjects ReadObjects(const TFourierRun& run, const TMatrixHeader& header, std::int32_t count, std::int32_t values) {
  const int objectCode = run.byRows ? header.rowLabelCode : header.colLabelCode;
  const int valueCode = run.byRows ? header.colLabelCode : header.rowLabelCode;
  TObjects objects;
  objects.labels = std::make_unique<Label_mx>(objectCode != lcNone ? count : 0);
  Rect_mx x(count, values, header.missingCode, header.missingValue);
  Read(x, *run.in, run.byRows, {objects.labels.get(), objectCode, true}, {nullptr, valueCode, false});
  for (std::int32_t i = 1; i <= count; ++i) {
    std::vector<double>& row = objects.rows.emplace_back();
    for (std::int32_t j = 1; j <= values; ++j) row.push_back(x.getxij(i, j));
  }
  return objects;
}

void WriteResultHead(TFourierRun& run, const rtl::StringList* comments, const TObjects& objects, std::int32_t width) {
  const std::unique_ptr<Label_mx> columns = ColumnLabels(*run.method, run.N, width);
  GuardMatrixWrite([&] {
    WriteMatrixComments(*run.out, comments);
    run.out->WriteLine("\" FOURIER: input=" + run.input + ", method=" + std::string(run.method->name) +
                       ", direction=" + (run.byRows ? "Rows" : "Cols"));
    run.out->WriteLine("\" stand=" + run.sizeName);
    run.out->WriteLine("\" orient=" + run.orientationName);
    const bool labelled = objects.labels->HasStorage();
    WriteMatrixHeader(*run.out, mtRectangular, objects.Count(), width, 0, 0, Config().fileFormat,
                      labelled ? lcBlock : lcNone, lcBlock);
    if (labelled) WriteLabels(*objects.labels, *run.out);
    WriteLabels(*columns, *run.out);
  });
}

void FourierDriver(TFourierRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular});
  if (header.missingCode != 0) throw E_Morvapc("No missing values are allowed");
  const std::int32_t count = run.byRows ? header.rows : header.cols;
  const std::int32_t values = run.byRows ? header.cols : header.rows;
  const std::int32_t width = ResultWidth(run, values);
  CheckOptions(run);

  TObjects objects = ReadObjects(run, header, count, values);
  ListingWriteLine("Method: " + std::string(run.method->name));
  CheckEllip1Extents(run, objects);
  if (run.out) WriteResultHead(run, comments.get(), objects, width);
  comments.reset();
  FourierDispatch(run, objects);

  if (run.out) {
    ListingWriteLine("");
    ListingWriteLine("Results stored as a matrix with " + std::to_string(count) + " row" + (count > 1 ? "s" : "") +
                     " and " + std::to_string(width) + " columns");
    ListingWriteLine("in file: " + run.output);
  }
}

}  // namespace

void FourierDescribe(TModuleRec& module) {
  DescribeAs(module, "Fourier", "Fourier analysis", 509, FourierRun, kParams, kButtons, FourierRelease);
}

void FourierRelease() {}

void FourierRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TFourierRun run;
  run.input = params[pInput].fileName;
  run.byRows = params[pByRows].check;
  run.N = params[pHarmonics].integer;
  run.method = &ChosenFacts(kMethods, params[pMethod]);
  const auto& size = ChosenFacts(kSizes, params[pSize]);
  const auto& orientation = ChosenFacts(kOrientations, params[pOrientation]);
  run.size = size.item;
  run.sizeName = size.name;
  run.orientation = orientation.item;
  run.orientationName = orientation.name;
  run.output = params[pOutput].fileName;

  ListInputParameters(run.input);
  ListingWriteLine(rtl::Format("Maximum harmonic requested: %d", run.N));
  ListingWriteLine("Standardize by: " + std::string(DirectionWord(run.byRows)));
  ListingWriteLine("Method: " + std::string(run.method->name));
  ListingWriteLine("Standardization: " + run.sizeName);
  ListingWriteLine("Orientation: " + run.orientationName);
  ListOutputFile(run.output);
  ListingWriteLine("");

  if (!run.Open("results")) return;
  ForEachDataSet(*run.in, [&] { FourierDriver(run); });
  run.Finish();
}
