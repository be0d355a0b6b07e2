#include "QtTestSupport.h"

#include "platform/Snapshot.h"
#include "platform/StdControls.h"
#include "platform/StringGrid.h"

#include <filesystem>
#include <string>

namespace {

using namespace plat;
using platform_test::WindowTest;

// A small dialog in a font every machine has, drawn the same wherever it runs.
class BatchLikeForm : public Form {
 public:
  BatchLikeForm() : Form("ShotF") {
    SetCaption("Batch mode");
    SetFont(Font{"Liberation Sans", 9, clBlack, 0});
    SetClientSize(320, 200);
    auto& panel = Add<Panel>();
    panel.SetBounds(0, 0, 320, 44);
    panel.SetAlign(Align::Top);
    auto& load = panel.Add<Button>("Load");
    load.SetBounds(8, 8, 70, 28);
    auto& run = panel.Add<Button>("Run");
    run.SetBounds(86, 8, 70, 28);
    run.SetEnabled(false);
    auto& label = panel.Add<Label>("<-- Select batch file");
    label.SetBounds(164, 8, 150, 28);
    auto& grid = Add<StringGrid>();
    grid.SetBounds(8, 52, 304, 100);
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetCell(0, 0, "Rows\\Cols");
    grid.SetCell(1, 0, "C1");
    grid.SetCell(0, 1, "R1");
    grid.SetCell(1, 1, "1.5");
    auto& gauge = Add<ProgressGauge>();
    gauge.SetBounds(8, 160, 200, 20);
    gauge.SetForeColor(RGB(0, 255, 0));
    gauge.SetProgress(40);
    auto& check = Add<CheckBox>("Labels");
    check.SetBounds(216, 160, 96, 20);
    check.SetChecked(true);
  }
};

class ScreenshotTest : public WindowTest {};

TEST_F(ScreenshotTest, FormRendersLikeTheStoredPicture) {
  auto& form = CreateForm<BatchLikeForm>();
  form.ShowForm();
  input::Flush();
  const std::string made = std::string(MORVA_ARTEFACTS) + "/platform/batch-form.png";
  const std::string stored = std::string(MORVA_FIXTURES) + "/platform/batch-form.png";
  ASSERT_TRUE(SaveSnapshot(form, made));
  ASSERT_TRUE(std::filesystem::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
  ImageDifference diff = CompareImages(made, stored);
  ASSERT_TRUE(diff.loaded);
  ASSERT_TRUE(diff.sameSize);
  // Glyph shapes may differ a little between font builds; layout and colours may not.
  EXPECT_LT(diff.meanDelta, 6.0);
  EXPECT_LT(diff.changedShare, 0.05);
}

}  // namespace
