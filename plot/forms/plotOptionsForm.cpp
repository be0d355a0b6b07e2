#include "plot/forms/plotOptionsForm.h"

#include "platform/Desktop.h"
#include "plot/optionRules.h"

namespace {

constexpr const char* kHelpFile = "morva.hlp";
constexpr int kButtonHeight = 24;
constexpr int kEditHeight = 22;
constexpr int kLabelHeight = 16;

}  // namespace

TPlotOptionsForm::TPlotOptionsForm(TbmPlt2BC& plot, const std::string& name, const std::string& caption,
                                   int clientWidth, int clientHeight, int buttonsTop)
    : plat::Form(name), Plot_(plot) {
  SetCaption(caption);
  SetHelpContext(kHelpContext);
  SetBorderStyle(plat::BorderStyle::Single);
  SetFont({"Arial", 9, plat::clBlack, 0});
  SetClientSize(clientWidth, clientHeight);
  // Opens over the plot's window.
  const plat::Point origin = Window().ClientToScreen({0, 0});
  SetBounds(origin.x + 24, origin.y + 24, Width(), Height());

  plat::GroupBox& titles = AddGroup(*this, "&Titles", 8, 4, clientWidth - 16, 76);
  titles.SetName("TitleBox");
  TitleEdit_ = &AddTitleRow(titles, "&Title:", "Plot title", 18, plot.PlotTitle(), [this] { TitleEditExit(); });
  TitleEdit_->SetName("TitleEdit");
  TitleFontsBtn_ = &AddButton(titles, "Font...", "Title font", 216, 17, 68, [this] { Window().TitleFontDialog(); });
  TitleFontsBtn_->SetName("TitleFontsBtn");
  SubTitleEdit_ =
      &AddTitleRow(titles, "&Subtitle:", "Plot subtitle", 46, plot.PlotSubTitle(), [this] { SubTitleEditExit(); });
  SubTitleEdit_->SetName("SubTitleEdit");
  SubtitleFontsBtn_ =
      &AddButton(titles, "Font...", "Subtitle font", 216, 45, 68, [this] { Window().SubTitleFontDialog(); });
  SubtitleFontsBtn_->SetName("SubtitleFontsBtn");

  const int buttonWidth = 80;
  IDOK_ =
      &AddButton(*this, "&OK", {}, clientWidth / 2 - buttonWidth - 16, buttonsTop, buttonWidth, [this] { Close(); });
  IDOK_->SetName("IDOK");
  IDOK_->SetDefault(true);
  DlgHelp_ = &AddButton(*this, "&Help", {}, clientWidth / 2 + 16, buttonsTop, buttonWidth,
                        [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Context, 1); });
  DlgHelp_->SetName("bmID_DlgHelp");

  // Closing takes the titles as leaving their edits does; the window itself
  // is freed by the plot's Options once the modal show is over.
  OnClose = [this](plat::CloseAction&) {
    TitleEditExit();
    SubTitleEditExit();
  };
}

// The edits' handlers must not run while the window is being taken down.
TPlotOptionsForm::~TPlotOptionsForm() {
  TitleEdit_->OnExit = nullptr;
  SubTitleEdit_->OnExit = nullptr;
}

plat::Edit& TPlotOptionsForm::AddTitleRow(plat::Control& box, const std::string& caption, const std::string& hint,
                                          int top, const std::string& text, std::function<void()> onExit) {
  plat::Label& label = AddLabel(box, caption, 8, top + 4, 56);
  plat::Edit& edit = AddEdit(box, hint, 68, top, 140);
  label.SetFocusControl(edit);
  edit.SetText(text);
  edit.OnExit = std::move(onExit);
  return edit;
}

void TPlotOptionsForm::KeepWindowOnScreen() {
  const plat::Rect placed = KeepOnScreen(Bounds(), plat::ScreenWidth(), plat::ScreenHeight());
  SetBounds(placed.left, placed.top, placed.Width(), placed.Height());
}

void TPlotOptionsForm::TitleEditExit() {
  Tbm2DPlot& plot = Window().Plot();
  if (TitleEdit_->Text() == plot.GetTitle()) return;
  Plot_.SetPlotTitle(TitleEdit_->Text());
  plot.SetTitle(TitleEdit_->Text());
  Replot();
}

void TPlotOptionsForm::SubTitleEditExit() {
  Tbm2DPlot& plot = Window().Plot();
  if (SubTitleEdit_->Text() == plot.GetSubTitle()) return;
  Plot_.SetPlotSubTitle(SubTitleEdit_->Text());
  plot.SetSubTitle(SubTitleEdit_->Text());
  Replot();
}

plat::GroupBox& TPlotOptionsForm::AddGroup(plat::Control& parent, const std::string& caption, int left, int top,
                                           int width, int height) {
  plat::GroupBox& group = parent.Add<plat::GroupBox>(caption);
  group.SetBounds(left, top, width, height);
  return group;
}

plat::Button& TPlotOptionsForm::AddButton(plat::Control& parent, const std::string& caption, const std::string& hint,
                                          int left, int top, int width, std::function<void()> onClick) {
  plat::Button& button = parent.Add<plat::Button>(caption);
  button.SetBounds(left, top, width, kButtonHeight);
  button.SetHint(hint);
  button.SetShowHint(!hint.empty());
  button.OnClick = std::move(onClick);
  return button;
}

plat::Label& TPlotOptionsForm::AddLabel(plat::Control& parent, const std::string& caption, int left, int top,
                                        int width) {
  plat::Label& label = parent.Add<plat::Label>(caption);
  label.SetBounds(left, top, width, kLabelHeight);
  return label;
}

plat::Edit& TPlotOptionsForm::AddEdit(plat::Control& parent, const std::string& hint, int left, int top, int width) {
  plat::Edit& edit = parent.Add<plat::Edit>();
  edit.SetBounds(left, top, width, kEditHeight);
  edit.SetHint(hint);
  edit.SetShowHint(!hint.empty());
  return edit;
}

plat::Button& TPlotOptionsForm::AddAxisButton(plat::Control& parent, const std::string& caption,
                                              const std::string& hint, int which, int left, int top, int width) {
  return AddButton(parent, caption, hint, left, top, width, [this, which] { Window().AxisDialogs(*this, which); });
}

plat::Button& TPlotOptionsForm::AddGeneralButton(plat::Control& parent, int left, int top, int width) {
  plat::Button& button =
      AddButton(parent, "General...", "Main plot options", left, top, width, [this] { Window().MainOptions(*this); });
  button.SetName("Button4");
  button.SetHelpContext(kGeneralHelpContext);
  return button;
}

plat::Button& TPlotOptionsForm::AddStyleButton(plat::Control& parent, const std::string& caption,
                                               const std::string& hint, std::int32_t identifier,
                                               const std::string& styleCaption, int left, int top, int width) {
  plat::Button& button = AddButton(parent, caption, hint, left, top, width, {});
  button.OnClick = [this, &button, identifier, styleCaption] {
    Window().EditStyle(*this, button, identifier, styleCaption);
  };
  return button;
}
