#include "dataeditor/SheetLink.h"

#include <climits>

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "rtl/Format.h"
#include "rtl/ScopeGuard.h"
#include "rtl/StringList.h"

namespace {

const char* const kService = "Excel";
const char* const kSystemTopic = "System";
const char* const kProgramFile = "EXCEL.EXE";
const char* const kWorkbookClass = ".xls";
constexpr std::uint32_t kRequestTimeoutMs = 1000;
// The registry values are read into a buffer of this many characters.
constexpr std::size_t kClassValueBuffer = 540;
// How long WaitReady sleeps between two looks at the program's status.
constexpr std::uint32_t kPollMs = 50;

[[noreturn]] void UnexpectedFormat() { throw ExcelError("Unexpected Excel cell format"); }

// Where the file name of a path starts (after its last folder or drive separator).
std::size_t NameStart(const std::string& path) {
  auto sep = path.find_last_of("\\/:");
  return sep == std::string::npos ? 0 : sep + 1;
}

std::string WithoutExtension(const std::string& path) {
  auto dot = path.rfind('.');
  return dot == std::string::npos || dot < NameStart(path) ? path : path.substr(0, dot);
}

std::string WithoutQuotes(const std::string& sheet) {
  if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') return sheet.substr(1, sheet.size() - 2);
  return sheet;
}

// The text up to its first ";" that is not inside single quotes.
std::string FirstArea(const std::string& text) {
  bool quoted = false;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\'') quoted = !quoted;
    if (text[k] == ';' && !quoted) return text.substr(0, k);
  }
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// --- TCustomExcel -----------------------------------------------------------

TCustomExcel::TCustomExcel(TLinkTransport& transport) : transport_(transport) {
  Watch();
  SetExeName("Excel");
}

TCustomExcel::~TCustomExcel() {
  transport_.SetWatcher(nullptr);
  if (connected_) transport_.CloseLink();
}

void TCustomExcel::Watch() {
  transport_.SetWatcher([this](bool open) { open ? LinkOpened() : LinkClosed(); });
}

void TCustomExcel::LinkOpened() {
  connected_ = true;
  if (OnOpen) OnOpen();
}

void TCustomExcel::LinkClosed() {
  connected_ = false;
  if (OnClose) OnClose();
}

void TCustomExcel::SetExeName(const std::string& name) {
  Disconnect();
  exeName_ = WithoutExtension(name);
  transport_.SetProgram(exeName_);
}

void TCustomExcel::Connect() {
  if (connected_) return;
  topic_ = kSystemTopic;
  if (transport_.OpenLink(kService, topic_)) {
    LearnLetters();
  } else {
    FindProgram();
    if (!transport_.OpenLink(kService, topic_)) throw ExcelError("Excel could not be launched");
  }
  xlTable_ = transport_.RegisterFormat("XlTable");
}

void TCustomExcel::Disconnect() {
  if (connected_) transport_.CloseLink();
}

void TCustomExcel::FindProgram() {
  auto read = [this](const std::string& key) -> std::optional<std::string> {
    auto value = transport_.ClassValue(key);
    if (value && value->size() >= kClassValueBuffer) value->resize(kClassValueBuffer - 1);
    return value;
  };
  auto fileClass = read(kWorkbookClass);
  if (!fileClass || fileClass->empty()) return;
  auto command = read(*fileClass + "\\shell\\Open\\command");
  if (!command) return;
  std::string program = rtl::UpperCase(*command);
  auto at = program.rfind(kProgramFile);
  if (at != std::string::npos) program.resize(at + std::string(kProgramFile).size());
  auto quote = program.find('"');
  if (quote != std::string::npos) program = program.substr(quote + 1);
  // The setter drops ".EXE", so the existence test puts it back.
  SetExeName(program);
  if (!transport_.FileExists(exeName_ + ".EXE")) SetExeName("");
}

unsigned TCustomExcel::XlTableFormat() {
  if (xlTable_ == 0) xlTable_ = transport_.RegisterFormat("XlTable");
  return xlTable_;
}

