#include "FakeSheetServer.h"

#include <algorithm>
#include <cstring>

#include "rtl/Convert.h"

namespace dataeditor_test {

// --- XlTableBuilder -----------------------------------------------------------

std::string XlTableBuilder::U16(std::uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

XlTableBuilder& XlTableBuilder::Record(int type, const std::string& data) {
  bytes_ += U16(static_cast<std::uint16_t>(type)) + U16(static_cast<std::uint16_t>(data.size())) + data;
  return *this;
}

XlTableBuilder& XlTableBuilder::Header(int rows, int cols) {
  return Record(16, U16(static_cast<std::uint16_t>(rows)) + U16(static_cast<std::uint16_t>(cols)));
}

XlTableBuilder& XlTableBuilder::Floats(std::initializer_list<double> values) {
  return Cells(std::vector<XlCell>(values.begin(), values.end()));
}

XlTableBuilder& XlTableBuilder::Strings(std::initializer_list<std::string> values) {
  return Cells(std::vector<XlCell>(values.begin(), values.end()));
}

XlTableBuilder& XlTableBuilder::Bools(std::initializer_list<bool> values) {
  return Cells(std::vector<XlCell>(values.begin(), values.end()));
}

XlTableBuilder& XlTableBuilder::Errors(std::initializer_list<std::uint16_t> codes) {
  std::vector<XlCell> cells;
  for (auto c : codes) cells.emplace_back(std::in_place_type<XlErrorCell>, XlErrorCell{c});
  return Cells(cells);
}

XlTableBuilder& XlTableBuilder::Ints(std::initializer_list<std::int16_t> values) {
  std::vector<XlCell> cells;
  for (auto v : values) cells.emplace_back(std::in_place_type<XlIntCell>, XlIntCell{v});
  return Cells(cells);
}

XlTableBuilder& XlTableBuilder::Blanks(std::uint16_t count) { return Record(5, U16(count)); }

XlTableBuilder& XlTableBuilder::Cells(const std::vector<XlCell>& cells) {
  std::size_t k = 0;
  while (k < cells.size()) {
    const std::size_t kind = cells[k].index();
    std::size_t end = k;
    while (end < cells.size() && cells[end].index() == kind) ++end;
    if (kind == 0) {
      Blanks(static_cast<std::uint16_t>(end - k));
    } else {
      std::string data;
      for (std::size_t j = k; j < end; ++j) {
        const XlCell& c = cells[j];
        if (auto f = std::get_if<double>(&c)) {
          char bytes[8];
          std::memcpy(bytes, f, 8);
          data.append(bytes, 8);
        } else if (auto s = std::get_if<std::string>(&c)) {
          data += static_cast<char>(s->size()) + *s;
        } else if (auto b = std::get_if<bool>(&c)) {
          data += U16(*b ? 1 : 0);
        } else if (auto e = std::get_if<XlErrorCell>(&c)) {
          data += U16(e->code);
        } else if (auto i = std::get_if<XlIntCell>(&c)) {
          data += U16(static_cast<std::uint16_t>(i->value));
        }
      }
      // The variant's index follows the record types: float 1, string 2, Boolean 3, error 4, integer 6.
      Record(kind == 5 ? 6 : static_cast<int>(kind), data);
    }
    k = end;
  }
  return *this;
}

// --- FakeSheetServer --------------------------------------------------------------

bool FakeSheetServer::OpenLink(const std::string& service, const std::string& newTopic) {
  log.push_back("open " + newTopic);
  if (service != "Excel") return false;
  if (!running && startable && files.count(program + ".EXE") > 0) running = true;
  if (!running) return false;
  open = true;
  topic = newTopic;
  NotifyOpen(true);
  return true;
}

void FakeSheetServer::CloseLink() {
  log.push_back("close");
  if (!open) return;
  open = false;
  NotifyOpen(false);
}

void FakeSheetServer::Hangup() {
  open = false;
  NotifyOpen(false);
}

void FakeSheetServer::SetProgram(const std::string& name) {
  program = name;
  log.push_back("program " + name);
}

int FakeSheetServer::Requests(const std::string& topicAndItem) const {
  return static_cast<int>(std::count(log.begin(), log.end(), "request " + topicAndItem));
}

bool FakeSheetServer::Execute(const std::string& command, bool wait) {
  log.push_back((wait ? "execute-wait " : "execute ") + command);
  if (!open) return false;
  if (refusals > 0) {
    --refusals;
    return false;
  }
  if (command == "[QUIT]") {
    running = false;
    Hangup();
  }
  return true;
}

unsigned FakeSheetServer::RegisterFormat(const std::string& name) {
  return name == "XlTable" ? kXlTableFormat : 0xC100;
}

std::optional<std::string> FakeSheetServer::ClassValue(const std::string& key) {
  auto it = classValues.find(key);
  if (it == classValues.end()) return std::nullopt;
  return it->second;
}

bool FakeSheetServer::ParseCell(const std::string& text, int& row, int& col) const {
  if (text.rfind(rowLetter, 0) != 0) return false;
  auto c = text.find(colLetter, rowLetter.size());
  if (c == std::string::npos) return false;
  auto r = rtl::TryStrToInt(text.substr(rowLetter.size(), c - rowLetter.size()));
  auto k = rtl::TryStrToInt(text.substr(c + colLetter.size()));
  if (!r || !k) return false;
  row = *r;
  col = *k;
  return true;
}

std::optional<std::string> FakeSheetServer::CellText(const std::string& item) const {
  int row, col;
  if (!ParseCell(item, row, col)) return std::nullopt;
  auto it = sheet.find({row, col});
  if (it == sheet.end()) return std::string();
  const XlCell& c = it->second;
  if (auto f = std::get_if<double>(&c)) return rtl::FloatToStr(*f);
  if (auto s = std::get_if<std::string>(&c)) return *s;
  if (auto b = std::get_if<bool>(&c)) return std::string(*b ? "TRUE" : "FALSE");
  if (auto i = std::get_if<XlIntCell>(&c)) return std::to_string(i->value);
  if (std::holds_alternative<XlErrorCell>(c)) return std::string("#N/A");
  return std::string();
}

std::optional<std::string> FakeSheetServer::RangeBlock(const std::string& item) const {
  auto given = blocks.find(item);
  if (given != blocks.end()) return given->second;
  auto colon = item.find(':');
  int top, left, bottom, right;
  if (colon == std::string::npos || !ParseCell(item.substr(0, colon), top, left) ||
      !ParseCell(item.substr(colon + 1), bottom, right)) {
    return std::nullopt;
  }
  std::vector<XlCell> cells;
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      auto it = sheet.find({r, c});
      cells.push_back(it == sheet.end() ? XlCell{} : it->second);
    }
  }
  return XlTableBuilder().Header(bottom - top + 1, right - left + 1).Cells(cells).Bytes();
}

std::optional<std::string> FakeSheetServer::Request(const std::string& item, unsigned format, std::uint32_t) {
  log.push_back("request " + topic + "|" + item);
  if (!open) return std::nullopt;
  if (format == kXlTableFormat) {
    if (topic == "System") return std::nullopt;
    rangeRequests.push_back(item);
    return RangeBlock(item);
  }
  auto text = texts.find(topic + "|" + item);
  if (text != texts.end()) return text->second;
  if (topic != "System") return CellText(item);
  if (item == "Status") {
    ++statusRequests;
    if (readyAnswers == 0) return std::string("Busy");
    if (readyAnswers > 0) --readyAnswers;
    if (busyPolls == 0) return std::string("Ready");
    if (busyPolls > 0) --busyPolls;
    return std::string("Busy");
  }
  if (item == "Selection") return selection;
  return std::nullopt;
}

}  // namespace dataeditor_test
