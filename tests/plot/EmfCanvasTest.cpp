// The metafile canvas: the header (description, bounds, totals), the records
// of a whole plot checked one by one against the same plot on the recording
// canvas, the drawing objects, clipping, failures, and a conversion by an
// office suite where one is installed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "EmfReader.h"
#include "PlotSample.h"
#include "platform/emf/EmfCanvas.h"
#include "platform/record/RecordingCanvas.h"
#include "rtl/Exception.h"
#include "rtl/Format.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::string ArtefactPath(const std::string& name) {
  fs::create_directories(MORVA_ARTEFACTS "/plot");
  return std::string(MORVA_ARTEFACTS "/plot/") + name;
}

std::string Pts(const std::vector<plat::Point>& points) {
  std::string s;
  for (const auto& p : points) s += rtl::Format(" %d,%d", p.x, p.y);
  return s;
}

std::string RectText(const char* what, int l, int t, int r, int b) {
  return rtl::Format("%s %d,%d,%d,%d", what, l, t, r, b);
}

// What the recording canvas saw, in the terms of the metafile's records.
std::vector<std::string> Expected(const plat::RecordingCanvas& canvas) {
  std::vector<std::string> out;
  for (const plat::CanvasOp& op : canvas.Ops()) {
    const auto& r = op.rect;
    switch (op.kind) {
      case plat::OpKind::Line: out.push_back("Line" + Pts(op.points)); break;
      case plat::OpKind::Polyline: out.push_back("Polyline" + Pts(op.points)); break;
      case plat::OpKind::Polygon: out.push_back("Polygon" + Pts(op.points)); break;
      case plat::OpKind::Rectangle: out.push_back(RectText("Rect", r.left, r.top, r.right, r.bottom)); break;
      case plat::OpKind::FillRect: out.push_back(RectText("Rect", r.left, r.top, r.right + 1, r.bottom + 1)); break;
      case plat::OpKind::Ellipse: out.push_back(RectText("Ellipse", r.left, r.top, r.right, r.bottom)); break;
      case plat::OpKind::TextOut:
        out.push_back(rtl::Format("Text %d,%d %s", op.points[0].x, op.points[0].y, op.text));
        break;
      case plat::OpKind::SetClip: out.push_back(RectText("Clip", r.left, r.top, r.right, r.bottom)); break;
      case plat::OpKind::RemoveClip: out.push_back("NoClip"); break;
      case plat::OpKind::TextRect: out.push_back("TextRect"); break;
      // Drawn through the records above on a metafile; the plots here use none of them.
      case plat::OpKind::TextCentred:
      case plat::OpKind::Pixel:
      case plat::OpKind::FocusRect:
      case plat::OpKind::Picture: out.push_back(plat::ToString(op)); break;
    }
  }
  return out;
}

// The drawing and clipping records of a metafile, in the same terms.
std::vector<std::string> Drawn(const emf::Metafile& m) {
  std::vector<std::string> out;
  std::pair<int, int> moveTo{0, 0};
  for (std::size_t i = 0; i < m.records.size(); ++i) {
    const emf::Record& r = m.records[i];
    auto box = [&](const char* what) { return RectText(what, r.I32(8), r.I32(12), r.I32(16), r.I32(20)); };
    auto pts = [&] {
      std::string s;
      for (auto [x, y] : emf::PointsOf(r)) s += rtl::Format(" %d,%d", x, y);
      return s;
    };
    switch (r.type) {
      case emf::kMoveTo: moveTo = {r.I32(8), r.I32(12)}; break;
      case emf::kLineTo:
        out.push_back(rtl::Format("Line %d,%d %d,%d", moveTo.first, moveTo.second, r.I32(8), r.I32(12)));
        break;
      case emf::kPolygon:
      case emf::kPolygon16: out.push_back("Polygon" + pts()); break;
      case emf::kPolyline:
      case emf::kPolyline16: out.push_back("Polyline" + pts()); break;
      case emf::kRectangle: out.push_back(box("Rect")); break;
      case emf::kEllipse: out.push_back(box("Ellipse")); break;
      case emf::kTextA:
      case emf::kTextW: {
        const auto [at, text] = emf::TextOf(r);
        out.push_back(rtl::Format("Text %d,%d %s", at.first, at.second, text));
        break;
      }
      case emf::kSelectClipRegion:
        if (i + 1 < m.records.size() && m.records[i + 1].type == emf::kIntersectClipRect) {
          const emf::Record& c = m.records[++i];
          out.push_back(RectText("Clip", c.I32(8), c.I32(12), c.I32(16), c.I32(20)));
        } else {
          out.push_back("NoClip");
        }
        break;
      default: break;
    }
  }
  return out;
}

