#pragma once
// Key-command tables and the command processor. The library's controls do not
// interpret keys themselves: each form's controller owns one processor, which
// turns a key (a virtual-key number with its Shift, Ctrl and Alt state) into a
// command code through named tables of bindings of one key or a sequence of two.
//
// Shift states in the tables are sums of kssShift 2, kssCtrl 4 and kssAlt 8;
// a second key's state kssNoneOrCtrl (128) matches no modifier or Ctrl alone.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/base/VirFiler.h"
#include "platform/Types.h"

// Command codes: 0..75 in alphabetical order of their names.
enum TVirCommand : std::uint16_t {
  ccNone = 0,
  ccBack,
  ccBotOfPage,
  ccBotRightCell,
  ccCompleteDate,
  ccCompleteTime,
  ccCopy,
  ccCtrlChar,
  ccCut,
  ccDec,
  ccDel,
  ccDelBol,
  ccDelEol,
  ccDelLine,
  ccDelWord,
  ccDown,
  ccEnd,
  ccExtendDown,
  ccExtendEnd,
  ccExtendHome,
  ccExtendLeft,
  ccExtendPgDn,
  ccExtendPgUp,
  ccExtendRight,
  ccExtendUp,
  ccExtBotOfPage,
  ccExtFirstPage,
  ccExtLastPage,
  ccExtTopOfPage,
  ccExtWordLeft,
  ccExtWordRight,
  ccFirstPage,
  ccGotoMarker0,  // .. ccGotoMarker0 + 9
  ccHome = 42,
  ccInc,
  ccIns,
  ccLastPage,
  ccLeft,
  ccNewLine,
  ccNextPage,
  ccPageLeft,
  ccPageRight,
  ccPaste,
  ccPrevPage,
  ccRedo,
  ccRestore,
  ccRight,
  ccScrollDown,
  ccScrollUp,
  ccSetMarker0,  // .. ccSetMarker0 + 9
  ccTab = 68,
  ccTableEdit,
  ccTopLeftCell,
  ccTopOfPage,
  ccUndo,
  ccUp,
  ccWordLeft,
  ccWordRight,
  ccLastCommand = ccWordRight,
  // Results of a translation besides a command.
  ccChar = 249,             // a plain character
  ccNotCommand = 252,       // the key is no command: the control treats it as it would without tables
  ccBadSequence = 254,      // the second key of a sequence matched nothing
  ccPartialSequence = 255,  // the first key of a two-key sequence: wait for the next key
  ccUserFirst = 256,        // user commands, passed to the controls' user-command event
};

// True when a key translated to `command` types its character: a key that is
// no command, or a plain character. A command key, or the first key of a
// sequence, types nothing.
constexpr bool TypesText(std::uint16_t command) { return command == ccNotCommand || command == ccChar; }

// The display name of a command: "ccNone" .. "ccWordRight", "ccUser<n>" from 256,
// "(Unknown)" for the codes between.
std::string CommandName(std::uint16_t command);

// Shift states as the tables store them.
constexpr std::uint8_t kssShift = 2, kssCtrl = 4, kssAlt = 8, kssNoneOrCtrl = 128;
// The table form of a key event's modifiers.
std::uint8_t TableShiftOf(plat::ShiftState shift);

struct TVirCmdRec {
  std::uint8_t Key1 = 0;
  std::uint8_t SS1 = 0;
  std::uint8_t Key2 = 0;  // 0: a one-key command
  std::uint8_t SS2 = 0;
  std::uint16_t Cmd = 0;
  bool SameKeys(const TVirCmdRec& other) const {
    return Key1 == other.Key1 && SS1 == other.SS1 && Key2 == other.Key2 && SS2 == other.SS2;
  }
  friend bool operator==(const TVirCmdRec&, const TVirCmdRec&) = default;
};

class TVirCommandTable {
 public:
  TVirCommandTable() = default;
  explicit TVirCommandTable(std::string name, std::vector<TVirCmdRec> records = {}, bool active = true)
      : TableName(std::move(name)), IsActive(active), records_(std::move(records)) {}

