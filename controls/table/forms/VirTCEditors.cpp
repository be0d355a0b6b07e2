#include "controls/table/forms/VirTCEditors.h"

#include "controls/table/VirTblCore.h"
#include "platform/SystemColors.h"

plat::Control* TableControl(const TVirBaseTableCell& cell) { return dynamic_cast<plat::Control*>(cell.Table()); }

plat::EditBorder EditorBorder(TVirTblEditorStyle style) {
  switch (style) {
    case tesBorder: return plat::EditBorder::Single;
    case tes3D: return plat::EditBorder::Lowered3D;
    default: return plat::EditBorder::None;
  }
}

void DressEditor(plat::Control& editor, const TVirBaseTableCell& cell, plat::Rect bounds,
                 const TVirCellAttributes& attr) {
  editor.Hide();
  editor.SetColor(plat::ColorToRGB(attr.Color));
  plat::Font font = attr.Font;
  font.color = plat::ColorToRGB(attr.FontColor);
  editor.SetFont(font);
  editor.SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
  editor.SetHint(cell.Hint());
  editor.SetShowHint(cell.ShowHint);
  editor.SetTabStop(false);
}

void HandCellEvents(const TVirBaseTableCell& cell, plat::Control& editor) {
  editor.Events = cell.Events;
  editor.OnEnter = cell.OnEnter;
  editor.OnExit = cell.OnExit;
}

void PostEditorFocus(TVirBaseTableCell& cell, bool in, plat::Control* other, std::intptr_t lParam) {
  cell.PostMessageToTable(in ? kTblMsgEditorFocusIn : kTblMsgEditorFocusOut, reinterpret_cast<std::uintptr_t>(other),
                          lParam);
}

void PassKeyToTable(TVirBaseTableCell& cell, bool toTable, int& key, plat::ShiftState shift) {
  if (!toTable) return;
  cell.SendKeyToTable(key, shift);
  key = 0;
}

void AdvanceWhenFull(TVirBaseTableCell& cell, bool autoAdvanceChar, int limit, std::size_t textLength) {
  if (autoAdvanceChar && limit > 0 && static_cast<int>(textLength) >= limit) cell.SendKeyToTable(plat::vk::Right, 0);
}

bool VerticalKey(int key) {
  return key == plat::vk::Prior || key == plat::vk::Next || key == plat::vk::Up || key == plat::vk::Down;
}

void ShowEditorAt(plat::Control& editor, plat::Rect bounds) {
  editor.SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
  editor.Show();
  editor.Repaint();
}
