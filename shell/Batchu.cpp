#include "shell/Batchu.h"

#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/ScopeGuard.h"
#include "shell/Config.h"
#include "shell/Listing.h"
#include "shell/Progress.h"

namespace {

// Blanks and tabs separate the module name and the parameters of a command.
constexpr std::string_view kCommandBlanks = " \t";

bool IsComment(std::string_view line) { return rtl::Trim(line).empty() || line.front() == '"' || line.front() == '\''; }

// Blanks, tabs and commas separate the pairs of a command.
bool IsPairSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

// The argument of a pair written in double quotes, its first and last
// characters, holds what is between them.
bool IsQuoted(std::string_view arg) { return arg.size() >= 2 && arg.front() == '"' && arg.back() == '"'; }

// The pairs of a command: words between blanks, tabs and commas, but a comma
// inside parentheses does not separate (SHAPET(1,2)), and an argument that
// starts with a double quote runs to the next one, separators and all
// (OUT="3,4"). The words keep their quotes.
std::vector<std::string> SplitPairs(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (IsPairSeparator(text[i])) {
      ++i;
      continue;
    }
    const size_t start = i;
    size_t equals = std::string_view::npos;
    int depth = 0;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      if (c == ' ' || c == '\t' || (c == ',' && depth == 0)) break;
      if (c == '"' && equals != std::string_view::npos && i == equals + 1) {
        const size_t close = text.find('"', i + 1);
        if (close == std::string_view::npos) {
          throw E_Morvapc("Closing double quote missing in:\n" + std::string(text.substr(start)));
        }
        i = close + 1;
        if (i < text.size() && !IsPairSeparator(text[i])) {
          const size_t end = text.find_first_of(" \t,", i);
          throw E_Morvapc("Invalid parameter/argument pair:\n" + std::string(text.substr(start, end - start)));
        }
        break;
      }
      if (c == '=' && equals == std::string_view::npos) equals = i;
      if (c == '(') ++depth;
      if (c == ')' && depth > 0) --depth;
    }
    words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

// The words of the batch parameters: between blanks, but a word that starts
// with a double quote runs to the next one, blanks and all, and keeps its
// quotes, so that where it stands in a command it is an argument in quotes.
std::vector<std::string> SplitParameterWords(std::string_view text) {
  std::vector<std::string> words;
  size_t start = text.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    size_t end = text.find(' ', start);
    if (text[start] == '"') {
      const size_t close = text.find('"', start + 1);
      if (close != std::string_view::npos) end = text.find(' ', close);
    }
    words.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    start = end == std::string_view::npos ? end : text.find_first_not_of(' ', end);
  }
  return words;
}

void CheckLength(const std::string& param, const std::string& arg, size_t limit) {
  if (arg.size() > limit) {
    throw E_Morvapc(rtl::Format("Argument for %s is longer than %d characters:\n%s", param, limit, arg));
  }
}

// A number against the limits of the module's own table (a limit that is
// empty, or no number, does not apply).
void CheckLimits(double value, const TParamRec& table, const std::string& param, const std::string& arg) {
  const auto low = rtl::TryStrToFloat(rtl::Trim(table.min));
  const auto high = rtl::TryStrToFloat(rtl::Trim(table.max));
  if ((low && value < *low) || (high && value > *high)) {
    throw E_Morvapc(
        rtl::Format("Argument (%s) out of range for %s:\nmust be between %s and %s", arg, param, table.min, table.max));
  }
}

std::int32_t ChoiceIndex(const TParamRec& record, const std::string& arg) {
  std::int32_t found = -1;
  for (std::int32_t i = 0; i < record.ItemCount(); ++i) {
    if (rtl::SameText(record.items[static_cast<size_t>(i)], arg)) found = i;
  }
  if (found < 0) throw E_Morvapc("Argument (" + rtl::UpperCase(arg) + ") not found in list");
  return found;
}

void SetArgument(TParamRec& record, const TParamRec& table, const std::string& param, const std::string& arg) {
  switch (record.type) {
    case ptText:
      CheckLength(param, arg, MaxTextLength);
      record.text = arg;
      break;
    case ptInFile:
    case ptOutFile:
      CheckLength(param, arg, MaxFileNameLength);
      record.fileName = arg;
      break;
    case ptChoice: record.index = ChoiceIndex(record, arg); break;
    case ptCheck:
      record.check = rtl::SameText(arg, "TRUE") || rtl::SameText(arg, "ROW") || rtl::SameText(arg, "YES");
      break;
    case ptReal: {
      const double value = rtl::StrToFloat(arg);
      CheckLimits(value, table, param, arg);
      record.real = value;
      break;
    }
    case ptInteger: {
      const std::int32_t value = rtl::StrToInt(arg);
      CheckLimits(value, table, param, arg);
      record.integer = value;
      break;
    }
  }
}

