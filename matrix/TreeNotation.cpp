// The parenthesis notation of trees: "((1,2),3);", with optional branch
// lengths after a colon ("((1:1,2:1):1,3:2);"). The tree keeps the leaves in
// the order of the text; each leaf's value is the level at which it joins the
// leaves after it: the mean height of the joined branches when lengths are
// given, otherwise the nesting depth turned round so that the innermost groups
// have the lowest levels.
//
// Malformed text is refused, naming the line: a leaf that is not an OTU
// number 1 .. n (a sign or any other character in it makes it none), a leaf
// given twice, more or fewer leaves than OTUs, more open branches than OTUs.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixWords.h"
#include "rtl/Convert.h"

namespace {

// Blanks, tabs and line ends are passed over; every other character is a
// delimiter or part of a word.
bool IsPassedOver(int c) { return c <= ' '; }

class TParenthesisReader {
 public:
  TParenthesisReader(Tree_mx& tree, rtl::TextReader& f)
      : tree_(tree), f_(f), n_(tree.n()), seen_(static_cast<std::size_t>(std::max(n_, 0)) + 1, false) {
    stack_.reserve(static_cast<std::size_t>(std::max(n_, 0)));
  }

  void Read() {
    for (int c = f_.Read(); c >= 0; c = f_.Read()) {
      if (IsPassedOver(c)) continue;
      if (c == ';') {
        Separator();
        std::string rest;
        ReadMatrixLine(f_, rest);
        break;
      }
      switch (c) {
        case '(': Open(); break;
        case ')': Close(); break;
        case ',': Separator(); break;
        case ':': Colon(); break;
        default: AddToWord(c);
      }
    }
    Finish();
  }

 private:
  // A word longer than any item is refused as soon as it is.
  void AddToWord(int c) {
    word_ += static_cast<char>(c);
    CheckWordLength(word_, f_.LineNumber());
  }

  // Refuses the tree with the text and the line the reader is on.
  [[noreturn]] void Refuse(const std::string& text) const { throw E_Morvapc(text + OnInputLine(f_.LineNumber())); }

  struct TEntry {
    double value;
    double previous;
    int depth;
    std::int32_t leaves;
  };

  void Open() {
    previous_ = current_;
    current_ = 0;
    ++depth_;
    greatestDepth_ = std::max(greatestDepth_, depth_);
  }

  void Colon() {
    leafWord_ = std::move(word_);
    word_.clear();
    colon_ = true;
    lengths_ = true;
  }

  void Separator() {
    FinishWord();
    if (static_cast<std::int32_t>(stack_.size()) >= n_) {
      Refuse("More branches in NEXUS format tree than number of OTUs (" + rtl::IntToStr(n_) + ")");
    }
    stack_.push_back({current_, previous_, depth_, leaves_});
    current_ = 0;
  }

  void Close() {
    FinishWord();
    if (stack_.empty()) Refuse("Error in structure of NEXUS format tree");
    double sum = current_;
    double highest = previous_;
    std::vector<std::int32_t> joined;
    while (!stack_.empty() && stack_.back().depth == depth_) {
      const TEntry& e = stack_.back();
      if (e.leaves < 1) Refuse("Error in structure of NEXUS format tree");
      sum += e.value;
      highest = std::max(highest, e.previous);
      joined.push_back(e.leaves);
      stack_.pop_back();
    }
    double level = depth_;
    if (lengths_) {
      level = sum / static_cast<double>(joined.size() + 1);
      if (level < highest) level = highest + 0.0001;
    }
    for (std::int32_t leaf : joined) tree_.PutValue(leaf, level);
    previous_ = current_;
    current_ = level;
    --depth_;
  }

  // The word before a ")", "," or ";": a leaf, or after a colon a branch length.
  void FinishWord() {
    if (colon_) {
      if (leafWord_.empty()) {
        previous_ = current_;
      } else {
        Leaf(leafWord_);
      }
      if (word_.empty()) Refuse("No branch length given after : ");
      const std::optional<double> length = rtl::TryStrToFloat(word_);
      if (!length) Refuse("Bad branch length (" + QuotedWord(word_) + ") in NEXUS format tree");
      current_ += *length;
      colon_ = false;
      leafWord_.clear();
    } else if (!word_.empty()) {
      Leaf(word_);
    }
    word_.clear();
  }

  void Leaf(const std::string& word) {
    const std::optional<std::int32_t> otu = rtl::TryStrToInt(word);
    if (!otu) Refuse("OTU number (" + QuotedWord(word) + ") is not a number");
    if (*otu > n_) Refuse("OTU number (" + QuotedWord(word) + ") greater than number of OTUs");
    if (*otu < 1) Refuse("OTU number (" + QuotedWord(word) + ") less than 1");
    if (leaves_ >= n_) Refuse("More OTUs in NEXUS format tree than number of OTUs (" + rtl::IntToStr(n_) + ")");
    if (seen_[static_cast<std::size_t>(*otu)])
      Refuse("OTU number (" + QuotedWord(word) + ") occurs twice in NEXUS format tree");
    seen_[static_cast<std::size_t>(*otu)] = true;
    ++leaves_;
    tree_.PutNode(*otu, leaves_, 0.0);
  }

  void Finish() {
    if (depth_ != 0) Refuse("Unbalanced parentheses in NEXUS format tree");
    if (leaves_ != n_) {
      Refuse("Fewer OTUs in NEXUS format tree (" + rtl::IntToStr(leaves_) + ") than number of OTUs (" +
             rtl::IntToStr(n_) + ")");
    }
    if (!lengths_) {
      for (std::int32_t k = 1; k < leaves_; ++k) tree_.PutValue(k, greatestDepth_ + 1 - tree_.GetValue(k));
    }
    tree_.PutValue(leaves_, -1.0);
  }

  Tree_mx& tree_;
  rtl::TextReader& f_;
  const std::int32_t n_;
  std::vector<bool> seen_;
  std::vector<TEntry> stack_;
  std::string word_;
  std::string leafWord_;
  double current_ = 0;
  double previous_ = 0;
  int depth_ = 1;  // the "(" that selected the notation opened the outermost group
  int greatestDepth_ = 1;
  std::int32_t leaves_ = 0;
  bool colon_ = false;
  bool lengths_ = false;
};

}  // namespace

bool ReadParenthesisTree(Tree_mx& tree, rtl::TextReader& f) {
  TParenthesisReader reader(tree, f);
  reader.Read();
  return true;
}
