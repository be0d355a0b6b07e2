#include "plot/forms/bmMainOptionsDlg.h"

#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "plot/bmMeasure.h"
#include "plot/optionRules.h"
#include "plot/forms/bmMeaDlg.h"

namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 352;
constexpr int kButtonHeight = 26;
constexpr const char* kHelpFile = "morva.hlp";

std::size_t Index(TbmMarginSide side) { return static_cast<std::size_t>(side); }
std::size_t Index(TbmPlotColor which) { return static_cast<std::size_t>(which); }

plat::CheckBox& AddCheck(plat::Control& parent, const std::string& name, const std::string& caption,
                         const std::string& hint, int left, int top) {
  auto& check = parent.Add<plat::CheckBox>(caption);
  check.SetName(name);
  check.SetBounds(left, top, 168, 20);
  check.SetHint(hint);
  check.SetShowHint(true);
  return check;
}

}  // namespace

TbmMainPlot2DOptionsDlg::TbmMainPlot2DOptionsDlg(plat::Form& callingForm, TbmPlot2DPlotPartsClass& parts,
                                                 std::function<void()> apply)
    : plat::Form("bmMainPlot2DOptionsDlg"), callingForm_(callingForm), options_(parts, std::move(apply)) {
  SetCaption("Plot options");
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetHelpContext(kHelpContext);
  SetClientSize(kClientWidth, kClientHeight);
  BuildMargins();
  BuildColors();
  BuildAxes();
  BuildFrame();
  BuildLegend();
  BuildButtons();
  PlaceOver(callingForm);
  LoadControls();
  OnClose = [this](plat::CloseAction&) {
    options_.Close();
    callingForm_.Show();
  };
}

plat::Button& TbmMainPlot2DOptionsDlg::AddButton(plat::Control& parent, const std::string& name,
                                                 const std::string& caption, const std::string& hint, int left, int top,
                                                 int width) {
  auto& button = parent.Add<plat::Button>(caption);
  button.SetName(name);
  button.SetBounds(left, top, width, kButtonHeight);
  button.SetHint(hint);
  button.SetShowHint(true);
  return button;
}

void TbmMainPlot2DOptionsDlg::BuildMargins() {
  auto& group = Add<plat::GroupBox>("Margins");
  group.SetBounds(8, 8, 184, 92);
  struct Side {
    TbmMarginSide side;
    const char* name;
    const char* caption;
    const char* hint;
    const char* measureCaption;
    int left, top;
  };
  static constexpr Side kSides[] = {
      {TbmMarginSide::Top, "bmID_TopMarginSizeBtn", "Top...", "Set the size of the top margin", "Top Margin", 8, 22},
      {TbmMarginSide::Left, "bmID_LeftMarginSizeBtn", "Left...", "Set the size of the left margin", "Left Margin", 8,
       56},
      {TbmMarginSide::Bottom, "bmID_BottomMarginSizeBtn", "Bottom...", "Set the size of the bottom margin",
       "Bottom Margin", 96, 22},
      {TbmMarginSide::Right, "bmID_RightMarginSizeBtn", "Right...", "Set the size of the right margin", "Right Margin",
       96, 56},
  };
  for (const Side& s : kSides) {
    auto& button = AddButton(group, s.name, s.caption, s.hint, s.left, s.top, 80);
    button.OnClick = [this, side = s.side, caption = std::string(s.measureCaption)] { MeasureMargin(side, caption); };
    margins_[Index(s.side)] = &button;
  }
}

void TbmMainPlot2DOptionsDlg::BuildColors() {
  auto& group = Add<plat::GroupBox>("Colors");
  group.SetBounds(200, 8, 192, 124);
  struct Target {
    TbmPlotColor which;
    const char* name;
    const char* caption;
    const char* hint;
  };
  static constexpr Target kTargets[] = {
      {TbmPlotColor::Margin, "bmID_marginColorBtn", "Margin...", "Set the color of the outer margin of the plot"},
      {TbmPlotColor::PlotArea, "bmID_plotAreaColorBtn", "Graph...", "Set the color of the main plotting area"},
      {TbmPlotColor::InnerMargin, "bmID_innerMarginColorBtn", "Axes, titles, etc...",
       "Set the barckground color of areas between the margin and the plotting area"},
  };
  int top = 22;
  for (const Target& t : kTargets) {
    auto& button = AddButton(group, t.name, t.caption, t.hint, 8, top, 176);
    button.OnClick = [this, which = t.which] { ChooseColor(which); };
    colors_[Index(t.which)] = &button;
    top += 32;
  }
}

