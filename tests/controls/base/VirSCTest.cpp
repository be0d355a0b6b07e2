#include "controls/base/forms/VirSC.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FieldDriving.h"
#include "FieldFormTest.h"
#include "controls/base/VirIntl.h"
#include "controls/base/forms/VirNF.h"
#include "controls/base/forms/VirSF.h"
#include "platform/StdControls.h"
#include "platform/record/ManualClock.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
using O = TEntryOption;

// A click of the spinner: when (since the press) and which half.
struct Click {
  std::uint32_t at;
  TSpinState state;
  friend bool operator==(const Click&, const Click&) = default;
};

class SpinnerTest : public FieldFormTest {
 protected:
  void SetUp() override {
    MakeForm("SpinF", 300, 170);
    desktop.SetShiftState(ssLeft);  // the desktop reports the button held while a test holds it
  }
  TVirSpinner& AddSpinner(int left, int top) {
    TVirSpinner& spin = form->Add<TVirSpinner>();
    spin.SetBounds(left, top, 16, 25);
    return spin;
  }
  void Show() {
    form->ShowForm();
    input::Flush();
  }
  // Records the spinner's clicks from now on.
  void Record(TVirSpinner& spin) {
    start = clock.TickCount();
    spin.OnClick = [this](TVirBaseSpinner&, TSpinState state, double, bool) {
      clicks.push_back({clock.TickCount() - start, state});
    };
  }
  // Time moves on by ms, one millisecond at a time, as the event loop would see it.
  void Wait(std::uint32_t ms) {
    for (std::uint32_t i = 0; i < ms; ++i) clock.Advance(1);
  }
  std::vector<std::uint32_t> Times() const {
    std::vector<std::uint32_t> times;
    for (const Click& c : clicks) times.push_back(c.at);
    return times;
  }

  ManualClock clock{5000};
  ScopedManualClock clockInstalled{clock};
  TVirIntlSup settings;
  IntlSupEntryFields intl{settings};
  std::uint32_t start = 0;
  std::vector<Click> clicks;
};

TEST_F(SpinnerTest, AHeldButtonRepeatsFasterAndFaster) {
  struct Case {
    int acceleration;
    std::vector<std::uint32_t> times;
  };
  const Case cases[] = {
      {5, {0, 500, 950, 1350, 1700}},
      {0, {0, 500, 1000, 1500, 2000}},
      {10, {0, 500, 900, 1200, 1400, 1500, 1501, 1502}},  // no delay after five repeats
  };
  TVirSpinner& spin = AddSpinner(10, 10);
  Show();
  for (const Case& c : cases) {
    clicks.clear();
    spin.SetAcceleration(c.acceleration);
    Record(spin);
    input::MouseDown(spin, MouseButton::Left, 8, 20);
    while (clicks.size() < c.times.size() && clock.TickCount() - start < 5000) Wait(1);
    input::MouseUp(spin, MouseButton::Left, 8, 20);
    EXPECT_EQ(Times(), c.times) << c.acceleration;
    Wait(1000);
    EXPECT_EQ(clicks.size(), c.times.size()) << "the release stops it";
    EXPECT_EQ(clicks.front().state, spDown);
  }
  spin.SetAcceleration(11);
  EXPECT_EQ(spin.Acceleration(), 10) << "11 is ignored";
  spin.SetAutoRepeat(false);
  clicks.clear();
  input::MouseDown(spin, MouseButton::Left, 8, 3);
  Wait(2000);
  input::MouseUp(spin, MouseButton::Left, 8, 3);
  EXPECT_EQ(clicks.size(), 1u) << "without AutoRepeat one press fires once";
}

TEST_F(SpinnerTest, ThePointerChoosesTheHalfWhileTheButtonIsHeld) {
  TVirSpinner& spin = AddSpinner(10, 10);
  TVirSpinner& across = AddSpinner(60, 10);
  across.SetOrientation(soHorizontal);
  Show();
  Record(spin);
  input::MouseDown(spin, MouseButton::Left, 8, 3);
  input::MouseMove(spin, 8, 20, ssLeft);
  EXPECT_EQ(spin.State(), spDown);
  Wait(500);
  input::MouseMove(spin, 40, 20, ssLeft);
  EXPECT_EQ(spin.State(), spOutside);
  EXPECT_FALSE(spin.Pressed());
  Wait(2000);
  input::MouseMove(spin, 8, 3, ssLeft);
  Wait(1);
  input::MouseUp(spin, MouseButton::Left, 8, 3);
  EXPECT_EQ(spin.State(), spNormal);
  const std::vector<Click> expected = {{0, spUp}, {500, spDown}, {2501, spUp}};
  EXPECT_EQ(clicks, expected) << "no clicks while off the spinner; back on, the due click at once";

  EXPECT_EQ(across.Width(), 25) << "the orientation swaps width and height";
  Record(across);
  clicks.clear();
  input::MouseDown(across, MouseButton::Left, 12, 8);
  input::MouseUp(across, MouseButton::Left, 12, 8);
  input::MouseDown(across, MouseButton::Left, 11, 8);
  input::MouseUp(across, MouseButton::Left, 11, 8);
  const std::vector<Click> sideways = {{0, spRight}, {0, spLeft}};
  EXPECT_EQ(clicks, sideways) << "the column W div 2 belongs to the right half";
  clicks.clear();
  input::DoubleClick(across, 20, 8);
  EXPECT_EQ(clicks.size(), 2u) << "both presses of a quick double click step";
}