bool TCustomExcel::SelectTopic(const std::string& topic) {
  if (topic == topic_) return true;
  // Changing topic closes and reopens the conversation; the owner hears of neither.
  transport_.SetWatcher(nullptr);
  rtl::ScopeExit rewatch([this] { Watch(); });
  topic_ = topic;
  if (!connected_) return true;
  transport_.CloseLink();
  return transport_.OpenLink(kService, topic_);
}

std::optional<std::string> TCustomExcel::Request(const std::string& item, unsigned format) {
  return transport_.Request(item, format, kRequestTimeoutMs);
}

std::string TCustomExcel::RequestText(const std::string& item) {
  auto reply = Request(item, TLinkTransport::kTextFormat);
  if (!reply) return kNoReply;
  // The reply is a C string: it ends at its first NUL.
  return reply->substr(0, reply->find('\0'));
}

bool TCustomExcel::IsReady() {
  plat::ProcessMessages();
  SelectTopic(kSystemTopic);
  return RequestText("Status") == "Ready";
}

void TCustomExcel::WaitReady() {
  if (OnBeginWait) OnBeginWait();
  rtl::ScopeExit endWait([this] {
    if (OnEndWait) OnEndWait();
  });
  const std::uint32_t start = plat::TickCount();
  while (transport_.Busy() || !IsReady()) {
    if (plat::TickCount() - start >= WaitTimeoutMs) {
      throw ExcelError(rtl::Format("The spreadsheet program did not report \"Ready\" within %d seconds",
                                   static_cast<int>(WaitTimeoutMs / 1000)));
    }
    plat::WaitMessages(kPollMs);
    if (OnWaiting) OnWaiting();
  }
}

void TCustomExcel::Execute(const std::string& command) {
  SelectTopic(kSystemTopic);
  ++sent_;
  if (BurstCount >= 0 && sent_ >= BurstCount) {
    WaitReady();
    sent_ = 0;
  }
  if (transport_.Execute(command, false)) return;
  WaitReady();
  if (!transport_.Execute(command, true)) throw ExcelError(rtl::Format("\"%s\" not accepted by Excel", command));
}

// --- TExcel -----------------------------------------------------------------

void TExcel::SetFilterReturnedData(bool on) { Transport().SetFormatChars(on); }

std::string TExcel::GetSelection() {
  plat::ProcessMessages();
  SelectTopic(kSystemTopic);
  return RequestText("Selection");
}

std::string TExcel::GetSelectionSheet() {
  std::string selection = GetSelection();
  if (selection == kNoReply) return {};
  auto bang = selection.rfind('!');
  return bang == std::string::npos ? std::string() : selection.substr(0, bang);
}

void TExcel::LearnLetters() {
  std::string selection = GetSelection();
  if (selection == kNoReply) throw ExcelError(kNoReply);
  auto at = selection.rfind('!');
  if (at == std::string::npos || at + 1 >= selection.size()) return;
  const char row = selection[++at];
  while (++at < selection.size() && IsDigit(selection[at])) {
  }
  if (at >= selection.size()) return;
  rowLetter_ = std::string(1, row);
  colLetter_ = std::string(1, selection[at]);
}

void TExcel::EnsureLetters() {
  if (rowLetter_.empty() || colLetter_.empty()) LearnLetters();
  if (rowLetter_.empty() || colLetter_.empty()) throw ExcelError("Could not identify letters for row / column");
}

// A corner: a letter and its number, then the other letter and its number.
TCellPos TExcel::ReadCorner(const std::string& ref, std::size_t& at) const {
  TCellPos cell;
  for (int part = 0; part < 2; ++part) {
    int* target = nullptr;
    if (ref.compare(at, rowLetter_.size(), rowLetter_) == 0 && cell.row == 0) {
      target = &cell.row;
      at += rowLetter_.size();
    } else if (ref.compare(at, colLetter_.size(), colLetter_) == 0 && cell.col == 0) {
      target = &cell.col;
      at += colLetter_.size();
    } else {
      UnexpectedFormat();
    }
    long long number = 0;
    const std::size_t digits = at;
    for (; at < ref.size() && IsDigit(ref[at]); ++at) {
      number = number * 10 + (ref[at] - '0');
      if (number > INT_MAX) UnexpectedFormat();
    }
    if (at == digits || number < 1) UnexpectedFormat();
    *target = static_cast<int>(number);
  }
  return cell;
}

