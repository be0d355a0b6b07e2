#pragma once
// Pictures of plot windows for the tests: one font face for every text of a
// plot, so a picture does not depend on which fonts stand in for the
// defaults, and the comparison of a picture with the stored one.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "platform/Snapshot.h"
#include "plot/bm2DPlot.h"

namespace plottest {

// The titles, the scale numbers and every text style in the face given.
inline void UseFont(Tbm2DPlot& plot, const std::string& face) {
  auto& parts = plot.Parts();
  for (TbmLabelClass* label : {&parts.Title, &parts.SubTitle, &parts.XAxisTitle, &parts.YAxisTitle})
    label->Font.name = face;
  parts.XAxis.ScaleFont.name = face;
  parts.YAxis.ScaleFont.name = face;
  for (int id = 1; TbmStyleEntry* style = plot.FindStyle(id); ++id) {
    if (style->Kind() == bmTextStyle) std::get<TbmTextClass>(style->Part).Font.name = face;
  }
}

// Saves the control's picture as `made` (under the test artefacts) and
// compares it with the stored picture. Glyphs may differ a little between
// font builds; lines, fills and layout may not.
inline void ExpectLikeStoredPicture(plat::Control& control, const std::string& made, const std::string& stored) {
  std::filesystem::create_directories(std::filesystem::path(made).parent_path());
  ASSERT_TRUE(plat::SaveSnapshot(control, made));
  ASSERT_TRUE(std::filesystem::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
  const plat::ImageDifference diff = plat::CompareImages(made, stored);
  ASSERT_TRUE(diff.loaded);
  ASSERT_TRUE(diff.sameSize);
  EXPECT_LT(diff.meanDelta, 4.0) << made;
  EXPECT_LT(diff.changedShare, 0.03) << made;
}

}  // namespace plottest
