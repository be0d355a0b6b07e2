#include "QtTestSupport.h"

#include "platform/CustomControl.h"
#include "platform/StdControls.h"
#include "platform/Snapshot.h"
#include "platform/SystemColors.h"
#include "platform/record/ManualClock.h"
#include "rtl/Cp1252.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace plat;
using platform_test::WindowTest;

// A control that writes every event it receives to a shared log.
class Probe : public CustomControl {
 public:
  Probe(Control& parent, std::string name, std::vector<std::string>& log)
      : CustomControl(parent), name_(std::move(name)), log_(log) {
    SetName(name_);
  }
  int paints = 0;
  int lastDpi = 0;

 protected:
  void Paint(Canvas& canvas) override {
    ++paints;
    lastDpi = canvas.DpiX();
    canvas.SetBrush(Brush{clWhite, BrushStyle::Solid});
    canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
  }
  void KeyDown(int& key, ShiftState shift) override {
    Log("down " + std::to_string(key) + ((shift & ssShift) ? "+shift" : "") + ((shift & ssCtrl) ? "+ctrl" : ""));
  }
  void KeyPress(char32_t& ch) override { Log("press " + std::to_string(static_cast<std::uint32_t>(ch))); }
  void KeyUp(int& key, ShiftState) override { Log("up " + std::to_string(key)); }
  void MouseDown(MouseButton b, ShiftState shift, int x, int y) override {
    Log(std::string("mouse down ") + (b == MouseButton::Left ? "L" : "R") + ((shift & ssDouble) ? " double" : "") +
        " " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(MouseButton, ShiftState, int, int) override { Log("mouse up"); }
  void DblClick() override { Log("dblclick"); }
  void FocusGained(Control* losing) override { Log("gained from " + (losing ? losing->Name() : "-")); }
  void FocusLost(Control* gaining) override { Log("lost to " + (gaining ? gaining->Name() : "-")); }
  void Scrolled(ScrollBarKind bar, ScrollCode code, int pos) override {
    Log(std::string("scroll ") + (bar == ScrollBarKind::Vertical ? "v " : "h ") +
        std::to_string(static_cast<int>(code)) + " " + std::to_string(pos));
  }
  void TimerTick(int id) override { Log("timer " + std::to_string(id) + "@" + std::to_string(TickCount())); }
  void HandleMessage(const Message& m) override {
    Log("message " + std::to_string(m.msg) + " " + std::to_string(m.wParam));
  }
  bool DialogChar(char ch) override {
    Log(std::string("dialog char ") + ch);
    return ch == takes;
  }

 public:
  char takes = 0;  // the dialog character the probe takes

 private:
  void Log(const std::string& text) { log_.push_back(name_ + ": " + text); }
  std::string name_;
  std::vector<std::string>& log_;
};

class CustomControlTest : public WindowTest {
 protected:
  void SetUp() override {
    form = &CreateForm<Form>("ProbeF");
    form->SetBounds(50, 50, 300, 200);
    a = &form->Add<Probe>("A", log);
    a->SetBounds(0, 0, 150, 100);
    b = &form->Add<Probe>("B", log);
    b->SetBounds(150, 0, 150, 100);
    form->ShowForm();
    input::Flush();
    log.clear();
  }
  std::vector<std::string> log;
  Form* form = nullptr;
  Probe* a = nullptr;
  Probe* b = nullptr;
};

TEST_F(CustomControlTest, PaintsThroughTheCanvasOncePerRequest) {
  int before = a->paints;
  a->Repaint();
  EXPECT_EQ(a->paints, before + 1);
  EXPECT_GT(a->lastDpi, 0);
  RasterImage picture = GrabImage(*a);  // what Paint drew reaches the pixels
  ASSERT_EQ(picture.width, a->Width());
  EXPECT_EQ(picture.pixels[static_cast<std::size_t>(5 * picture.width + 5)], 0xFFFFFFFFu);
  before = a->paints;
  a->Invalidate();
  a->Invalidate();
  input::Flush();
  EXPECT_EQ(a->paints, before + 1);  // invalidations are combined into one paint
}

TEST_F(CustomControlTest, KeysArriveAsVirtualKeysThenTypedText) {
  a->SetFocus();
  input::Flush();
  log.clear();
  input::PressKey(*a, 'A', ssShift, "A");
  input::PressKey(*a, vk::Left);
  input::PressKey(*a, vk::Return, 0, "\r");
  input::PressKey(*a, vk::F1 + 1);
  input::PressKey(*a, 'C', ssCtrl, "\x03");
  input::PressKey(*a, vk::Delete);
  // A key with no number of its own that types text comes as the key for typed characters.
  input::PressKey(*a, 0xE9, 0, "\xE9");
  const std::string packet = std::to_string(vk::Packet);
  EXPECT_EQ(log, (std::vector<std::string>{"A: down 65+shift", "A: press 65", "A: up 65", "A: down 37", "A: up 37",
                                           "A: down 13", "A: press 13", "A: up 13", "A: down 113", "A: up 113",
                                           "A: down 67+ctrl", "A: press 3", "A: up 67", "A: down 46", "A: up 46",
                                           "A: down " + packet, "A: press 233", "A: up " + packet}));
}

// Alt + a character goes to the form's custom controls in turn; the one that
// takes it ends the round and the focused control never sees the key.
TEST_F(CustomControlTest, AltCharactersAreOfferedToTheFormsControls) {
  a->SetFocus();
  input::Flush();
  b->takes = 's';
  log.clear();
  input::PressKey(*a, 'S', ssAlt, "s");
  EXPECT_EQ(log, (std::vector<std::string>{"A: dialog char s", "B: dialog char s", "A: up 83"}));
  log.clear();
  // Nobody takes it: the focused control has the key, and an Alt chord types nothing.
  input::PressKey(*a, 'X', ssAlt, "x");
  EXPECT_EQ(log, (std::vector<std::string>{"A: dialog char x", "B: dialog char x", "A: down 88", "A: up 88"}));
  log.clear();
  b->Hide();
  input::PressKey(*a, 'S', ssAlt, "s");
  EXPECT_EQ(log.front(), "A: dialog char s");
  EXPECT_EQ(log[1], "A: down 83");
  log.clear();
  input::PressKey(*a, 'S', ssCtrl | ssAlt, "s");  // not with Ctrl
  EXPECT_EQ(log.front(), "A: down 83+ctrl");
}

TEST_F(CustomControlTest, TabMovesTheFocusUnlessTheControlWantsIt) {
  a->SetFocus();
  input::Flush();
  log.clear();
  input::PressKey(*a, vk::Tab, 0, "\t");
  input::Flush();
  EXPECT_TRUE(b->Focused());
  b->SetWantTabs(true);
  log.clear();
  input::PressKey(*b, vk::Tab, 0, "\t");
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"B: down 9", "B: press 9", "B: up 9"}));
}

