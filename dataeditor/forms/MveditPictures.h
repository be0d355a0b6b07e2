#pragma once
// The data editor's pictures, drawn by resources/MVEDITPICTURES.py and built
// into the program as bitmap resources: the program's icon.

namespace mveditpictures {

constexpr const char* kIcon = "MVEDIT";

}  // namespace mveditpictures

// Makes the pictures findable by name; calling it again does nothing.
void RegisterMveditPictures();  // generated from the bitmaps of resources/