bool TExcel::ParseCellRef(const std::string& text, TCellPos& topLeft, std::string& sheet, TCellPos& bottomRight) {
  auto bang = text.rfind('!');
  if (bang == std::string::npos) {
    sheet.clear();
    return false;
  }
  sheet = WithoutQuotes(text.substr(0, bang));
  EnsureLetters();
  std::string ref = text.substr(bang + 1);
  ref = ref.substr(0, ref.find(';'));
  std::size_t at = 0;
  TCellPos first = ReadCorner(ref, at);
  TCellPos second = first;
  if (at < ref.size()) {
    if (ref[at] != ':' || at + 1 == ref.size()) UnexpectedFormat();
    ++at;
    second = ReadCorner(ref, at);
    if (at < ref.size()) UnexpectedFormat();
  }
  topLeft = first;
  bottomRight = second;
  return true;
}

bool TExcel::GetSelectionRange(TCellPos& topLeft, std::string& sheet, TCellPos& bottomRight) {
  return ParseCellRef(FirstArea(GetSelection()), topLeft, sheet, bottomRight);
}

void TExcel::DefaultToSelection(int& row, int& col) {
  if (row >= 1 && col >= 1) return;
  TCellPos topLeft, bottomRight;
  std::string sheet;
  GetSelectionRange(topLeft, sheet, bottomRight);
  if (row < 1) row = topLeft.row;
  if (col < 1) col = topLeft.col;
}

std::string TExcel::GetCell(int row, int col, const std::string& sheet) {
  DefaultToSelection(row, col);
  // Letters first: learning them talks on the "System" topic.
  EnsureLetters();
  SelectTopic(WithoutQuotes(sheet));
  std::string text = RequestText(rtl::Format("%s%d%s%d", rowLetter_, row, colLetter_, col));
  if (StripCRLF && text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  return text;
}

std::string TExcel::GetCellOfSelectionSheet(int row, int col) { return GetCell(row, col, GetSelectionSheet()); }

std::unique_ptr<TGetXlTableData> TExcel::GetCells(const std::string& sheet, int top, int left, int rows, int cols) {
  DefaultToSelection(top, left);
  if (rows < 1 || cols < 1) throw ExcelError("Bad row or column count");
  const long long bottom = static_cast<long long>(top) + rows - 1;
  const long long right = static_cast<long long>(left) + cols - 1;
  if (bottom > INT_MAX || right > INT_MAX) throw ExcelError("Bad row or column count");
  EnsureLetters();
  const unsigned format = XlTableFormat();
  SelectTopic(WithoutQuotes(sheet));
  auto block = Request(
      rtl::Format("%s%d%s%d:%s%d%s%d", rowLetter_, top, colLetter_, left, rowLetter_, bottom, colLetter_, right),
      format);
  auto data = std::make_unique<TGetXlTableData>();
  data->Load(block ? *block : std::string());
  return data;
}

std::unique_ptr<TGetXlTableData> TExcel::GetCellsOfSelectionSheet(int top, int left, int rows, int cols) {
  return GetCells(GetSelectionSheet(), top, left, rows, cols);
}

// --- TAdvExcel --------------------------------------------------------------

void TAdvExcel::OpenFile(const std::string& path) {
  const std::string name = rtl::UpperCase(path.substr(NameStart(path)));
  if (name == workbook_) return;
  CloseFile();
  Execute(rtl::Format("[OPEN(\"%s\")]", path));
  Execute("[HIDE()]");
  workbook_ = name;
}

void TAdvExcel::CloseFile() {
  if (workbook_.empty()) return;
  Execute(rtl::Format("[UNHIDE(\"%s\")]", workbook_));
  Execute("[CLOSE(FALSE)]");
  workbook_.clear();
}
