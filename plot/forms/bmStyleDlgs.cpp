#include "plot/forms/bmStyleDlgs.h"

#include <memory>
#include <type_traits>
#include <variant>

#include "platform/CommonDialogs.h"
#include "plot/forms/bmMeaDlg.h"

namespace {

constexpr int kFormWidth = 300;
constexpr int kMargin = 8;
constexpr int kGroupWidth = kFormWidth - 2 * kMargin;
constexpr int kGroupCaption = 20;
constexpr int kRowHeight = 30;
constexpr int kLabelLeft = 10;
constexpr int kLabelWidth = 66;
constexpr int kFieldLeft = 80;
constexpr int kColumnWidth = 126;
constexpr int kPreviewHeight = 64;
constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 28;

constexpr const char* kWideLinesNote = "Lines wider than 1 are solid.";

int RowTop(int row) { return kGroupCaption + row * kRowHeight; }
int ColumnLeft(int column) { return kLabelLeft + column * (kColumnWidth + 12); }

constexpr TbmPenGroupTexts kLineTexts{"Line", "Width of the line", "Select the color of the line",
                                      "Select the style of the line"};
constexpr TbmPenGroupTexts kConnectingLineTexts{"Line", "Width of the line connecting symbols",
                                                "Select the color of the line between symbols",
                                                "Set the style of the line connecting symbols"};
constexpr TbmSymbolGroupTexts kLineSymbolTexts{"Select the style of symbol", "Width of the symbol outline",
                                               "Set the size of the symbol", "Select the symbol foreground color",
                                               "Select the symbol background color"};
constexpr TbmSymbolGroupTexts kSymbolTexts{"Style of the symbol", "Width of the symbol outline", "Set symbol size",
                                           "Select the symbol foreground color", "Select the symbol background color"};
constexpr TbmPenGroupTexts kOutlineTexts{"Outline", "Set the width of the bar outline",
                                         "Set the color of the bar outline", nullptr};

TbmFillGroupTexts FillTexts(const char* caption) {
  return {caption, "Select the hatch pattern for the bar", "Selectt the hatch color of the bar",
          "Selectt the background color of the bar"};
}

}  // namespace

// ---- Preview ----

TbmPreviewBox::TbmPreviewBox(plat::Control& parent) : plat::CustomControl(parent) {
  SetName("bmID_PaintBox");
  SetTabStop(false);
}

void TbmPreviewBox::Paint(plat::Canvas& canvas) {
  if (OnPaint) OnPaint(canvas, {ClientWidth(), ClientHeight()});
}

// ---- What the dialogs share ----

TbmStyleDlgBase::TbmStyleDlgBase(const std::string& name, const std::string& caption, int helpContext)
    : plat::Form(name), NextTop_(kMargin) {
  SetCaption(caption);
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetHelpContext(helpContext);
  SetFont({"Arial", 8, plat::clBlack, 0});
  // The close box counts as Cancel: the part takes the copy only after OK.
  OnClose = [this](plat::CloseAction&) { Changed_ = CloseEdit(); };
}

plat::Control* TbmStyleDlgBase::Find(const std::string& name) {
  std::vector<plat::Control*> pending{this};
  while (!pending.empty()) {
    plat::Control* control = pending.back();
    pending.pop_back();
    if (control->Name() == name) return control;
    pending.insert(pending.end(), control->Children().begin(), control->Children().end());
  }
  return nullptr;
}

plat::GroupBox& TbmStyleDlgBase::AddGroup(const std::string& caption, int rows) {
  auto& group = Add<plat::GroupBox>(caption);
  const int height = RowTop(rows) + 6;
  group.SetBounds(kMargin, NextTop_, kGroupWidth, height);
  NextTop_ += height + kMargin;
  return group;
}

plat::SpinEdit& TbmStyleDlgBase::AddWidthSpin(plat::GroupBox& group, int row, const std::string& label,
                                              const std::string& name, const std::string& hint, int& width) {
  auto& caption = group.Add<plat::Label>(label);
  caption.SetBounds(kLabelLeft, RowTop(row) + 4, kLabelWidth, 18);
  auto& spin = group.Add<plat::SpinEdit>();
  caption.SetFocusControl(spin);
  spin.SetName(name);
  spin.SetHint(hint);
  spin.SetShowHint(true);
  spin.SetBounds(kFieldLeft, RowTop(row), 56, 24);
  spin.SetEditorEnabled(false);
  spin.SetRange(bmStylePenWidthMin, bmStylePenWidthMax);
  spin.SetValue(width);
  spin.OnChange = [this, &spin, &width] {
    width = spin.Value();
    RepaintPreview();
  };
  return spin;
}

