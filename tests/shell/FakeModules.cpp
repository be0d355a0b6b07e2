#include "tests/shell/FakeModules.h"

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace shelltest {

namespace {

std::vector<TParamRec> MakeTable() {
  return {
      {.keyword = "T", .prompt = "Text", .type = ptText, .text = "start"},
      {.keyword = "C", .prompt = "Choice", .type = ptChoice, .items = {"YBAR", "MIN", "Max"}, .index = 2},
      {.keyword = "R", .prompt = "By rows", .type = ptCheck, .check = true},
      {.keyword = "I", .prompt = "Input file", .required = true, .type = ptInFile, .fileName = "in.qmx"},
      {.keyword = "O", .prompt = "Output file", .type = ptOutFile},
      {.keyword = "X", .prompt = "Real", .type = ptReal, .real = 1.5, .min = "-1e5", .max = "1e5", .mask = "#.##"},
      {.keyword = "N", .prompt = "Count", .type = ptInteger, .integer = 2, .min = "1", .max = "20", .mask = "##"},
      {.keyword = "O", .prompt = "Output's name", .type = ptText},
  };
}

void FakeRun(std::span<const TParamRec> p) {
  Progress("", 0);
  const std::string line =
      rtl::Format("run T=%s C=%s R=%s I=%s O=%s X=%g N=%d O2=%s", p[0].text, p[1].ChoiceText(),
                  p[2].check ? "true" : "false", p[3].fileName, p[4].fileName, p[5].real, p[6].integer, p[7].text);
  FakeLog().push_back(line);
  ListingWriteLine(line);
  if (p[0].text == "FAIL") throw E_Morvapc("fake failure");
  if (p[0].text == "BOX") {
    ShowErrorMessage("fake box");
    ShowErrorMessage("second box");
    return;
  }
  if (p[0].text == "WRITE") {
    TOutputMatrixFile out;
    if (!OpenOutputMatrixFile(out, p[4].fileName, "fake output")) return;
    out->WriteLine("new");
    CloseOutputMatrixFile(out);
  }
  if (p[0].text == "ABORT") RequestAbort();
  Progress("", 100);
}

void FakeRelease() { FakeLog().push_back("release"); }

void FakeDescribe(TModuleRec& module) {
  module.name = "Fake";
  module.title = "Fake module";
  module.run = FakeRun;
  module.helpContext = 999;
  module.params = FakeTable();
  module.release = FakeRelease;
}

}  // namespace

std::vector<std::string>& FakeLog() {
  static std::vector<std::string> log;
  return log;
}

const std::vector<TParamRec>& FakeTable() {
  static const std::vector<TParamRec> table = MakeTable();
  return table;
}

FakeModule::FakeModule(std::int32_t number) : number_(number) {
  FakeLog().clear();
  RegisterModule(number, FakeDescribe);
}

FakeModule::~FakeModule() { UnregisterModule(number_); }

}  // namespace shelltest
