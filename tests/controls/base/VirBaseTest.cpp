#include "controls/base/forms/VirBase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "controls/base/VirExcept.h"
#include "controls/base/VirStr.h"
#include "controls/base/forms/VirCaret.h"
#include "platform/BitmapCanvas.h"
#include "platform/Snapshot.h"
#include "platform/SystemColors.h"
#include "platform/record/ManualClock.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
namespace vk = plat::vk;
using platform_test::WindowTest;

// A library control that logs what reaches it: the commands its keys
// translate to, its window being made and its after-enter and after-exit
// notices. Ins switches the form's insert mode and the caret with it.
class Probe : public TVirBase {
 public:
  Probe(Control& parent, std::string name, std::vector<std::string>& log)
      : TVirBase(parent), carets(*this), name_(std::move(name)), log_(log) {
    SetName(name_);
    AfterEnter = [this] { Log("after enter"); };
    AfterExit = [this] { Log("after exit"); };
  }
  TVirCaretPair carets;

 protected:
  void CreateWnd() override {
    TVirBase::CreateWnd();
    Log("window made");
  }
  void KeyDown(int& key, ShiftState shift) override {
    std::uint16_t command = EntryCommands().Translate(key, shift);
    Log(CommandName(command));
    if (command == ccIns) {
      RequireController().SetInsertMode(!RequireController().InsertMode());
      carets.SetInsertMode(RequireController().InsertMode());
    }
  }
  void FocusGained(Control* losing) override {
    TVirBase::FocusGained(losing);
    Log("focus");
    carets.SetCharHeight(18);
    carets.SetCharWidth(9);
    carets.SetInsertMode(RequireController().InsertMode());
    carets.SetSystemCaretActive(true);
    carets.SetPosition(6 + 9 * 3, 5);
    carets.SetVisible(true);
  }
  void FocusLost(Control* gaining) override {
    TVirBase::FocusLost(gaining);
    Log("focus lost");
    carets.SetSystemCaretActive(false);
  }
  void Paint(Canvas& canvas) override {
    canvas.SetBrush(Brush{ColorToRGB(Focused() ? clWindow : clBtnFace), BrushStyle::Solid});
    canvas.SetPen(Pen{ColorToRGB(clWindowFrame)});
    canvas.Rectangle({0, 0, ClientWidth(), ClientHeight()});
    canvas.SetFont(Font{"Liberation Mono", 11, ColorToRGB(clWindowText), 0});
    canvas.SetBrush(Brush{clWhite, BrushStyle::Clear});
    canvas.TextOut(6, 4, name_);
  }

 private:
  void Log(const std::string& text) { log_.push_back(name_ + ": " + text); }
  std::string name_;
  std::vector<std::string>& log_;
};

class ControllerTest : public WindowTest {
 protected:
  void SetUp() override {
    form = &CreateForm<Form>("ProbeF");
    form->SetFont(Font{"Liberation Sans", 9, clBlack, 0});
    form->SetClientSize(260, 90);
    controller = &form->AddComponent<TVirController>();
    a = &form->Add<Probe>("First", log);
    a->SetBounds(10, 10, 240, 30);
    b = &form->Add<Probe>("Second", log);
    b->SetBounds(10, 50, 240, 30);
  }
  void Show() {
    form->ShowForm();
    input::Flush();
  }
  std::vector<std::string> log;
  Form* form = nullptr;
  TVirController* controller = nullptr;
  Probe* a = nullptr;
  Probe* b = nullptr;
};

TEST_F(ControllerTest, ControlsTakeTheFormsControllerWhenTheirWindowsAreMade) {
  EXPECT_EQ(a->Controller(), nullptr);
  EXPECT_FALSE(a->HandleAllocated());
  Show();
  EXPECT_TRUE(a->HandleAllocated());
  EXPECT_EQ(a->Controller(), controller);
  form->RemoveComponent(*controller);
  EXPECT_EQ(a->Controller(), nullptr);
  EXPECT_THROW(a->EntryCommands(), ENoControllerAssigned);
  auto& second = form->AddComponent<TVirController>();  // offered to the controls without one
  EXPECT_EQ(a->Controller(), &second);
}

