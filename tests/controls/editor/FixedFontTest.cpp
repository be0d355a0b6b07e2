#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorDouble.h"
#include "controls/base/VirExcept.h"
#include "controls/editor/VirFxFnt.h"
#include "platform/Fonts.h"

namespace {

class FakeFonts : public plat::FontSystem {
 public:
  explicit FakeFonts(std::vector<std::string> names) : names_(std::move(names)) {}
  std::vector<std::string> FixedPitchFamilies() override { return names_; }
  bool IsOutlineFont(const plat::Font& /*font*/) override { return true; }

 private:
  std::vector<std::string> names_;
};

// Installs a font system and reads the families from it for one test.
class FixedFontTest : public ::testing::Test {
 protected:
  void SetUp() override { TVirFixedFont::ReloadFixedFamilies(); }
  void TearDown() override {
    installed_.reset();
    TVirFixedFont::ReloadFixedFamilies();
  }

  FakeFonts fonts_{{"Courier New", "DejaVu Sans Mono", "Liberation Mono"}};
  std::unique_ptr<plat::ScopedService<plat::FontSystem>> installed_ =
      std::make_unique<plat::ScopedService<plat::FontSystem>>(fonts_);
};

TEST_F(FixedFontTest, ANewEditorTakesTheFirstFixedFamily) {
  TestEditor editor;
  EXPECT_EQ(editor.FixedFont().Name(), "Courier New");
}

TEST_F(FixedFontTest, NamesOutsideTheListAreIgnored) {
  int changes = 0;
  TVirFixedFont font([&] { ++changes; });
  font.SetName("Liberation Mono");
  EXPECT_EQ(font.Name(), "Liberation Mono");
  for (const std::string name : {"Arial", "liberation mono", "Courier New "}) {
    font.SetName(name);
    EXPECT_EQ(font.Name(), "Liberation Mono") << name;
  }
  font.SetSize(12);
  font.SetStyle(plat::fsBold);
  font.SetColor(plat::RGB(1, 2, 3));
  EXPECT_EQ(font.Font(), (plat::Font{"Liberation Mono", 12, plat::RGB(1, 2, 3), plat::fsBold}));
  EXPECT_EQ(changes, 7);
}

TEST_F(FixedFontTest, AssignTakesFixedFontsOnly) {
  TVirFixedFont font;
  font.Assign(plat::Font{"DejaVu Sans Mono", 11, plat::clGray, plat::fsItalic});
  EXPECT_EQ(font.Font(), (plat::Font{"DejaVu Sans Mono", 11, plat::clGray, plat::fsItalic}));

  EXPECT_THROW(font.Assign(plat::Font{"Liberation Sans", 20, plat::clBlack, plat::fsBold}), EInvalidFixedFont);
  EXPECT_EQ(font.Font(), (plat::Font{"DejaVu Sans Mono", 11, plat::clGray, plat::fsItalic}));

  TVirFixedFont other;
  other.SetSize(14);
  font.Assign(other);
  EXPECT_EQ(font.Font(), (plat::Font{"Courier New", 14, plat::clBlack, 0}));

  EXPECT_THROW(font.Assign(std::string("Courier New")), EInvalidFontParam);
  EXPECT_THROW(font.Assign(42), EInvalidFontParam);
}

TEST(FixedFontFallbackTest, WithoutFixedFamiliesTheListHoldsMonospace) {
  FakeFonts none({});
  plat::ScopedService<plat::FontSystem> installed(none);
  TVirFixedFont::ReloadFixedFamilies();
  EXPECT_EQ(TVirFixedFont::FixedFamilies(), std::vector<std::string>{"Monospace"});
  TVirFixedFont font;
  EXPECT_EQ(font.Name(), "Monospace");
  TVirFixedFont::ReloadFixedFamilies();
}

}  // namespace
