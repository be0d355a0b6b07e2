#pragma once
// The cell protocol: a cell component paints (and, in its subclasses, edits)
// the cells of a table assigned to it, and the table answers the cell's
// questions through TVirTableAncestor. One cell component may serve many cells
// of one table; its use count says how many columns, cells and locked-row
// slots refer to it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/base/VirFiler.h"
#include "controls/table/VirTblDef.h"
#include "platform/Canvas.h"
#include "platform/ControlEvents.h"
#include "platform/Lifetime.h"
#include "platform/SystemColors.h"
#include "platform/Types.h"

namespace plat {
class Control;
}

class TVirBaseTableCell;

// How a cell looks, as cell and table decide it together.
struct TVirCellAttributes {
  TVirTblAccess Access = otxDefault;
  TVirTblAdjust Adjust = otaDefault;
  plat::Color Color = plat::clBtnFace;
  plat::Font Font;
  plat::Color FontColor = plat::clWindowText;
  plat::Color FontHiColor = plat::clBtnHighlight;
  TVirTextStyle TextStyle = tsFlat;
};

// The table side of the cell protocol. The questions a cell asks are answered
// only while the table's window exists (HandleAllocated); before that the cell
// keeps what it has and asks again later.
class TVirTableAncestor {
 public:
  virtual ~TVirTableAncestor();
  TVirTableAncestor(const TVirTableAncestor&) = delete;
  TVirTableAncestor& operator=(const TVirTableAncestor&) = delete;

  virtual bool HandleAllocated() const = 0;
  virtual TVirTblOptionSet Options() const = 0;
  virtual plat::Color Color() const = 0;
  virtual const plat::Font& Font() const = 0;
  virtual int LockedCols() const = 0;
  virtual int LockedRows() const = 0;
  virtual int ActiveCol() const = 0;
  virtual int ActiveRow() const = 0;
  // Drops every reference to the cell (columns, per-cell store, locked rows)
  // and its registration. Works with or without a window.
  virtual void ForgetCell(TVirBaseTableCell& cell) = 0;
  // The table's half of attribute resolution.
  virtual void ResolveCellAttributes(int rowNum, int colNum, TVirCellAttributes& attr) = 0;
  // Registration of the cells in use; the table hands a registered cell its change callback.
  virtual void RegisterCell(TVirBaseTableCell& cell) = 0;
  virtual void UnregisterCell(TVirBaseTableCell& cell) = 0;
  // Which keys of an edit control belong to the table: 2 the table takes it
  // (Tab, Enter or Esc as its options say, or the edit command), 1 a movement
  // command, 0 the field keeps it.
  virtual int FilterKey(int key, plat::ShiftState shift) = 0;
  // A key that an edit control passes on: the table handles it as its own, later.
  virtual void PostKeyDown(int key, plat::ShiftState shift) = 0;
  // One of the table's messages (an edit control's focus notices), delivered later.
  virtual void PostTableMessage(std::uint32_t /*msg*/, std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) {}

 protected:
  TVirTableAncestor() = default;

 private:
  friend class TVirBaseTableCell;
  std::vector<TVirBaseTableCell*> attached_;  // every cell whose Table is this one
};

class TVirTableCellAncestor {
 public:
  virtual ~TVirTableCellAncestor() = default;
  virtual void RefreshTableDefaults() = 0;
  // Set by the table: tells it that the cell's look changed.
  void SetChangeCallback(std::function<void()> callback) { changed_ = std::move(callback); }

 protected:
  TVirTableCellAncestor() = default;
  void Changed() const {
    if (changed_) changed_();
  }

 private:
  std::function<void()> changed_;
};

// The owner-draw event: set DoneIt to skip the cell's own painting.
using TCellPaintNotifyEvent =
    std::function<void(TVirBaseTableCell& sender, plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum,
                       const TVirCellAttributes& attr, TVirCellData data, bool& doneIt)>;

// Whether a slot of `table` (a column, a stored cell, the locked rows) may
// refer to `cell`: null, a cell no table uses yet, or a cell of that table.
bool TakesCell(const TVirBaseTableCell* cell, const TVirTableAncestor* table);
// Makes `slot` refer to `cell` when the slot takes it: the new cell is handed
// the table when unused and counted before the old one is released, so a cell
// in use is never left without its table. True when the slot changed.
bool ReplaceCellReference(TVirBaseTableCell*& slot, TVirBaseTableCell* cell, TVirTableAncestor* table);

// A cell component keeps its stored properties as every stored object of the
// library does (VirFiler.h); the base stores none.
class TVirBaseTableCell : public TVirTableCellAncestor, public TVirPersistent {
 public:
  TVirBaseTableCell();
  ~TVirBaseTableCell() override;
  void DefineProperties(TVirFiler& /*filer*/) override {}
  TVirBaseTableCell(const TVirBaseTableCell&) = delete;
  TVirBaseTableCell& operator=(const TVirBaseTableCell&) = delete;

