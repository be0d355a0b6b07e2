#pragma once
// Glyph images of the check-box and glyph cells: one program-wide list of
// shared bitmaps with use counts, whose first entry is the default strip
// "VIRTCCHECKGLYPHS" (unchecked, checked, grayed), and a cell's glyph set
// (TVirCellGlyphs) that refers to one entry.

#include <functional>
#include <list>

#include "platform/Clipboard.h"

class TGlyphResourceManager {
 public:
  struct Entry {
    plat::RasterImage bitmap;
    int useCount;
  };
  // The program's manager, made on first use with the default entry loaded.
  static TGlyphResourceManager& Instance();

  Entry& Default() { return entries_.front(); }
  // A new entry holding a copy of the bitmap, used once.
  Entry& Add(const plat::RasterImage& bitmap);
  // One use less; an entry whose use count reaches 0 is freed with its bitmap.
  void Release(Entry& entry);
  int EntryCount() const { return static_cast<int>(entries_.size()); }

 private:
  TGlyphResourceManager();
  std::list<Entry> entries_;  // stable addresses
};

class TVirCellGlyphs {
 public:
  TVirCellGlyphs();
  ~TVirCellGlyphs();
  TVirCellGlyphs(const TVirCellGlyphs&) = delete;
  TVirCellGlyphs& operator=(const TVirCellGlyphs&) = delete;

  const plat::RasterImage& BitMap() const { return entry_->bitmap; }
  // A private copy of the bitmap, or the default strip for none.
  void SetBitMap(const plat::RasterImage* bitmap);
  bool IsDefault() const { return entry_ == &TGlyphResourceManager::Instance().Default(); }
  // True returns to the default strip; false takes a private copy of the current image.
  void SetIsDefault(bool on);
  int GlyphCount() const { return glyphCount_; }
  // Values below 1 are refused: a glyph set always holds a glyph.
  void SetGlyphCount(int count);
  int ActiveGlyphCount() const { return activeGlyphCount_; }
  // Takes only 1..GlyphCount.
  void SetActiveGlyphCount(int count);
  // Shares the other set's image and takes its counts.
  void Assign(const TVirCellGlyphs& other);

  std::function<void()> OnChange;

 private:
  void Take(TGlyphResourceManager::Entry& entry);
  void Changed();

  TGlyphResourceManager::Entry* entry_ = nullptr;
  int glyphCount_ = 1;
  int activeGlyphCount_ = 1;
};
