// Saves what the display shows of one window into a PNG file, for the scripts
// that drive the programs on a virtual display with real keys and clicks.
// Usage: screen-picture WINDOW-NUMBER OUT.png   (the number as xdotool gives it)
//        screen-picture --compare A.png B.png
// The second form exits 0 when the pictures are of one size and differ in no
// more pixels than a blinking caret covers, else prints how far they differ
// and exits 1.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Form.h"
#include "platform/Snapshot.h"

namespace {

// A caret of 2 x 20 pixels in a window of 300 x 200 pixels.
constexpr double kCaretShare = 40.0 / (300 * 200);

int Compare(const char* a, const char* b) {
  const plat::ImageDifference diff = plat::CompareImages(a, b);
  if (!diff.loaded) {
    std::fprintf(stderr, "screen-picture: cannot read %s or %s\n", a, b);
    return 2;
  }
  if (!diff.sameSize) {
    std::printf("%s and %s differ in size\n", a, b);
    return 1;
  }
  if (diff.changedShare <= kCaretShare) return 0;
  std::printf("%s and %s differ in %.2f%% of their pixels (mean difference %.2f)\n", a, b, 100 * diff.changedShare,
              diff.meanDelta);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 4 && std::string(argv[1]) == "--compare")) {
    std::fprintf(stderr, "usage: screen-picture WINDOW-NUMBER OUT.png | --compare A.png B.png\n");
    return 2;
  }
  if (argc == 4) {
    int qtArgc = 1;
    plat::InitApplication(qtArgc, argv);
    return Compare(argv[2], argv[3]);
  }
  char* end = nullptr;
  const unsigned long long window = std::strtoull(argv[1], &end, 0);
  if (end == argv[1] || *end != 0) {
    std::fprintf(stderr, "screen-picture: not a window number: %s\n", argv[1]);
    return 2;
  }
  int qtArgc = 1;
  plat::InitApplication(qtArgc, argv);
  if (!plat::SaveDisplayedWindow(static_cast<std::uintptr_t>(window), argv[2])) {
    std::fprintf(stderr, "screen-picture: could not save window %s into %s\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