void TbmMainPlot2DOptionsDlg::BuildAxes() {
  auto& group = Add<plat::GroupBox>("Plot");
  group.SetBounds(8, 104, 184, 70);
  preserveAspect_ = &AddCheck(group, "bmID_PreserveAspectCheck", "Preserve axis aspect",
                              "Correctly represent the relative lengths of the axes", 8, 20);
  preserveAspect_->OnClick = [this] { options_.SetPreserveAspect(preserveAspect_->Checked()); };
  center_ = &AddCheck(group, "bmID_CenterCheck", "Center", "Center the plot in the window", 8, 44);
  center_->OnClick = [this] { options_.SetCenter(center_->Checked()); };
}

void TbmMainPlot2DOptionsDlg::BuildFrame() {
  auto& group = Add<plat::GroupBox>("Frame");
  group.SetBounds(8, 178, 184, 108);
  frameShow_ = &AddCheck(group, "bmID_FrameShowCheck", "Show", "Draw a frame around the plot", 8, 20);
  frameShow_->OnClick = [this] { options_.SetShowFrame(frameShow_->Checked()); };
  group.Add<plat::Label>("Width:").SetBounds(8, 48, 44, 20);
  frameWidth_ = &group.Add<plat::SpinEdit>();
  frameWidth_->SetName("bmID_FrameWidthSpin");
  frameWidth_->SetBounds(52, 44, 48, 24);
  frameWidth_->SetRange(TbmMainPlotOptions::kMinFrameWidth, TbmMainPlotOptions::kMaxFrameWidth);
  frameWidth_->SetEditorEnabled(false);
  frameWidth_->SetHint("Width of the line used to draw the frame");
  frameWidth_->SetShowHint(true);
  frameWidth_->OnChange = [this] { options_.SetFrameWidth(frameWidth_->Value()); };
  colors_[Index(TbmPlotColor::Frame)] =
      &AddButton(group, "bmID_FrameColorBtn", "Color...", "Color of the frame", 108, 43, 68);
  colors_[Index(TbmPlotColor::Frame)]->OnClick = [this] { ChooseColor(TbmPlotColor::Frame); };
  group.Add<plat::Label>("Style:").SetBounds(8, 78, 44, 20);
  frameStyle_ = &group.Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
  frameStyle_->SetName("bmID_FrameStyleCombo");
  frameStyle_->SetBounds(52, 74, 124, 24);
  frameStyle_->SetItems({bmLineStyleNames[0], bmLineStyleNames[1], bmLineStyleNames[2]});
  frameStyle_->SetHint("Set the linestyle used for drawing the frame");
  frameStyle_->SetShowHint(true);
  frameStyle_->OnChange = [this] { options_.SetFrameStyle(frameStyle_->ItemIndex()); };
  Add<plat::Label>("Lines wider than 1 are solid.").SetBounds(16, 290, 180, 18);
}

void TbmMainPlot2DOptionsDlg::BuildLegend() {
  legendGroup_ = &Add<plat::GroupBox>("Legend");
  legendGroup_->SetBounds(200, 136, 192, 150);
  legendShow_ = &AddCheck(*legendGroup_, "bmID_LegendShow", "Show", "Show the plot legend", 8, 20);
  legendShow_->OnClick = [this] { options_.SetLegendShow(legendShow_->Checked()); };
  struct Place {
    TbmLegendPlacement placement;
    const char* name;
    const char* caption;
    const char* hint;
    int left, top;
  };
  static constexpr Place kPlaces[] = {
      {bmLegendTop, "bmID_LegendTop", "Top", "Put the legend on the top", 8, 46},
      {bmLegendBottom, "bmID_LegendBottom", "Bottom", "Put the legend on the bottom", 96, 46},
      {bmLegendRight, "bmID_LegendRight", "Right", "Put the legend on the right", 8, 72},
      {bmLegendLeft, "bmID_LegendLeft", "Left", "Put the legend on the left ", 96, 72},
  };
  for (const Place& p : kPlaces) {
    auto& radio = legendGroup_->Add<plat::RadioButton>(p.caption);
    radio.SetName(p.name);
    radio.SetBounds(p.left, p.top, 84, 20);
    radio.SetHint(p.hint);
    radio.SetShowHint(true);
    radio.OnClick = [this, placement = p.placement] { options_.SetLegendPlacement(placement); };
    legendPlacement_[p.placement] = &radio;
  }
  legendFont_ = &AddButton(*legendGroup_, "bmID_LegendFont", "Font...", "Font to use for the legend", 8, 106, 80);
  legendFont_->OnClick = [this] { ChooseLegendFont(); };
}

