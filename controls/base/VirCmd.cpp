#include "controls/base/VirCmd.h"

#include <algorithm>
#include <cctype>

#include "controls/base/StrRes.h"
#include "controls/base/VirExcept.h"
#include "rtl/Format.h"
#include "rtl/StringList.h"
#include "rtl/TextFile.h"

namespace {

namespace vk = plat::vk;

constexpr std::uint16_t kCommandNameBase = 33768;  // + code for codes 0..74
constexpr std::uint16_t kWordRightName = 32843;    // the name of code 75 stands apart
constexpr std::uint16_t kUserCommandName = 34270;  // "ccUser%d"
constexpr std::uint16_t kUnknownName = 34277;      // "(Unknown)"

constexpr std::uint8_t S = kssShift, C = kssCtrl, A = kssAlt, SC = kssShift | kssCtrl;

constexpr TVirCmdRec One(int key, std::uint8_t shift, std::uint16_t cmd) {
  return {static_cast<std::uint8_t>(key), shift, 0, 0, cmd};
}
// Ctrl+first, then second with no modifier or Ctrl alone.
constexpr TVirCmdRec Two(char first, int second, std::uint16_t cmd) {
  return {static_cast<std::uint8_t>(first), C, static_cast<std::uint8_t>(second), kssNoneOrCtrl, cmd};
}

// Ten bindings of the digit keys, from `command` on.
void AddDigits(std::vector<TVirCmdRec>& records, std::uint8_t shift, std::uint16_t command) {
  for (int d = 0; d < 10; ++d) records.push_back(One('0' + d, shift, static_cast<std::uint16_t>(command + d)));
}
void AddDigitSequences(std::vector<TVirCmdRec>& records, char first, std::uint16_t command) {
  for (int d = 0; d < 10; ++d) records.push_back(Two(first, '0' + d, static_cast<std::uint16_t>(command + d)));
}

std::vector<TVirCmdRec> DefaultRecords() {
  std::vector<TVirCmdRec> r = {
      One(vk::Left, 0, ccLeft),
      One(vk::Right, 0, ccRight),
      One(vk::Left, C, ccWordLeft),
      One(vk::Right, C, ccWordRight),
      One(vk::Home, 0, ccHome),
      One(vk::End, 0, ccEnd),
      One(vk::Delete, 0, ccDel),
      One(vk::Back, 0, ccBack),
      One(vk::Back, S, ccBack),
      One(vk::Prior, C, ccTopOfPage),
      One(vk::Next, C, ccBotOfPage),
      One(vk::Insert, 0, ccIns),
      One('Z', C, ccUndo),
      One(vk::Back, A, ccRestore),
      One(vk::Up, 0, ccUp),
      One(vk::Down, 0, ccDown),
      One(vk::Return, C, ccNewLine),
      One(vk::Left, S, ccExtendLeft),
      One(vk::Right, S, ccExtendRight),
      One(vk::Home, S, ccExtendHome),
      One(vk::End, S, ccExtendEnd),
      One(vk::Left, SC, ccExtWordLeft),
      One(vk::Right, SC, ccExtWordRight),
      One(vk::Prior, S, ccExtendPgUp),
      One(vk::Next, S, ccExtendPgDn),
      One(vk::Up, S, ccExtendUp),
      One(vk::Down, S, ccExtendDown),
      One(vk::Home, SC, ccExtFirstPage),
      One(vk::End, SC, ccExtLastPage),
      One(vk::Prior, SC, ccExtTopOfPage),
      One(vk::Next, SC, ccExtBotOfPage),
      One(vk::Delete, S, ccCut),
      One('X', C, ccCut),
      One(vk::Insert, C, ccCopy),
      One('C', C, ccCopy),
      One(vk::Insert, S, ccPaste),
      One('V', C, ccPaste),
      One(vk::Prior, 0, ccPrevPage),
      One(vk::Next, 0, ccNextPage),
      One(vk::Home, C, ccFirstPage),
      One(vk::End, C, ccLastPage),
      One(vk::Tab, 0, ccTab),
      One(vk::Tab, C, ccTab),
      One('Z', SC, ccRedo),
  };
  AddDigits(r, C, ccGotoMarker0);
  AddDigits(r, SC, ccSetMarker0);
  return r;
}

std::vector<TVirCmdRec> WordStarRecords() {
  std::vector<TVirCmdRec> r = {
      One('S', C, ccLeft),     One('D', C, ccRight),     One('E', C, ccUp),       One('X', C, ccDown),
      One('R', C, ccPrevPage), One('C', C, ccNextPage),  One('W', C, ccScrollUp), One('Z', C, ccScrollDown),
      One('A', C, ccWordLeft), One('F', C, ccWordRight), Two('Q', 'S', ccHome),   Two('Q', 'D', ccEnd),
      One('G', C, ccDel),      One('H', C, ccBack),      One('Y', C, ccDelLine),  Two('Q', 'Y', ccDelEol),
      One('V', C, ccIns),      One('T', C, ccDelWord),   One('P', C, ccCtrlChar), Two('Q', 'L', ccRestore),
  };
  AddDigitSequences(r, 'Q', ccGotoMarker0);
  AddDigitSequences(r, 'K', ccSetMarker0);
  return r;
}

std::vector<TVirCmdRec> GridRecords() {
  return {
      One(vk::Left, 0, ccLeft),
      One(vk::Right, 0, ccRight),
      One(vk::Left, C, ccPageLeft),
      One(vk::Right, C, ccPageRight),
      One(vk::Home, 0, ccHome),
      One(vk::End, 0, ccEnd),
      One(vk::Delete, 0, ccDel),
      One(vk::Back, 0, ccBack),
      One(vk::Next, C, ccBotOfPage),
      One(vk::Prior, C, ccTopOfPage),
      One(vk::Insert, 0, ccIns),
      One('Z', C, ccRestore),
      One(vk::Up, 0, ccUp),
      One(vk::Down, 0, ccDown),
      One(vk::Left, S, ccExtendLeft),
      One(vk::Right, S, ccExtendRight),
      One(vk::Home, S, ccExtendHome),
      One(vk::End, S, ccExtendEnd),
      One(vk::Left, SC, ccExtWordLeft),
      One(vk::Right, SC, ccExtWordRight),
      One(vk::Prior, S, ccExtendPgUp),
      One(vk::Next, S, ccExtendPgDn),
      One(vk::Up, S, ccExtendUp),
      One(vk::Down, S, ccExtendDown),
      One(vk::Home, SC, ccExtFirstPage),
      One(vk::End, SC, ccExtLastPage),
      One(vk::Prior, SC, ccExtTopOfPage),
      One(vk::Next, SC, ccExtBotOfPage),
      One('X', C, ccCut),
      One('C', C, ccCopy),
      One('V', C, ccPaste),
      One(vk::Prior, 0, ccPrevPage),
      One(vk::Home, C, ccFirstPage),
      One(vk::Next, 0, ccNextPage),
      One(vk::End, C, ccLastPage),
      One(vk::Up, C, ccTopLeftCell),
      One(vk::Down, C, ccBotRightCell),
      One(vk::F1 + 1, 0, ccTableEdit),
  };
}

struct BuiltIn {
  const char* name;
  std::vector<TVirCmdRec> records;
  bool active;
};

const std::vector<BuiltIn>& BuiltIns() {
  static const std::vector<BuiltIn> tables = {
      {"Default", DefaultRecords(), true}, {"WordStar", WordStarRecords(), false}, {"Grid", GridRecords(), false}};
  return tables;
}

bool IsModifierKey(int key) {
  switch (key) {
    case vk::Shift:
    case vk::Control:
    case vk::Menu:
    case vk::Capital:
    case vk::NumLock:
    case vk::Scroll: return true;
    default: return false;
  }
}

// One record line of a table file: five numbers, the keys and shift states in
// 0..255 and the command in 0..65535; nothing else on the line.
bool ParseRecordLine(std::string_view line, TVirCmdRec& rec) {
  std::int64_t values[5];
  std::size_t pos = 0;
  for (std::int64_t& value : values) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    std::size_t start = pos;
    while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos]))) ++pos;
    if (pos == start || pos - start > 6) return false;
    value = std::stoll(std::string(line.substr(start, pos - start)));
  }
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  if (pos != line.size()) return false;
  for (int i = 0; i < 4; ++i) {
    if (values[i] > 255) return false;
  }
  if (values[4] > 65535) return false;
  rec = {static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
         static_cast<std::uint8_t>(values[2]), static_cast<std::uint8_t>(values[3]),
         static_cast<std::uint16_t>(values[4])};
  return true;
}

