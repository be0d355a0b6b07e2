#pragma once
// Carets of the library's controls. A TVirCaret describes a caret (shape,
// alignment in its character cell, size, blink time, gray, bitmap) and may be
// shared by many controls; every change re-creates the system caret of each
// control that shows it. A TVirSingleCaret binds one caret to one control: the
// character cell it stands in, its position and visibility, and whether it holds
// the system caret. A TVirCaretPair holds an insert caret (a vertical line) and
// an overwrite caret (a block) and shows the one of its insert mode.

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "platform/CustomControl.h"

enum class TVirCaretShape { csBlock, csHalfBlock, csVertLine, csHorzLine, csCustom, csBitmap };
enum class TVirCaretAlign { caLeft, caTop, caRight, caBottom, caCenter };

class TVirSingleCaret;

class TVirCaret {
 public:
  // A vertical line 2 pixels wide, left in its cell.
  TVirCaret() = default;
  explicit TVirCaret(TVirCaretShape shape) { SetShape(shape); }
  ~TVirCaret();
  TVirCaret(const TVirCaret&) = delete;
  TVirCaret& operator=(const TVirCaret&) = delete;

  TVirCaretShape Shape() const { return shape_; }
  TVirCaretAlign Align() const { return align_; }
  std::uint32_t BlinkTime() const { return blinkTime_; }  // 0: the system's
  int CaretHeight() const { return height_; }
  int CaretWidth() const { return width_; }
  bool IsGray() const { return gray_; }
  const plat::RasterImage& Bitmap() const { return bitmap_; }
  int BitmapHotSpotX() const { return hotSpotX_; }
  int BitmapHotSpotY() const { return hotSpotY_; }

  // A shape brings its alignment and size: csBlock left; csHalfBlock bottom;
  // csVertLine left, 2 wide; csHorzLine bottom, 2 high; csBitmap the bitmap's
  // size; csCustom changes nothing else.
  void SetShape(TVirCaretShape shape);
  void SetAlign(TVirCaretAlign align);
  void SetBlinkTime(std::uint32_t ms);
  void SetCaretHeight(int height);
  void SetCaretWidth(int width);
  void SetIsGray(bool gray);
  void SetBitmap(const plat::RasterImage& bitmap);
  void SetBitmapHotSpot(int x, int y);

 private:
  friend class TVirSingleCaret;
  void Changed();
  TVirCaretShape shape_ = TVirCaretShape::csVertLine;
  TVirCaretAlign align_ = TVirCaretAlign::caLeft;
  std::uint32_t blinkTime_ = 0;
  int height_ = 10;
  int width_ = 2;
  bool gray_ = false;
  plat::RasterImage bitmap_;
  int hotSpotX_ = 0;
  int hotSpotY_ = 0;
  std::vector<TVirSingleCaret*> users_;  // the controls' carets that show it
};

// Where a caret stands in a character cell of height H and width W.
struct TVirCaretGeometry {
  plat::Size size;     // cx wide, cy high
  plat::Point offset;  // from the cell's top-left corner
  friend bool operator==(const TVirCaretGeometry&, const TVirCaretGeometry&) = default;
};
TVirCaretGeometry CaretGeometry(const TVirCaret& caret, int cellHeight, int cellWidth);

class TVirSingleCaret {
 public:
  static constexpr int kHiddenPosition = INT_MAX;

  TVirSingleCaret(plat::CustomControl& owner, std::shared_ptr<TVirCaret> caret);
  ~TVirSingleCaret();
  TVirSingleCaret(const TVirSingleCaret&) = delete;
  TVirSingleCaret& operator=(const TVirSingleCaret&) = delete;

  const std::shared_ptr<TVirCaret>& Caret() const { return caret_; }
  void SetCaret(std::shared_ptr<TVirCaret> caret);

  // The character cell; values below 1 are refused.
  void SetCharHeight(int height);
  void SetCharWidth(int width);
  int CharHeight() const { return cellHeight_; }
  int CharWidth() const { return cellWidth_; }
  // The cell's top-left corner; a negative coordinate hides the caret.
  void SetPosition(int x, int y);
  plat::Point Position() const { return position_; }
  bool PositionHidden() const { return position_.x == kHiddenPosition; }
  void SetVisible(bool visible);
  bool Visible() const { return visible_; }
  // True: makes the control's system caret (keeping the system blink time to
  // put back later); false: destroys it and restores the blink time.
  void SetSystemCaretActive(bool active);
  bool SystemCaretActive() const { return active_; }

  TVirCaretGeometry Geometry() const { return CaretGeometry(*caret_, cellHeight_, cellWidth_); }

 private:
  friend class TVirCaret;
  void Recreate();
  void Place();
  plat::CustomControl& owner_;
  std::shared_ptr<TVirCaret> caret_;
  int cellHeight_ = 10;
  int cellWidth_ = 8;
  plat::Point position_{kHiddenPosition, kHiddenPosition};
  bool visible_ = false;
  bool active_ = false;
  std::uint32_t savedBlinkTime_ = 0;
};

class TVirCaretPair {
 public:
  explicit TVirCaretPair(plat::CustomControl& owner);

  bool InsertMode() const { return insertMode_; }
  // Moves the system caret (when active) to the caret of the new mode.
  void SetInsertMode(bool insert);
  void SetInsertCaret(std::shared_ptr<TVirCaret> caret) { insert_.SetCaret(std::move(caret)); }
  void SetOverwriteCaret(std::shared_ptr<TVirCaret> caret) { overwrite_.SetCaret(std::move(caret)); }
  const std::shared_ptr<TVirCaret>& InsertCaret() const { return insert_.Caret(); }
  const std::shared_ptr<TVirCaret>& OverwriteCaret() const { return overwrite_.Caret(); }

  // Both carets follow.
  void SetCharHeight(int height);
  void SetCharWidth(int width);
  void SetPosition(int x, int y);
  void SetVisible(bool visible);
  void SetSystemCaretActive(bool active);

  // The caret of the current mode.
  TVirSingleCaret& Current() { return insertMode_ ? insert_ : overwrite_; }
  const TVirSingleCaret& Current() const { return insertMode_ ? insert_ : overwrite_; }

 private:
  TVirSingleCaret insert_;
  TVirSingleCaret overwrite_;
  bool insertMode_ = true;
  bool active_ = false;
};
