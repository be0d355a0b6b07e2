#include "modules/general/transf.h"

#include <array>
#include <memory>
#include <string>

#include "matrix/MatrixFiles.h"
#include "modules/general/transfEngine.h"
#include "rtl/StringList.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pByRows, pCodes, pOutput };

const std::array<TParamRec, 4> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "Transf by rows?", "Check if by rows", true),
    TextParam("T", "Transformation codes", "Transformation codes", "", prRequired),
    OutFileParam("R", "Output file", "Name of output file"),
};

struct TTransfRun : TRunFiles {
  bool byRows = true;
  std::string codes;
};

void TransfCompute(TTransfRun& run) {
  ListingWriteLine("ID records:");
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {1, 2, 3, 4, 5, 6, 7, 8});
  RefuseEmptyMatrix(header);
  if (run.out) {
    GuardMatrixWrite([&] {
      WriteMatrixComments(*run.out, comments.get());
      run.out->WriteLine("\" TRANSF " + std::string(run.byRows ? "Rows" : "Cols") + " " + run.codes);
    });
  }
  TransfEngine(*run.in, header, run.codes, run.byRows, run.out.get());
  if (run.out) {
    ListingWriteLine("");
    ListingWriteLine("Transformed matrix stored in file: " + run.output);
  }
}

}  // namespace

void TransfDescribe(TModuleRec& module) {
  DescribeAs(module, "transf", "Transformation", 523, TransfRun, kParams, TransfRelease);
}

void TransfRelease() {}

void TransfRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TTransfRun run;
  run.input = params[pInput].fileName;
  run.byRows = params[pByRows].check;
  run.codes = params[pCodes].text;
  run.output = params[pOutput].fileName;

  ListInputParameters(run.input);
  ListingWriteLine("Transformation codes: " + run.codes);
  ListingWriteLine("Transform by: " + std::string(DirectionWord(run.byRows)));
  ListOutputFile(run.output);
  ListingWriteLine("");
  // Without codes the output would be a copy of the input; blanks and plus
  // signs only separate codes.
  if (run.codes.find_first_not_of(" \t+") == std::string::npos) throw E_Morvapc("Transformation codes are required");

  if (!run.Open("transformed data")) return;
  ForEachDataSet(*run.in, [&] { TransfCompute(run); });
  run.Finish();
}
