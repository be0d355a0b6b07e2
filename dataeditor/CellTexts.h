#pragma once
// The texts of many cells in a few large blocks instead of one string each: a
// matrix of millions of cells then costs little more than its file. A text is
// added once and never changed; a cell keeps the number the pool gave it.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TCellTexts {
 public:
  // A text's number in the pool; 0 is the empty text.
  using Ref = std::uint64_t;

  Ref Add(std::string_view text);
  std::string_view Get(Ref ref) const;

 private:
  // Each text is stored as its length (7 bits a byte, lowest first) and its
  // bytes; a Ref is the block's number (from 1) and the offset in the block.
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
};
