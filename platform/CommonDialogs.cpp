#include "platform/CommonDialogs.h"

#include <cctype>

namespace plat {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  for (;;) {
    auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool WildMatch(const char* name, const char* pattern) {
  for (; *pattern != '\0'; ++pattern, ++name) {
    if (*pattern == '*') {
      for (const char* rest = name;; ++rest) {
        if (WildMatch(rest, pattern + 1)) return true;
        if (*rest == '\0') return false;
      }
    }
    if (*name == '\0') return false;
    if (*pattern != '?' && !SameLetter(*pattern, *name)) return false;
  }
  return *name == '\0';
}

}  // namespace

std::vector<FilterEntry> ParseFilter(const std::string& filter) {
  std::vector<FilterEntry> entries;
  if (filter.empty()) return entries;
  auto parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) entries.push_back({parts[i], Split(parts[i + 1], ';')});
  return entries;
}

bool MatchesPattern(const std::string& fileName, const std::string& pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return WildMatch(fileName.c_str(), pattern.c_str());
}

std::string WithDefaultExtension(const std::string& fileName, const std::string& defaultExt) {
  if (fileName.empty() || defaultExt.empty()) return fileName;
  auto slash = fileName.find_last_of('/');
  auto base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  if (base.find('.') != std::string::npos) return fileName;
  return fileName + "." + defaultExt;
}

}  // namespace plat