TEST_F(CustomControlTest, FocusIsLostBeforeItIsGainedEachNamingTheOther) {
  ASSERT_TRUE(a->Focused());  // the first control of a shown form has the focus
  a->OnEnter = [&] { log.push_back("A: enter"); };
  a->OnExit = [&] { log.push_back("A: exit"); };
  b->OnEnter = [&] { log.push_back("B: enter"); };
  b->OnExit = [&] { log.push_back("B: exit"); };
  b->SetFocus();
  input::Flush();
  input::Click(*a, 5, 5);
  EXPECT_EQ(
      log, (std::vector<std::string>{"A: lost to B", "A: exit", "B: gained from A", "B: enter", "B: lost to A",
                                     "B: exit", "A: gained from B", "A: enter", "A: mouse down L 5,5", "A: mouse up"}));
}

TEST_F(CustomControlTest, MouseClicksAndDoubleClicks) {
  input::Click(*a, 10, 20);
  input::DoubleClick(*a, 11, 21);
  EXPECT_EQ(log,
            (std::vector<std::string>{"A: mouse down L 10,20", "A: mouse up", "A: mouse down L 11,21", "A: mouse up",
                                      "A: dblclick", "A: mouse down L double 11,21", "A: mouse up"}));
}

TEST_F(CustomControlTest, EventsFireBeforeTheControlsOwnHandlingAndMayKeepInputFromIt) {
  a->Events.OnKeyDown = [this](Control&, int& key, ShiftState) {
    log.push_back("A event: down " + std::to_string(key));
    if (key == vk::Escape) key = 0;  // kept from the control
  };
  a->Events.OnKeyPress = [this](Control&, char32_t& ch) {
    log.push_back("A event: press " + rtl::CodePointToUtf8(ch));
    if (ch == 'x') ch = 0;
  };
  a->Events.OnKeyUp = [this](Control&, int& key, ShiftState) { log.push_back("A event: up " + std::to_string(key)); };
  a->Events.OnMouseDown = [this](Control&, MouseButton, ShiftState, int x, int y) {
    log.push_back("A event: mouse down " + std::to_string(x) + "," + std::to_string(y));
  };
  a->Events.OnMouseUp = [this](Control&, MouseButton, ShiftState, int, int) { log.push_back("A event: mouse up"); };
  a->Events.OnClick = [this](Control& sender) { log.push_back(&sender == a ? "A event: click" : "another sender"); };
  a->Events.OnDblClick = [this](Control&) { log.push_back("A event: dblclick"); };
  a->SetFocus();
  input::Flush();
  log.clear();

  input::PressKey(*a, 'Y', 0, "y");
  input::PressKey(*a, 'X', 0, "x");
  input::PressKey(*a, vk::Escape);
  EXPECT_EQ(log, (std::vector<std::string>{"A event: down 89", "A: down 89", "A event: press y", "A: press 121",
                                           "A event: up 89", "A: up 89", "A event: down 88", "A: down 88",
                                           "A event: press x", "A event: up 88", "A: up 88", "A event: down 27",
                                           "A event: up 27", "A: up 27"}));
  log.clear();
  input::Click(*a, 10, 20);
  input::DoubleClick(*a, 11, 21);
  EXPECT_EQ(log, (std::vector<std::string>{"A event: mouse down 10,20", "A: mouse down L 10,20", "A event: click",
                                           "A event: mouse up", "A: mouse up", "A event: mouse down 11,21",
                                           "A: mouse down L 11,21", "A event: click", "A event: mouse up", "A: mouse up",
                                           "A event: dblclick", "A: dblclick", "A event: mouse down 11,21",
                                           "A: mouse down L double 11,21", "A event: mouse up", "A: mouse up"}));
  log.clear();
  // A press dragged off the control and released there is no click.
  input::MouseDown(*a, MouseButton::Left, 10, 10);
  input::MouseUp(*a, MouseButton::Left, 200, 10);
  EXPECT_EQ(std::count(log.begin(), log.end(), "A event: click"), 0);
}

