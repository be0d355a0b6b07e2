#pragma once
// A spreadsheet server for the link's tests: it answers the conversation like
// the spreadsheet program would (status, selection, cells as text, blocks of
// cells in the fast table format, macro commands), from one sheet held in
// memory, and records every call. Its behaviour is set through its fields.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "dataeditor/LinkTransport.h"

namespace dataeditor_test {

// A cell of the fast table format as the server holds it.
struct XlErrorCell {
  std::uint16_t code;
};
struct XlIntCell {
  std::int16_t value;
};
using XlCell = std::variant<std::monostate, double, std::string, bool, XlErrorCell, XlIntCell>;

// Builds blocks of the fast table format record by record.
class XlTableBuilder {
 public:
  XlTableBuilder& Header(int rows, int cols);
  // A record of any type with the given data bytes.
  XlTableBuilder& Record(int type, const std::string& data);
  // One record of cells of one kind.
  XlTableBuilder& Floats(std::initializer_list<double> values);
  XlTableBuilder& Strings(std::initializer_list<std::string> values);
  XlTableBuilder& Bools(std::initializer_list<bool> values);
  XlTableBuilder& Errors(std::initializer_list<std::uint16_t> codes);
  XlTableBuilder& Ints(std::initializer_list<std::int16_t> values);
  XlTableBuilder& Blanks(std::uint16_t count);
  // Cells row by row, one record for each run of cells of one kind.
  XlTableBuilder& Cells(const std::vector<XlCell>& cells);
  const std::string& Bytes() const { return bytes_; }

  static std::string U16(std::uint16_t v);

 private:
  std::string bytes_;
};

class FakeSheetServer : public TLinkTransport {
 public:
  static constexpr unsigned kXlTableFormat = 0xC0DE;

  // --- Behaviour -------------------------------------------------------------
  bool running = true;     // a conversation opens
  bool startable = false;  // not running: the program set starts it when its file exists
  // The "Selection" reply; nothing: no reply.
  std::optional<std::string> selection = "[BOOK1.XLS]Sheet1!R1C1";
  // "Status" answers "Busy" this many times before "Ready"; negative: never ready.
  int busyPolls = 0;
  // "Status" answers "Ready" this many times, then "Busy" for ever; negative: no limit.
  int readyAnswers = -1;
  // The next this many commands are refused.
  int refusals = 0;
  // How the server spells references in cell and range items.
  std::string rowLetter = "R", colLetter = "C";
  // The sheet served on every topic but "System", by (row, column) from 1.
  std::map<std::pair<int, int>, XlCell> sheet;
  // Blocks served for range items as they stand, before the sheet is looked at.
  std::map<std::string, std::string> blocks;
  // Replies to text items, keyed "topic|item", before the sheet is looked at.
  std::map<std::string, std::string> texts;
  // The file-type registry and the files that exist.
  std::map<std::string, std::string> classValues;
  std::set<std::string> files;

  // --- What happened -------------------------------------------------------------
  // "open <topic>", "close", "program <name>", "execute <command>" or
  // "execute-wait <command>", "request <topic>|<item>".
  std::vector<std::string> log;
  bool open = false;
  std::string topic;
  std::string program;
  int statusRequests = 0;
  // Range items requested in the table format, in order.
  std::vector<std::string> rangeRequests;

  // The server ends the conversation from its side.
  void Hangup();
  // The requests of one item on one topic (text or table).
  int Requests(const std::string& topicAndItem) const;

  // --- TLinkTransport ------------------------------------------------------------
  bool OpenLink(const std::string& service, const std::string& topic) override;
  void CloseLink() override;
  void SetProgram(const std::string& name) override;
  void SetFormatChars(bool) override {}
  bool Busy() override { return false; }
  std::optional<std::string> Request(const std::string& item, unsigned format, std::uint32_t timeoutMs) override;
  bool Execute(const std::string& command, bool wait) override;
  unsigned RegisterFormat(const std::string& name) override;
  std::optional<std::string> ClassValue(const std::string& key) override;
  bool FileExists(const std::string& path) override { return files.count(path) > 0; }

 private:
  // "R3C2" in the server's letters; false when the item is no cell.
  bool ParseCell(const std::string& text, int& row, int& col) const;
  std::optional<std::string> CellText(const std::string& item) const;
  std::optional<std::string> RangeBlock(const std::string& item) const;
};

}  // namespace dataeditor_test
