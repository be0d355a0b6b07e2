#include "shell/Modules.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/Progress.h"

const std::array<std::string_view, ModuleCount> ModuleBatchNames = {
    "CONFIG",  "STAND",   "OUTPUT",  "DCENTER", "FOURIER", "TPSWTS", "CANPLS", "CPCA",  "CORRESP", "CVA",
    "EIGEN",   "MDSCALE", "PROJ",    "SVD",     "CONSENS", "COPH",   "MST",    "NJOIN", "SAHN",    "POOLVC",
    "SIMGEND", "SIMINT",  "SIMQUAL", "TRANSF",  "MXPLOT",  "MOD3D",  "MXCOMP", "TREE"};

namespace {

std::array<TDescribeProc, ModuleCount>& DescribeRoutines() {
  static std::array<TDescribeProc, ModuleCount> routines = [] {
    std::array<TDescribeProc, ModuleCount> all{};
    all[ConfigModule] = ConfigDescribe;
    return all;
  }();
  return routines;
}

bool InRange(std::int32_t number) { return number >= 0 && number < ModuleCount; }

void CheckRange(std::int32_t number) {
  if (!InRange(number)) throw E_Morvapc_Internal(rtl::Format("Out of range button index: %d", number));
}

// The working copy of one record: the value of its type, no limits or mask.
TParamRec WorkingCopy(const TParamRec& table) {
  TParamRec copy;
  copy.keyword = table.keyword;
  copy.prompt = table.prompt;
  copy.helpContext = table.helpContext;
  copy.hint = table.hint;
  copy.required = table.required;
  copy.type = table.type;
  switch (table.type) {
    case ptText: copy.text = table.text; break;
    case ptChoice:
      copy.items = table.items;
      copy.index = table.index;
      break;
    case ptCheck: copy.check = table.check; break;
    case ptInFile:
    case ptOutFile: copy.fileName = table.fileName; break;
    case ptReal: copy.real = table.real; break;
    case ptInteger: copy.integer = table.integer; break;
  }
  return copy;
}

// The output and input files a run is given, as the openers take them.
struct TNamedFile {
  const TParamRec* param;
  std::string fullName;
};

std::vector<TNamedFile> NamedFiles(std::span<const TParamRec> params, TParamType type) {
  std::vector<TNamedFile> files;
  for (const TParamRec& param : params) {
    if (param.type == type && !param.fileName.empty()) files.push_back({&param, MatrixFileFullName(param.fileName)});
  }
  return files;
}

// Refused before any file is opened: two outputs that name one file would
// write over each other, and an output that is one of the inputs would
// destroy the data being read (or feed the run its own results), whatever
// the order in which the module opens its files.
void RefuseClashingFiles(std::span<const TParamRec> params) {
  const std::vector<TNamedFile> outputs = NamedFiles(params, ptOutFile);
  const std::vector<TNamedFile> inputs = NamedFiles(params, ptInFile);
  for (auto output = outputs.begin(); output != outputs.end(); ++output) {
    for (auto earlier = outputs.begin(); earlier != output; ++earlier) {
      if (SameMatrixFile(earlier->fullName, output->fullName)) {
        throw E_Morvapc("Output files for " + earlier->param->prompt + " and " + output->param->prompt +
                        " are one file: " + output->param->fileName + "\nChoose another output file name.");
      }
    }
    for (const TNamedFile& input : inputs) {
      if (SameMatrixFile(input.fullName, output->fullName)) {
        throw E_Morvapc(OutputOverInputMessage(output->param->prompt, output->fullName));
      }
    }
  }
}

// While it lives, an error box that the running module shows is held: the
// first text is kept and nothing is shown. Boxes shown while messages are
// processed go on to the box that was installed.
class THeldErrorBox {
 public:
  THeldErrorBox() : shown_(SwapErrorBox([this](std::string_view text) { Take(text); })) {}
  THeldErrorBox(const THeldErrorBox&) = delete;
  THeldErrorBox& operator=(const THeldErrorBox&) = delete;
  ~THeldErrorBox() { SwapErrorBox(std::move(shown_)); }

