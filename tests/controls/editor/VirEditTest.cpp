// The editor control offscreen, driven by real key and mouse events.

#include "controls/editor/forms/VirEdit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "controls/base/VirCmd.h"
#include "tests/controls/base/BindingKeys.h"
#include "tests/controls/base/Utf8KeyCases.h"
#include "platform/Clipboard.h"
#include "platform/Snapshot.h"
#include "platform/SystemColors.h"
#include "platform/record/ManualClock.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;

class VirEditTest : public platform_test::WindowTest {
 protected:
  void SetUp() override {
    form = &CreateForm<Form>("ListingF");
    form->SetBounds(40, 40, 420, 260);
    controller = &form->AddComponent<TVirController>();
    editor = &form->Add<TVirEditor>();
    editor->FixedFont().SetName("Courier New");
    editor->FixedFont().SetSize(10);
    editor->SetBounds(0, 0, 400, 200);
    form->ShowForm();
    input::Flush();
    editor->SetFocus();
    input::Flush();
  }
  // The text as paragraphs joined by '|'.
  std::string Text() const {
    std::string text;
    for (std::int32_t n = 1; n <= editor->Paragraphs().ParagraphCount(); ++n) {
      if (n > 1) text += '|';
      text += editor->Paragraphs().GetParagraph(n)->Text();
    }
    return text;
  }
  void Fill(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + (i < lines ? "\r\n" : "");
    editor->InsertTextAtCaret(text);
    editor->MoveCaretToLineCol(1, 1);
    input::Flush();
  }
  // The client point of a line and column of the text as it shows now.
  int X(int column) const {
    return editor->LeftMargin() + (column - 1 - editor->LeftColumn()) * editor->CharWidth() + 1;
  }
  int Y(int line) const { return (line - editor->TopLine()) * editor->LineHeight() + editor->LineHeight() / 2; }

  Form* form = nullptr;
  TVirController* controller = nullptr;
  TVirEditor* editor = nullptr;
};

TEST_F(VirEditTest, CaretKeysStepOverWholeUtf8Characters) {
  for (const utf8_keys::Case& c : utf8_keys::kCases) {
    SCOPED_TRACE(c.name);
    editor->ClearText();
    editor->InsertTextAtCaret(c.text);
    utf8_keys::Press(*editor, c.keys);
    input::TypeText(*editor, c.typed);
    EXPECT_EQ(Text(), c.result);
    EXPECT_EQ(editor->CaretColumn(), c.column);
  }
  // A tab stop counts characters too: the letter takes one column, so x shows in column 9.
  editor->ClearText();
  editor->InsertTextAtCaret("\xC3\xA9\tx");
  input::PressKey(*editor, vk::End);
  EXPECT_EQ(editor->CaretColumn(), 10);
  EXPECT_EQ(editor->ReadParagraph(1), "\xC3\xA9       x");
}

TEST_F(VirEditTest, LettersOfOtherLayoutsKeepTheLinesEncoding) {
  for (const utf8_keys::TypedCase& c : utf8_keys::kTypedCases) {
    SCOPED_TRACE(c.name);
    editor->ClearText();
    editor->InsertTextAtCaret(c.text);
    utf8_keys::TypeLetter(*editor, c);
    EXPECT_EQ(Text(), c.result);
  }
  // Each line keeps its own encoding.
  editor->ClearText();
  editor->InsertTextAtCaret("Z\xFCrich\r\nZ\xC3\xBCrich");
  input::PressLayoutKey(*editor, utf8_keys::kKeyEacute, "\xC3\xA9");
  editor->MoveCaretToLineCol(1, 1);
  input::PressLayoutKey(*editor, utf8_keys::kKeyEacute, "\xC3\xA9");
  EXPECT_EQ(Text(), "\xE9Z\xFCrich|Z\xC3\xBCrich\xC3\xA9");
}

