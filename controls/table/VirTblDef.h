#pragma once
// Shared definitions of the table grid: its enumerations (ordinals are the
// stored values), the option set, the cell-data view and the table's exception.

#include <cstdint>
#include <span>
#include <string>

#include "platform/Canvas.h"
#include "rtl/Exception.h"

enum TVirTblAccess : std::uint8_t { otxDefault, otxNormal, otxReadOnly, otxInvisible };

enum TVirTblAdjust : std::uint8_t {
  otaDefault,
  otaTopLeft,
  otaTopCenter,
  otaTopRight,
  otaCenterLeft,
  otaCenter,
  otaCenterRight,
  otaBottomLeft,
  otaBottomCenter,
  otaBottomRight
};

enum TVirTblOption : std::uint8_t {
  otoBrowseRow,
  otoNoRowResizing,
  otoNoColResizing,
  otoTabToArrow,
  otoEnterToArrow,
  otoAlwaysEditing,
  otoNoSelection,
  otoMouseDragSelect,
  otoRowSelection,
  otoColSelection,
  otoThumbTrack,
  otoAllowColMoves,
  otoAllowRowMoves
};

enum TVirTextStyle : std::uint8_t { tsFlat, tsRaised, tsLowered };

enum TGridEffect : std::uint8_t { geNone, geVertical, geHorizontal, geBoth, ge3D };

// What a change notification of rows or columns reports.
enum TVirTblActions : std::uint8_t {
  tbaOverall,  // not tied to one row or column (the row limit changed)
  tbaOne,      // one row or column changed
  tbaEvery,    // everything changed (cleared, default height changed)
  tbaAdded,
  tbaRemoved,
  tbaSwapped
};

enum TVirCellDataPurpose : std::uint8_t { cdpForPaint, cdpForEdit, cdpForSave };

enum TVirTblEditorStyle : std::uint8_t { tesNone, tesBorder, tes3D };

// A set of options, one bit per option at its ordinal.
class TVirTblOptionSet {
 public:
  constexpr TVirTblOptionSet() = default;
  constexpr TVirTblOptionSet(std::initializer_list<TVirTblOption> options) {
    for (TVirTblOption o : options) bits_ |= Bit(o);
  }
  constexpr bool Has(TVirTblOption o) const { return (bits_ & Bit(o)) != 0; }
  constexpr void Include(TVirTblOption o) { bits_ |= Bit(o); }
  constexpr void Exclude(TVirTblOption o) { bits_ &= static_cast<std::uint16_t>(~Bit(o)); }
  constexpr std::uint16_t Bits() const { return bits_; }
  friend constexpr bool operator==(TVirTblOptionSet, TVirTblOptionSet) = default;

 private:
  static constexpr std::uint16_t Bit(TVirTblOption o) { return static_cast<std::uint16_t>(1u << o); }
  std::uint16_t bits_ = 0;
};

// The data of one cell as its owner hands it over: the bytes, in the layout
// the cell class fixes. An empty view means no data. A cell never reads or
// writes outside it.
using TVirCellData = std::span<std::uint8_t>;

// A colour that a cell style leaves to the next level.
constexpr plat::Color clStyleNotSet = 0x2FFFFFF;

// The table's own errors, with a text of the library catalogue.
class EVireoTable : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  static EVireoTable RowOutOfBounds();
  static EVireoTable MaxColumns();
};

// Round(a * b / c) in 64 bits, halves away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);