std::string BaseName(std::string_view name) {
  std::string base(name);
  while (base.size() >= 2 && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
  return base;
}

}  // namespace

std::string CommandName(std::uint16_t command) {
  if (command < ccWordRight) return GetLibraryString(static_cast<std::uint16_t>(kCommandNameBase + command));
  if (command == ccWordRight) return GetLibraryString(kWordRightName);
  if (command >= ccUserFirst) return rtl::Format(GetLibraryString(kUserCommandName), static_cast<int>(command));
  return GetLibraryString(kUnknownName);
}

std::uint8_t TableShiftOf(plat::ShiftState shift) {
  std::uint8_t result = 0;
  if (shift & plat::ssShift) result |= kssShift;
  if (shift & plat::ssCtrl) result |= kssCtrl;
  if (shift & plat::ssAlt) result |= kssAlt;
  return result;
}

const std::vector<TVirCmdRec>* BuiltInCommands(std::string_view tableName) {
  for (const BuiltIn& table : BuiltIns()) {
    if (rtl::SameText(table.name, tableName)) return &table.records;
  }
  return nullptr;
}

// ---- table ----

int TVirCommandTable::IndexOfKeys(const TVirCmdRec& rec) const {
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].SameKeys(rec)) return static_cast<int>(i);
  }
  return -1;
}

