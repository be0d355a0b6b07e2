#include "plot/forms/bmPlt2BC.h"

TbmPlt2BC::~TbmPlt2BC() {
  // A window still open closes now; its callbacks must not reach this client again.
  if (Tbm2DForm* window = Window_.Get()) {
    window->DetachClient();
    window->Hide();
    window->Release();
  }
}

void TbmPlt2BC::Show() {
  Tbm2DForm& window = Tbm2DForm::Execute([this] { Draw(); }, [this] { Options(); }, GroupCount, HelpContext);
  Window_ = &window;
  window.ShowForm();
}

void TbmPlt2BC::ShowNamed(const std::string& windowName) {
  TbmPlt2BC::Show();
  Tbm2DForm& window = *Window();
  window.SetName(windowName);
  window.SetCaption(Title);
  SetUpPlot(window.Plot());
}

bool TbmPlt2BC::TakeGroup(Tbm2DPlot& plot) {
  plot.SetTitle(TitleText);
  plot.SetSubTitle(SubTitleText);
  const int group = plot.ByGroupValue();
  if (group == Current) return false;
  Current = group;
  plot.Parts().XAxis.Autoscale = true;
  plot.Parts().YAxis.Autoscale = true;
  return true;
}

void TbmPlt2BC::Draw() {
  if (Tbm2DForm* window = Window()) DrawOn(window->Plot());
}