  // Raises the held text, if any.
  void RaiseHeld() const {
    if (held_) throw E_Morvapc(*held_);
  }

 private:
  using TBox = std::function<void(std::string_view)>;

  static TBox SwapErrorBox(TBox box) {
    TSharedServices services = InstallSharedServices({});
    TBox previous = std::exchange(services.errorBox, std::move(box));
    InstallSharedServices(std::move(services));
    return previous;
  }

  void Take(std::string_view text) {
    if (ProcessingMessages()) {
      if (shown_) shown_(text);
    } else if (!held_) {
      held_ = std::string(text);
    }
  }

  TBox shown_;
  std::optional<std::string> held_;
};

// The run routine; an error box it shows ends it as an error of its own.
void RunHoldingErrorBox(const TModuleRec& module, std::span<const TParamRec> params) {
  const THeldErrorBox held;
  try {
    const rtl::NonFiniteRule refusal(rtl::NonFinite::Refused);
    module.run(params);
  } catch (const rtl::ENonFiniteValue& error) {
    // A value that overflowed reached a listing line or a file.
    RefuseOverflow(error.Label().empty() ? std::string("A result") : error.Label(), error.Value());
  }
  held.RaiseHeld();
}

// The end of a run's listing that names the outputs it opened and did not put
// in place, after the reason when the run stopped at an error: the lines it
// wrote before ("... stored in file: ...") speak of files that stay as they
// were, or absent.
void ListUnwritten(const std::vector<std::string>& unwritten, std::string_view reason) noexcept {
  if (unwritten.empty()) return;
  try {
    if (!reason.empty()) {
      ListingWriteLine("");
      ListingWriteLine("Run stopped: " + std::string(reason));
    }
    for (const std::string& name : unwritten) ListingWriteLine("Output file not written: " + name);
  } catch (...) {
    // The listing cannot take the lines: the error that ended the run goes on.
  }
}

}  // namespace

std::int32_t TParamRec::ItemWidth() const {
  std::size_t width = 0;
  for (const std::string& item : items) width = std::max(width, item.size());
  return static_cast<std::int32_t>(width);
}

const std::string& TParamRec::ChoiceText() const {
  static const std::string none;
  if (index < 0 || index >= ItemCount()) return none;
  return items[static_cast<std::size_t>(index)];
}

bool IsGraphicsModule(std::int32_t number) { return number >= 24 && number <= 27; }

void RegisterModule(std::int32_t number, TDescribeProc describe) {
  CheckRange(number);
  DescribeRoutines()[static_cast<std::size_t>(number)] = describe;
}

void UnregisterModule(std::int32_t number) {
  if (number != ConfigModule) RegisterModule(number, nullptr);
}

bool ModuleAvailable(std::int32_t number) {
  return InRange(number) && DescribeRoutines()[static_cast<std::size_t>(number)] != nullptr;
}

void DescribeModule(std::int32_t number, TModuleRec& module) {
  CheckRange(number);
  const TDescribeProc describe = DescribeRoutines()[static_cast<std::size_t>(number)];
  if (describe == nullptr) {
    throw E_Morvapc("Module not available: " + std::string(ModuleBatchNames[static_cast<std::size_t>(number)]));
  }
  TModuleRec described;
  described.number = module.number;
  describe(described);
  module = described;
}

void TWorkingParams::LoadParameters(const TModuleRec& module) {
  params_.clear();
  params_.reserve(module.params.size());
  for (const TParamRec& record : module.params) params_.push_back(WorkingCopy(record));
}

void CallRunRoutine(const TModuleRec& module, std::span<const TParamRec> params) {
  RefuseClashingFiles(params);
  if (module.run == nullptr) return;
  TRunOutputs outputs;
  try {
    RunHoldingErrorBox(module, params);
    outputs.Commit();
  } catch (const std::exception& error) {
    ListUnwritten(outputs.Unwritten(), error.what());
    throw;
  }
  ListUnwritten(outputs.Unwritten(), {});
}
