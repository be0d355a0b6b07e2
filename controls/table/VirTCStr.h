#pragma once
// Text cells: TVirTCBaseString paints a text from the cell data in one of
// three styles (flat, raised, lowered), on one line or word-wrapped, placed
// by the cell's adjustment; TVirTCColHead paints column headings (letters as
// spreadsheets name their columns, texts of its own, or a mark over the active
// column).

#include <string>
#include <string_view>
#include <vector>

#include "controls/table/VirTCBase.h"

// Reads the text of a cell's data: a length-prefixed string (at most 255
// characters) or, with `zeroTerminated`, the bytes up to the first zero. The
// text never reaches past the data.
std::string CellDataText(TVirCellData data, bool zeroTerminated);

// Where each line of a text goes in a rectangle: the text's lines (broken at
// words when wrapping) and the top-left corner of each.
struct TextPlacement {
  std::string line;
  plat::Point at;
};
std::vector<TextPlacement> PlaceCellText(const plat::Canvas& canvas, plat::Rect rect, std::string_view text,
                                         TVirTblAdjust adjust, bool wordWrap);

// A column number written in letters as spreadsheets name columns: 1 is A, 26
// Z, 27 AA, 702 ZZ, 703 AAA; empty below 1.
std::string ColumnLetters(int n);

class TVirTCBaseString : public TVirBaseTableCell {
 public:
  void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                 TVirCellData data) override;

  bool UseASCIIZStrings() const { return useASCIIZStrings_; }
  void SetUseASCIIZStrings(bool on) { SetAndNotify(useASCIIZStrings_, on); }
  bool UseWordWrap() const { return useWordWrap_; }
  void SetUseWordWrap(bool on) { SetAndNotify(useWordWrap_, on); }

 protected:
  // The background, then the text in the attributes' style (nothing more for
  // an invisible cell or an empty text).
  void PaintText(plat::Canvas& canvas, plat::Rect cellRect, const TVirCellAttributes& attr, std::string_view text);

 private:
  bool useASCIIZStrings_ = false;
  bool useWordWrap_ = false;
};

class TVirTCColHead : public TVirTCBaseString {
 public:
  TVirTCColHead();
  void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                 TVirCellData data) override;

  const std::vector<std::string>& Headings() const { return headings_; }
  void SetHeadings(std::vector<std::string> headings) { SetAndNotify(headings_, headings); }
  bool ShowActiveCol() const { return showActiveCol_; }
  void SetShowActiveCol(bool on) { SetAndNotify(showActiveCol_, on); }
  bool ShowLetters() const { return showLetters_; }
  void SetShowLetters(bool on) { SetAndNotify(showLetters_, on); }

  // Keeps the headings with their columns when the table's columns change.
  void ColumnsChanged(int colNum1, int colNum2, TVirTblActions action);

 private:
  std::vector<std::string> headings_;
  bool showActiveCol_ = false;
  bool showLetters_ = true;
};