  // Re-reads the table's font when TableFont, and its colour when TableColor.
  void RefreshTableDefaults() override;
  // The edit control while a cell is edited; none in the base.
  virtual plat::Control* EditControl() { return nullptr; }
  // Fills the rectangle with the attributes' colour.
  virtual void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum,
                         const TVirCellAttributes& attr, TVirCellData data);
  // The editing operations; a cell class without an edit control keeps these
  // defaults, and the table then never edits its cells.
  virtual void* EditWindowHandle() { return nullptr; }
  virtual void HideEditor() {}
  virtual void MoveEditor(plat::Rect /*cellRect*/) {}
  virtual bool CanSaveEdit(bool /*saveValue*/) { return true; }
  virtual void SaveEditedValue(TVirCellData /*data*/) {}
  virtual void BeginEdit(int /*rowNum*/, int /*colNum*/, plat::Rect /*cellRect*/, const TVirCellAttributes& /*attr*/,
                         TVirTblEditorStyle /*cellStyle*/, TVirCellData /*data*/) {}
  virtual void EndEdit(bool /*saveValue*/, TVirCellData /*data*/) {}
  // The table's answer about a key of the edit control (FilterKey); 0 without a table window.
  virtual int FilterTableKey(int key, plat::ShiftState shift);
  // Calls OnOwnerDraw with DoneIt false and returns DoneIt.
  virtual bool OwnerDrawCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum,
                             const TVirCellAttributes& attr, TVirCellData data);
  // Fills the record from the cell, lets the table refine it, then replaces
  // what is still unset by the defaults (otxNormal, otaCenterLeft, clBtnFace).
  virtual void ResolveCellAttributes(int rowNum, int colNum, TVirCellAttributes& attr);
  // Owner draw first, then PaintCell.
  void DrawCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                TVirCellData data);

  void AddRef();
  void Release();
  int UseCount() const { return useCount_; }
  // The table's options hold otoEnterToArrow (otoTabToArrow); false without a table window.
  bool TableWantsEnter() const;
  bool TableWantsTab() const;
  // Passes a key of the edit control on to the table (with a table window).
  void SendKeyToTable(int key, plat::ShiftState shift);
  // Posts a message to the table (with a table window).
  void PostMessageToTable(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

  // The name of the cell component and the form that owns it: stored tables
  // name their cells as "form.cell". The windowed layer sets the owner
  // (SetCellOwner), with what tells the form's name.
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  plat::Control* OwnerForm() const { return owner_.Get(); }
  void SetOwner(plat::WeakRef<plat::Control> form, std::function<std::string()> formName);
  // "form.cell", or the cell's name alone when its form has no name.
  std::string QualifiedName() const;
  // The living cell components that `form` owns, in order of creation.
  static std::vector<TVirBaseTableCell*> CellsOwnedBy(const plat::Control* form);

  bool AcceptActivationClick = false;
  TVirTblAccess Access() const { return access_; }
  void SetAccess(TVirTblAccess access);
  TVirTblAdjust Adjust() const { return adjust_; }
  void SetAdjust(TVirTblAdjust adjust);
  // The table's colour while TableColor (read when its window exists), else the cell's own.
  plat::Color Color();
  void SetColor(plat::Color color);
  // The table's font while TableFont (read when its window exists), else the cell's own.
  const plat::Font& Font();
  void SetFont(const plat::Font& font);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }
  // Whether the edit control shows the hint as a tooltip.
  bool ShowHint = true;
  int Margin() const { return margin_; }
  void SetMargin(int margin);
  TVirTableAncestor* Table() const { return table_; }
  // Moves the cell to another table (or none): the old table forgets it.
  void SetTable(TVirTableAncestor* table);
  bool TableColor() const { return tableColor_; }
  void SetTableColor(bool on);
  bool TableFont() const { return tableFont_; }
  void SetTableFont(bool on);
  plat::Color TextHiColor() const { return textHiColor_; }
  void SetTextHiColor(plat::Color color);
  TVirTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TVirTextStyle style);
  // Scales the cell's own font by M/D (not the table's).
  void ScaleFont(int m, int d);
  static const char* Version() { return "2.15.00"; }

  TCellPaintNotifyEvent OnOwnerDraw;
  // The component events (click, key, mouse, drag, focus). A cell that edits
  // hands them to its edit control when editing starts (HandCellEvents), so
  // they name the edit control as Sender.
  plat::ControlEvents Events;
  std::function<void()> OnEnter;
  std::function<void()> OnExit;

 protected:
  // Whether the table's window can answer now.
  bool TableAnswers() const;
  template <class T>
  void SetAndNotify(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }

 private:
  friend class TVirTableAncestor;
  void FetchTableColor();
  void FetchTableFont();
  void Detach();

  TVirTableAncestor* table_ = nullptr;
  std::string name_;
  plat::WeakRef<plat::Control> owner_;
  std::function<std::string()> ownerName_;
  int useCount_ = 0;
  TVirTblAccess access_ = otxDefault;
  TVirTblAdjust adjust_ = otaDefault;
  plat::Color color_ = plat::clBtnFace;
  plat::Font font_;
  std::string hint_;
  int margin_ = 4;
  bool tableColor_ = true;
  bool tableFont_ = true;
  plat::Color textHiColor_ = plat::clBtnHighlight;
  TVirTextStyle textStyle_ = tsFlat;
  bool colorPending_ = true;
  bool fontPending_ = true;
};
