#pragma once
// Pictures of controls: for copying a window as a bitmap and for the screenshot tests. Implemented in platform/qt/.

#include "platform/Clipboard.h"
#include "platform/Control.h"
#include "platform/StdControls.h"

#include <cstdint>
#include <string>

namespace plat {

// The control as it shows now, as a picture (for copying it as a bitmap).
RasterImage GrabImage(Control& control);

// The dropped-down list of a combo box as it shows now (its items' area); empty when it is not dropped down.
RasterImage GrabDropDownList(ComboBox& box);

// Renders the control (a form with its frame's client area) into a PNG file.
bool SaveSnapshot(Control& control, const std::string& pngPath);

// Saves into a PNG file what the display shows of one of its windows, of any
// program, named by the display's window number: the pixels a user sees, not
// a fresh rendering.
bool SaveDisplayedWindow(std::uintptr_t windowId, const std::string& pngPath);

struct ImageDifference {
  bool loaded = false;  // both files read
  bool sameSize = false;
  double meanDelta = 0;     // mean absolute channel difference, 0..255
  double changedShare = 0;  // share of pixels with a channel differing by more than 64
};
ImageDifference CompareImages(const std::string& pngA, const std::string& pngB);

}  // namespace plat
