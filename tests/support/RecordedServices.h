#pragma once
// Records what the matrix library's shared services receive during a test:
// listing lines and message boxes. The previous hooks come back at the end.

#include <string>
#include <string_view>
#include <vector>

#include "matrix/Constu.h"

namespace testsupport {

class RecordedServices {
 public:
  RecordedServices() {
    TSharedServices services;
    services.listingLine = [this](std::string_view line) { lines.emplace_back(line); };
    services.errorBox = [this](std::string_view text) { errors.emplace_back(text); };
    services.warningBox = [this](std::string_view text) { warnings.emplace_back(text); };
    old_ = InstallSharedServices(std::move(services));
  }
  ~RecordedServices() { InstallSharedServices(std::move(old_)); }
  RecordedServices(const RecordedServices&) = delete;
  RecordedServices& operator=(const RecordedServices&) = delete;

  std::vector<std::string> lines;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;

 private:
  TSharedServices old_;
};

}  // namespace testsupport