TEST_F(ControllerTest, AControlOnAFormWithoutControllerRaisesWhenItsWindowIsMade) {
  auto& bare = CreateForm<Form>("BareF");
  auto& orphan = bare.Add<Probe>("Orphan", log);
  try {
    orphan.HandleNeeded();
    FAIL() << "no error";
  } catch (const ENoControllerAssigned& e) {
    EXPECT_STREQ(e.what(), "No Controller assigned");
  }
  EXPECT_FALSE(orphan.HandleAllocated());
  bare.ShowForm();  // shown from the event loop, the error reaches the error box
  input::Flush();
  EXPECT_EQ(boxes.LastText(), "No Controller assigned.");
  EXPECT_FALSE(orphan.HandleAllocated());
}

TEST_F(ControllerTest, RecreatingAWindowRunsItsCreationAgain) {
  Show();
  log.clear();
  a->RecreateWnd();
  EXPECT_EQ(log, (std::vector<std::string>{"First: window made"}));
}

TEST_F(ControllerTest, AfterEnterAndAfterExitFollowClicksAndTabInOrder) {
  Show();
  ASSERT_TRUE(a->Focused());
  log.clear();
  input::Click(*b, 5, 5);
  input::Flush();
  input::PressKey(*b, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"First: focus lost", "Second: focus", "First: after exit",
                                           "Second: after enter", "Second: focus lost", "First: focus",
                                           "Second: after exit", "First: after enter"}));
}

TEST_F(ControllerTest, RealKeysReachTheCommandProcessor) {
  Show();
  controller->EntryCommands().GetTableByName("WordStar")->IsActive = true;
  log.clear();
  input::PressKey(*a, 'X', ssCtrl, "\x18");
  input::PressKey(*a, vk::Delete, ssShift);
  input::PressKey(*a, vk::Home, ssShift | ssCtrl);
  input::PressKey(*a, 'Q', ssCtrl, "\x11");  // Default has no Ctrl+Q: WordStar starts a sequence
  input::PressKey(*a, vk::Shift, ssShift);
  input::PressKey(*a, 'S', 0, "s");
  input::PressKey(*a, 'B', 0, "b");
  EXPECT_EQ(log, (std::vector<std::string>{"First: ccCut", "First: ccCut", "First: ccExtFirstPage", "First: (Unknown)",
                                           "First: (Unknown)", "First: ccHome", "First: (Unknown)"}));
  // 255, 252 and 254 have no names; the processor is back to normal.
  EXPECT_EQ(controller->EntryCommands().TranslateState(), TVirCommandProcessor::State::Normal);
}

TEST_F(ControllerTest, InsSwitchesTheCaretPair) {
  Show();
  ASSERT_TRUE(a->Focused());
  CaretState insert = a->Caret();
  EXPECT_TRUE(insert.Visible());
  EXPECT_EQ(insert.width, 2);  // vertical line, left in its 18 x 9 cell
  EXPECT_EQ(insert.height, 18);
  EXPECT_EQ(insert.position, (Point{33, 5}));
  input::PressKey(*a, vk::Insert);
  EXPECT_FALSE(controller->InsertMode());
  CaretState overwrite = a->Caret();
  EXPECT_TRUE(overwrite.Visible());
  EXPECT_EQ(overwrite.width, 9);  // block over the cell
  EXPECT_EQ(overwrite.height, 18);
  EXPECT_EQ(overwrite.position, (Point{33, 5}));
  // The form's insert mode goes with the focus to the next control.
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  ASSERT_TRUE(b->Focused());
  EXPECT_FALSE(a->Caret().exists);
  EXPECT_EQ(b->Caret().width, 9);
  input::PressKey(*b, vk::Insert);
  EXPECT_EQ(b->Caret().width, 2);
}