// A click handler that opens a modal window takes the release with it: the
// spinner sees the button up on its next repeat and stops, as a release would.
TEST_F(SpinnerTest, ARepeatEndsWhenTheButtonWentUpElsewhere) {
  TVirSpinner& spin = AddSpinner(10, 10);
  Show();
  Record(spin);
  spin.OnClick = [this](TVirBaseSpinner&, TSpinState state, double, bool) {
    clicks.push_back({clock.TickCount() - start, state});
    desktop.SetShiftState(0);  // the modal window's loop took the release
  };
  input::MouseDown(spin, MouseButton::Left, 8, 3);
  Wait(3000);
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_EQ(spin.State(), spNormal);
  EXPECT_FALSE(spin.Pressed());
  // The next press repeats as ever.
  desktop.SetShiftState(ssLeft);
  clicks.clear();
  Record(spin);
  input::MouseDown(spin, MouseButton::Left, 8, 3);
  Wait(600);
  input::MouseUp(spin, MouseButton::Left, 8, 3);
  EXPECT_EQ(Times(), (std::vector<std::uint32_t>{0, 500}));
}

TEST_F(SpinnerTest, PlacedBesideItsControlAndDraggingItAlong) {
  struct Case {
    TPosition position;
    Rect placed;
  };
  const Case cases[] = {
      {scRight, {81, 10, 97, 31}},
      {scLeft, {3, 10, 19, 31}},
      {scTop, {20, -16, 80, 9}},
      {scBottom, {20, 32, 80, 57}},
  };
  std::vector<TVirSpinner*> spins;
  for (const Case& c : cases) {
    Panel& panel = form->Add<Panel>();
    panel.SetBounds(20, 10, 60, 21);
    TVirSpinner& spin = AddSpinner(0, 0);
    spin.SetPosition(c.position);
    spin.SetAttachedControl(&panel);
    spins.push_back(&spin);
  }
  Show();
  for (std::size_t i = 0; i < spins.size(); ++i)
    EXPECT_EQ(spins[i]->Bounds(), cases[i].placed) << int(cases[i].position);
  EXPECT_EQ(spins[0]->FocusedControl(), spins[0]->AttachedControl()) << "the attached control takes the steps";

  TVirSpinner& right = *spins[0];
  right.SetSeparation(4);
  EXPECT_EQ(right.Left(), 84) << "a new separation places it at once";
  Control& panel = *right.AttachedControl();
  right.SetBounds(150, 40, 16, 30);
  EXPECT_EQ(panel.Bounds(), (Rect{20, 10, 80, 31})) << "one way only";
  right.SetAttachTwoWay(true);
  right.SetBounds(150, 41, 16, 30);
  EXPECT_EQ(panel.Bounds(), (Rect{86, 41, 146, 71})) << "left of it, with its top and height";
  TVirSpinner& below = *spins[3];
  below.SetAttachTwoWay(true);
  below.SetBounds(40, 120, 30, 25);
  EXPECT_EQ(below.AttachedControl()->Bounds(), (Rect{20, 98, 50, 119})) << "above it, with its width";

  right.SetForceOddSize(true);
  right.SetBounds(150, 40, 16, 30);
  EXPECT_EQ(right.Height(), 31);
  // Through the control base, as layout code sets bounds, the same rules hold.
  Control& rightAsControl = right;
  rightAsControl.SetBounds(150, 40, 16, 28);
  EXPECT_EQ(right.Height(), 29);
  EXPECT_EQ(panel.Bounds(), (Rect{86, 40, 146, 69})) << "dragged along";
  Control& belowAsControl = below;
  belowAsControl.SetBounds(40, 130, 30, 25);
  EXPECT_EQ(below.AttachedControl()->Bounds(), (Rect{20, 108, 50, 129}));
  right.SetAttachedControl(nullptr);
  EXPECT_FALSE(right.ForceOddSize()) << "attaching switches ForceOddSize off";
}

TEST_F(SpinnerTest, StepsTheAttachedSimpleAndNumericFields) {
  auto& simple = AddField<TVirSimpleField>(0, intl);
  simple.SetDataType(sftInteger);
  auto& numeric = AddField<TVirNumericField>(1, intl);
  numeric.SetDataType(nftDouble);
  numeric.SetPictureMask("###.#");
  TVirSpinner& up = AddSpinner(0, 0);
  up.SetAttachedControl(&simple);
  TVirSpinner& down = AddSpinner(0, 0);
  down.SetAttachedControl(&numeric);
  down.SetDelta(0.5);
  Show();
  simple.SetValueText("5");
  numeric.SetValueText("2");
  ASSERT_TRUE(simple.Focused());

  input::MouseDown(up, MouseButton::Left, 8, 3);
  EXPECT_EQ(simple.GetText(), "6") << "the press steps at once";
  Wait(500);
  EXPECT_EQ(simple.GetText(), "7");
  input::MouseUp(up, MouseButton::Left, 8, 3);
  EXPECT_TRUE(simple.Focused());

  input::MouseDown(down, MouseButton::Left, 8, 20);
  EXPECT_TRUE(numeric.Focused()) << "the spinner hands its field the focus";
  Wait(950);
  input::MouseUp(down, MouseButton::Left, 8, 20);
  EXPECT_EQ(numeric.GetDisplayText(), "0.5") << "three steps of 0.5 down";
  EXPECT_EQ(field_driving::Read<double>(numeric), 0.5);
  EXPECT_EQ(field_driving::Read<std::int16_t>(simple), 7);
}

