#include "plot/forms/mod3do.h"

#include "controls/base/forms/VirBase.h"
#include "platform/StdControls.h"
#include "plot/mod3dView.h"
#include "rtl/ScopeGuard.h"

namespace {

constexpr int kClientWidth = 470;
constexpr int kClientHeight = 424;
constexpr int kButtonsTop = 392;
constexpr int kRowTop[] = {84, 188, 276};
constexpr int kBottomRowHeight = 104;

}  // namespace

TMod3dOF::TMod3dOF(TMod3DPlt& plot)
    : TPlotOptionsForm(plot, "Mod3dOF", "3D model plot options", kClientWidth, kClientHeight, kButtonsTop),
      plot_(plot) {
  SetShowHint(true);
  controller_ = &AddComponent<TVirController>();
  AddVariables(8, kRowTop[0]);
  AddOptions(162, kRowTop[0]);
  AddPointLabels(296, kRowTop[0]);
  AddGraph(8, kRowTop[1]);
  AddView(162, kRowTop[1]);
  AddPoints(8, kRowTop[2]);
  AddBase(312, kRowTop[2]);
  ShowFields();
  KeepWindowOnScreen();
}

TMod3dOF::~TMod3dOF() = default;

void TMod3dOF::AddVariables(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "&Variables", left, top, 150, 100);
  struct Variable {
    const char* name;
    const char* label;
    const char* hint;
    std::int32_t TMod3DSettings::*number;
  };
  static const Variable kVariables[] = {{"bmID_X", "X:", "X-axis variable", &TMod3DSettings::x},
                                        {"bmID_Y", "Y:", "Y-axis variable", &TMod3DSettings::y},
                                        {"bmID_Z", "Z", "Y-axis variable", &TMod3DSettings::z}};
  for (int row = 0; row < 3; ++row) {
    const Variable& v = kVariables[row];
    const int rowTop = 18 + 26 * row;
    AddLabel(box, v.label, 8, rowTop + 3, 20);
    plat::ComboBox& list = box.Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
    list.SetName(v.name);
    list.SetBounds(30, rowTop, 110, 22);
    list.SetHint(v.hint);
    list.SetShowHint(true);
    list.OnChange = [this, &list, number = v.number] {
      plot_.Settings().*number = list.ItemIndex() + 1;
      Replot();
    };
    variables_[row] = &list;
  }
}

void TMod3dOF::AddOptions(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "O&ptions", left, top, 130, 100);
  AddFlag(box, "PreserveAspectCB", "Preserve aspect", "Preserve aspect ratios?", &TMod3DSettings::preserveAspect, 8, 20,
          116);
  plat::Button& general = AddGeneralButton(box, 8, 56, 80);
  general.OnClick = [this] {
    Window().MainOptions(*this);
    // The 3-D plot lays its box out with the aspect preserved, whatever the dialog left.
    auto& parts = Window().Plot().Parts();
    if (parts.PreserveAspect) return;
    parts.PreserveAspect = true;
    Replot();
  };
}

void TMod3dOF::AddPointLabels(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "P&oint labels", left, top, 166, 100);
  struct Mode {
    const char* name;
    const char* caption;
    const char* hint;
    std::int32_t mode;
  };
  static const Mode kModes[] = {{"PointsLabelRB", "Label", "Label points", lmLabel},
                                {"PointsNumberRB", "Number", "Number the points", lmNumber},
                                {"PointsNoneRB", "None", "No labels for points", lmNone}};
  for (int row = 0; row < 3; ++row) {
    const Mode& m = kModes[row];
    plat::RadioButton& radio = box.Add<plat::RadioButton>(m.caption);
    radio.SetName(m.name);
    radio.SetBounds(10, 20 + 26 * row, 70, 20);
    radio.SetHint(m.hint);
    radio.SetShowHint(true);
    // "None" is checked whenever the window opens, whatever the plot's mode.
    radio.SetChecked(m.mode == lmNone);
    radio.OnClick = [this, mode = m.mode] {
      plot_.Settings().labelMode = mode;
      Replot();
    };
  }
  AddStyleButton(box, "Font...", "Font to label points", plot_.LabelStyle(), "Label points Font", 84, 42, 74)
      .SetName("PointsFontBtn");
}

void TMod3dOF::AddGraph(int left, int top) {
  graphGroup_ = &AddGroup(*this, "&Graph", left, top, 150, 84);
  graphGroup_->SetName("GraphGroup");
  AddFlag(*graphGroup_, "ShowGraphCB", "Show", "Show graph?", &TMod3DSettings::showGraph, 8, 20, 130);
  AddStyleButton(*graphGroup_, "Lines...", "Set lines to draw graph", plot_.GraphStyle(), "Graph lines", 8, 48, 80)
      .SetName("GraphLinesBtn");
}

void TMod3dOF::AddView(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "V&iew", left, top, 300, 84);
  AddViewValue(box, vvAlpha, "Alpha", "Rotation around Z-axis", 8);
  AddViewValue(box, vvBeta, "Beta", "Rotation around X-axis", 104);
  AddViewValue(box, vvRho, "Rho", "Viewing distance", 200);
}

