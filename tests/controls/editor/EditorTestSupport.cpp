#include "EditorTestSupport.h"

#include <new>

namespace {

int gAllowed = -1;  // -1: no limit
std::size_t gMaxSize = static_cast<std::size_t>(-1);

bool AllocationFails(std::size_t size) {
  if (size > gMaxSize) return true;
  if (gAllowed < 0) return false;
  if (gAllowed == 0) return true;
  --gAllowed;
  return false;
}

}  // namespace

// The non-throwing forms are what the text model allocates with; they fail
// here on demand and otherwise take memory from the ordinary forms, so that
// every delete matches its new.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (AllocationFails(size)) return nullptr;
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (AllocationFails(size)) return nullptr;
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

FailingAllocations::FailingAllocations(int allowed, std::size_t maxSize) {
  gAllowed = allowed;
  gMaxSize = maxSize;
}

FailingAllocations::~FailingAllocations() {
  gAllowed = -1;
  gMaxSize = static_cast<std::size_t>(-1);
}

void Fill(TParaList& list, const Paras& paras) {
  std::int32_t length = list.GetParagraphLength(1);
  list.DeleteText(nullptr, 1, 1, length);
  list.InsertText(nullptr, 1, 1, paras.at(0));
  for (std::size_t i = 1; i < paras.size(); ++i) {
    list.InsertParagraphAfter(nullptr, static_cast<std::int32_t>(i), paras[i]);
  }
  list.SetModified(false);
  list.SetUndoBufferSize(static_cast<std::uint16_t>(list.UndoBuffer().Size()));
}

Paras Paragraphs(const TParaList& list) {
  Paras paras;
  for (std::int32_t n = 1; n <= list.ParagraphCount(); ++n) paras.emplace_back(list.GetParagraph(n)->Text());
  return paras;
}

std::vector<std::string> DisplayLines(const TParaList& list) {
  std::vector<std::string> lines;
  for (std::int32_t line = 1; line <= list.LineCount(); ++line) {
    std::int32_t length = 0;
    const char* text = list.GetLine(line, length);
    lines.emplace_back(text, static_cast<std::size_t>(length));
  }
  return lines;
}

void RecordingEditor::TextChanged(TParaListEditor* sender, std::int32_t firstLine, std::int32_t lastLine) {
  changes.push_back({sender, firstLine, lastLine});
}