plat::ComboBox& TbmStyleDlgBase::AddList(plat::GroupBox& group, int row, const std::string& label,
                                         const std::string& name, const std::string& hint, const char* const* items,
                                         int count, int index, std::function<void(int index)> choose) {
  auto& caption = group.Add<plat::Label>(label);
  caption.SetBounds(kLabelLeft, RowTop(row) + 4, kLabelWidth, 18);
  auto& combo = group.Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
  caption.SetFocusControl(combo);
  combo.SetName(name);
  combo.SetHint(hint);
  combo.SetShowHint(true);
  combo.SetBounds(kFieldLeft, RowTop(row), kGroupWidth - kFieldLeft - kLabelLeft, 24);
  combo.SetItems(std::vector<std::string>(items, items + count));
  combo.SetItemIndex(index);
  combo.OnChange = [this, &combo, choose = std::move(choose)] {
    choose(combo.ItemIndex());
    RepaintPreview();
  };
  return combo;
}

plat::Button& TbmStyleDlgBase::AddButton(plat::GroupBox& group, int row, int column, const std::string& caption,
                                         const std::string& name, const std::string& hint,
                                         std::function<void()> click) {
  auto& button = group.Add<plat::Button>(caption);
  button.SetName(name);
  button.SetHint(hint);
  button.SetShowHint(true);
  button.SetBounds(ColumnLeft(column), RowTop(row), kColumnWidth, 26);
  button.OnClick = std::move(click);
  return button;
}

plat::Button& TbmStyleDlgBase::AddColorButton(plat::GroupBox& group, int row, int column, const std::string& caption,
                                              const std::string& name, const std::string& hint, plat::Color& color) {
  return AddButton(group, row, column, caption, name, hint, [this, &color] {
    plat::Color chosen = color;
    if (!plat::CommonDialogs().ChooseColor(chosen)) return;
    color = chosen;
    RepaintPreview();
  });
}

void TbmStyleDlgBase::AddPenGroup(const TbmPenGroupTexts& texts, plat::Pen& pen) {
  auto& group = AddGroup(texts.caption, texts.styleHint != nullptr ? 2 : 1);
  AddWidthSpin(group, 0, "&Width:", "bmID_LineWidthSpin", texts.widthHint, pen.width);
  AddColorButton(group, 0, 1, "Co&lor", "bmID_LineColorBtn", texts.colorHint, pen.color);
  if (texts.styleHint == nullptr) return;
  AddList(group, 1, "&Style:", "bmID_LineStyleCombo", texts.styleHint, bmLineStyleNames, 3, CodeOfLineStyle(pen.style),
          [&pen](int index) { pen.style = LineStyleOfCode(index); });
}

void TbmStyleDlgBase::AddSymbolGroup(const TbmSymbolGroupTexts& texts, TbmSymbolClass& symbol, int dpiX, int dpiY) {
  auto& group = AddGroup("Symbol", 3);
  AddList(group, 0, "S&tyle:", "bmID_SymbolStyleCombo", texts.styleHint, bmSymbolNames, 8, symbol.Kind,
          [&symbol](int index) { symbol.Kind = SymbolKindOfIndex(index); });
  AddWidthSpin(group, 1, "&Pen width:", "bmID_SymbolPenWidthSpin", texts.penWidthHint, symbol.Outline.width);
  // The measure dialog opens where the mouse is; this dialog stays in place.
  AddButton(group, 1, 1, "Si&ze", "bmID_SymbolSizeBtn", texts.sizeHint, [this, &symbol, dpiX, dpiY] {
    if (!MeasureDialog("Symbol Size", symbol.Size)) return;
    symbol.SetHalfSizes(1, 1, dpiX, dpiY);
    RepaintPreview();
  });
  AddColorButton(group, 2, 0, "&FG Color", "bmID_SymbolFGBtn", texts.fgHint, symbol.Outline.color);
  AddColorButton(group, 2, 1, "&BG Color", "bmID_SymbolBGBtn", texts.bgHint, symbol.Fill.color);
}

void TbmStyleDlgBase::AddFillGroup(const TbmFillGroupTexts& texts, plat::Brush& hatch, plat::Brush& background) {
  auto& group = AddGroup(texts.caption, 2);
  AddList(group, 0, "S&tyle:", "bmID_BarStyleCombo", texts.styleHint, bmFillStyleNames, 4, CodeOfFillStyle(hatch.style),
          [&hatch](int index) { hatch.style = FillStyleOfCode(index); });
  AddColorButton(group, 1, 0, "&FG Color", "bmID_BarFGBtn", texts.fgHint, hatch.color);
  AddColorButton(group, 1, 1, "&BG Color", "bmID_BarBGBtn", texts.bgHint, background.color);
}

void TbmStyleDlgBase::AddWideLinesNote() {
  Add<plat::Label>(kWideLinesNote).SetBounds(kMargin + 2, NextTop_, kGroupWidth, 18);
  NextTop_ += 18 + kMargin;
}