// Each check box with its style button beside it, on its own row.
void TMod3dOF::AddPoints(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "&Points", left, top, 300, kBottomRowHeight);
  struct Row {
    const char* flagName;
    const char* flagCaption;
    bool TMod3DSettings::*flag;
    const char* buttonName;
    const char* buttonCaption;
    const char* hint;
    std::int32_t style;
    const char* dialogCaption;
  };
  const Row rows[] = {
      {"ShowPointsCB", "Show points", &TMod3DSettings::showPoints, "PointsSymbolsBtn", "Symbol...",
       "Set vertical wire lines", plot_.SymbolStyle(), "Symbols"},
      {"ShowWiresCB", "Show wires", &TMod3DSettings::showWires, "WireLinesBtn", "Lines...", "Set vertical wire lines",
       plot_.WireStyle(), "Wire lines"},
      {"ShowVectorsCB", "Show vectors", &TMod3DSettings::showVectors, "VectorLinesBtn", "Lines...", "Set vector lines",
       plot_.VectorStyle(), "Vector lines"},
  };
  for (int i = 0; i < 3; ++i) {
    const Row& r = rows[i];
    const int rowTop = 18 + 28 * i;
    AddFlag(box, r.flagName, r.flagCaption, "", r.flag, 8, rowTop, 110);
    AddStyleButton(box, r.buttonCaption, r.hint, r.style, r.dialogCaption, 130, rowTop - 2, 76).SetName(r.buttonName);
  }
}

void TMod3dOF::AddBase(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "&Base", left, top, 150, kBottomRowHeight);
  AddFlag(box, "ShowBaseCB", "Show", "Show base?", &TMod3DSettings::showBase, 8, 18, 60);
  AddFlag(box, "ShowZaxisCB", "Show Z axis", "Show Z axis?", &TMod3DSettings::showZAxis, 8, 44, 130);
  AddStyleButton(box, "Base...", "Color and fill for base", plot_.BaseStyle(), "Base region", 70, 14, 72)
      .SetName("BaseRegionBtn");
}

plat::CheckBox& TMod3dOF::AddFlag(plat::Control& box, const char* name, const std::string& caption,
                                  const std::string& hint, bool TMod3DSettings::*flag, int left, int top, int width) {
  plat::CheckBox& check = box.Add<plat::CheckBox>(caption);
  check.SetName(name);
  check.SetBounds(left, top, width, 20);
  check.SetHint(hint);
  check.SetShowHint(!hint.empty());
  // Shown before the handler comes, so that showing it changes nothing.
  check.SetChecked(plot_.Settings().*flag);
  check.OnClick = [this, &check, flag] {
    plot_.Settings().*flag = check.Checked();
    Replot();
  };
  return check;
}

void TMod3dOF::AddViewValue(plat::Control& box, TViewValue value, const char* name, const std::string& hint, int left) {
  AddLabel(box, name, left, 18, 60);
  ViewControl& control = view_[value];
  control.edit = &AddEdit(box, hint, left, 36, 64);
  control.edit->SetName(std::string(name) + "Edit");
  control.edit->OnExit = [this, value] { TakeTypedValue(value); };
  control.spin = &box.Add<plat::SpinButton>();
  control.spin->SetName(std::string(name) + "Spin");
  control.spin->SetBounds(left + 66, 33, 18, 28);
  control.spin->OnUpClick = [this, value] { Step(value, true); };
  control.spin->OnDownClick = [this, value] { Step(value, false); };
}

void TMod3dOF::ShowFields() {
  std::vector<std::string> labels;
  for (std::int32_t k = 1; k <= plot_.VariableCount(); ++k) labels.push_back(plot_.VariableLabel(k));
  const TMod3DSettings& settings = plot_.Settings();
  const std::int32_t numbers[] = {settings.x, settings.y, settings.z};
  for (int i = 0; i < 3; ++i) {
    variables_[i]->SetItems(labels);
    variables_[i]->SetItemIndex(numbers[i] - 1);
  }
  for (const TViewValue value : {vvAlpha, vvBeta, vvRho}) view_[value].edit->SetText(ViewValueText(ValueOf(value)));
  // The graph's controls only for a plot with a graph.
  graphGroup_->SetEnabled(plot_.HasGraph());
  for (plat::Control* child : graphGroup_->Children()) child->SetEnabled(plot_.HasGraph());
}

double TMod3dOF::ValueOf(TViewValue value) const {
  switch (value) {
    case vvAlpha: return plot_.Settings().alpha;
    case vvBeta: return plot_.Settings().beta;
    default: return plot_.Rho();
  }
}

void TMod3dOF::SetValue(TViewValue value, double number) {
  switch (value) {
    case vvAlpha: plot_.Settings().alpha = number; break;
    case vvBeta: plot_.Settings().beta = number; break;
    default: Mod3DCheckViewingDistance(number); plot_.SetRho(number);
  }
}

void TMod3dOF::TakeTypedValue(TViewValue value) {
  plat::Edit& edit = *view_[value].edit;
  const rtl::ScopeFail showKept([this, &edit, value] { edit.SetText(ViewValueText(ValueOf(value))); });
  SetValue(value, ReadViewValue(edit.Text()));
  Replot();
}

void TMod3dOF::Step(TViewValue value, bool up) {
  const double now = ValueOf(value);
  SetValue(value, value == vvRho ? StepViewingDistance(now, up) : StepViewAngle(now, up));
  view_[value].edit->SetText(ViewValueText(ValueOf(value)));
  Replot();
}
