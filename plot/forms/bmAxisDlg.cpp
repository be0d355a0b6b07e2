#include "plot/forms/bmAxisDlg.h"

#include <initializer_list>
#include <utility>

#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "plot/forms/bmMainOptionsDlg.h"
#include "plot/forms/bmMeaDlg.h"

namespace {

constexpr const char* kHelpFile = "morva.hlp";
constexpr int kClientWidth = 470;
constexpr int kClientHeight = 330;
constexpr int kRowHeight = 26;
constexpr int kSpinWidth = 50;
constexpr int kControlHeight = 22;
constexpr int kButtonHeight = 25;

}  // namespace

TbmAxisDlg::TbmAxisDlg(plat::Form& owner, std::function<void()> apply, TbmLabelClass& title, TbmAxisClass& axis,
                       const std::string& caption)
    : plat::Form("bmAxisDlg"), Options_(title, axis, std::move(apply)), Owner_(&owner) {
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetFont({"Arial", 9, plat::clBlack, 0});
  SetClientSize(kClientWidth, kClientHeight);
  SetHelpContext(kHelpContext);
  SetCaption(caption);
  BuildScale();
  BuildAxisGroup();
  BuildReferenceLineGroup();
  BuildRangeGroup();
  BuildButtons();
  OnClose = [this](plat::CloseAction& action) { FormClose(action); };
  PlaceOver(owner);
  owner.Hide();
  LoadControls();
  DisableForIntervalLabels();
}

TbmAxisDlg::~TbmAxisDlg() = default;

// ---- Building ----

plat::Label& TbmAxisDlg::AddLabel(plat::Control& parent, const std::string& caption, int left, int top) {
  plat::Label& label = parent.Add<plat::Label>(caption);
  label.SetBounds(left, top + 3, 96, 16);
  return label;
}

plat::SpinEdit& TbmAxisDlg::AddSpin(plat::Control& parent, const std::string& name, const std::string& hint, int left,
                                    int top, int low, int high, std::function<void(int)> change) {
  plat::SpinEdit& spin = parent.Add<plat::SpinEdit>();
  spin.SetName(name);
  spin.SetHint(hint);
  spin.SetShowHint(true);
  spin.SetBounds(left, top, kSpinWidth, kControlHeight);
  spin.SetRange(low, high);
  spin.SetEditorEnabled(false);
  spin.OnChange = [this, &spin, change = std::move(change)] { Change([&] { change(spin.Value()); }); };
  return spin;
}

plat::Button& TbmAxisDlg::AddButton(plat::Control& parent, const std::string& name, const std::string& caption,
                                    const std::string& hint, int left, int top, std::function<void()> click) {
  plat::Button& button = parent.Add<plat::Button>(caption);
  button.SetName(name);
  button.SetHint(hint);
  button.SetShowHint(true);
  button.SetBounds(left, top, 90, kButtonHeight);
  button.OnClick = std::move(click);
  return button;
}

plat::ComboBox& TbmAxisDlg::AddStyleCombo(plat::Control& parent, const std::string& name, const std::string& hint,
                                          int left, int top, std::function<void(int)> change) {
  plat::ComboBox& combo = parent.Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
  combo.SetName(name);
  combo.SetHint(hint);
  combo.SetShowHint(true);
  combo.SetBounds(left, top, 100, kControlHeight);
  combo.SetItems({bmLineStyleNames[0], bmLineStyleNames[1], bmLineStyleNames[2]});
  combo.OnChange = [this, &combo, change = std::move(change)] { Change([&] { change(combo.ItemIndex()); }); };
  return combo;
}

