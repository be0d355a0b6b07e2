#pragma once
// The style dialogs: small modal dialogs that edit one drawing style of a
// plot (a line, a line with symbols, a symbol, a bar or a quadrilateral). Each
// works on a private copy of the style part (plot/bmStyleEdit.h), shows the
// copy in a preview on the plot area's colour and writes it back to the part
// only on OK; Cancel or the close box leave the part as it was.
//
// The forms only bind their controls to the working copy; the copy rules and
// the previews are the headless editing code's.

#include <functional>
#include <string>

#include "platform/CustomControl.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "plot/bmStyleEdit.h"

// The preview: a paint box that paints through a callback.
class TbmPreviewBox : public plat::CustomControl {
 public:
  explicit TbmPreviewBox(plat::Control& parent);
  std::function<void(plat::Canvas& canvas, plat::Size box)> OnPaint;

 protected:
  void Paint(plat::Canvas& canvas) override;
};

// Texts of a group of pen controls: width spin, colour button and, when it
// has a hint, the line-style list.
struct TbmPenGroupTexts {
  const char* caption;
  const char* widthHint;
  const char* colorHint;
  const char* styleHint;  // null: no style list
};

// Hints of the symbol group: style list, pen width, size, outline and fill colours.
struct TbmSymbolGroupTexts {
  const char* styleHint;
  const char* penWidthHint;
  const char* sizeHint;
  const char* fgHint;
  const char* bgHint;
};

// Texts of a fill group: hatch pattern list, hatch and background colours.
struct TbmFillGroupTexts {
  const char* caption;
  const char* styleHint;
  const char* fgHint;
  const char* bgHint;
};

// What the style dialogs share: OK and Cancel, the preview in a lowered
// panel under the groups of controls, and the groups themselves.
class TbmStyleDlgBase : public plat::Form {
 public:
  plat::Button& OkButton() { return *Ok_; }
  plat::Button& CancelButton() { return *Cancel_; }
  TbmPreviewBox& Preview() { return *Preview_; }
  // After the dialog closed: true when OK changed the part's look.
  bool Changed() const { return Changed_; }
  // The control of that name (bmID_LineWidthSpin and the like); null when none.
  plat::Control* Find(const std::string& name);

 protected:
  // `name` is the form's name; the caption is the caller's.
  TbmStyleDlgBase(const std::string& name, const std::string& caption, int helpContext);

  // The working copy's side, which the dialog of each kind supplies.
  virtual void AcceptEdit() = 0;
  virtual bool CloseEdit() = 0;
  virtual void PaintPreview(plat::Canvas& canvas, plat::Size box) = 0;

  void AddPenGroup(const TbmPenGroupTexts& texts, plat::Pen& pen);
  // dpiX, dpiY: the screen's resolution, for the pixel half sizes of a new size.
  void AddSymbolGroup(const TbmSymbolGroupTexts& texts, TbmSymbolClass& symbol, int dpiX, int dpiY);
  void AddFillGroup(const TbmFillGroupTexts& texts, plat::Brush& hatch, plat::Brush& background);
  // The label "Lines wider than 1 are solid." under the groups.
  void AddWideLinesNote();
  // Places the preview and the buttons under the groups and sizes the form.
  void Finish();
  void RepaintPreview();

 private:
  plat::GroupBox& AddGroup(const std::string& caption, int rows);
  plat::SpinEdit& AddWidthSpin(plat::GroupBox& group, int row, const std::string& label, const std::string& name,
                               const std::string& hint, int& width);
  plat::ComboBox& AddList(plat::GroupBox& group, int row, const std::string& label, const std::string& name,
                          const std::string& hint, const char* const* items, int count, int index,
                          std::function<void(int index)> choose);
  plat::Button& AddButton(plat::GroupBox& group, int row, int column, const std::string& caption,
                          const std::string& name, const std::string& hint, std::function<void()> click);
  plat::Button& AddColorButton(plat::GroupBox& group, int row, int column, const std::string& caption,
                               const std::string& name, const std::string& hint, plat::Color& color);

  plat::Button* Ok_ = nullptr;
  plat::Button* Cancel_ = nullptr;
  TbmPreviewBox* Preview_ = nullptr;
  int NextTop_;
  bool Changed_ = false;
};

// A style dialog over a part of one kind.
template <class Part>
class TbmStyleDlg : public TbmStyleDlgBase {
 public:
  Part& Working() { return Edit_.Working(); }

 protected:
  TbmStyleDlg(const std::string& name, const std::string& caption, int helpContext, Part& part,
              plat::Color background)
      : TbmStyleDlgBase(name, caption, helpContext), Edit_(part, background) {}

  void AcceptEdit() override { Edit_.Accept(); }
  bool CloseEdit() override { return Edit_.Close(); }
  void PaintPreview(plat::Canvas& canvas, plat::Size box) override { Edit_.PaintPreview(canvas, box); }

 private:
  TbmStyleEdit<Part> Edit_;
};

class TbmLineDlg : public TbmStyleDlg<TbmLineClass> {
 public:
  TbmLineDlg(const std::string& caption, TbmLineClass& part, plat::Color background);
};

class TbmLnSymDlg : public TbmStyleDlg<TbmLineSymbolClass> {
 public:
  // dpiX, dpiY: the screen's resolution, for the symbol's pixel half sizes.
  TbmLnSymDlg(const std::string& caption, TbmLineSymbolClass& part, plat::Color background, int dpiX, int dpiY);
};

class TbmSymDlg : public TbmStyleDlg<TbmSymbolClass> {
 public:
  static constexpr int kHelpContext = 2038;
  TbmSymDlg(const std::string& caption, TbmSymbolClass& part, plat::Color background, int dpiX, int dpiY);
};

class TbmBarDlg : public TbmStyleDlg<TbmBarClass> {
 public:
  static constexpr int kHelpContext = 2032;
  TbmBarDlg(const std::string& caption, TbmBarClass& part, plat::Color background);
};

class TbmQuadDlg : public TbmStyleDlg<TbmQuadClass> {
 public:
  static constexpr int kHelpContext = TbmBarDlg::kHelpContext;
  TbmQuadDlg(const std::string& caption, TbmQuadClass& part, plat::Color background);
};

// Runs the dialog that fits a registered style's kind modally, with the
// caption, the preview background and help context 1, and frees it. True when
// OK changed the style. Text styles have no dialog here (false).
bool RunStyleDialog(TbmStyleEntry& entry, const std::string& caption, plat::Color background, int dpiX, int dpiY);