// The frame of a control and what its pixels are: a black line, or the sunken
// edge (shadow and dark shadow above and left, highlight and light below and right).
TEST_F(CustomControlTest, AFrameShrinksTheClientAreaWhereClientCoordinatesStart) {
  auto argb = [](Color c) {
    const Color rgb = ColorToRGB(c);
    return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(rgb)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(rgb)) << 8) | static_cast<std::uint32_t>(BlueOf(rgb));
  };
  struct Case {
    EditBorder frame;
    int width;  // of the frame on each side
    std::vector<std::pair<Point, Color>> pixels;
  };
  const Case cases[] = {
      {EditBorder::None, 0, {{{0, 0}, clWhite}, {{149, 99}, clWhite}}},
      {EditBorder::Single, 1, {{{0, 0}, clWindowFrame}, {{149, 99}, clWindowFrame}, {{1, 1}, clWhite}}},
      {EditBorder::Lowered3D,
       2,
       {{{0, 0}, clBtnShadow},
        {{1, 1}, cl3DDkShadow},
        {{149, 99}, clBtnHighlight},
        {{148, 98}, cl3DLight},
        {{2, 2}, clWhite},
        {{147, 97}, clWhite}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    a->SetFrame(c.frame);
    input::Flush();
    EXPECT_EQ(a->Frame(), c.frame);
    EXPECT_EQ(a->ClientWidth(), 150 - 2 * c.width);
    EXPECT_EQ(a->ClientHeight(), 100 - 2 * c.width);
    const RasterImage picture = GrabImage(*a);
    ASSERT_EQ(picture.width, 150);
    for (const auto& [at, color] : c.pixels)
      EXPECT_EQ(picture.pixels[static_cast<std::size_t>(at.y * picture.width + at.x)], argb(color))
          << at.x << "," << at.y;
    // The mouse, children and the screen position count from inside the frame.
    log.clear();
    input::Click(*a, 0, 0);
    EXPECT_EQ(log.front(), "A: mouse down L 0,0");
    EXPECT_EQ(a->ClientToScreen({0, 0}).x - form->ClientToScreen({0, 0}).x, c.width);
  }
  a->SetFrame(EditBorder::None);
}

TEST_F(CustomControlTest, TimersTickByTheClockAndStopWithTheControl) {
  ManualClock clock(0);
  ScopedManualClock installed(clock);
  EXPECT_TRUE(a->SetTimer(1, 100));
  EXPECT_TRUE(a->SetTimer(2, 250));
  EXPECT_TRUE(b->SetTimer(1, 300));
  clock.Advance(300);
  a->KillTimer(1);
  clock.Advance(200);
  form->RemoveChild(*b);  // its timer goes with it
  clock.Advance(300);
  EXPECT_EQ(log, (std::vector<std::string>{"A: timer 1@100", "A: timer 1@200", "A: timer 2@250", "A: timer 1@300",
                                           "B: timer 1@300", "A: timer 2@500", "A: timer 2@750"}));
  EXPECT_EQ(clock.RunningTimers(), 1);
}

TEST_F(CustomControlTest, PostedMessagesComeFromTheEventLoopAndDieWithTheirControl) {
  a->PostMessage(0x7F08);
  b->PostMessage(0x7F0A, 7);
  a->PostMessage(0x7F09);
  EXPECT_TRUE(log.empty());
  form->RemoveChild(*b);
  input::Flush();
  EXPECT_EQ(log, (std::vector<std::string>{"A: message 32520 0", "A: message 32521 0"}));
}

TEST_F(CustomControlTest, TheCaretIsOneForTheProgram) {
  a->CreateCaret(2, 14);
  EXPECT_TRUE(a->Caret().exists);
  EXPECT_FALSE(a->Caret().Visible());  // made hidden
  a->SetCaretPos(5, 3);
  a->ShowCaret();
  EXPECT_TRUE(a->Caret().Visible());
  a->HideCaret();
  a->HideCaret();
  a->ShowCaret();
  EXPECT_FALSE(a->Caret().Visible());  // hiding counts
  a->ShowCaret();
  EXPECT_TRUE(a->Caret().Visible());
  EXPECT_EQ(a->Caret().position, (Point{5, 3}));
  b->CreateCaret(10, 14, true);  // takes the caret away from A
  EXPECT_FALSE(a->Caret().exists);
  EXPECT_TRUE(b->Caret().gray);
  auto blink = CustomControl::CaretBlinkTime();
  CustomControl::SetCaretBlinkTime(250);
  EXPECT_EQ(CustomControl::CaretBlinkTime(), 250u);
  CustomControl::SetCaretBlinkTime(blink);
  b->DestroyCaret();
  EXPECT_FALSE(b->Caret().exists);
}

TEST_F(CustomControlTest, ScrollBarsTakeClientSpaceAndReportActionsWithoutMovingByThemselves) {
  int fullWidth = a->ClientWidth();
  a->SetScrollRange(ScrollBarKind::Vertical, 0, 100);
  a->SetScrollPage(ScrollBarKind::Vertical, 10);
  a->ShowScrollBar(ScrollBarKind::Vertical, true);
  EXPECT_LT(a->ClientWidth(), fullWidth);
  a->SetScrollPos(ScrollBarKind::Vertical, 30);
  input::Click(*a, a->Width() - 3, a->Height() - 3);  // the down arrow
  EXPECT_EQ(a->ScrollPos(ScrollBarKind::Vertical), 30);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "A: scroll v 1 31");
  a->ShowScrollBar(ScrollBarKind::Vertical, false);
  EXPECT_EQ(a->ClientWidth(), fullWidth);
}