// The label group, the scale's font and format and the ticks, down the left side.
void TbmAxisDlg::BuildScale() {
  plat::GroupBox& label = Add<plat::GroupBox>("&Label");
  label.SetBounds(8, 6, 222, 80);
  LabelEdit_ = &label.Add<plat::Edit>();
  LabelEdit_->SetName("bmID_LabelEdit");
  LabelEdit_->SetHint("Axis label");
  LabelEdit_->SetShowHint(true);
  LabelEdit_->SetBounds(10, 20, 200, kControlHeight);
  LabelEdit_->OnExit = [this] { Change([this] { Options_.SetTitleText(LabelEdit_->Text()); }); };
  LabelFontBtn_ = &AddButton(label, "bmID_LabelFontBtn", "&1. Font...", "Font to use for axis label", 10, 48, [this] {
    EditFont(Options_.Title().Font, Options_.Title().Size,
             [this](const plat::Font& font, int size) { Options_.SetTitleFont(font, size); });
  });

  ScaleFontBtn_ = &AddButton(*this, "bmID_ScaleFontBtn", "&4. Font...", "Font to use for scale values", 18, 94, [this] {
    EditFont(Options_.Axis().ScaleFont, Options_.Axis().ScaleFontSize,
             [this](const plat::Font& font, int size) { Options_.SetScaleFont(font, size); });
  });
  int top = 126;
  ScaleWidthLabel_ = &AddLabel(*this, "Field width:", 18, top);
  ScaleWidthSpin_ =
      &AddSpin(*this, "bmID_ScaleWidthSpin", "Minimum number of characters to use in formatting scale values", 110, top,
               0, TbmAxisOptions::kMaxScaleWidth, [this](int v) { Options_.SetScaleWidth(v); });
  top += kRowHeight;
  ScaleDecimalsLabel_ = &AddLabel(*this, "Dec. places:", 18, top);
  ScaleDecimalsSpin_ =
      &AddSpin(*this, "bmID_ScaleDecimalsSpin", "Number of decimal places to use for scale values", 110, top, 0,
               TbmAxisOptions::kMaxScaleDecimals, [this](int v) { Options_.SetScaleDecimals(v); });
  top += kRowHeight;
  MajTickLabel_ = &AddLabel(*this, "Major ticks:", 18, top);
  MajTickSpin_ = &AddSpin(*this, "bmID_MajTickSpin", "Number of major tickmarks (with scale values)", 110, top, 0,
                          TbmAxisOptions::kMaxTicks, [this](int v) { Options_.SetMajorCount(v); });
  MajTickLengthBtn_ =
      &AddButton(*this, "bmID_MajTickLengthBtn", "&2. Length...", "Length of major tickmarks", 166, top - 1,
                 [this] { MeasureTicks(*MajTickLengthBtn_, "Major Ticks", Options_.Axis().MajorLength); });
  MajTickLengthBtn_->SetBounds(166, top - 1, 64, kButtonHeight);
  top += kRowHeight + 4;
  MinTickLabel_ = &AddLabel(*this, "Minor ticks:", 18, top);
  MinTickSpin_ = &AddSpin(*this, "bmID_MinTickSpin", "Number of minor tickmarks between major tickmarks", 110, top, 0,
                          TbmAxisOptions::kMaxTicks, [this](int v) { Options_.SetMinorCount(v); });
  MinTickLengthBtn_ =
      &AddButton(*this, "bmID_MinTickLengthBtn", "&3. Length...", "Length of minor tickmarks", 166, top - 1,
                 [this] { MeasureTicks(*MinTickLengthBtn_, "Minor Ticks", Options_.Axis().MinorLength); });
  MinTickLengthBtn_->SetBounds(166, top - 1, 64, kButtonHeight);
  top += kRowHeight + 4;
  TicksInsideCheck_ = &Add<plat::CheckBox>("Ticks Inside");
  TicksInsideCheck_->SetName("bmID_TicksInsideCheck");
  TicksInsideCheck_->SetHint("Draw ticks on the inner side of the axis");
  TicksInsideCheck_->SetShowHint(true);
  TicksInsideCheck_->SetBounds(18, top, 140, 20);
  TicksInsideCheck_->OnClick = [this] { Change([this] { Options_.SetTicksInside(TicksInsideCheck_->Checked()); }); };
  plat::Label& solid = Add<plat::Label>("Lines wider than 1 are solid.");
  solid.SetBounds(18, top + 30, 212, 16);
}

void TbmAxisDlg::BuildAxisGroup() {
  plat::GroupBox& group = Add<plat::GroupBox>("A&xis");
  group.SetBounds(240, 6, 222, 80);
  AddLabel(group, "Width:", 10, 20);
  AxisWidthSpin_ = &AddSpin(group, "bmID_AxisWidthSpin", "Width of the lines used to draw the axis and tickmarks", 56,
                            20, TbmAxisOptions::kMinPenWidth, TbmAxisOptions::kMaxPenWidth,
                            [this](int v) { Options_.SetAxisPenWidth(v); });
  AxisColorBtn_ = &AddButton(
      group, "bmID_AxisColorBtn", "&5. Color...", "Color of the lines used for the axis and tickmarks", 120, 19,
      [this] { EditColor(Options_.Axis().AxisPen.color, [this](plat::Color c) { Options_.SetAxisPenColor(c); }); });
  AddLabel(group, "Style:", 10, 48);
  AxisStyleCombo_ = &AddStyleCombo(group, "bmID_AxisStyleCombo", "Style of the lines used to draw the axis", 56, 48,
                                   [this](int code) { Options_.SetAxisPenStyle(code); });
}