void TbmStyleDlgBase::Finish() {
  auto& panel = Add<plat::Panel>();
  panel.SetBevels(plat::Bevel::None, plat::Bevel::Lowered);
  panel.SetBounds(kMargin, NextTop_, kGroupWidth, kPreviewHeight);
  Preview_ = &panel.Add<TbmPreviewBox>();
  Preview_->SetBounds(2, 2, kGroupWidth - 4, kPreviewHeight - 4);
  Preview_->OnPaint = [this](plat::Canvas& canvas, plat::Size box) { PaintPreview(canvas, box); };
  NextTop_ += kPreviewHeight + kMargin;

  Ok_ = &Add<plat::Button>("&OK");
  Ok_->SetName("IDOK");
  Ok_->SetHint("Accept changes and return");
  Ok_->SetShowHint(true);
  Ok_->SetDefault(true);
  Ok_->SetBounds(kFormWidth - 2 * (kButtonWidth + kMargin), NextTop_, kButtonWidth, kButtonHeight);
  Ok_->OnClick = [this] {
    AcceptEdit();
    Close();
  };
  Cancel_ = &Add<plat::Button>("&Cancel");
  Cancel_->SetName("IDCANCEL");
  Cancel_->SetHint("Cancel changes and return");
  Cancel_->SetShowHint(true);
  Cancel_->SetCancel(true);
  Cancel_->SetBounds(kFormWidth - kButtonWidth - kMargin, NextTop_, kButtonWidth, kButtonHeight);
  Cancel_->OnClick = [this] { Close(); };
  SetClientSize(kFormWidth, NextTop_ + kButtonHeight + kMargin);
  CentreOnPointer(*this);
}

void TbmStyleDlgBase::RepaintPreview() {
  if (Preview_ != nullptr) Preview_->Invalidate();
}

// ---- The dialogs ----

TbmLineDlg::TbmLineDlg(const std::string& caption, TbmLineClass& part, plat::Color background)
    : TbmStyleDlg("bmLineDlg", caption, 0, part, background) {
  AddPenGroup(kLineTexts, Working().Pen);
  AddWideLinesNote();
  Finish();
}

TbmLnSymDlg::TbmLnSymDlg(const std::string& caption, TbmLineSymbolClass& part, plat::Color background, int dpiX,
                         int dpiY)
    : TbmStyleDlg("bmLnSymDlg", caption, 0, part, background) {
  Working().SetHalfSizes(1, 1, dpiX, dpiY);
  AddPenGroup(kConnectingLineTexts, Working().LinePen);
  AddSymbolGroup(kLineSymbolTexts, Working(), dpiX, dpiY);
  AddWideLinesNote();
  Finish();
}

TbmSymDlg::TbmSymDlg(const std::string& caption, TbmSymbolClass& part, plat::Color background, int dpiX, int dpiY)
    : TbmStyleDlg("bmSymDlg", caption, kHelpContext, part, background) {
  Working().SetHalfSizes(1, 1, dpiX, dpiY);
  AddSymbolGroup(kSymbolTexts, Working(), dpiX, dpiY);
  Finish();
}

TbmBarDlg::TbmBarDlg(const std::string& caption, TbmBarClass& part, plat::Color background)
    : TbmStyleDlg("bmBarDlg", caption, kHelpContext, part, background) {
  AddPenGroup(kOutlineTexts, Working().Outline);
  AddFillGroup(FillTexts("Bar"), Working().Hatch, Working().Background);
  Finish();
}

TbmQuadDlg::TbmQuadDlg(const std::string& caption, TbmQuadClass& part, plat::Color background)
    : TbmStyleDlg("bmQuadDlg", caption, kHelpContext, part, background) {
  AddPenGroup(kOutlineTexts, Working().Outline);
  AddFillGroup(FillTexts("Base fill"), Working().Hatch, Working().Background);
  Finish();
}

bool RunStyleDialog(TbmStyleEntry& entry, const std::string& caption, plat::Color background, int dpiX, int dpiY) {
  auto make = [&](auto& part) -> std::unique_ptr<TbmStyleDlgBase> {
    using Part = std::decay_t<decltype(part)>;
    if constexpr (std::is_same_v<Part, TbmLineClass>) return std::make_unique<TbmLineDlg>(caption, part, background);
    if constexpr (std::is_same_v<Part, TbmSymbolClass>)
      return std::make_unique<TbmSymDlg>(caption, part, background, dpiX, dpiY);
    if constexpr (std::is_same_v<Part, TbmLineSymbolClass>)
      return std::make_unique<TbmLnSymDlg>(caption, part, background, dpiX, dpiY);
    if constexpr (std::is_same_v<Part, TbmBarClass>) return std::make_unique<TbmBarDlg>(caption, part, background);
    if constexpr (std::is_same_v<Part, TbmQuadClass>) return std::make_unique<TbmQuadDlg>(caption, part, background);
    return nullptr;
  };
  const std::unique_ptr<TbmStyleDlgBase> dialog = std::visit(make, entry.Part);
  if (!dialog) return false;
  dialog->SetHelpContext(1);
  dialog->ShowModal();
  return dialog->Changed();
}