void TVirCommandTable::LoadFromFile(const std::string& fileName) {
  rtl::TextReader reader(fileName);
  std::string name;
  if (!reader.ReadLine(name)) throw ECmdProcessorError("Command table file " + fileName + " is empty");
  std::vector<TVirCmdRec> records;
  std::string line;
  for (long lineNumber = 2; reader.ReadLine(line); ++lineNumber) {
    if (rtl::Trim(line).empty()) continue;
    TVirCmdRec rec;
    if (!ParseRecordLine(line, rec)) {
      throw ECmdProcessorError(
          rtl::Format("Invalid command table line %d in %s: %s", static_cast<int>(lineNumber), fileName, line));
    }
    records.push_back(rec);
  }
  TableName = name;
  records_ = std::move(records);
}

void TVirCommandTable::SaveToFile(const std::string& fileName) const {
  rtl::TextWriter writer(fileName);
  writer.WriteLine(TableName);
  for (const TVirCmdRec& r : records_) {
    writer.WriteLine(rtl::Format("%4d%4d%4d%4d%6d", int{r.Key1}, int{r.SS1}, int{r.Key2}, int{r.SS2}, int{r.Cmd}));
  }
  writer.Close();
}

void TVirCommandTable::WriteTo(TVirWriter& writer) const {
  writer.WriteString(TableName);
  writer.WriteBoolean(IsActive);
  const std::vector<TVirCmdRec>* builtIn = BuiltInCommands(TableName);
  bool ownRecords = builtIn == nullptr || *builtIn != records_;
  if (builtIn != nullptr) writer.WriteBoolean(ownRecords);
  writer.WriteListBegin();
  if (ownRecords) {
    for (const TVirCmdRec& r : records_) {
      writer.WriteInteger(r.Key1 | (r.SS1 << 8) | (r.Key2 << 16) | (static_cast<std::uint32_t>(r.SS2) << 24));
      writer.WriteInteger(r.Cmd);
    }
  }
  writer.WriteListEnd();
}

void TVirCommandTable::ReadFrom(TVirReader& reader) {
  std::string name = reader.ReadString();
  bool active = reader.ReadBoolean();
  const std::vector<TVirCmdRec>* builtIn = BuiltInCommands(name);
  bool ownRecords = builtIn == nullptr || reader.ReadBoolean();
  std::vector<TVirCmdRec> records;
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    auto keys = static_cast<std::uint32_t>(reader.ReadInteger());
    auto cmd = static_cast<std::uint16_t>(reader.ReadInteger());
    records.push_back({static_cast<std::uint8_t>(keys), static_cast<std::uint8_t>(keys >> 8),
                       static_cast<std::uint8_t>(keys >> 16), static_cast<std::uint8_t>(keys >> 24), cmd});
  }
  reader.ReadListEnd();
  TableName = name;
  IsActive = active;
  records_ = ownRecords ? std::move(records) : *builtIn;
}

// ---- processor ----

TVirCommandProcessor::TVirCommandProcessor() {
  for (const BuiltIn& b : BuiltIns())
    tables_.push_back(std::make_unique<TVirCommandTable>(b.name, b.records, b.active));
}

TVirCommandTable& TVirCommandProcessor::Table(int index) {
  if (index < 0 || index >= TableCount()) throw ETableNotFound();
  return *tables_[static_cast<std::size_t>(index)];
}

TVirCommandTable* TVirCommandProcessor::GetTableByName(std::string_view name) {
  for (auto& table : tables_) {
    if (rtl::SameText(table->TableName, name)) return table.get();
  }
  return nullptr;
}

bool TVirCommandProcessor::NameTaken(std::string_view name) const {
  return std::any_of(tables_.begin(), tables_.end(), [&](const auto& t) { return rtl::SameText(t->TableName, name); });
}

