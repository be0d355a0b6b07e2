#pragma once
// A pair of colours (back and text) that a control paints a state in, such as
// its selection or an entry error. Colours may be system colours
// (plat::clWindow, ...), resolved when the control paints. Every change runs
// OnChange, so the owner can repaint.

#include <functional>

#include "platform/Canvas.h"

class TVirColors {
 public:
  TVirColors(plat::Color backColor, plat::Color textColor) : back_(backColor), text_(textColor) {}

  plat::Color BackColor() const { return back_; }
  plat::Color TextColor() const { return text_; }
  // When set, the owner paints with its own default colours instead of these.
  bool UseDefault() const { return useDefault_; }

  void SetBackColor(plat::Color color) { Set(back_, color); }
  void SetTextColor(plat::Color color) { Set(text_, color); }
  void SetUseDefault(bool useDefault) { Set(useDefault_, useDefault); }
  void Assign(const TVirColors& other) {
    back_ = other.back_;
    text_ = other.text_;
    useDefault_ = other.useDefault_;
    if (OnChange) OnChange();
  }

  std::function<void()> OnChange;

 private:
  template <class T>
  void Set(T& field, T value) {
    if (field == value) return;
    field = value;
    if (OnChange) OnChange();
  }
  plat::Color back_;
  plat::Color text_;
  bool useDefault_ = false;
};