// The sample plot written as a metafile, with the recording canvas as the
// reference for resolution and text metrics.
emf::Metafile WriteSample(const std::string& path) {
  plat::RecordingCanvas reference(96, 96);
  plat::EmfCanvas canvas(reference, path, kWidth, kHeight, "Morvapc", "saved plot");
  {
    Tbm2DPaintBox box(canvas, kWidth, kHeight);
    const TbmStyleList styles = plotsample::MakeStyles();
    plotsample::Draw(box, styles, kWidth, kHeight);
  }
  canvas.Close();
  return emf::Read(path);
}

TEST(PlotMetafile, HeaderCarriesCreatorDescriptionBoundsAndTotals) {
  const std::string path = ArtefactPath("frame.emf");
  const emf::Metafile m = WriteSample(path);
  ASSERT_TRUE(m.wellFormed);
  EXPECT_EQ(m.Signature(), 0x464D4520u);  // " EMF"
  EXPECT_EQ(m.Description(), std::string("Morvapc\0saved plot\0\0", 20));
  EXPECT_EQ(m.TotalBytes(), m.bytes.size());
  EXPECT_EQ(m.RecordCount(), m.records.size());
  // 640 x 480 pixels of 320/1024 mm each, in hundredths of a millimetre.
  EXPECT_EQ(m.Frame(), (std::vector<std::int32_t>{0, 0, 20000, 15000}));
  const auto bounds = m.Bounds();
  EXPECT_EQ(bounds[0], 0);
  EXPECT_EQ(bounds[1], 0);
  EXPECT_NEAR(bounds[2], kWidth, 1);
  EXPECT_NEAR(bounds[3], kHeight, 1);
  EXPECT_FALSE(fs::exists(path + ".part"));
}

TEST(PlotMetafile, RecordsFollowTheDrawingOneByOne) {
  const emf::Metafile m = WriteSample(ArtefactPath("records.emf"));
  ASSERT_TRUE(m.wellFormed);
  plat::RecordingCanvas recorded(96, 96);
  {
    Tbm2DPaintBox box(recorded, kWidth, kHeight);
    const TbmStyleList styles = plotsample::MakeStyles();
    recorded.Clear();
    plotsample::Draw(box, styles, kWidth, kHeight);
  }
  const std::vector<std::string> expected = Expected(recorded);
  const std::vector<std::string> drawn = Drawn(m);
  ASSERT_GT(expected.size(), 100u);
  EXPECT_EQ(drawn, expected);
  for (const emf::Record& r : m.records) EXPECT_NE(r.type, emf::kSetMiterLimit) << "a clip marker was left";
}