  std::string TableName = "(Unknown)";
  bool IsActive = true;

  int Count() const { return static_cast<int>(records_.size()); }
  const TVirCmdRec& Record(int index) const { return records_.at(static_cast<std::size_t>(index)); }
  const std::vector<TVirCmdRec>& Records() const { return records_; }
  void AddCommandRec(const TVirCmdRec& rec) { records_.push_back(rec); }
  void PutCommandRec(int index, const TVirCmdRec& rec) { records_.at(static_cast<std::size_t>(index)) = rec; }
  // The index of the record with the same keys and shift states, or -1.
  int IndexOfKeys(const TVirCmdRec& rec) const;
  void Clear() { records_.clear(); }

  // The text file: the table name on the first line, then one line per record
  // of five numbers (Key1, SS1, Key2, SS2, Cmd) right-aligned in 4, 4, 4, 4 and
  // 6 characters. Loading replaces name and records only when the whole file
  // reads; a line that is not five numbers in range raises ECmdProcessorError
  // naming the file and the line, and the table keeps what it had.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  // The stored form ("CommandList"): the name, the active flag, then the
  // records. A table of a built-in name says whether its records differ from
  // the built-in ones and stores them only then; reading refills it otherwise.
  void WriteTo(TVirWriter& writer) const;
  void ReadFrom(TVirReader& reader);

 private:
  std::vector<TVirCmdRec> records_;
};

// The records of the built-in tables "Default", "WordStar" and "Grid"; null for other names.
const std::vector<TVirCmdRec>* BuiltInCommands(std::string_view tableName);

class TVirCommandProcessor : public TVirPersistent {
 public:
  // The three built-in tables: "Default" (active), "WordStar" and "Grid" (inactive).
  TVirCommandProcessor();

  enum class State { Normal = 0, WaitingForSecondKey = 1, Literal = 2 };

  int TableCount() const { return static_cast<int>(tables_.size()); }
  TVirCommandTable& Table(int index);
  // Names compare without regard to case; null when absent.
  TVirCommandTable* GetTableByName(std::string_view name);

  // Appends the table. When its name, or its name without trailing digits, is
  // taken, it is renamed to that base followed by the first free number.
  TVirCommandTable& AddTable(std::unique_ptr<TVirCommandTable> table);
  // Appends a binding: ETableNotFound without the table, EDuplicateCommand when
  // the table already binds the same keys.
  void AddCommand(std::string_view tableName, const TVirCmdRec& rec);
  void ClearTables() { tables_.clear(); }
  // Reads a table file and adds the table; returns its index.
  int LoadTableFromFile(const std::string& fileName);
  // ETableNotFound when no table has the name.
  void SaveTableToFile(std::string_view tableName, const std::string& fileName);

  void ResetState() { state_ = State::Normal; }
  State TranslateState() const { return state_; }

  // A key press through the active tables, in list order: a command code, or
  // ccNotCommand, ccBadSequence or ccPartialSequence.
  std::uint16_t Translate(int key, plat::ShiftState shift);
  // The same for a key and a set of modifiers that did not come with a key event.
  std::uint16_t TranslateKey(int key, plat::ShiftState shift) { return Translate(key, shift); }
  // The same over the named tables in the order given, active or not.
  std::uint16_t TranslateWithTables(const std::vector<std::string>& tableNames, int key, plat::ShiftState shift);

  // "TableList": every table in its stored form; reading replaces the tables.
  void DefineProperties(TVirFiler& filer) override;

 private:
  std::uint16_t TranslateThrough(const std::vector<TVirCommandTable*>& tables, int key, std::uint8_t shift);
  std::uint16_t TranslateInTable(const TVirCommandTable& table, int key, std::uint8_t shift);
  bool NameTaken(std::string_view name) const;

  std::vector<std::unique_ptr<TVirCommandTable>> tables_;
  State state_ = State::Normal;
  std::uint8_t firstKey_ = 0;
  std::uint8_t firstShift_ = 0;
};
