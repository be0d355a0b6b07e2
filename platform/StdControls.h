#pragma once
// The standard controls the programs' forms are made of. Each takes its parent
// in the constructor (use parent.Add<T>(...)). Events are plain callbacks. As on
// the platform, an edit's or spin edit's OnChange and a check box's OnClick also
// run when a program changes the value; setting a combo box's or list box's
// item index or text does not fire OnChange.
// Implemented in platform/qt/.

#include "platform/Control.h"
#include "platform/Clipboard.h"
#include "platform/Types.h"

#include <functional>
#include <string>
#include <vector>

namespace plat {

enum class TextAlign { Left, Right, Center };
enum class Bevel { None, Lowered, Raised };

// A push button. With a modal result, a click sets its form's ModalResult.
// The stock kinds bring their caption, glyph and modal result; a close button
// without a click handler closes its form (with one, the handler does).
enum class ButtonKind { Custom, OK, Cancel, Help, Close, Yes, No, Ignore, Abort, Retry };
class Button : public Control {
 public:
  explicit Button(Control& parent, const std::string& caption = {});
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetKind(ButtonKind kind);
  void SetGlyphResource(const std::string& resourceName);
  void SetModalResult(ModalResult result) { modalResult_ = result; }
  void SetDefault(bool isDefault);
  // A cancel button is clicked by the Escape key anywhere on its form.
  void SetCancel(bool isCancel);
  bool IsCancel() const { return cancel_; }
  void Click();
  std::function<void()> OnClick;

 private:
  ButtonKind kind_ = ButtonKind::Custom;
  ModalResult modalResult_ = mrNone;
  bool cancel_ = false;
};
using BitBtn = Button;

// A flat tool button with a glyph; buttons of one group index stay down one at a time.
class SpeedButton : public Control {
 public:
  explicit SpeedButton(Control& parent);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  // The face from a named bitmap resource; an empty name leaves it blank.
  void SetGlyphResource(const std::string& resourceName);
  void SetGlyph(const RasterImage& image);
  void SetGroupIndex(int group);
  void SetAllowAllUp(bool allow);
  bool Down() const;
  void SetDown(bool down);
  void Click();
  std::function<void()> OnClick;

 private:
  int group_ = 0;
  bool allowAllUp_ = false;
};

class Label : public Control {
 public:
  explicit Label(Control& parent, const std::string& caption = {});
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetAlignment(TextAlign align);
  void SetWordWrap(bool wrap);
  // The control the label's accelerator ('&' and a letter) gives the focus to.
  void SetFocusControl(Control& control);
};

// The keys and typed characters of an edit (or a combo box, with its edit
// part), offered to the control's own handling before the toolkit sees them.
class KeyHooks {
 public:
  virtual ~KeyHooks() = default;
  // A key pressed on the control: set `key` to 0 to keep it (and the text it
  // types) from the edit.
  virtual void KeyDown(int& /*key*/, ShiftState /*shift*/) {}
  // One call per typed character (a Unicode code point) before the edit takes it: set `ch` to 0 to
  // drop it. A dropped control character (Tab, Enter, Esc) goes on as the key
  // it is, to the form's focus order and buttons.
  virtual void KeyPress(char32_t& /*ch*/) {}
  // After the edit took a typed character.
  virtual void KeyTyped(char32_t /*ch*/) {}
};

class Edit : public Control, public KeyHooks {
 public:
  explicit Edit(Control& parent);
  std::string Text() const;
  void SetText(const std::string& text);
  std::string Caption() const override { return Text(); }
  void SetCaption(const std::string& caption) override { SetText(caption); }
  // The longest text that can be typed (a new edit takes 32767); 0 lets
  // nothing be typed. A longer text is cut.
  void SetMaxLength(int length);
  void SetReadOnly(bool readOnly);
  void SelectAll();
  // The selection from SelStart to SelEnd; both are the caret's position when nothing is selected.
  int SelStart() const;
  int SelEnd() const;
  // Selects `start` .. `end`, the caret at `end`.
  void SetSelection(int start, int end);
  void SetBorder(EditBorder border);
  EditBorder Border() const { return border_; }
  std::function<void()> OnChange;
  std::function<void()> OnDblClick;

 private:
  EditBorder border_ = EditBorder::Lowered3D;
};

class Memo : public Control {
 public:
  explicit Memo(Control& parent);
  // Lines and text in Windows-1252; the text joins lines with CR LF.
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  std::string Text() const;
  void SetText(const std::string& text);
  void SetReadOnly(bool readOnly);
  void SetWordWrap(bool wrap);
  std::function<void()> OnChange;
};

class CheckBox : public Control {
 public:
  explicit CheckBox(Control& parent, const std::string& caption = {});
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  bool Checked() const;
  void SetChecked(bool checked);
  std::function<void()> OnClick;
};

// A framed group of radio buttons, one per item, laid out in columns.
class RadioGroup : public Control {
 public:
  explicit RadioGroup(Control& parent, const std::string& caption = {});
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetItems(const std::vector<std::string>& items);
  const std::vector<std::string>& Items() const { return items_; }
  void SetColumns(int columns);
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::function<void()> OnClick;

