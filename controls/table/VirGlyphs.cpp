#include "controls/table/VirGlyphs.h"

#include "platform/BitmapFile.h"

void RegisterTableResources();  // generated from the bitmaps of resources/

TGlyphResourceManager::TGlyphResourceManager() {
  RegisterTableResources();
  // The manager holds one use of the default entry, so it is never freed.
  entries_.push_back({plat::LoadBitmapResource("VIRTCCHECKGLYPHS").value_or(plat::RasterImage{}), 1});
}

TGlyphResourceManager& TGlyphResourceManager::Instance() {
  static TGlyphResourceManager manager;
  return manager;
}

TGlyphResourceManager::Entry& TGlyphResourceManager::Add(const plat::RasterImage& bitmap) {
  return entries_.emplace_back(Entry{bitmap, 1});
}

void TGlyphResourceManager::Release(Entry& entry) {
  if (--entry.useCount > 0) return;
  entries_.remove_if([&entry](const Entry& e) { return &e == &entry; });
}

TVirCellGlyphs::TVirCellGlyphs() {
  TGlyphResourceManager::Entry& standard = TGlyphResourceManager::Instance().Default();
  ++standard.useCount;
  Take(standard);
}

TVirCellGlyphs::~TVirCellGlyphs() { TGlyphResourceManager::Instance().Release(*entry_); }

void TVirCellGlyphs::Changed() {
  if (OnChange) OnChange();
}

// Takes an entry whose use was already counted, and derives the counts from
// its image: as many glyphs as square tiles, else 1.
void TVirCellGlyphs::Take(TGlyphResourceManager::Entry& entry) {
  if (entry_ != nullptr) TGlyphResourceManager::Instance().Release(*entry_);
  entry_ = &entry;
  const plat::RasterImage& b = entry.bitmap;
  glyphCount_ = b.height > 0 && b.width % b.height == 0 && b.width > 0 ? b.width / b.height : 1;
  activeGlyphCount_ = glyphCount_;
}

void TVirCellGlyphs::SetBitMap(const plat::RasterImage* bitmap) {
  TGlyphResourceManager& manager = TGlyphResourceManager::Instance();
  if (bitmap == nullptr) {
    ++manager.Default().useCount;
    Take(manager.Default());
  } else {
    Take(manager.Add(*bitmap));
  }
  Changed();
}

void TVirCellGlyphs::SetIsDefault(bool on) {
  if (on == IsDefault()) return;
  if (on) return SetBitMap(nullptr);
  const plat::RasterImage copy = entry_->bitmap;
  SetBitMap(&copy);
}

void TVirCellGlyphs::SetGlyphCount(int count) {
  if (count < 1 || (count == glyphCount_ && count == activeGlyphCount_)) return;
  glyphCount_ = activeGlyphCount_ = count;
  Changed();
}

void TVirCellGlyphs::SetActiveGlyphCount(int count) {
  if (count < 1 || count > glyphCount_ || count == activeGlyphCount_) return;
  activeGlyphCount_ = count;
  Changed();
}

void TVirCellGlyphs::Assign(const TVirCellGlyphs& other) {
  if (&other == this) return;
  ++other.entry_->useCount;
  Take(*other.entry_);
  glyphCount_ = other.glyphCount_;
  activeGlyphCount_ = other.activeGlyphCount_;
  Changed();
}
