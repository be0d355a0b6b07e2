#include "NotebookTestSupport.h"

#include <algorithm>

#include "rtl/Format.h"

std::unique_ptr<TNbkPage> RecordingNotebookView::CreatePage() {
  log.push_back("create");
  return std::make_unique<TNbkPage>();
}

void RecordingNotebookView::PlacePage(TNbkPage& page, const plat::Rect& b) {
  log.push_back(rtl::Format("place %s (%d,%d,%d,%d)", page.PageCaption(), b.left, b.top, b.right, b.bottom));
}

bool RecordingNotebookView::FocusFirstControlOn(TNbkPage& page) {
  log.push_back("focus on " + page.PageCaption());
  return pageControlTakesFocus;
}

void RecordingNotebookView::TakeFocus() {
  log.push_back("take focus");
  focused = true;
}

bool RecordingNotebookView::IsOutlineFont(const plat::Font& font) const {
  return std::find(bitmapFonts.begin(), bitmapFonts.end(), font.name) == bitmapFonts.end();
}

void RecordingNotebookView::PageChanging(int index, bool& allow) {
  log.push_back(rtl::Format("changing %d", index));
  if (allowChange) allow = allowChange(index);
}

void RecordingNotebookView::PageChanged(int index) {
  log.push_back(rtl::Format("changed %d", index));
  if (afterChange) afterChange(index);
}

std::vector<std::string> RecordingNotebookView::Entries(const std::string& prefix) const {
  std::vector<std::string> out;
  std::copy_if(log.begin(), log.end(), std::back_inserter(out),
               [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
  return out;
}

void FillNotebook(TNotebookModel& notebook, RecordingNotebookView& view, const std::vector<std::string>& captions) {
  for (const std::string& caption : captions) notebook.InsertPage(caption, notebook.PageCount());
  notebook.SetPageIndex(0);
  view.log.clear();
  view.clicks.clear();
  view.repaintsAll = 0;
  view.repaintedAreas.clear();
}
