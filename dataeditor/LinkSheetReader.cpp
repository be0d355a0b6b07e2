#include "dataeditor/LinkSheetReader.h"

#include <array>

#include "dataeditor/SheetImport.h"
#include "matrix/Constu.h"
#include "platform/Clock.h"
#include "rtl/ScopeGuard.h"

namespace {

constexpr int kConnectTries = 10;
constexpr std::uint32_t kConnectPauseMs = 500;

// The error values as a sheet shows them, by the decoder's index.
const std::array<const char*, 7> kErrorTexts = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"};

// A block of the fast table format, cell by cell.
class TLinkSheetBlock : public TSheetBlock {
 public:
  explicit TLinkSheetBlock(std::unique_ptr<TGetXlTableData> data) : data_(std::move(data)) {}
  int Rows() const override { return data_->Rows(); }
  int Cols() const override { return data_->Columns(); }

  bool Next(TSheetCell& cell) override {
    switch (data_->DataType()) {
      case xlNoData: return false;
      case xlFloat: cell = TSheetCell::OfNumber(data_->ReadFloat()); break;
      case xlString: cell = TSheetCell::OfText(data_->ReadString()); break;
      case xlBool: cell = TSheetCell::OfBoolean(data_->ReadBool()); break;
      case xlError: cell = TSheetCell::OfError(kErrorTexts[static_cast<std::size_t>(data_->ReadError())]); break;
      case xlInt: cell = TSheetCell::OfNumber(data_->ReadInt()); break;
      default:  // blanks, and records that hold no value
        data_->SkipCell();
        cell = TSheetCell::Empty();
        break;
    }
    return true;
  }

 private:
  std::unique_ptr<TGetXlTableData> data_;
};

void ConnectWithRetries(TAdvExcel& link) {
  for (int k = 0; k < kConnectTries && !link.Connected(); ++k) {
    try {
      link.Connect();
    } catch (const ExcelError&) {
      continue;  // a failed try; the next follows at once
    }
    if (!link.Connected()) plat::Sleep(kConnectPauseMs);
  }
}

}  // namespace

TSheetCell TLinkSheetReader::Cell(int row, int col) {
  std::string text = link_.GetCellOfSelectionSheet(row, col);
  return text.empty() ? TSheetCell::Empty() : TSheetCell::OfText(std::move(text));
}

std::unique_ptr<TSheetBlock> TLinkSheetReader::Block(int top, int left, int rows, int cols) {
  return std::make_unique<TLinkSheetBlock>(link_.GetCellsOfSelectionSheet(top, left, rows, cols));
}

std::unique_ptr<TMatrixStr> ImportSheetOverLink(TAdvExcel& link, const std::string& path,
                                                const std::function<void()>& afterRow) {
  rtl::ScopeExit finish([&link] {
    link.CloseFile();
    link.OnClose = nullptr;
    if (link.Connected()) {
      link.Execute("[QUIT]");
      link.Disconnect();
    }
  });
  ConnectWithRetries(link);
  if (!link.Connected() || !link.IsReady()) throw E_Morvapc("Problem opening file in Excel.");
  link.OpenFile(path);
  link.StripCRLF = true;
  if (!link.IsReady()) throw E_Morvapc("Problem reading values from Excel.");
  TLinkSheetReader sheet(link);
  return ImportSheet(sheet, kLinkImportRules, afterRow);
}