TEST_F(ControllerTest, ABitmapCaretInvertsWhatLiesUnderItsWhitePixels) {
  std::uint32_t blink = CustomControl::CaretBlinkTime();
  CustomControl::SetCaretBlinkTime(0);
  Show();
  auto caret = std::make_shared<TVirCaret>();
  caret->SetBitmap(RasterImage{4, 6, std::vector<std::uint32_t>(24, 0xFFFFFFFF)});
  caret->SetShape(TVirCaretShape::csBitmap);
  a->carets.SetInsertCaret(caret);
  a->carets.SetPosition(150, 5);
  CaretState state = a->Caret();
  EXPECT_TRUE(state.fromBitmap);
  EXPECT_EQ(state.width, 4);
  EXPECT_EQ(state.height, 6);
  EXPECT_EQ(state.position, (Point{150, 11}));  // left in the 18-high cell: 6 down
  RasterImage picture = GrabImage(*a);
  auto pixel = [&](int x, int y) { return picture.pixels[static_cast<std::size_t>(y * picture.width + x)] & 0xFFFFFF; };
  EXPECT_EQ(pixel(151, 12), pixel(160, 12) ^ 0xFFFFFFu);  // inverted beside the untouched background
  a->carets.SetSystemCaretActive(false);
  CustomControl::SetCaretBlinkTime(blink);
}

TEST_F(ControllerTest, DoOnErrorShowsTheErrorBoxOrCallsOnError) {
  controller->DoOnError(a, 259, "A value is required in this field");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "A value is required in this field");
  EXPECT_EQ(boxes.Boxes()[0].kind, MsgKind::Error);
  EXPECT_EQ(boxes.Boxes()[0].buttons, mbOK);
  std::string seen;
  controller->OnError = [&](Control* sender, int code, const std::string& msg) {
    seen = sender->Name() + " " + std::to_string(code) + " " + msg;
  };
  controller->DoOnError(b, 40000, "Own text");
  EXPECT_EQ(seen, "Second 40000 Own text");
  EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(ControllerTest, NoticesRunLaterAndAreDroppedWhenTheirControlDied) {
  Show();
  std::vector<std::string> notices;
  controller->OnDelayNotify = [&](Control* sender, std::uint16_t code) {
    notices.push_back("delay " + sender->Name() + " " + std::to_string(code));
  };
  controller->OnPostEdit = [&](Control* sender, Control* gaining) {
    notices.push_back("post " + sender->Name() + " " + (gaining ? gaining->Name() : "-"));
  };
  controller->OnPreEdit = [&](Control* sender, Control* losing) {
    notices.push_back("pre " + sender->Name() + " " + (losing ? losing->Name() : "-"));
  };
  controller->PostDelayNotify(*a, 7);
  controller->PostDelayNotify(*b, 8);  // b dies first: dropped
  controller->PostPostEdit(*a, b);     // b dies first: arrives as none
  controller->PostPreEdit(*a, nullptr);
  controller->PostFocus(*a);
  EXPECT_TRUE(notices.empty());
  form->RemoveChild(*b);
  b = nullptr;
  input::Flush();
  EXPECT_EQ(notices, (std::vector<std::string>{"delay First 7", "post First -", "pre First -"}));
  EXPECT_TRUE(a->Focused());
}

TEST_F(ControllerTest, SpecialControls) {
  auto& cancel = form->Add<Probe>("Cancel", log);
  auto& help = form->Add<Probe>("Help", log);
  controller->SetBtnCancel(&cancel);
  controller->SetBtnHelp(&help);
  EXPECT_TRUE(controller->IsSpecialControl(&cancel));
  EXPECT_TRUE(controller->IsSpecialControl(&help));
  EXPECT_FALSE(controller->IsSpecialControl(a));
  EXPECT_FALSE(controller->IsSpecialControl(nullptr));
  controller->OnIsSpecialControl = [&](Control* control, bool& special) { special = control == a; };
  EXPECT_TRUE(controller->IsSpecialControl(a));
  EXPECT_FALSE(controller->IsSpecialControl(b));
  form->RemoveChild(cancel);
  EXPECT_EQ(controller->BtnCancel(), nullptr);
}

TEST_F(ControllerTest, EpochTakesOnlyYearsOf1600To3999) {
  struct Step {
    int set;
    int expected;
  };
  const Step steps[] = {{1599, 1900}, {4000, 1900}, {2000, 2000}, {1600, 1600}, {3999, 3999}, {0, 3999}};
  EXPECT_EQ(controller->Epoch(), 1900);
  for (const Step& s : steps) {
    controller->SetEpoch(s.set);
    EXPECT_EQ(controller->Epoch(), s.expected) << s.set;
  }
  EXPECT_TRUE(controller->InsertMode());
  EXPECT_EQ(TVirController::Version(), "2.15.00");
  EXPECT_EQ(TVirBase::Version(), "2.15.00");
}

