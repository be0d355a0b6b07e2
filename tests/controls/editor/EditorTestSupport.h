#pragma once
// Helpers of the text-model tests: filling and reading a paragraph list, an
// editor double that records what the list reports, and allocations that fail
// on demand.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/editor/ParaList.h"

// Names the cases of a parameterised test after their `name` field.
struct CaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

using Paras = std::vector<std::string>;

// A list holding `paras` (at least one), unmodified and with an empty history.
void Fill(TParaList& list, const Paras& paras);
Paras Paragraphs(const TParaList& list);
// The display lines, as GetLine gives them from line 1 to the line count.
std::vector<std::string> DisplayLines(const TParaList& list);

// An editor that keeps what the list tells it; editors passed to Join share one list as a ring.
class RecordingEditor : public TParaListEditor {
 public:
  virtual ~RecordingEditor() = default;
  TParaListEditor* NextInRing() const override { return next; }
  void TextChanged(TParaListEditor* sender, std::int32_t firstLine, std::int32_t lastLine) override;
  void PositionsMoved(const TTextAdjust& change) override { moves.push_back(change); }
  void LayoutChanged() override { ++layouts; }

  struct Change {
    TParaListEditor* sender;
    std::int32_t first;
    std::int32_t last;
  };
  TParaListEditor* next = nullptr;
  std::vector<Change> changes;
  std::vector<TTextAdjust> moves;
  int layouts = 0;
};

// While alive, allocations through the non-throwing operator new fail: all of
// them after the first `allowed`, and any larger than `maxSize`.
class FailingAllocations {
 public:
  explicit FailingAllocations(int allowed, std::size_t maxSize = static_cast<std::size_t>(-1));
  ~FailingAllocations();
  FailingAllocations(const FailingAllocations&) = delete;
  FailingAllocations& operator=(const FailingAllocations&) = delete;
};
