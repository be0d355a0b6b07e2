#include "shell/forms/FormParts.h"

#include "platform/Desktop.h"
#include "shell/Config.h"

void TPanelProgress::SetStatus(const std::string& text) {
  status_.SetCaption(text);
  status_.Repaint();
}

void TPanelProgress::StartGauge() {
  gauge_.SetProgress(0);
  gauge_.Show();
  plat::SetScreenCursor(plat::CursorShape::HourGlass);
}

void TPanelProgress::SetGauge(std::int32_t percent) { gauge_.SetProgress(percent); }

void TPanelProgress::StopGauge() {
  gauge_.Hide();
  plat::SetScreenCursor(plat::CursorShape::Default);
}

plat::FileDialogRequest DataFileRequest(const std::string& title, const std::string& defaultExt,
                                        const std::string& filter, plat::FileDialogOptions options) {
  plat::FileDialogRequest request;
  request.title = title;
  request.defaultExt = defaultExt;
  request.filter = filter;
  request.initialDir = Config().defaultDir;
  request.options = options;
  return request;
}

plat::ProgressGauge& AddRunGauge(plat::Control& parent, const plat::Rect& bounds) {
  auto& gauge = parent.Add<plat::ProgressGauge>();
  gauge.SetRange(0, 100);
  gauge.SetForeColor(plat::RGB(0, 255, 0));
  gauge.SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
  gauge.Hide();
  return gauge;
}

plat::Panel& AddStatusPanel(plat::Control& parent, const plat::Rect& bounds) {
  auto& status = parent.Add<plat::Panel>();
  status.SetBevels(plat::Bevel::None, plat::Bevel::Lowered);
  status.SetAlignment(plat::TextAlign::Left);
  status.SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
  return status;
}