// Clears the run state however a run ends.
class TRunScope {
 public:
  TRunScope(TBatchView& view, TWorkingParams& params) : view_(view), params_(params) { view_.RunStarted(); }
  TRunScope(const TRunScope&) = delete;
  TRunScope& operator=(const TRunScope&) = delete;
  ~TRunScope() {
    ProgressDone();
    view_.RunEnded();
    EndBatchRun();
    params_.Free();
  }

 private:
  TBatchView& view_;
  TWorkingParams& params_;
};

}  // namespace

rtl::StringList PrepareBatchLines(const rtl::StringList& lines, std::vector<int>* fileLines) {
  if (lines.Empty()) throw E_Morvapc("Batch file is empty.");
  rtl::StringList commands;
  std::vector<int> starts;
  for (int number = 1; number <= lines.Count(); ++number) {
    const std::string& line = lines[number - 1];
    if (IsComment(line)) continue;
    if (commands.Empty() && line.front() != '*') {
      throw E_Morvapc("Batch command lines must begin\nwith * or quote character:\n" + line);
    }
    if (line.front() == '*') {
      commands.Add(line);
      starts.push_back(number);
    } else {
      commands[commands.Count() - 1] += " " + line;
    }
  }
  if (commands.Empty()) throw E_Morvapc("Batch file contained only\ncomments or blank lines.");
  if (fileLines != nullptr) *fileLines = std::move(starts);
  return commands;
}

std::vector<std::string> BatchParameterWords(std::string_view parameters) {
  std::vector<std::string> words = SplitParameterWords(parameters);
  // Only %1 to %9 can use them: a tenth would be dropped without a word.
  if (words.size() > 9) {
    throw E_Morvapc(rtl::Format("Too many batch parameters (%d): at most 9 can be given", words.size()));
  }
  return words;
}

std::string QuoteBatchParameter(std::string_view word) {
  const bool blank = word.find_first_of(" \t") != std::string_view::npos;
  if (!blank || word.find('"') != std::string_view::npos) return std::string(word);
  return '"' + std::string(word) + '"';
}

std::string SubstituteParameters(std::string_view command, const std::vector<std::string>& words) {
  std::string result;
  bool inQuotes = false;  // within a quoted stretch of the command itself
  for (size_t i = 0; i < command.size(); ++i) {
    if (command[i] != '%') {
      if (command[i] == '"') inQuotes = !inQuotes;
      result += command[i];
      continue;
    }
    const char digit = i + 1 < command.size() ? command[i + 1] : '\0';
    if (digit < '1' || digit > '9') throw E_Morvapc("Bad parameter format");
    const size_t n = static_cast<size_t>(digit - '0');
    if (n > words.size()) {
      result += std::string{'%', digit};
    } else {
      // A quoted word inside quotes of the command ("%1.qmx") gives its text.
      const std::string& word = words[n - 1];
      result += inQuotes && IsQuoted(word) ? word.substr(1, word.size() - 2) : word;
    }
    ++i;
  }
  return result;
}

std::int32_t LookupModule(std::string& command) {
  const size_t start = command.find_first_not_of(kCommandBlanks);
  const size_t end = start == std::string::npos ? start : command.find_first_of(kCommandBlanks, start);
  const std::string name =
      start == std::string::npos ? std::string() : rtl::UpperCase(std::string_view(command).substr(start, end - start));
  if (name.empty()) throw E_Morvapc("Module name missing");
  for (std::int32_t number = 0; number < ModuleCount; ++number) {
    if (ModuleBatchNames[static_cast<size_t>(number)] == name) {
      command.erase(0, end);
      return number;
    }
  }
  throw E_Morvapc("Module name (" + name + ")\n not found");
}

void ParseArguments(std::string_view arguments, const TModuleRec& module, TWorkingParams& params) {
  const std::vector<std::string> words = SplitPairs(arguments);
  if (words.empty()) throw E_Morvapc("No parameters provided.");
  const std::span<TParamRec> records = params.Params();
  for (const std::string& word : words) {
    const size_t equals = word.find('=');
    std::string arg = equals == std::string::npos ? std::string() : word.substr(equals + 1);
    if (IsQuoted(arg)) {
      arg = arg.substr(1, arg.size() - 2);
    } else if (equals == std::string::npos || arg.find('=') != std::string::npos) {
      throw E_Morvapc("Invalid parameter/argument pair:\n" + word);
    }
    const std::string param = rtl::UpperCase(std::string_view(word).substr(0, equals));
    bool matched = false;
    for (size_t i = 0; i < records.size() && i < module.params.size(); ++i) {
      if (!rtl::SameText(records[i].keyword, param)) continue;
      SetArgument(records[i], module.params[i], param, arg);
      matched = true;
    }
    if (!matched) throw E_Morvapc("Parameter (" + param + ") not recognized in:\n" + std::string(arguments));
  }
}

