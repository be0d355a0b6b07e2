#pragma once
// The spreadsheet link: a client of the spreadsheet program's conversation
// service "Excel". It finds and starts the program, waits until it reports
// "Ready", sends macro commands in bursts, learns how the program spells R1C1
// references (the row and column letters differ by language), and reads single
// cells as text or blocks of cells in the fast table format, which
// TGetXlTableData decodes. Every failure raises ExcelError.
//
// TCustomExcel holds the conversation, the commands and the waiting; TExcel
// adds references, the selection and cell reads; TAdvExcel opens and closes
// a workbook. The conversation goes through a TLinkTransport, which serves
// one link at a time; the link does not own it, and it must outlive the link.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dataeditor/LinkError.h"
#include "dataeditor/LinkTransport.h"
#include "dataeditor/XlTableData.h"

// A cell of a sheet, counted from 1.
struct TCellPos {
  int row = 0;
  int col = 0;
  bool operator==(const TCellPos&) const = default;
};

class TCustomExcel {
 public:
  // The text of a request that brought nothing.
  static constexpr const char* kNoReply = "*** Excel - No Reply ***";

  explicit TCustomExcel(TLinkTransport& transport);
  virtual ~TCustomExcel();
  TCustomExcel(const TCustomExcel&) = delete;
  TCustomExcel& operator=(const TCustomExcel&) = delete;

  // Opens the conversation on topic "System" unless connected; starts the
  // program when no conversation opens.
  void Connect();
  void Disconnect();
  bool Connected() const { return connected_; }

  // Sends one macro command; every BurstCount-th waits for "Ready" first. A
  // refused command is sent again after a wait; refused twice, it raises.
  void Execute(const std::string& command);
  // Waits, handling window messages, until the program reports "Ready";
  // raises ExcelError when it has not after WaitTimeoutMs.
  void WaitReady();
  bool IsReady();

  // The item's value on the current topic, kNoReply when nothing came.
  std::string RequestText(const std::string& item);
  // The item's data in a format; nothing when nothing came.
  std::optional<std::string> Request(const std::string& item, unsigned format);
  // Makes `topic` the conversation's topic, reopening it when it was open.
  bool SelectTopic(const std::string& topic);

  // The program started when no conversation opens; set without extension.
  const std::string& ExeName() const { return exeName_; }
  void SetExeName(const std::string& name);

  // Commands sent between two waits for "Ready"; negative: never wait.
  int BurstCount = 128;
  std::uint32_t WaitTimeoutMs = 60000;

  std::function<void()> OnOpen, OnClose, OnBeginWait, OnWaiting, OnEndWait;

 protected:
  virtual void LearnLetters() = 0;
  // Where the program serving workbook files lives, from the file-type registry.
  void FindProgram();
  unsigned XlTableFormat();
  TLinkTransport& Transport() { return transport_; }

 private:
  void LinkOpened();
  void LinkClosed();
  void Watch();

  TLinkTransport& transport_;
  bool connected_ = false;
  std::string exeName_;
  std::string topic_;
  int sent_ = 0;  // commands since the last wait
  unsigned xlTable_ = 0;
};

class TExcel : public TCustomExcel {
 public:
  using TCustomExcel::TCustomExcel;

  // GetCell drops a final CR LF of the reply.
  bool StripCRLF = false;
  void SetFilterReturnedData(bool on);

  // The selection, as a workbook and sheet, "!" and an R1C1 reference.
  std::string GetSelection();
  // The selection up to its last "!"; empty without a reply.
  std::string GetSelectionSheet();
  // Learns the row and column letters from the selection.
  void LearnLetters() override;
  const std::string& RowLetter() const { return rowLetter_; }
  const std::string& ColLetter() const { return colLetter_; }

  // Splits "sheet!R3C2:R5C4" into the sheet (one pair of surrounding single
  // quotes removed) and the corners. False, with an empty sheet and the
  // corners untouched, when the text holds no "!".
  bool ParseCellRef(const std::string& text, TCellPos& topLeft, std::string& sheet, TCellPos& bottomRight);
  bool GetSelectionRange(TCellPos& topLeft, std::string& sheet, TCellPos& bottomRight);

  // One cell as text; a row or column below 1 is the selection's.
  std::string GetCell(int row, int col, const std::string& sheet);
  std::string GetCellOfSelectionSheet(int row, int col);
  // A block of cells; a top or left below 1 is the selection's.
  std::unique_ptr<TGetXlTableData> GetCells(const std::string& sheet, int top, int left, int rows, int cols);
  std::unique_ptr<TGetXlTableData> GetCellsOfSelectionSheet(int top, int left, int rows, int cols);

 private:
  void EnsureLetters();
  // Fills a row or column below 1 from the selection's top-left cell.
  void DefaultToSelection(int& row, int& col);
  TCellPos ReadCorner(const std::string& ref, std::size_t& at) const;

  std::string rowLetter_, colLetter_;
};

class TAdvExcel : public TExcel {
 public:
  using TExcel::TExcel;

  // Opens the workbook (closing another one first) and hides its window.
  void OpenFile(const std::string& path);
  void CloseFile();
  // The open workbook's upper-cased name without its folder; empty when none.
  const std::string& Workbook() const { return workbook_; }

 private:
  std::string workbook_;
};