TVirCommandTable& TVirCommandProcessor::AddTable(std::unique_ptr<TVirCommandTable> table) {
  std::string base = BaseName(table->TableName);
  if (NameTaken(table->TableName) || NameTaken(base)) {
    int counter = 1;
    while (NameTaken(base + std::to_string(counter))) ++counter;
    table->TableName = base + std::to_string(counter);
  }
  tables_.push_back(std::move(table));
  return *tables_.back();
}

void TVirCommandProcessor::AddCommand(std::string_view tableName, const TVirCmdRec& rec) {
  TVirCommandTable* table = GetTableByName(tableName);
  if (table == nullptr) throw ETableNotFound();
  if (table->IndexOfKeys(rec) >= 0) throw EDuplicateCommand();
  table->AddCommandRec(rec);
}

int TVirCommandProcessor::LoadTableFromFile(const std::string& fileName) {
  auto table = std::make_unique<TVirCommandTable>();
  table->LoadFromFile(fileName);
  AddTable(std::move(table));
  return TableCount() - 1;
}

void TVirCommandProcessor::SaveTableToFile(std::string_view tableName, const std::string& fileName) {
  TVirCommandTable* table = GetTableByName(tableName);
  if (table == nullptr) throw ETableNotFound();
  table->SaveToFile(fileName);
}

std::uint16_t TVirCommandProcessor::TranslateInTable(const TVirCommandTable& table, int key, std::uint8_t shift) {
  for (const TVirCmdRec& r : table.Records()) {
    bool match;
    if (state_ == State::WaitingForSecondKey) {
      bool shiftMatches = r.SS2 == shift || (r.SS2 == kssNoneOrCtrl && (shift == 0 || shift == kssCtrl));
      match = r.Key1 == firstKey_ && r.SS1 == firstShift_ && r.Key2 == key && shiftMatches;
    } else {
      match = r.Key1 == key && r.SS1 == shift;
    }
    if (!match) continue;
    if (state_ != State::WaitingForSecondKey && r.Key2 != 0) {
      state_ = State::WaitingForSecondKey;
      firstKey_ = static_cast<std::uint8_t>(key);
      firstShift_ = shift;
      return ccPartialSequence;
    }
    if (r.Cmd == ccCtrlChar) {
      state_ = State::Literal;
    } else if (state_ == State::WaitingForSecondKey) {
      state_ = State::Normal;
    }
    return r.Cmd;
  }
  return 0;
}

std::uint16_t TVirCommandProcessor::TranslateThrough(const std::vector<TVirCommandTable*>& tables, int key,
                                                     std::uint8_t shift) {
  if (IsModifierKey(key)) return state_ == State::WaitingForSecondKey ? ccPartialSequence : ccNotCommand;
  if (state_ == State::Literal) {
    state_ = State::Normal;
    return ccNotCommand;
  }
  if (key > 0 && key <= 255) {
    for (const TVirCommandTable* table : tables) {
      if (std::uint16_t result = TranslateInTable(*table, key, shift); result != 0) return result;
    }
  }
  bool waiting = state_ == State::WaitingForSecondKey;
  state_ = State::Normal;
  return waiting ? ccBadSequence : ccNotCommand;
}

std::uint16_t TVirCommandProcessor::Translate(int key, plat::ShiftState shift) {
  std::vector<TVirCommandTable*> active;
  for (auto& table : tables_) {
    if (table->IsActive) active.push_back(table.get());
  }
  return TranslateThrough(active, key, TableShiftOf(shift));
}

std::uint16_t TVirCommandProcessor::TranslateWithTables(const std::vector<std::string>& tableNames, int key,
                                                        plat::ShiftState shift) {
  std::vector<TVirCommandTable*> named;
  for (const std::string& name : tableNames) {
    if (TVirCommandTable* table = GetTableByName(name)) named.push_back(table);
  }
  return TranslateThrough(named, key, TableShiftOf(shift));
}

void TVirCommandProcessor::DefineProperties(TVirFiler& filer) {
  filer.DefineProperty(
      "TableList",
      [this](TVirReader& reader) {
        std::vector<std::unique_ptr<TVirCommandTable>> read;
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
          auto table = std::make_unique<TVirCommandTable>();
          table->ReadFrom(reader);
          read.push_back(std::move(table));
        }
        reader.ReadListEnd();
        ClearTables();
        for (auto& table : read) AddTable(std::move(table));
      },
      [this](TVirWriter& writer) {
        writer.WriteListBegin();
        for (const auto& table : tables_) table->WriteTo(writer);
        writer.WriteListEnd();
      },
      true);
}