void TbmAxisDlg::BuildReferenceLineGroup() {
  plat::GroupBox& group = Add<plat::GroupBox>("&Reference Lines");
  ReferenceLineGroup_ = &group;
  group.SetBounds(240, 92, 222, 108);
  ReferenceLineWidthLabel_ = &AddLabel(group, "Width:", 10, 20);
  ReferenceLineWidthSpin_ = &AddSpin(
      group, "bmID_ReferenceLineWidthSpin", "Width of the lines used to draw the reference lines", 56, 20,
      TbmAxisOptions::kMinPenWidth, TbmAxisOptions::kMaxPenWidth, [this](int v) { Options_.SetRefLinePenWidth(v); });
  ReferenceLineColorBtn_ =
      &AddButton(group, "bmID_ReferenceLineColorBtn", "&6. Color...", "Color of the reference lines", 120, 19, [this] {
        EditColor(Options_.Axis().RefLinePen.color, [this](plat::Color c) { Options_.SetRefLinePenColor(c); });
      });
  ReferenceLineStyleLabel_ = &AddLabel(group, "Style:", 10, 48);
  ReferenceLineStyleCombo_ =
      &AddStyleCombo(group, "bmID_ReferenceLineStyleCombo", "Style of line used to draw the reference lines", 56, 48,
                     [this](int code) { Options_.SetRefLinePenStyle(code); });
  NReferenceLinesLabel_ = &AddLabel(group, "Number of ref. lines:", 10, 76);
  NReferenceLinesLabel_->SetBounds(10, 79, 130, 16);
  NReferenceLinesSpin_ =
      &AddSpin(group, "bmID_nReferenceLinesSpin", "Number of lines drawn across the plot perpendicular to the axis",
               150, 76, 0, TbmAxisOptions::kMaxRefLines, [this](int v) { Options_.SetRefLineCount(v); });
}

void TbmAxisDlg::BuildRangeGroup() {
  plat::GroupBox& group = Add<plat::GroupBox>("&Range");
  RangeGroup_ = &group;
  group.SetBounds(240, 206, 222, 80);
  auto addEdit = [&](const std::string& name, const std::string& hint, int top) {
    plat::Edit& edit = group.Add<plat::Edit>();
    edit.SetName(name);
    edit.SetHint(hint);
    edit.SetShowHint(true);
    edit.SetBounds(46, top, 90, kControlHeight);
    edit.OnChange = [this] { TypedInRange(); };
    edit.OnExit = [this] { RangeEditLeft(); };
    return &edit;
  };
  MinLabel_ = &AddLabel(group, "Min:", 10, 20);
  MinEdit_ = addEdit("bmID_MinEdit", "Axis minimum", 20);
  MaxLabel_ = &AddLabel(group, "Max:", 10, 48);
  MaxEdit_ = addEdit("bmID_MaxEdit", "Axis maximum", 48);
  AutoscaleCheck_ = &group.Add<plat::CheckBox>("Autoscale");
  AutoscaleCheck_->SetName("bmID_AutoscaleCheck");
  AutoscaleCheck_->SetHint("Have Quillon select axis scale");
  AutoscaleCheck_->SetShowHint(true);
  AutoscaleCheck_->SetBounds(142, 21, 76, 20);
  AutoscaleCheck_->OnClick = [this] { AutoscaleClicked(); };
}

void TbmAxisDlg::BuildButtons() {
  const int top = kClientHeight - kButtonHeight - 10;
  OkBtn_ = &AddButton(*this, "IDOK", "&OK", "Accept the changes to the axis", 182, top, [this] { OkClicked(); });
  OkBtn_->SetDefault(true);
  CancelBtn_ =
      &AddButton(*this, "IDCANCEL", "&Cancel", "Cancel changes to the axis and return", 276, top, [this] { Close(); });
  CancelBtn_->SetCancel(true);
  HelpBtn_ = &AddButton(*this, "IDHELP", "&Help", "Help on the axis dialog", 370, top,
                        [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Context, 1); });
}

// Centred over the form that opened it and kept on the screen.
void TbmAxisDlg::PlaceOver(plat::Form& owner) { CentreOver(*this, owner); }

// ---- Loading ----

void TbmAxisDlg::Change(const std::function<void()>& work) {
  if (!Filling_) work();
}