void TbmMainPlot2DOptionsDlg::BuildButtons() {
  ok_ = &AddButton(*this, "IDOK", "&OK", "Accept changes and return", 144, 318, 80);
  ok_->SetDefault(true);
  ok_->OnClick = [this] {
    options_.PressOk();
    Close();
  };
  cancel_ = &AddButton(*this, "IDCANCEL", "&Cancel", "Cancel changes and return", 228, 318, 80);
  cancel_->SetCancel(true);
  cancel_->OnClick = [this] { Close(); };
  help_ = &AddButton(*this, "IDHELP", "&Help", "", 312, 318, 80);
  help_->OnClick = [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Context, 1); };
}

void TbmMainPlot2DOptionsDlg::LoadControls() {
  const TbmPlot2DPlotPartsClass& parts = options_.Parts();
  options_.Loading = true;
  center_->SetChecked(parts.CenterPlot);
  frameShow_->SetChecked(parts.ShowFrame);
  preserveAspect_->SetChecked(parts.PreserveAspect);
  frameWidth_->SetValue(parts.FramePen.width);
  frameStyle_->SetItemIndex(options_.FrameStyleIndex());
  const bool legend = options_.LegendEnabled();
  legendGroup_->SetEnabled(legend);
  legendShow_->SetEnabled(legend);
  for (plat::RadioButton* radio : legendPlacement_) radio->SetEnabled(legend);
  legendFont_->SetEnabled(legend);
  if (legend) {
    legendShow_->SetChecked(parts.Legend.Show);
    if (parts.Legend.Placement < std::size(legendPlacement_))
      legendPlacement_[parts.Legend.Placement]->SetChecked(true);
  }
  options_.Loading = false;
}

// Centred over the calling form, which hides, then kept on the screen.
void TbmMainPlot2DOptionsDlg::PlaceOver(const plat::Form& callingForm) {
  callingForm_.Hide();
  CentreOver(*this, callingForm);
}

plat::Button& TbmMainPlot2DOptionsDlg::MarginButton(TbmMarginSide side) { return *margins_[Index(side)]; }
plat::Button& TbmMainPlot2DOptionsDlg::ColorButton(TbmPlotColor which) { return *colors_[Index(which)]; }
plat::RadioButton& TbmMainPlot2DOptionsDlg::LegendPlacementRadio(int placement) {
  return *legendPlacement_[static_cast<std::size_t>(placement)];
}

void TbmMainPlot2DOptionsDlg::MeasureMargin(TbmMarginSide side, const std::string& caption) {
  MeasureStep(*this, MarginButton(side), caption, options_.MarginSize(side), [this] { options_.Apply(); });
}

// A cancelled colour dialog leaves the colour as it was.
void TbmMainPlot2DOptionsDlg::ChooseColor(TbmPlotColor which) {
  plat::Color color = options_.ColorOf(which);
  if (plat::CommonDialogs().ChooseColor(color)) options_.SetColor(which, color);
}

void TbmMainPlot2DOptionsDlg::ChooseLegendFont() {
  plat::Font font = options_.Parts().Legend.Font;
  int size = options_.Parts().Legend.FontSize;
  if (ChooseFontAndSize(font, size)) options_.SetLegendFont(font, size);
}

bool ChooseFontAndSize(plat::Font& font, int& size) {
  plat::Font chosen = font;
  chosen.size = FontPointsOfSize(size);
  if (!plat::CommonDialogs().ChooseFont(chosen)) return false;
  const std::optional<int> taken = FontSizeOfPoints(chosen.size);
  if (!taken) return false;
  chosen.size = font.size;
  font = chosen;
  size = *taken;
  return true;
}
