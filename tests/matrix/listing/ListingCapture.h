#pragma once
// Collects the listing lines written during a test.

#include <string>
#include <string_view>
#include <vector>

#include "matrix/Constu.h"

namespace listingtest {

class ListingCapture {
 public:
  ListingCapture() {
    TSharedServices services;
    services.listingLine = [this](std::string_view line) { lines.emplace_back(line); };
    previous_ = InstallSharedServices(std::move(services));
  }
  ~ListingCapture() { InstallSharedServices(std::move(previous_)); }
  ListingCapture(const ListingCapture&) = delete;
  ListingCapture& operator=(const ListingCapture&) = delete;

  std::vector<std::string> lines;

 private:
  TSharedServices previous_;
};

}  // namespace listingtest
