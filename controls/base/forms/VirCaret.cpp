#include "controls/base/forms/VirCaret.h"

#include <algorithm>

// ---- caret ----

TVirCaret::~TVirCaret() = default;  // the single carets that show it hold it, so none is left

void TVirCaret::Changed() {
  for (TVirSingleCaret* user : users_) user->Recreate();
}

void TVirCaret::SetShape(TVirCaretShape shape) {
  shape_ = shape;
  switch (shape) {
    case TVirCaretShape::csBlock: align_ = TVirCaretAlign::caLeft; break;
    case TVirCaretShape::csHalfBlock: align_ = TVirCaretAlign::caBottom; break;
    case TVirCaretShape::csVertLine:
      align_ = TVirCaretAlign::caLeft;
      width_ = 2;
      break;
    case TVirCaretShape::csHorzLine:
      align_ = TVirCaretAlign::caBottom;
      height_ = 2;
      break;
    case TVirCaretShape::csBitmap:
      width_ = bitmap_.width;
      height_ = bitmap_.height;
      break;
    case TVirCaretShape::csCustom: break;
  }
  Changed();
}

void TVirCaret::SetAlign(TVirCaretAlign align) {
  align_ = align;
  Changed();
}

void TVirCaret::SetBlinkTime(std::uint32_t ms) {
  blinkTime_ = ms;
  Changed();
}

void TVirCaret::SetCaretHeight(int height) {
  height_ = height;
  Changed();
}

void TVirCaret::SetCaretWidth(int width) {
  width_ = width;
  Changed();
}

void TVirCaret::SetIsGray(bool gray) {
  gray_ = gray;
  Changed();
}

void TVirCaret::SetBitmap(const plat::RasterImage& bitmap) {
  bitmap_ = bitmap;
  if (shape_ == TVirCaretShape::csBitmap) {
    width_ = bitmap.width;
    height_ = bitmap.height;
  }
  Changed();
}

void TVirCaret::SetBitmapHotSpot(int x, int y) {
  hotSpotX_ = x;
  hotSpotY_ = y;
  Changed();
}

TVirCaretGeometry CaretGeometry(const TVirCaret& caret, int cellHeight, int cellWidth) {
  const int H = cellHeight, W = cellWidth;
  int ch = caret.CaretHeight(), cw = caret.CaretWidth();
  switch (caret.Shape()) {
    case TVirCaretShape::csBlock:
      ch = H;
      cw = W;
      break;
    case TVirCaretShape::csHalfBlock:
      ch = H / 2;
      cw = W;
      break;
    case TVirCaretShape::csVertLine: ch = H; break;
    case TVirCaretShape::csHorzLine: cw = W; break;
    case TVirCaretShape::csCustom:
    case TVirCaretShape::csBitmap: break;
  }
  plat::Point offset;
  switch (caret.Align()) {
    case TVirCaretAlign::caLeft: offset = {0, (H - ch) / 2}; break;
    case TVirCaretAlign::caTop: offset = {(W - cw) / 2, 0}; break;
    case TVirCaretAlign::caRight: offset = {W - cw, (H - ch) / 2}; break;
    case TVirCaretAlign::caBottom: offset = {(W - cw) / 2, H - ch}; break;
    case TVirCaretAlign::caCenter: offset = {(W - cw) / 2, (H - ch) / 2}; break;
  }
  if (caret.Shape() == TVirCaretShape::csBitmap) {
    offset.x -= caret.BitmapHotSpotX();
    offset.y -= caret.BitmapHotSpotY();
  }
  return {{cw, ch}, offset};
}

// ---- one control's caret ----

TVirSingleCaret::TVirSingleCaret(plat::CustomControl& owner, std::shared_ptr<TVirCaret> caret)
    : owner_(owner), caret_(std::move(caret)) {
  caret_->users_.push_back(this);
}

TVirSingleCaret::~TVirSingleCaret() {
  std::erase(caret_->users_, this);
  if (active_) SetSystemCaretActive(false);
}

void TVirSingleCaret::SetCaret(std::shared_ptr<TVirCaret> caret) {
  if (!caret || caret == caret_) return;
  std::erase(caret_->users_, this);
  caret_ = std::move(caret);
  caret_->users_.push_back(this);
  Recreate();
}

void TVirSingleCaret::SetCharHeight(int height) {
  if (height < 1 || height == cellHeight_) return;
  cellHeight_ = height;
  Recreate();
}

void TVirSingleCaret::SetCharWidth(int width) {
  if (width < 1 || width == cellWidth_) return;
  cellWidth_ = width;
  Recreate();
}

void TVirSingleCaret::SetPosition(int x, int y) {
  position_ = (x < 0 || y < 0) ? plat::Point{kHiddenPosition, kHiddenPosition} : plat::Point{x, y};
  Place();
}

void TVirSingleCaret::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Place();
}

void TVirSingleCaret::SetSystemCaretActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active) {
    savedBlinkTime_ = plat::CustomControl::CaretBlinkTime();
    Recreate();
  } else {
    owner_.DestroyCaret();
    plat::CustomControl::SetCaretBlinkTime(savedBlinkTime_);
  }
}

// Makes the control's system caret anew from the caret's current description.
void TVirSingleCaret::Recreate() {
  if (!active_) return;
  TVirCaretGeometry g = Geometry();
  if (caret_->Shape() == TVirCaretShape::csBitmap && caret_->Bitmap().width > 0) {
    owner_.CreateCaret(caret_->Bitmap());
  } else {
    owner_.CreateCaret(g.size.cx, g.size.cy, caret_->IsGray());
  }
  plat::CustomControl::SetCaretBlinkTime(caret_->BlinkTime() != 0 ? caret_->BlinkTime() : savedBlinkTime_);
  Place();
}

// Moves the system caret to the position and shows it when visible and placed.
void TVirSingleCaret::Place() {
  if (!active_) return;
  bool show = visible_ && !PositionHidden();
  if (!PositionHidden()) {
    TVirCaretGeometry g = Geometry();
    owner_.SetCaretPos(position_.x + g.offset.x, position_.y + g.offset.y);
  }
  plat::CaretState state = owner_.Caret();
  if (show && !state.Visible()) owner_.ShowCaret();
  if (!show && state.Visible()) owner_.HideCaret();
}

// ---- the pair ----

TVirCaretPair::TVirCaretPair(plat::CustomControl& owner)
    : insert_(owner, std::make_shared<TVirCaret>(TVirCaretShape::csVertLine)),
      overwrite_(owner, std::make_shared<TVirCaret>(TVirCaretShape::csBlock)) {}

void TVirCaretPair::SetInsertMode(bool insert) {
  if (insert == insertMode_) return;
  if (active_) Current().SetSystemCaretActive(false);
  insertMode_ = insert;
  if (active_) Current().SetSystemCaretActive(true);
}

void TVirCaretPair::SetCharHeight(int height) {
  insert_.SetCharHeight(height);
  overwrite_.SetCharHeight(height);
}

void TVirCaretPair::SetCharWidth(int width) {
  insert_.SetCharWidth(width);
  overwrite_.SetCharWidth(width);
}

void TVirCaretPair::SetPosition(int x, int y) {
  insert_.SetPosition(x, y);
  overwrite_.SetPosition(x, y);
}

void TVirCaretPair::SetVisible(bool visible) {
  insert_.SetVisible(visible);
  overwrite_.SetVisible(visible);
}

void TVirCaretPair::SetSystemCaretActive(bool active) {
  active_ = active;
  Current().SetSystemCaretActive(active);
}