// BorderStyle bsSingle draws the sunken edge with Ctl3D (a black line
// without it); bsNone draws none. A click lands on the text as it shows.
TEST_F(VirEditTest, TheBorderIsDrawnAndTheTextStartsInsideIt) {
  auto corner = [this] {
    const RasterImage image = GrabImage(*editor);
    const std::uint32_t p = image.pixels[0];
    return RGB(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
  };
  EXPECT_EQ(editor->BorderStyle(), TBorderStyle::bsSingle);
  EXPECT_EQ(editor->Frame(), EditBorder::Lowered3D);
  EXPECT_EQ(corner(), ColorToRGB(clBtnShadow));
  const int framed = editor->ClientWidth();
  editor->SetCtl3D(false);
  EXPECT_EQ(editor->Frame(), EditBorder::Single);
  EXPECT_EQ(corner(), ColorToRGB(clWindowFrame));
  editor->SetBorderStyle(TBorderStyle::bsNone);
  EXPECT_EQ(editor->Frame(), EditBorder::None);
  EXPECT_EQ(editor->ClientWidth(), framed + 4);
  editor->SetBorderStyle(TBorderStyle::bsSingle);
  Fill(5);
  input::Click(*editor, X(3), Y(2));
  EXPECT_EQ(editor->CaretLine(), 2);
  EXPECT_EQ(editor->CaretColumn(), 3);
}

TEST_F(VirEditTest, TypingBackspaceDeleteAndEnter) {
  input::TypeText(*editor, "abc");
  input::PressKey(*editor, vk::Return, 0, "\r");
  input::TypeText(*editor, "de");
  EXPECT_EQ(Text(), "abc|de");
  input::PressKey(*editor, vk::Home);
  input::PressKey(*editor, vk::Back, 0, "\b");  // at a paragraph start: joins
  EXPECT_EQ(Text(), "abcde");
  EXPECT_EQ(editor->CaretTextPos(), (TTextPos{1, 4}));
  input::PressKey(*editor, vk::Return, 0, "\r");
  input::PressKey(*editor, vk::Up);
  input::PressKey(*editor, vk::End);
  input::PressKey(*editor, vk::Delete);  // at a paragraph end: joins the next
  EXPECT_EQ(Text(), "abcde");
  input::PressKey(*editor, vk::End, ssCtrl);
  input::PressKey(*editor, vk::Delete);  // at the end of the text: nothing
  EXPECT_EQ(Text(), "abcde");
  input::PressKey(*editor, vk::Insert);
  EXPECT_FALSE(editor->InsertMode());
  input::PressKey(*editor, vk::Home);
  input::TypeText(*editor, "XY");
  EXPECT_EQ(Text(), "XYcde");
}

TEST_F(VirEditTest, ClipboardUndoAndRedoByKeys) {
  input::TypeText(*editor, "copy me");
  input::PressKey(*editor, vk::Home, ssShift);
  input::PressKey(*editor, 'C', ssCtrl, "\x03");
  EXPECT_EQ(TheClipboard().GetText(), "copy me");
  input::PressKey(*editor, vk::End);
  input::PressKey(*editor, vk::Return, 0, "\r");
  input::PressKey(*editor, 'V', ssCtrl, "\x16");
  EXPECT_EQ(Text(), "copy me|copy me");
  input::PressKey(*editor, 'Z', ssCtrl, "\x1A");
  EXPECT_EQ(Text(), "copy me|");
  input::PressKey(*editor, 'Z', ssCtrl | ssShift, "\x1A");
  EXPECT_EQ(Text(), "copy me|copy me");
}

TEST_F(VirEditTest, BookmarksAndPageKeys) {
  Fill(60);
  input::PressKey(*editor, vk::Down);
  input::PressKey(*editor, vk::Right);
  input::PressKey(*editor, '3', ssCtrl | ssShift);
  EXPECT_EQ(editor->Paragraphs().Marker(3), (TMarker{2, 2}));
  const int rows = editor->VisibleRowCount();
  input::PressKey(*editor, vk::Next);
  EXPECT_EQ(editor->CaretLine(), 2 + rows - 1);
  EXPECT_EQ(editor->TopLine(), rows);
  input::PressKey(*editor, vk::End, ssCtrl);
  EXPECT_EQ(editor->CaretLine(), 60);
  input::PressKey(*editor, '3', ssCtrl);
  EXPECT_EQ(editor->CaretTextPos(), (TTextPos{2, 2}));
  EXPECT_EQ(editor->TopLine(), 2);
  input::PressKey(*editor, vk::Prior);
  EXPECT_EQ(editor->CaretLine(), 1);
}

// What a key or a command changed: the text, caret, selection, bookmarks,
// insert mode and clipboard.
struct EditorState {
  std::string text;
  TTextPos caret;
  std::string selected;
  std::vector<TMarker> markers;
  bool insertMode;
  std::string clipboard;
  friend bool operator==(const EditorState&, const EditorState&) = default;
};

void PrintTo(const EditorState& s, std::ostream* os) {
  *os << '"' << s.text << "\" caret " << s.caret.para << ':' << s.caret.pos << " selected \"" << s.selected
      << "\" insert " << s.insertMode << " clipboard \"" << s.clipboard << "\" markers";
  for (const TMarker& m : s.markers) *os << ' ' << m.para << ':' << m.pos;
}

// Every binding of the built-in command tables, pressed as the keyboard
// reports it (Ctrl+Shift+1 comes as '!' with its text), does what its command
// does and types nothing besides.
TEST_F(VirEditTest, EveryBuiltInBindingDoesItsCommandAndTypesNothing) {
  editor->SetWantTab(true);
  auto reset = [this] {
    editor->ClearText();
    editor->InsertTextAtCaret("alpha beta\r\ngamma delta\r\nepsilon");
    for (int n = 0; n < 10; ++n) editor->SetMarkerAt(n, 1 + n % 3, 1 + n);
    editor->MoveCaretToLineCol(2, 4);
    editor->SetInsertMode(true);
    ClipboardContent clip;
    clip.text = "clip";
    TheClipboard().Set(clip);
  };
  auto state = [this] {
    EditorState s{Text(), editor->CaretTextPos(), editor->SelectedText(),
                  {},     editor->InsertMode(),   TheClipboard().GetText()};
    for (int n = 0; n < 10; ++n) s.markers.push_back(editor->Paragraphs().Marker(n));
    return s;
  };
  TVirCommandProcessor& commands = controller->EntryCommands();
  for (const char* table : {"Default", "WordStar", "Grid"}) {
    for (int i = 0; i < commands.TableCount(); ++i) commands.Table(i).IsActive = commands.Table(i).TableName == table;
    for (const TVirCmdRec& binding : *BuiltInCommands(table)) {
      reset();
      commands.ResetState();
      binding_keys::Press(*editor, binding);
      const EditorState byKeys = state();
      reset();
      editor->DoCommand(binding.Cmd, 0);
      EXPECT_EQ(byKeys, state()) << table << ": " << CommandName(binding.Cmd) << " on key " << int(binding.Key1)
                                 << " shift " << int(binding.SS1) << " then " << int(binding.Key2);
    }
  }
}

TEST_F(VirEditTest, ClicksShiftClicksAndMarginLines) {
  Fill(8);
  input::Click(*editor, X(3), Y(2));
  EXPECT_EQ(editor->CaretTextPos(), (TTextPos{2, 3}));
  input::MouseDown(*editor, MouseButton::Left, X(5), Y(4), ssShift);
  input::MouseUp(*editor, MouseButton::Left, X(5), Y(4), ssShift);
  EXPECT_EQ(editor->SelectedText(), "ne 2\r\nline 3\r\nline");
  // Over the margin a click selects the line, and a drag whole lines.
  input::MouseDown(*editor, MouseButton::Left, 3, Y(5));
  EXPECT_EQ(editor->SelectedText(), "line 5\r\n");
  input::MouseMove(*editor, 3, Y(6));
  input::MouseUp(*editor, MouseButton::Left, 3, Y(6));
  EXPECT_EQ(editor->SelectedText(), "line 5\r\nline 6\r\n");
  input::DoubleClick(*editor, X(2), Y(7));
  EXPECT_EQ(editor->SelectedText(), "line ");
}

TEST_F(VirEditTest, DragBelowTheWindowScrollsFromATimer) {
  Fill(100);
  ManualClock clock(0);
  ScopedManualClock ticking(clock);
  input::MouseDown(*editor, MouseButton::Left, X(1), Y(1));
  const int below = editor->Height() + 10;  // under the window and its scroll bar
  input::MouseMove(*editor, X(3), below);
  const std::int32_t top = editor->TopLine();
  EXPECT_EQ(top, 2);
  clock.Advance(1000);
  EXPECT_GT(editor->TopLine(), top + 10);
  input::MouseUp(*editor, MouseButton::Left, X(3), below);
  const std::int32_t stopped = editor->TopLine();
  clock.Advance(1000);
  EXPECT_EQ(editor->TopLine(), stopped);
  EXPECT_EQ(editor->SelectionBegin(), (TTextPos{1, 1}));
  EXPECT_EQ(editor->CaretLine(), stopped + editor->VisibleRowCount() - 1);
}

TEST_F(VirEditTest, ThumbDragsScrollTheWindowNotTheCaret) {
  Fill(100);
  editor->DispatchScroll(ScrollBarKind::Vertical, ScrollCode::ThumbTrack, 40);
  EXPECT_EQ(editor->TopLine(), 40);
  EXPECT_EQ(editor->ScrollPos(ScrollBarKind::Vertical), 40);
  EXPECT_EQ(editor->CaretTextPos(), (TTextPos{1, 1}));
  editor->DispatchScroll(ScrollBarKind::Vertical, ScrollCode::ThumbTrack, editor->VerticalBar().max);
  EXPECT_EQ(editor->TopLine(), 100 - editor->VisibleRowCount() + 1);
  EXPECT_TRUE(editor->ScrollBarVisible(ScrollBarKind::Vertical));
}

TEST_F(VirEditTest, InsertModeIsSharedThroughTheController) {
  input::PressKey(*editor, vk::Insert);
  auto& other = form->Add<TVirEditor>();
  other.SetBounds(0, 200, 400, 40);
  other.Show();
  other.SetFocus();
  input::Flush();
  EXPECT_FALSE(controller->InsertMode());
  EXPECT_FALSE(other.InsertMode());
  EXPECT_FALSE(other.Carets().InsertMode());
}

// Saves the editor as a test artefact and compares it with the stored picture.
void SaveAndCompare(Control& control, const std::string& name) {
  const std::string made = std::string(MORVA_ARTEFACTS) + "/controls/editor/" + name;
  std::filesystem::create_directories(std::filesystem::path(made).parent_path());
  ASSERT_TRUE(SaveSnapshot(control, made));
  const std::string stored = std::string(MORVA_FIXTURES) + "/controls/editor/" + name;
  ASSERT_TRUE(std::filesystem::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
  const ImageDifference diff = CompareImages(made, stored);
  ASSERT_TRUE(diff.loaded);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LT(diff.meanDelta, 4.0) << name;
}

// A listing excerpt with a selection and two bookmarks, and a long paragraph
// with word wrap on, as a person sees them.
TEST_F(VirEditTest, Showcase) {
  const std::uint32_t blink = CustomControl::CaretBlinkTime();
  CustomControl::SetCaretBlinkTime(0);
  editor->InsertTextAtCaret(
      "SAHN -- Sequential, agglomerative, hierarchical and nested clustering\r\n"
      "\r\n"
      "Input matrix: DIST.QMX (12 x 12, dissimilarity)\r\n"
      "Clustering method: UPGMA\r\n"
      "\r\n"
      "Level    Clusters joined\r\n"
      " 0.1250     3     7\r\n"
      " 0.2500     1     4\r\n"
      " 0.3333     2     9\r\n"
      " 0.4167     5    11\r\n"
      " 0.5000     1     2\r\n");
  editor->MoveCaretToLineCol(7, 1);
  editor->SetMarker(1);
  editor->MoveCaretToLineCol(9, 1);
  editor->SetMarker(2);
  editor->SetSelectionRange(7, 2, true, 20, 9);
  editor->SetTopLine(1);
  input::Flush();
  SaveAndCompare(*editor, "editor-listing.png");

  editor->ClearText();
  editor->SetWordWrap(true);
  editor->SetWrapToWindow(true);
  editor->InsertTextAtCaret(
      "With word wrap on, a long paragraph breaks at the blanks that fit the window, and the lines that "
      "follow it move down.\r\nA second-paragraph-with-hyphens-breaks-after-a-hyphen-when-no-blank-fits-the-line.");
  input::Flush();
  EXPECT_EQ(editor->WrapColumn(), editor->VisibleColumnCount() - 2);
  EXPECT_GT(editor->CountParagraphs(), 3);
  SaveAndCompare(*editor, "editor-wordwrap.png");
  CustomControl::SetCaretBlinkTime(blink);
}

}  // namespace
