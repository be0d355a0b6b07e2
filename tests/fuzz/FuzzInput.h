#pragma once
// What the fuzz targets over the system's readers share: how one input is
// taken. The listing and the warning boxes go nowhere. An exception of a
// class the target names as the reader's way to refuse (E_Morvapc, the
// system's error for the user, for most) ends the input quietly; any other
// exception, or a broken invariant the target reports with Finding, stops
// the program, which libFuzzer (or the test that replays the corpus) reports.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>
#include <utility>

#include "matrix/Constu.h"

namespace fuzz {

[[noreturn]] inline void Finding(const char* what) {
  std::fprintf(stderr, "finding: %s\n", what);
  std::abort();
}

template <class... Refusals, class Body>
int TakeInput(Body&& body) {
  TSharedServices services;
  services.listingLine = [](std::string_view) {};
  services.warningBox = [](std::string_view) {};
  InstallSharedServices(std::move(services));
  try {
    std::forward<Body>(body)();
  } catch (const std::exception& e) {
    if (((dynamic_cast<const Refusals*>(&e) != nullptr) || ...)) return 0;
    std::fprintf(stderr, "unexpected exception: %s\n", e.what());
    std::abort();
  }
  return 0;
}

}  // namespace fuzz
