#pragma once
// An ordered list of text lines with the platform's list operations.

#include <string>
#include <string_view>
#include <vector>

namespace rtl {

class StringList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // 0-based access; an index outside the list raises rtl::Exception "List index out of bounds (i)".
  const std::string& operator[](int index) const;
  std::string& operator[](int index);

  int Add(std::string text);
  void Insert(int index, std::string text);
  void Delete(int index);
  void Clear() { items_.clear(); }
  // Index of the first line equal to text, ignoring ASCII case; -1 when absent.
  int IndexOf(std::string_view text) const;

  // All lines, each ended by CR LF.
  std::string Text() const;
  // Replaces the lines by those of text; CR LF, LF and lone CR end lines.
  void SetText(std::string_view text);

  // The lines of a file; a UTF-8 byte-order mark at its start is passed over.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void CheckIndex(int index, int limit) const;
  std::vector<std::string> items_;
};

// ASCII case-insensitive comparisons, as the platform's text compare does for names.
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
std::string_view Trim(std::string_view s);

}  // namespace rtl