TEST(PlotMetafile, PensBrushesAndFontsAreCreatedAsDrawn) {
  const emf::Metafile m = WriteSample(ArtefactPath("objects.emf"));
  bool dashedMaroonPen = false;
  bool navyCrossHatch = false;
  bool sansFont14 = false;
  for (const emf::Record& r : m.records) {
    if (r.type == emf::kCreatePen && r.U32(12) == 1 /* dash */ && r.U32(24) == 0x000080) dashedMaroonPen = true;
    if (r.type == emf::kCreateBrush && r.U32(12) == 2 /* hatched */ && r.U32(16) == 0x800000 &&
        r.U32(20) == 5 /* diagonal cross */)
      navyCrossHatch = true;
    if (r.type == emf::kCreateFont && r.I32(12) == -19) {
      std::string face;
      for (std::size_t i = 40; i < 40 + 64 && r.data.at(i) != 0; i += 2) face += static_cast<char>(r.data.at(i));
      if (face == plotsample::kFont) sansFont14 = true;
    }
  }
  EXPECT_TRUE(dashedMaroonPen);
  EXPECT_TRUE(navyCrossHatch);
  EXPECT_TRUE(sansFont14);
}

TEST(PlotMetafile, TextRectClipsToItsRectangleAndRestoresTheClip) {
  const std::string path = ArtefactPath("textrect.emf");
  plat::RecordingCanvas reference(96, 96);
  plat::EmfCanvas canvas(reference, path, 100, 100, "Morvapc", "saved plot");
  canvas.SetBrush({plat::clBlack, plat::BrushStyle::Clear});
  canvas.TextRect({0, 0, 30, 10}, 2, 1, "cut");
  canvas.SetClipRect({5, 5, 60, 60});
  canvas.TextRect({20, 20, 90, 30}, 21, 21, "inner");
  canvas.Close();
  EXPECT_EQ(Drawn(emf::Read(path)),
            (std::vector<std::string>{"Clip 0,0,30,10", "Text 2,1 cut", "NoClip", "Clip 5,5,60,60", "Clip 20,20,60,30",
                                      "Text 21,21 inner", "Clip 5,5,60,60"}));
}

// A file that cannot be made fails at once; a write that fails (a full disk
// behind the name) fails Close. Either gives the system's reason and leaves
// nothing in the folder, neither the file nor a temporary one.
TEST(PlotMetafile, FailuresRaiseAnInputOutputErrorAndLeaveNoFile) {
  struct Case {
    const char* name;
    const char* reason;
    bool failsAtClose;
  };
  const Case cases[] = {
      {"no-such-folder/plot.emf", "No such file or directory", false},
      {"a-folder.emf", "Is a directory", false},
      {"full.emf", "No space left on device", true},
  };
  const fs::path folder = ArtefactPath("failures");
  fs::remove_all(folder);
  fs::create_directories(folder / "a-folder.emf");
  fs::create_symlink("/dev/full", folder / "full.emf");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (folder / c.name).string();
    plat::RecordingCanvas reference;
    try {
      plat::EmfCanvas canvas(reference, path, 10, 10, "Morvapc", "saved plot");
      EXPECT_TRUE(c.failsAtClose) << "the file could be made";
      canvas.Line(0, 0, 5, 5);
      canvas.Close();
      ADD_FAILURE() << "no error";
    } catch (const rtl::EInOutError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"a-folder.emf", "full.emf"})) << "what was there, nothing more";
}

TEST(PlotMetafile, AbandonedMetafileLeavesNoFile) {
  const std::string path = ArtefactPath("abandoned.emf");
  fs::remove(path);
  {
    plat::RecordingCanvas reference;
    plat::EmfCanvas canvas(reference, path, 10, 10, "Morvapc", "saved plot");
    canvas.Line(0, 0, 5, 5);
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST(PlotMetafile, OpensInAnOfficeSuite) {
  if (std::system("command -v libreoffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "libreoffice is not installed";
  const std::string path = ArtefactPath("converted.emf");
  WriteSample(path);
  const std::string outDir = ArtefactPath("converted");
  fs::remove_all(outDir);
  const std::string command = "timeout 120 libreoffice -env:UserInstallation=file://" + outDir +
                              "-profile --headless --convert-to png --outdir " + outDir + " " + path +
                              " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const fs::path png = fs::path(outDir) / "converted.png";
  ASSERT_TRUE(fs::exists(png));
  EXPECT_GT(fs::file_size(png), 2000u);
}

}  // namespace
