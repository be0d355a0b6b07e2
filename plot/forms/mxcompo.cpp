#include "plot/forms/mxcompo.h"

#include "plot/mxcompHighlight.h"

namespace {

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 236;
constexpr int kButtonsTop = 204;

}  // namespace

TMxCompOF::TMxCompOF(TMxCompPlt& plot)
    : TPlotOptionsForm(plot, "MxCompOF", "Matrix comparison", kClientWidth, kClientHeight, kButtonsTop), plot_(plot) {
  SetShowHint(true);
  controller_ = &AddComponent<TVirController>();
  AddPoints(8, 84);
  AddHighlight(186, 84);
  AddOptions(8, 144);
  ShowFields();
  // Closing takes the diagonals from their check box too.
  OnClose = [this, titles = OnClose](plat::CloseAction& action) {
    titles(action);
    plot_.SetDiagonals(diagonalsCB_->Checked());
  };
  KeepWindowOnScreen();
}

TMxCompOF::~TMxCompOF() = default;

void TMxCompOF::AddPoints(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "&Points", left, top, 172, 56);
  AddStyleButton(box, "Symbol...", "Set plotting symbol", plot_.PointsStyle(), "Symbols", 8, 18, 70)
      .SetName("bmID_SymbolBtn");
  diagonalsCB_ = &box.Add<plat::CheckBox>("Diagonals?");
  diagonalsCB_->SetName("DiagonalsCB");
  diagonalsCB_->SetBounds(84, 20, 84, 20);
  diagonalsCB_->SetHint("Plot diagonal elements?");
  diagonalsCB_->SetShowHint(true);
}

void TMxCompOF::AddHighlight(int left, int top) {
  highlightBox_ = &AddGroup(*this, "&Highlight", left, top, 246, 56);
  highlightCB_ = &highlightBox_->Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
  highlightCB_->SetName("HighLightCB");
  highlightCB_->SetBounds(8, 20, 130, 22);
  highlightCB_->SetHint("Variable to highlight");
  highlightCB_->SetShowHint(true);
  highlightCB_->OnChange = [this] {
    plot_.SetHighlight(highlightCB_->ItemIndex());
    Replot();
  };
  highlightSpin_ = &highlightBox_->Add<TVirSpinner>();
  highlightSpin_->SetName("HighLightSpin");
  highlightSpin_->SetBounds(139, 20, 17, 22);
  highlightSpin_->SetHint("Next or previous");
  highlightSpin_->SetShowHint(true);
  highlightSpin_->SetAttachedControl(highlightCB_);
  highlightSpin_->SetAttachTwoWay(true);
  highlightSpin_->SetDelta(1.0);
  highlightSpin_->SetFocusedControl(highlightCB_);
  highlightSpin_->OnClick = [this](TVirBaseSpinner&, TSpinState state, double, bool) { StepHighlight(state); };
  AddStyleButton(*highlightBox_, "Symbol...", "Set plotting symbol for highlighted point", plot_.HighlightStyle(),
                 "Symbols", 164, 18, 74)
      .SetName("bmID_SymbolHighLightBtn");
}

void TMxCompOF::AddOptions(int left, int top) {
  plat::GroupBox& box = AddGroup(*this, "O&ptions", left, top, kClientWidth - 16, 52);
  AddAxisButton(box, "X-axis...", "X-axis options", 0, 10, 20, 88).SetName("Button2");
  AddAxisButton(box, "Y-Axis...", "Y-axis options", 1, 106, 20, 88).SetName("Button1");
  AddGeneralButton(box, 202, 20, 88);
}

// The objects are known once the plot has drawn; unlabelled ones go by
// number. The check box's handler comes after it shows the plot's flag.
void TMxCompOF::ShowFields() {
  highlightCB_->SetItems({});
  if (plot_.ObjectCount() > 0) {
    const Label_mx numbers(0);
    highlightCB_->SetItems(HighlightItems(plot_.Labels() ? *plot_.Labels() : numbers, plot_.ObjectCount()));
    highlightCB_->SetItemIndex(plot_.Highlight());
  } else {
    highlightBox_->SetEnabled(false);
  }
  diagonalsCB_->SetChecked(plot_.Diagonals());
  diagonalsCB_->OnClick = [this] {
    plot_.SetDiagonals(diagonalsCB_->Checked());
    Replot();
  };
}

void TMxCompOF::StepHighlight(TSpinState state) {
  const int direction = state == spUp ? 1 : state == spDown ? -1 : 0;
  const auto count = static_cast<std::int32_t>(highlightCB_->Items().size());
  plot_.SetHighlight(::StepHighlight(plot_.Highlight(), count, direction));
  highlightCB_->SetItemIndex(plot_.Highlight());
  Replot();
}