 private:
  void Rebuild();
  std::vector<std::string> items_;
  int columns_ = 1;
};

// With an edit part: DropDown (and a list that drops down) and Simple (the
// list shown below it). Without: DropDownList and the two owner-draw styles,
// whose items (in the list and in the closed box) the program draws with
// OnDrawItem; with OwnerDrawVariable OnMeasureItem tells each item's height.
enum class ComboStyle { DropDown, DropDownList, Simple, OwnerDrawFixed, OwnerDrawVariable };

// How an owner-drawn item shows: chosen in the list, with the focus, or in the closed box.
struct DrawItemState {
  bool selected = false;
  bool focused = false;
  bool comboBoxEdit = false;
};
// Draws item `index` in `rect` of the canvas, which comes filled with the
// item's background and holds the control's font in the item's text colour.
using DrawItemEvent =
    std::function<void(Control& sender, Canvas& canvas, int index, Rect rect, DrawItemState state)>;
// `height` comes as the toolkit's height for the item.
using MeasureItemEvent = std::function<void(Control& sender, int index, int& height)>;
class ComboBox : public Control, public KeyHooks {
 public:
  explicit ComboBox(Control& parent, ComboStyle style = ComboStyle::DropDown);
  ComboStyle Style() const { return style_; }
  bool HasEditPart() const { return style_ == ComboStyle::DropDown || style_ == ComboStyle::Simple; }
  void SetItems(const std::vector<std::string>& items);
  std::vector<std::string> Items() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string Text() const;
  void SetText(const std::string& text);
  // The edit part's typing limit, as Edit's.
  void SetMaxLength(int length);
  // The edit part's selection, as Edit's; 0 and 0 without an edit part.
  int SelStart() const;
  int SelEnd() const;
  // How many items the dropped-down list shows before it scrolls.
  void SetDropDownCount(int count);
  void SetBorder(EditBorder border);
  EditBorder Border() const { return border_; }
  bool DroppedDown() const;
  void SetDroppedDown(bool down);
  // Runs when the user picks an item or edits the text.
  std::function<void()> OnChange;
  // Runs when the list is about to drop down.
  std::function<void()> OnDropDown;
  std::function<void()> OnDblClick;
  // Owner-drawn items (the owner-draw styles only).
  DrawItemEvent OnDrawItem;
  MeasureItemEvent OnMeasureItem;
  bool OwnerDrawn() const { return style_ == ComboStyle::OwnerDrawFixed || style_ == ComboStyle::OwnerDrawVariable; }

 private:
  ComboStyle style_;
  EditBorder border_ = EditBorder::Lowered3D;
};

class ListBox : public Control {
 public:
  explicit ListBox(Control& parent);
  void SetItems(const std::vector<std::string>& items);
  std::vector<std::string> Items() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
};

// A pair of arrow buttons, up over down, with no value of its own: the form
// decides what each click changes.
class SpinButton : public Control {
 public:
  explicit SpinButton(Control& parent);
  // Runs the arrow's action as a click on it would.
  void ClickUp();
  void ClickDown();
  std::function<void()> OnUpClick;
  std::function<void()> OnDownClick;
};

// A radio button; the radio buttons of one parent are checked one at a time.
// OnClick runs when the user checks one that was not checked (or Click does),
// not when a program sets the check.
class RadioButton : public Control {
 public:
  explicit RadioButton(Control& parent, const std::string& caption = {});
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  bool Checked() const;
  void SetChecked(bool checked);
  void Click();
  std::function<void()> OnClick;

 private:
  bool settingCheck_ = false;
};

class SpinEdit : public Control {
 public:
  explicit SpinEdit(Control& parent);
  int Value() const;
  void SetValue(int value);
  void SetRange(int minValue, int maxValue);
  int MinValue() const;
  int MaxValue() const;
  void SetIncrement(int increment);
  // With the editor disabled the value changes only by the arrows.
  void SetEditorEnabled(bool enabled);
  std::function<void()> OnChange;
};

class ProgressGauge : public Control {
 public:
  explicit ProgressGauge(Control& parent);
  void SetRange(int minValue, int maxValue);
  int Progress() const;
  void SetProgress(int value);
  void SetForeColor(Color color);
};

// Containers: children placed inside them.
class Panel : public Control {
 public:
  explicit Panel(Control& parent, const std::string& caption = {});
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetBevels(Bevel outer, Bevel inner);
  void SetAlignment(TextAlign align);
};

class GroupBox : public Control {
 public:
  explicit GroupBox(Control& parent, const std::string& caption = {});
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
};

class TabSheet : public Control {
 public:
  TabSheet(Control& pageControl, const std::string& caption);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
};

// Tab pages: AddPage makes a sheet that holds the controls of that page.
class PageControl : public Control {
 public:
  explicit PageControl(Control& parent);
  TabSheet& AddPage(const std::string& caption);
  int PageCount() const;
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  std::function<void()> OnChange;
};

// A bar at the bottom of a form: one simple text, or panels of given widths.
class StatusBar : public Control {
 public:
  explicit StatusBar(Control& parent);
  std::string SimpleText() const;
  void SetSimpleText(const std::string& text);
  void SetPanels(const std::vector<int>& widths);
  void SetPanelText(int index, const std::string& text);
  std::string PanelText(int index) const;
};

class Image : public Control {
 public:
  explicit Image(Control& parent);
  void SetPictureResource(const std::string& resourceName);
  void SetPicture(const RasterImage& image);
  void SetStretch(bool stretch);
};

}  // namespace plat
