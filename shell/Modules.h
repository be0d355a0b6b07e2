#pragma once
// Module descriptors and dispatch. Every module describes itself in one
// descriptor (TModuleRec) that points at its own static table of parameters
// (TParamRec) and of plot buttons (TbuttonsRec). The parameter dialog and the
// batch runner reach a module only through its descriptor, and each of them
// works on a working copy of the parameter table of its own (TWorkingParams),
// so values typed or given in a batch never reach the module's table and the
// two clients never share one.

#include <array>
#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/Constu.h"

// Type codes of a parameter.
enum TParamType : std::uint8_t {
  ptText = 0,     // text of at most 50 characters
  ptChoice = 1,   // one of 1 to 18 items
  ptCheck = 2,    // check box
  ptInFile = 3,   // input file name (at most 128 characters in a batch)
  ptOutFile = 4,  // output file name (at most 128 characters in a batch)
  ptReal = 5,     // real number between the limits
  ptInteger = 6,  // integer between the limits
};

constexpr std::size_t MaxTextLength = 50;
constexpr std::size_t MaxFileNameLength = 128;  // in a batch command
// In the parameter dialog: the longest path the system opens.
constexpr std::size_t MaxPathLength = PATH_MAX - 1;

// One parameter of a module. Only the value fields of the record's own type
// mean anything. Limits and edit masks live in the module's table only; the
// working copy carries the values and, for a choice, the items.
struct TParamRec {
  std::string keyword{};  // batch keyword, upper case, at most 4 characters
  std::string prompt{};   // the dialog row's text, at most 25 characters
  std::int32_t helpContext = 1001;
  std::string hint{};  // at most 30 characters
  bool required = false;
  TParamType type = ptText;

  std::string text{};                // ptText
  std::string fileName{};            // ptInFile, ptOutFile; empty when not given
  bool check = false;                // ptCheck
  double real = 0;                   // ptReal
  std::int32_t integer = 0;          // ptInteger
  std::string min{};                 // ptReal, ptInteger: lower limit as text, empty for none
  std::string max{};                 // upper limit as text, empty for none
  std::string mask{};                // edit mask such as "##" or "#####.#####"
  std::vector<std::string> items{};  // ptChoice: the items, at most 14 characters each
  std::int32_t index = 0;            // ptChoice: the selected item, counted from 0

  std::int32_t ItemCount() const { return static_cast<std::int32_t>(items.size()); }
  // Length of the longest item (the choice box's text length).
  std::int32_t ItemWidth() const;
  // The selected item's text; empty when the index lies outside the items.
  const std::string& ChoiceText() const;
};

struct TModuleRec;

// A module's run routine takes the working copy of its parameter table.
using TRunProc = void (*)(std::span<const TParamRec> params);
using TReleaseProc = void (*)();
using TDescribeProc = void (*)(TModuleRec& module);

// The module descriptor, filled by the module's describe routine.
struct TModuleRec {
  std::int32_t number = 0;  // 0 to 27; set by the main window's dispatch
  std::string name{};       // stored name: dialog caption, listing section name
  std::string title{};
  TRunProc run = nullptr;
  std::int32_t helpContext = 0;
  std::span<const TParamRec> params{};     // the module's own table, 1 to 15 records
  std::span<const TbuttonsRec> buttons{};  // 0 to 4 plot buttons
  TReleaseProc release = nullptr;          // none where the module keeps nothing
};

constexpr std::int32_t ModuleCount = 28;
constexpr std::int32_t ConfigModule = 0;

// The batch names of modules 0 to 27.
extern const std::array<std::string_view, ModuleCount> ModuleBatchNames;

// Modules 24 to 27 draw plots; the batch runner waits for the user after them.
bool IsGraphicsModule(std::int32_t number);

// Makes a module available to dispatch. The configuration module is always
// there; the program registers the others it is built with at start-up.
void RegisterModule(std::int32_t number, TDescribeProc describe);
// Takes a module out of dispatch again (tests).
void UnregisterModule(std::int32_t number);
bool ModuleAvailable(std::int32_t number);

// Fills the descriptor for a module number, all but its number field. A number
// outside 0 to 27 raises E_Morvapc_Internal "Out of range button index: <n>";
// a module this program is built without raises E_Morvapc
// "Module not available: <batch name>". On error the descriptor is unchanged.
void DescribeModule(std::int32_t number, TModuleRec& module);

// Calls the module's run routine on a working copy: the one way the parameter
// dialog and the batch runner start a run, so that every run fails alike.
// - Before the routine: two output files that name one file refuse the run
//   (E_Morvapc "Output files for <prompt> and <prompt> are one file: <name>"),
//   and so does an output file that is one of the input files
//   (OutputOverInputMessage with the output's prompt), before anything is
//   opened.
// - During it: an error box that the routine shows is held, not shown, and
//   when the routine returns after one, the first held text is raised as
//   E_Morvapc: a run that reported an error is a failed run, whose message the
//   caller's handler shows once. Boxes that windows show while the run lets
//   them work (inside Progress) are theirs and show at once.
// - During it too: a number that is not finite (a computation overflowed)
//   is never written, to a file or to the listing: formatting one raises
//   E_Morvapc "<what> overflowed (INF) and cannot be written." (RefuseOverflow),
//   what being the listing's words before the number, or "A result".
// - After it: the matrix files the run wrote take their places together when
//   it went well; when it failed (an error, a reported error, a user abort),
//   none does and every previous file stays as it was.
void CallRunRoutine(const TModuleRec& module, std::span<const TParamRec> params);

// A client's working copy of a module's parameter table.
class TWorkingParams {
 public:
  // Frees any previous copy and copies the descriptor's table: keyword,
  // prompt, help context, hint, required flag, type and the value of that
  // type (for a choice its items and index). Limits and masks stay in the
  // module's table.
  void LoadParameters(const TModuleRec& module);
  // Frees the copy; the count becomes 0.
  void Free() { params_.clear(); }

  std::int32_t Count() const { return static_cast<std::int32_t>(params_.size()); }
  std::span<TParamRec> Params() { return params_; }
  std::span<const TParamRec> Params() const { return params_; }

 private:
  std::vector<TParamRec> params_;
};
