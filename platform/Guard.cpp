#include "platform/Guard.h"

#include "platform/MessageBox.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace plat {

namespace {
std::string& Title() {
  static std::string title;
  return title;
}
}  // namespace

void SetApplicationTitle(std::string title) { Title() = std::move(title); }
const std::string& ApplicationTitle() { return Title(); }

void ShowException(const std::exception& e) {
  std::string text = e.what();
  // The platform's default box ends a message with a full stop unless it ends in punctuation.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  if (!ShowMessageIfPossible(text, MsgKind::Error)) std::fprintf(stderr, "%s\n", text.c_str());
}

bool RunGuarded(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(std::runtime_error("Unknown exception"));
  }
  return false;
}

}  // namespace plat
