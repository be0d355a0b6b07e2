// Fuzz target over the batch-file grammar, through the runner's public steps:
// the file's lines prepared into commands, the batch parameters put in for
// %1 .. %9, the module looked up by its batch name and the command's
// arguments set in the module's parameter table. Every module number here has
// one table holding a parameter of each type, so every batch name reaches
// the argument parser.
//
// The input's first line is the batch parameters field; the rest is the
// batch file. A step may refuse with E_Morvapc; any other exception, a crash,
// a hang or a sanitizer report is a finding, but a malformed number, which
// raises the conversion error by design.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "rtl/Exception.h"
#include "rtl/StringList.h"
#include "rtl/TextFile.h"
#include "shell/Batchu.h"
#include "shell/ModuleRun.h"
#include "shell/Modules.h"

namespace {

const std::array<TParamRec, 7> kParams = {
    TextParam("T", "Text", "A text"),
    ChoiceParam("C", "Choice", "A choice", {"FIRST", "SECOND", "THIRD"}, 1),
    CheckParam("K", "Check", "A check box", false),
    InFileParam("O", "Input", "An input file"),
    OutFileParam("R", "Output", "An output file"),
    RealParam("X", "Real", "A real number", 0.5, "-1.0", "1.0", "#.####"),
    IntegerParam("N", "Integer", "An integer", 3, "1", "99", "##"),
};

void Run(std::span<const TParamRec>) {}
void Release() {}

void DescribeEveryType(TModuleRec& module) {
  DescribeAs(module, "Fuzz", "Every parameter type", 1, Run, kParams, Release);
}

bool RegisterEveryModule() {
  for (std::int32_t number = 0; number < ModuleCount; ++number) RegisterModule(number, DescribeEveryType);
  return true;
}

rtl::StringList LinesOf(const std::string& text) {
  auto f = rtl::TextReader::FromText(text);
  rtl::StringList lines;
  for (std::string line; f.ReadLine(line);) lines.Add(line);
  return lines;
}

// What the runner does with one command, but running nothing.
void ParseCommand(const std::string& command) {
  if (command.empty() || command.front() != '*') return;
  std::string rest = command.substr(1);
  const std::int32_t number = LookupModule(rest);
  TModuleRec module;
  DescribeModule(number, module);
  TWorkingParams params;
  params.LoadParameters(module);
  ParseArguments(rest, module, params);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = RegisterEveryModule();
  (void)registered;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string parameters = input.substr(0, lineEnd);
  const std::string file = lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1);

  return fuzz::TakeInput<E_Morvapc, rtl::EConvertError>([&] {
    const std::vector<std::string> words = BatchParameterWords(parameters);
    if (words.size() > 9) fuzz::Finding("more than nine batch parameters");
    std::vector<int> fileLines;
    const rtl::StringList commands = PrepareBatchLines(LinesOf(file), &fileLines);
    if (fileLines.size() != static_cast<std::size_t>(commands.Count())) fuzz::Finding("a command without its line");
    for (const std::string& command : commands) ParseCommand(SubstituteParameters(command, words));
  });
}
