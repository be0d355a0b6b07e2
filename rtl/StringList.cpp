#include "rtl/StringList.h"

#include "rtl/Exception.h"
#include "rtl/TextFile.h"

namespace rtl {

void StringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& StringList::operator[](int index) const {
  CheckIndex(index, Count());
  return items_[index];
}

std::string& StringList::operator[](int index) {
  CheckIndex(index, Count());
  return items_[index];
}

int StringList::Add(std::string text) {
  items_.push_back(std::move(text));
  return Count() - 1;
}

void StringList::Insert(int index, std::string text) {
  CheckIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, std::move(text));
}

void StringList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
}

int StringList::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(items_[i], text)) return i;
  return -1;
}

std::string StringList::Text() const {
  std::string s;
  for (const auto& line : items_) {
    s += line;
    s += "\r\n";
  }
  return s;
}

void StringList::SetText(std::string_view text) {
  items_.clear();
  TextReader reader = TextReader::FromText(std::string(text));
  std::string line;
  while (reader.ReadLine(line)) items_.push_back(line);
}

void StringList::LoadFromFile(const std::string& fileName) { SetText(WithoutByteOrderMark(ReadWholeFile(fileName))); }

void StringList::SaveToFile(const std::string& fileName) const {
  TextWriter w(fileName);
  for (const auto& line : items_) w.WriteLine(line);
  w.Close();
}

namespace {
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Upper(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Lower(c);
  return r;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

}  // namespace rtl