TEST_F(SpinnerTest, APressIsIgnoredWhileTheFocusedFieldRefusesToLetGo) {
  auto& prompt = AddField<TVirSimpleField>(0, intl);
  prompt.SetDataType(sftLongInt);
  prompt.SetRangeHi("20");
  auto& other = AddField<TVirSimpleField>(1, intl);
  other.SetDataType(sftLongInt);
  TVirSpinner& spin = AddSpinner(0, 0);
  spin.SetAttachedControl(&other);
  Show();
  other.SetValueText("3");
  input::TypeText(prompt, "21");
  Record(spin);
  input::MouseDown(spin, MouseButton::Left, 8, 3);
  input::MouseUp(spin, MouseButton::Left, 8, 3);
  input::Flush();
  EXPECT_TRUE(prompt.Focused());
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(other.GetText(), "3");
  EXPECT_EQ(boxes.LastText(), "Value is not within required range");
}

TEST_F(SpinnerTest, AClickHandlerMayFreeTheSpinnerOrItsForm) {
  TVirSpinner& first = AddSpinner(10, 10);
  TVirSpinner& second = AddSpinner(40, 10);
  TVirSpinner& third = AddSpinner(70, 10);
  Show();
  int fired = 0;
  first.OnClick = [&](TVirBaseSpinner& self, TSpinState, double, bool) {
    ++fired;
    form->RemoveChild(self);
  };
  input::MouseDown(first, MouseButton::Left, 8, 3);
  Wait(1000);
  EXPECT_EQ(fired, 1) << "freed on the press";

  second.OnClick = [&](TVirBaseSpinner& self, TSpinState, double, bool) {
    if (++fired == 3) form->RemoveChild(self);
  };
  input::MouseDown(second, MouseButton::Left, 8, 3);
  Wait(2000);
  EXPECT_EQ(fired, 3) << "freed on a repeat";

  third.OnClick = [&](TVirBaseSpinner&, TSpinState, double, bool) {
    ++fired;
    form->Release();
  };
  input::MouseDown(third, MouseButton::Left, 8, 3);
  input::Flush();
  Wait(2000);
  EXPECT_EQ(fired, 4) << "its form freed";
}

// The fields and spinners as a person sees them.
TEST_F(SpinnerTest, ShowcaseOfSimpleAndNumericFieldsWithSpinners) {
  std::uint32_t blink = CustomControl::CaretBlinkTime();
  CustomControl::SetCaretBlinkTime(0);
  form->SetClientSize(260, 150);
  auto& name = AddField<TVirSimpleField>(0, intl);
  name.SetPictureMask('x');
  name.SetMaxLength(20);
  auto& typing = AddField<TVirNumericField>(1, intl);
  typing.SetDataType(nftDouble);
  typing.SetPictureMask("#####.##");
  auto& amount = AddField<TVirNumericField>(2, intl);
  amount.SetDataType(nftDouble);
  amount.SetPictureMask("$$#,##9.99p");
  TVirSpinner& upDown = AddSpinner(0, 0);
  upDown.SetAttachedControl(&typing);
  TVirSpinner& sideways = AddSpinner(0, 0);
  sideways.SetOrientation(soHorizontal);
  sideways.SetPosition(scBottom);
  sideways.SetAttachedControl(&amount);
  sideways.SetFocusedControl(nullptr);  // pressed, it leaves the focus where it is
  amount.SetValueText("-1234.5");
  Show();
  input::TypeText(name, "new york");
  input::PressKey(name, vk::Tab, 0, "\t");
  input::Flush();
  ASSERT_TRUE(typing.Focused());
  input::TypeText(typing, "12");
  input::PressKey(typing, vk::OemPeriod, 0, ".");
  input::TypeText(typing, "5");
  input::MouseDown(sideways, MouseButton::Left, 3, 8);
  EXPECT_EQ(name.GetText(), "New York");
  EXPECT_EQ(typing.GetText(), "    12.5");
  EXPECT_EQ(amount.GetDisplayText(), "($1,234.50)");
  EXPECT_EQ(sideways.State(), spLeft);
  ExpectFormAsStored("simple-numeric-spinners.png");
  input::MouseUp(sideways, MouseButton::Left, 3, 8);
  typing.Carets().SetSystemCaretActive(false);
  CustomControl::SetCaretBlinkTime(blink);
}

}  // namespace
