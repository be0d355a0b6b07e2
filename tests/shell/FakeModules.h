#pragma once
// Small modules for the shell's tests: a table with one parameter of each
// type, and run and release routines that record what they were given.

#include <string>
#include <vector>

#include "shell/Modules.h"

namespace shelltest {

// What the fake modules' routines saw, in order ("run TEXT=...", "release").
std::vector<std::string>& FakeLog();

// Registers the fake module under a number (its batch name is the table's);
// unregisters it again at the end of the test. The run lists one line with
// the values it got; a text "FAIL" raises E_Morvapc "fake failure", "ABORT"
// calls Progress after requesting an abort, "BOX" shows the error boxes
// "fake box" and "second box" and returns, "WRITE" opens the output file O
// and writes "new" in it, returning at once when the opener says no.
class FakeModule {
 public:
  explicit FakeModule(std::int32_t number);
  ~FakeModule();
  FakeModule(const FakeModule&) = delete;
  FakeModule& operator=(const FakeModule&) = delete;

 private:
  std::int32_t number_;
};

// The fake module's own table (its starting values).
const std::vector<TParamRec>& FakeTable();

}  // namespace shelltest
