#include "shell/forms/Version.h"

std::string VersionOf(std::string_view literal) {
  constexpr std::string_view kStart = "Version *";
  const std::size_t start = literal.find(kStart);
  if (start == std::string_view::npos) return {};
  const std::string_view rest = literal.substr(start + kStart.size());
  return std::string(rest.substr(0, rest.find('*')));
}

const std::string& VersionText() {
  static const std::string version = VersionOf("Version *2.02c*");
  return version;
}