// A control that paints its paint requests white and records their boxes.
class Board : public CustomControl {
 public:
  explicit Board(Control& parent) : CustomControl(parent) {}
  std::vector<Rect> boxes;

 protected:
  void Paint(Canvas& canvas) override {
    boxes.push_back(PaintBox());
    canvas.SetBrush(Brush{clWhite, BrushStyle::Solid});
    canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
  }
};

TEST_F(CustomControlTest, PaintingNowAndTheAreaAScrollMoves) {
  Board& board = form->Add<Board>();
  board.SetBounds(0, 100, 150, 100);
  board.Show();
  input::Flush();
  board.boxes.clear();
  // Drawn at once, without a paint request.
  int drawn = 0;
  board.PaintNow([&drawn](Canvas& canvas) {
    ++drawn;
    canvas.SetBrush(Brush{clBlack, BrushStyle::Solid});
    canvas.FillRect({0, 20, 10, 30});
  });
  EXPECT_EQ(drawn, 1);
  EXPECT_TRUE(board.boxes.empty());
  // Moving the contents of an area up by 10 draws the whole area anew, as a
  // request of its own at the update, not only the strip left at its bottom;
  // outside a request the box is the client area.
  board.ScrollArea(0, -10, {0, 10, 150, 100});
  board.UpdateNow();
  ASSERT_EQ(board.boxes.size(), 1u);
  EXPECT_EQ(board.boxes.front(), (Rect{0, 10, 150, 100}));
  EXPECT_EQ(board.PaintBox(), (Rect{0, 0, 150, 100}));
}

}  // namespace

namespace {

TEST_F(CustomControlTest, PictureCursorsAndTheScrollArrowSize) {
  EXPECT_GT(CustomControl::ScrollArrowSize(), 0);
  RasterImage arrow{2, 2, {0xFF000000, 0, 0xFF000000, 0xFFFFFFFF}};
  a->SetCursorPicture(arrow, 0, 0);
  a->SetCursorPicture(RasterImage{3, 3, {0xFF000000}}, 0, 0);  // too few pixels: the default cursor
  a->SetCursorPicture({}, 0, 0);
  input::Flush();
}

}  // namespace