void TBatchView::ShowError(const std::string& text) { ShowErrorMessage(text); }

void TBatchView::ShowWarning(const std::string& text) { ShowWarningMessage(text); }

TBatchRunner::TBatchRunner(TListingModel& listing, TBatchView& view) : listing_(listing), view_(view) {}

void TBatchRunner::Load(const std::string& fileName) {
  fileName_ = fileName;
  TakeDataDirectoryOf(fileName);
  commands_.Clear();
  fileLines_.clear();
  if (!Running()) state_ = TBatchState::Empty;
  rtl::StringList lines;
  lines.LoadFromFile(fileName);
  LoadLines(lines);
}

void TBatchRunner::LoadLines(const rtl::StringList& lines) {
  commands_ = PrepareBatchLines(lines, &fileLines_);
  if (!Running()) state_ = TBatchState::Loaded;
}

bool TBatchRunner::Running() const { return state_ == TBatchState::Running || state_ == TBatchState::Waiting; }

TBatchState TBatchRunner::IdleState() const { return commands_.Empty() ? TBatchState::Empty : TBatchState::Loaded; }

TBatchEnd TBatchRunner::Run(std::string_view parameters) {
  if (state_ != TBatchState::Loaded || RunFlags().abort || !BeginBatchRun()) return TBatchEnd::Refused;
  state_ = TBatchState::Running;
  current_ = -1;
  TBatchEnd end = TBatchEnd::Completed;
  try {
    TRunScope scope(view_, params_);
    RunCommands(SubstitutedCommands(BatchParameterWords(parameters)));
  } catch (const E_Morvapc_UserAbort& abort) {
    ClearAbort();
    ListStop();
    view_.ShowWarning(abort.Message());
    end = TBatchEnd::Aborted;
  } catch (const E_Morvapc& error) {
    view_.ShowError(error.Message());
    end = TBatchEnd::Failed;
  } catch (...) {
    state_ = IdleState();
    throw;
  }
  state_ = IdleState();
  return end;
}

// Every command with the batch parameters in place, before the first runs; a
// command they cannot go into is named as the one the batch stopped at.
rtl::StringList TBatchRunner::SubstitutedCommands(const std::vector<std::string>& words) const {
  rtl::StringList commands;
  for (int i = 0; i < commands_.Count(); ++i) {
    try {
      commands.Add(SubstituteParameters(commands_[i], words));
    } catch (const E_Morvapc&) {
      view_.ExecutingLine(i + 1, fileLines_[static_cast<size_t>(i)], commands_[i]);
      throw;
    }
  }
  return commands;
}

void TBatchRunner::RunCommands(const rtl::StringList& commands) {
  for (current_ = 0; current_ < commands.Count(); ++current_) {
    view_.ExecutingLine(current_ + 1, fileLines_[static_cast<size_t>(current_)], commands[current_]);
    RunCommand(commands[current_]);
    view_.CommandEnded(current_ + 1);
  }
}

// The last line of a cancelled batch's listing: where it stopped.
void TBatchRunner::ListStop() const {
  if (current_ < 0 || current_ >= static_cast<int>(fileLines_.size())) return;
  ListingWriteLine(rtl::Format("Batch stopped by Cancel at line %d", fileLines_[static_cast<size_t>(current_)]));
}

void TBatchRunner::RunCommand(const std::string& line) {
  if (line.empty() || IsComment(line)) return;
  if (line.front() != '*') throw E_Morvapc("Module name must begin with *");
  std::string rest = line.substr(1);
  const std::int32_t number = LookupModule(rest);
  DescribeModule(number, module_);
  params_.LoadParameters(module_);
  ParseArguments(rest, module_, params_);
  listing_.NewSection(module_.name);
  const rtl::ScopeExit after([&] { AfterModule(number); });
  CallRunRoutine(module_, params_.Params());
}

void TBatchRunner::AfterModule(std::int32_t number) {
  {
    const rtl::ScopeExit release([this] {
      if (module_.release != nullptr) module_.release();
    });
    // After Cancel the batch ends at once: no wait for "Next", which would
    // stay dead while the abort is pending.
    if (IsGraphicsModule(number) && !RunFlags().abort) WaitForPlot();
  }
  Progress("", -1);
}

void TBatchRunner::WaitForPlot() {
  state_ = TBatchState::Waiting;
  stop_ = false;
  const rtl::ScopeExit ended([this] {
    state_ = TBatchState::Running;
    view_.WaitEnded();
  });
  view_.WaitStarted();
  while (!stop_) WaitForMessages();
}

void TBatchRunner::Next() {
  if (state_ == TBatchState::Waiting && !RunFlags().abort) stop_ = true;
}

bool TBatchRunner::Cancel() {
  if (!Running()) return false;
  RequestAbort();
  stop_ = true;
  return true;
}
