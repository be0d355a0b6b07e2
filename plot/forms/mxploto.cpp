#include "plot/forms/mxploto.h"

#include <vector>

namespace {

constexpr int kClientWidth = 316;
constexpr int kClientHeight = 338;

}  // namespace

TMxPlotOF::TMxPlotOF(TMxPlotPlt& plot)
    : TPlotOptionsForm(plot, "MxPlotOF", "Matrix plot", kClientWidth, kClientHeight, 306), MxPlot_(plot) {
  plat::GroupBox& variables = AddGroup(*this, "&Variables && points", 8, 84, 300, 52);
  bmID_X_ = &AddVariableList(variables, "X:", "X-axis variable", 8, [this] { bmID_XChange(); });
  bmID_X_->SetName("bmID_X");
  bmID_Y_ = &AddVariableList(variables, "Y:", "Y-axis variable", 114, [this] { bmID_YChange(); });
  bmID_Y_->SetName("bmID_Y");
  bmID_SymbolBtn_ =
      &AddStyleButton(variables, "Symbol...", "Set plotting symbol", plot.SymbolStyle(), "Symbols", 222, 19, 70);
  bmID_SymbolBtn_->SetName("bmID_SymbolBtn");

  plat::GroupBox& options = AddGroup(*this, "O&ptions", 8, 140, 300, 52);
  Button2_ = &AddAxisButton(options, "X-axis...", "X-axis options", 0, 10, 20, 88);
  Button2_->SetName("Button2");
  Button1_ = &AddAxisButton(options, "Y-Axis...", "Y-axis options", 1, 106, 20, 88);
  Button1_->SetName("Button1");
  Button4_ = &AddGeneralButton(options, 202, 20, 88);

  plat::GroupBox& points = AddGroup(*this, "Point labels", 8, 196, 146, 102);
  PointsLabelRB_ = &AddPointMode(points, "Label", "Label points", pmLabel, 20);
  PointsLabelRB_->SetName("PointsLabelRB");
  PointsNumberRB_ = &AddPointMode(points, "Number", "Number the points", pmNumber, 46);
  PointsNumberRB_->SetName("PointsNumberRB");
  PointsNoneRB_ = &AddPointMode(points, "None", "No identification for points", pmNone, 72);
  PointsNoneRB_->SetName("PointsNoneRB");
  PointsNoneRB_->SetChecked(true);
  PointsFontBtn_ =
      &AddStyleButton(points, "Font...", "Font to label points", plot.LabelStyle(), "Label points Font", 80, 42, 58);
  PointsFontBtn_->SetName("PointsFontBtn");

  GraphGroup_ = &AddGroup(*this, "&Graph", 162, 196, 146, 50);
  GraphGroup_->SetName("GraphGroup");
  ShowGraphCB_ = &AddShowBox(*GraphGroup_, "Show graph?", [this] { ShowGraphCBClick(); });
  ShowGraphCB_->SetName("ShowGraphCB");
  GraphLineBtn_ =
      &AddStyleButton(*GraphGroup_, "Lines...", "Lines to draw graph", plot.GraphStyle(), "Graph lines", 72, 17, 64);
  GraphLineBtn_->SetName("GraphLineBtn");

  plat::GroupBox& vectors = AddGroup(*this, "&Vectors", 162, 248, 146, 50);
  ShowVectorsCB_ = &AddShowBox(vectors, "Show vectors?", {});
  ShowVectorsCB_->SetName("ShowVectorsCB");
  VectorLinesBtn_ =
      &AddStyleButton(vectors, "Lines...", "Lines to draw vectors", plot.VectorStyle(), "Vector lines", 72, 17, 64);
  VectorLinesBtn_->SetName("VectorLinesBtn");

  ShowFields();
  // The check box's handler comes after it shows the plot's flag, so that
  // showing it changes nothing.
  ShowVectorsCB_->OnClick = [this] { ShowVectorsCBClick(); };
  KeepWindowOnScreen();
}

TMxPlotOF::~TMxPlotOF() = default;

plat::ComboBox& TMxPlotOF::AddVariableList(plat::Control& parent, const std::string& caption, const std::string& hint,
                                           int left, std::function<void()> onChange) {
  AddLabel(parent, caption, left, 24, 14);
  plat::ComboBox& list = parent.Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
  list.SetBounds(left + 16, 20, 86, 22);
  list.SetHint(hint);
  list.SetShowHint(true);
  list.OnChange = std::move(onChange);
  return list;
}

plat::RadioButton& TMxPlotOF::AddPointMode(plat::Control& parent, const std::string& caption, const std::string& hint,
                                           std::int32_t mode, int top) {
  plat::RadioButton& radio = parent.Add<plat::RadioButton>(caption);
  radio.SetBounds(10, top, 66, 20);
  radio.SetHint(hint);
  radio.SetShowHint(true);
  radio.OnClick = [this, mode] { PointModeClick(mode); };
  return radio;
}

plat::CheckBox& TMxPlotOF::AddShowBox(plat::Control& parent, const std::string& hint, std::function<void()> onClick) {
  plat::CheckBox& box = parent.Add<plat::CheckBox>("Show");
  box.SetBounds(10, 20, 58, 20);
  box.SetHint(hint);
  box.SetShowHint(true);
  box.OnClick = std::move(onClick);
  return box;
}

// The graph's check box keeps its first look (not checked), whatever the
// plot shows: its first click checks it and keeps the graph.
void TMxPlotOF::ShowFields() {
  std::vector<std::string> labels;
  for (std::int32_t k = 1; k <= MxPlot_.VariableCount(); ++k) labels.push_back(MxPlot_.VariableLabel(k));
  bmID_X_->SetItems(labels);
  bmID_Y_->SetItems(labels);
  bmID_X_->SetItemIndex(MxPlot_.X() - 1);
  bmID_Y_->SetItemIndex(MxPlot_.Y() - 1);
  const bool graph = MxPlot_.HasGraphList();
  GraphGroup_->SetEnabled(graph);
  ShowGraphCB_->SetEnabled(graph);
  GraphLineBtn_->SetEnabled(graph);
  ShowVectorsCB_->SetChecked(MxPlot_.ShowVectors());
  PointsNoneRB_->SetChecked(MxPlot_.PointMode() == pmNone);
  PointsNumberRB_->SetChecked(MxPlot_.PointMode() == pmNumber);
  PointsLabelRB_->SetChecked(MxPlot_.PointMode() == pmLabel);
}

void TMxPlotOF::bmID_XChange() {
  MxPlot_.ChooseX(Window().Plot(), bmID_X_->ItemIndex() + 1);
  Replot();
}

void TMxPlotOF::bmID_YChange() {
  MxPlot_.ChooseY(Window().Plot(), bmID_Y_->ItemIndex() + 1);
  Replot();
}

void TMxPlotOF::PointModeClick(std::int32_t mode) {
  MxPlot_.SetPointMode(mode);
  Replot();
}

void TMxPlotOF::ShowGraphCBClick() {
  MxPlot_.SetShowGraph(ShowGraphCB_->Checked());
  Replot();
}

void TMxPlotOF::ShowVectorsCBClick() {
  MxPlot_.SetShowVectors(ShowVectorsCB_->Checked());
  Replot();
}