TEST_F(ControllerTest, TheTimerPoolReportsEveryTriggerThroughOnTimerTrigger) {
  ManualClock clock(0);
  ScopedManualClock installed(clock);
  std::vector<std::string> fired;
  controller->OnTimerTrigger = [&](TVirTimerPool&, std::int32_t handle, std::uint16_t interval, std::uint32_t) {
    fired.push_back(std::to_string(handle) + "/" + std::to_string(interval));
  };
  std::int32_t h = controller->TimerPool().Add({}, 100, false);
  clock.Advance(300);
  EXPECT_EQ(fired, (std::vector<std::string>{std::to_string(h) + "/100"}));
}

TEST_F(ControllerTest, SystemColoursResolveAtPaintTime) {
  EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_FALSE(IsSystemColor(ColorToRGB(clWindow)));
  struct Fixed : SystemPalette {
    Color SysColor(int index) override { return RGB(index, 0, 0); }
  } fixed;
  ScopedService<SystemPalette> installed(fixed);
  EXPECT_EQ(ColorToRGB(clHighlight), RGB(13, 0, 0));
  EXPECT_EQ(ColorToRGB(SystemColor(99)), clBlack);
}

// The form with its two controls, the caret in each mode, as a person sees it.
TEST_F(ControllerTest, ShowcaseInBothCaretModes) {
  std::uint32_t blink = CustomControl::CaretBlinkTime();
  CustomControl::SetCaretBlinkTime(0);  // a steady caret, whenever the picture is taken
  Show();
  for (const char* mode : {"insert", "overwrite"}) {
    if (std::string(mode) == "overwrite") input::PressKey(*a, vk::Insert);
    std::string made = std::string(MORVA_ARTEFACTS) + "/controls/base/controller-" + mode + ".png";
    std::filesystem::create_directories(std::filesystem::path(made).parent_path());
    ASSERT_TRUE(SaveSnapshot(*form, made));
    std::string stored = std::string(MORVA_FIXTURES) + "/controls/base/controller-" + mode + ".png";
    ASSERT_TRUE(std::filesystem::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
    ImageDifference diff = CompareImages(made, stored);
    ASSERT_TRUE(diff.loaded);
    EXPECT_TRUE(diff.sameSize);
    EXPECT_LT(diff.meanDelta, 4.0) << mode;
  }
  a->carets.SetSystemCaretActive(false);  // puts back the blink time it found: none
  CustomControl::SetCaretBlinkTime(blink);
}

}  // namespace