void TbmAxisDlg::LoadControls() {
  Filling_ = true;
  const TbmAxisClass& axis = Options_.Axis();
  LabelEdit_->SetText(Options_.Title().Text);
  MajTickSpin_->SetValue(axis.MajorCount);
  MinTickSpin_->SetValue(axis.MinorCount);
  TicksInsideCheck_->SetChecked(axis.TicksInside);
  ScaleWidthSpin_->SetValue(axis.ScaleWidth);
  ScaleDecimalsSpin_->SetValue(axis.ScaleDecimals);
  NReferenceLinesSpin_->SetValue(axis.RefLineCount);
  AxisWidthSpin_->SetValue(axis.AxisPen.width);
  ReferenceLineWidthSpin_->SetValue(axis.RefLinePen.width);
  AxisStyleCombo_->SetItemIndex(CodeOfLineStyle(axis.AxisPen.style));
  ReferenceLineStyleCombo_->SetItemIndex(CodeOfLineStyle(axis.RefLinePen.style));
  AutoscaleCheck_->SetChecked(axis.Autoscale);
  Filling_ = false;
  ShowRange();
}

void TbmAxisDlg::ShowRange() {
  const bool filling = std::exchange(Filling_, true);
  MinEdit_->SetText(Options_.MinText());
  MaxEdit_->SetText(Options_.MaxText());
  Filling_ = filling;
}

namespace {

void EnableAll(std::initializer_list<plat::Control*> controls, bool enabled) {
  for (plat::Control* control : controls) control->SetEnabled(enabled);
}

}  // namespace

void TbmAxisDlg::DisableForIntervalLabels() {
  const TbmAxisControlsEnabled enabled = AxisControlsEnabled(Options_.Axis());
  EnableAll({ScaleWidthLabel_, ScaleWidthSpin_, ScaleDecimalsLabel_, ScaleDecimalsSpin_, MajTickLabel_, MajTickSpin_,
             MinTickLabel_, MinTickSpin_},
            enabled.ScaleAndTickCounts);
  EnableAll({MajTickLengthBtn_, TicksInsideCheck_}, enabled.MajorLengthAndInside);
  EnableAll({MinTickLengthBtn_, ReferenceLineGroup_, ReferenceLineWidthLabel_, ReferenceLineWidthSpin_,
             ReferenceLineColorBtn_, ReferenceLineStyleLabel_, ReferenceLineStyleCombo_, NReferenceLinesLabel_,
             NReferenceLinesSpin_, RangeGroup_, MinLabel_, MinEdit_, MaxLabel_, MaxEdit_, AutoscaleCheck_},
            enabled.MinorLengthRefLinesRange);
}

// ---- Handlers ----

void TbmAxisDlg::EditFont(plat::Font font, int size, const std::function<void(const plat::Font&, int)>& take) {
  if (ChooseFontAndSize(font, size)) take(font, size);
}

void TbmAxisDlg::MeasureTicks(plat::Button& button, const std::string& caption, int& length) {
  MeasureStep(*this, button, caption, length, [this] { Options_.Apply(); });
}

void TbmAxisDlg::EditColor(plat::Color color, const std::function<void(plat::Color)>& take) {
  if (plat::CommonDialogs().ChooseColor(color)) take(color);
}

// Typing in Min or Max: the axis stops autoscaling and the box shows it; the
// value is read when the edit is left.
void TbmAxisDlg::TypedInRange() {
  if (Filling_) return;
  Options_.StopAutoscale();
  const bool filling = std::exchange(Filling_, true);
  AutoscaleCheck_->SetChecked(false);
  Filling_ = filling;
}

void TbmAxisDlg::RangeEditLeft() {
  if (Filling_) return;
  Options_.SetRange(MinEdit_->Text(), MaxEdit_->Text());
  ShowRange();
}

// Checked: the plot chooses the range again and the edits show it once
// drawn. Unchecked: the edits' range is taken.
void TbmAxisDlg::AutoscaleClicked() {
  if (Filling_) return;
  Options_.SetAutoscale(AutoscaleCheck_->Checked(), MinEdit_->Text(), MaxEdit_->Text());
  ShowRange();
}

void TbmAxisDlg::OkClicked() {
  Options_.SetTitleText(LabelEdit_->Text());
  Options_.SetRange(MinEdit_->Text(), MaxEdit_->Text());
  OkPressed_ = true;
  Close();
}

void TbmAxisDlg::FormClose(plat::CloseAction& action) {
  // The focus leaving an edit as the dialog hides must not change the axis again.
  Filling_ = true;
  Options_.Close(OkPressed_);
  if (plat::Form* owner = Owner_.Get()) owner->ShowForm();
  if (OnClosed) OnClosed();
  action = plat::CloseAction::Free;
}
