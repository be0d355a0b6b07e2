#include "plot/forms/treeo.h"

#include "rtl/Format.h"
#include "rtl/ScopeGuard.h"

namespace {

constexpr int kClientWidth = 316;
constexpr int kClientHeight = 300;

}  // namespace

TTreeOF::TTreeOF(TTreePlt& plot)
    : TPlotOptionsForm(plot, "TreeOF", "Tree plot", kClientWidth, kClientHeight, 268), Tree_(plot) {
  plat::GroupBox& labels = AddGroup(*this, "&Labels", 8, 84, 146, 52);
  LabelFontBtn_ = &AddStyleButton(labels, "Font...", "Set label font", plot.TextStyle(), "Label Font", 12, 20, 120);
  LabelFontBtn_->SetName("LabelFontBtn");
  plat::GroupBox& phenogram = AddGroup(*this, "&Phenogram", 162, 84, 146, 52);
  TreeLinesBtn_ =
      &AddStyleButton(phenogram, "Lines...", "Line attributes", plot.LineStyle(), "Tree lines", 12, 20, 120);
  TreeLinesBtn_->SetName("TreeLinesBtn");

  plat::GroupBox& pages = AddGroup(*this, "Page control", 8, 144, 300, 56);
  perPageEdit_ = &AddPager(
      pages, "OTUs/page", {}, 8, 64, perPageSpin_, [this] { perPageEditExit(); }, [this] { perPageSpinUpClick(); },
      [this] { perPageSpinDownClick(); });
  perPageEdit_->SetName("perPageEdit");
  perPageSpin_->SetName("perPageSpin");
  PageEdit_ = &AddPager(
      pages, "Page:", "Page no. to display", 170, 40, PageSpin_, [this] { PageEditExit(); },
      [this] { PageSpinUpClick(); }, [this] { PageSpinDownClick(); });
  PageEdit_->SetName("PageEdit");
  PageSpin_->SetName("PageSpin");

  plat::GroupBox& options = AddGroup(*this, "O&ptions", 8, 208, 300, 52);
  Button2_ = &AddAxisButton(options, "X-axis...", "X-axis options", 0, 12, 20, 120);
  Button2_->SetName("Button2");
  Button4_ = &AddGeneralButton(options, 168, 20, 120);

  ShowPage();
  KeepWindowOnScreen();
  // A drawing that moves the page back shows it here.
  plot.OnPageMoved = [this] { ShowPage(); };
}

TTreeOF::~TTreeOF() {
  Tree_.OnPageMoved = nullptr;
  PageEdit_->OnExit = nullptr;
  perPageEdit_->OnExit = nullptr;
}

plat::Edit& TTreeOF::AddPager(plat::Control& box, const std::string& caption, const std::string& hint, int left,
                              int labelWidth, plat::SpinButton*& spin, std::function<void()> onExit,
                              std::function<void()> onUp, std::function<void()> onDown) {
  AddLabel(box, caption, left, 26, labelWidth);
  const int editLeft = left + labelWidth + 2;
  plat::Edit& edit = AddEdit(box, hint, editLeft, 22, 48);
  edit.OnExit = std::move(onExit);
  spin = &box.Add<plat::SpinButton>();
  spin->SetBounds(editLeft + 48, 20, 18, 26);
  spin->OnUpClick = std::move(onUp);
  spin->OnDownClick = std::move(onDown);
  return edit;
}

void TTreeOF::ShowPage() {
  PageEdit_->SetText(rtl::Format("%d", Tree_.CurrentPage()));
  perPageEdit_->SetText(rtl::Format("%d", Tree_.OtusPerPage()));
}

void TTreeOF::Changed(bool taken) {
  ShowPage();
  if (taken) Replot();
}

void TTreeOF::PageSpinDownClick() { Changed(TreePageDown(Tree_.Paging())); }
void TTreeOF::PageSpinUpClick() { Changed(TreePageUp(Tree_.Paging())); }
void TTreeOF::perPageSpinDownClick() { Changed(TreePerPageDown(Tree_.Paging())); }
void TTreeOF::perPageSpinUpClick() { Changed(TreePerPageUp(Tree_.Paging())); }

// A typed value that is refused, or is no integer, gives way to the value in force.
void TTreeOF::PageEditExit() {
  const rtl::ScopeFail restore([this] { ShowPage(); });
  Changed(TakeTreePage(Tree_.Paging(), PageEdit_->Text()));
}

void TTreeOF::perPageEditExit() {
  const rtl::ScopeFail restore([this] { ShowPage(); });
  Changed(TakeTreePerPage(Tree_.Paging(), perPageEdit_->Text()));
}