namespace {

struct GeometryCase {
  const char* name;
  TVirCaretShape shape;
  std::optional<TVirCaretAlign> align;  // after the shape, when set
  TVirCaretGeometry expected;           // in a cell 20 high and 10 wide
};

const GeometryCase kGeometry[] = {
    {"BlockFillsTheCell", TVirCaretShape::csBlock, {}, {{10, 20}, {0, 0}}},
    {"HalfBlockSitsAtTheBottom", TVirCaretShape::csHalfBlock, {}, {{10, 10}, {0, 10}}},
    {"VertLineAtTheLeft", TVirCaretShape::csVertLine, {}, {{2, 20}, {0, 0}}},
    {"VertLineAtTheRight", TVirCaretShape::csVertLine, TVirCaretAlign::caRight, {{2, 20}, {8, 0}}},
    {"HorzLineAtTheBottom", TVirCaretShape::csHorzLine, {}, {{10, 2}, {0, 18}}},
    {"HorzLineAtTheTop", TVirCaretShape::csHorzLine, TVirCaretAlign::caTop, {{10, 2}, {0, 0}}},
    {"CustomKeepsItsSizeCentred", TVirCaretShape::csCustom, TVirCaretAlign::caCenter, {{2, 10}, {4, 5}}},
    {"CustomLeftHalvesTowardZero", TVirCaretShape::csCustom, TVirCaretAlign::caLeft, {{2, 10}, {0, 5}}},
};

class CaretGeometryTable : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(CaretGeometryTable, PlacesTheCaretInItsCell) {
  TVirCaret caret(GetParam().shape);
  if (GetParam().align) caret.SetAlign(*GetParam().align);
  EXPECT_EQ(CaretGeometry(caret, 20, 10), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Carets, CaretGeometryTable, ::testing::ValuesIn(kGeometry),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Carets, ABitmapCaretTakesTheBitmapsSizeLessItsHotSpot) {
  TVirCaret caret;
  caret.SetBitmap(plat::RasterImage{4, 6, std::vector<std::uint32_t>(24, 0xFF000000)});
  caret.SetShape(TVirCaretShape::csBitmap);
  caret.SetBitmapHotSpot(1, 2);
  EXPECT_EQ(CaretGeometry(caret, 20, 10), (TVirCaretGeometry{{4, 6}, {-1, 5}}));
}

class CaretsOnAControl : public WindowTest {};

TEST_F(CaretsOnAControl, ChangesReachEveryControlThatShowsTheCaretAndHiddenPositionsStayHidden) {
  auto& form = CreateForm<Form>("CaretF");
  auto& one = form.Add<CustomControl>();
  one.SetBounds(0, 0, 100, 30);
  form.ShowForm();
  input::Flush();
  auto shared = std::make_shared<TVirCaret>(TVirCaretShape::csVertLine);
  TVirSingleCaret single(one, shared);
  single.SetCharHeight(0);  // refused
  EXPECT_EQ(single.CharHeight(), 10);
  single.SetCharHeight(16);
  single.SetSystemCaretActive(true);
  single.SetVisible(true);
  EXPECT_FALSE(one.Caret().Visible());  // no position yet
  single.SetPosition(10, 2);
  EXPECT_TRUE(one.Caret().Visible());
  EXPECT_EQ(one.Caret().height, 16);
  shared->SetShape(TVirCaretShape::csHalfBlock);
  EXPECT_EQ(one.Caret().height, 8);
  EXPECT_EQ(one.Caret().position, (Point{10, 10}));
  EXPECT_TRUE(one.Caret().Visible());
  shared->SetIsGray(true);
  EXPECT_TRUE(one.Caret().gray);
  single.SetPosition(-1, 2);
  EXPECT_TRUE(single.PositionHidden());
  EXPECT_FALSE(one.Caret().Visible());
  std::uint32_t blink = CustomControl::CaretBlinkTime();
  shared->SetBlinkTime(blink + 100);
  EXPECT_EQ(CustomControl::CaretBlinkTime(), blink + 100);
  single.SetSystemCaretActive(false);
  EXPECT_FALSE(one.Caret().exists);
  EXPECT_EQ(CustomControl::CaretBlinkTime(), blink);
}

}  // namespace

namespace {

// The box of the pixels that are not white.
Rect InkBox(const RasterImage& image) {
  Rect box{image.width, image.height, 0, 0};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if ((image.pixels[static_cast<std::size_t>(y * image.width + x)] & 0xFFFFFF) == 0xFFFFFF) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    }
  }
  return box;
}

TEST(RotatedFont, TurnsTheTextAboutItsCorner) {
  Font font{"Liberation Sans", 14, clBlack, fsBold};
  Font rotated = CreateRotatedFontHandle(font, 90);
  EXPECT_EQ(rotated.angle, 900);
  EXPECT_EQ(rotated.style, fsBold);
  EXPECT_EQ(rotated.size, 14);
  BitmapCanvas level(200, 200), turned(200, 200);
  level.GetCanvas().SetBrush(Brush{clWhite, BrushStyle::Clear});
  turned.GetCanvas().SetBrush(Brush{clWhite, BrushStyle::Clear});
  level.GetCanvas().SetFont(font);
  turned.GetCanvas().SetFont(rotated);
  level.GetCanvas().TextOut(20, 150, "Notebook");
  turned.GetCanvas().TextOut(20, 150, "Notebook");
  Rect flat = InkBox(level.Image()), up = InkBox(turned.Image());
  EXPECT_GT(flat.Width(), flat.Height());
  EXPECT_GT(up.Height(), up.Width());
  // Counter-clockwise: the text rises from its corner, its cell to the right of x.
  EXPECT_LE(up.bottom, 151);
  EXPECT_GE(up.left, 19);
  EXPECT_NEAR(up.Height(), flat.Width(), 3);
}

}  // namespace
