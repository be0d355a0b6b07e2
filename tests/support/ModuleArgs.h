#pragma once
// A module's parameters set as a test gives them: values by keyword, each a
// file name, a number, a text, a choice item, or YES / NO for a check box.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>

#include "shell/Modules.h"

namespace testsupport {

using ModuleArgs = std::map<std::string, std::string>;

// Sets each parameter that args names; a file name is passed through
// fileName (which places it in the test's folder), an empty one stays empty.
// A choice item that is not in the list fails the test.
inline void SetModuleArgs(std::span<TParamRec> params, const ModuleArgs& args,
                          const std::function<std::string(const std::string&)>& fileName) {
  for (TParamRec& p : params) {
    const auto value = args.find(p.keyword);
    if (value == args.end()) continue;
    switch (p.type) {
      case ptInFile:
      case ptOutFile: p.fileName = value->second.empty() ? "" : fileName(value->second); break;
      case ptInteger: p.integer = std::stoi(value->second); break;
      case ptReal: p.real = std::stod(value->second); break;
      case ptText: p.text = value->second; break;
      case ptCheck: p.check = value->second == "YES"; break;
      case ptChoice: {
        const auto at = std::find(p.items.begin(), p.items.end(), value->second);
        if (at == p.items.end()) {
          ADD_FAILURE() << "no item " << value->second << " for " << p.keyword;
          break;
        }
        p.index = static_cast<std::int32_t>(at - p.items.begin());
        break;
      }
    }
  }
}

// Runs a module as the batch runner does: its parameters from their defaults
// and args, then prepare (when given) just before the run routine.
inline void RunModule(void (*describe)(TModuleRec&), const ModuleArgs& args,
                      const std::function<std::string(const std::string&)>& fileName,
                      const std::function<void(std::span<const TParamRec>)>& prepare = {}) {
  TModuleRec module;
  describe(module);
  TWorkingParams params;
  params.LoadParameters(module);
  SetModuleArgs(params.Params(), args, fileName);
  if (prepare) prepare(params.Params());
  CallRunRoutine(module, params.Params());
}

}  // namespace testsupport
