#pragma once
// The tabbed notebook apart from its window: the pages with their tab
// properties, the tab layout in rows, the rules of the active page (which
// pages can be shown, page changes that handlers may refuse, inserting and
// deleting pages), key navigation and accelerators, and the hit tests of the
// mouse. Page windows, focus, painting and events go through TNotebookView, so
// every rule runs from a test without a window.
//
// Page indexes count from 0. A page is usable when its index names a page,
// the page is enabled and its tab is visible. PageIndex is -1 (no page shown)
// or the index of a page; the page it names is shown, every other page hidden.

#include <memory>
#include <string>
#include <vector>

#include "platform/Canvas.h"

enum TTabOrientation { toTop, toRight };
// bsAutoDetect draws in the 3-D style, as bsNew does.
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

class TNotebookModel;

// A page as the notebook's rules see it. The notebook's page windows derive
// from it; the notebook owns its pages.
class TNbkPage {
 public:
  TNbkPage() = default;
  virtual ~TNbkPage() = default;
  TNbkPage(const TNbkPage&) = delete;
  TNbkPage& operator=(const TNbkPage&) = delete;

  // The tab's title; an '&' marks the accelerator.
  const std::string& PageCaption() const { return caption_; }
  void SetPageCaption(const std::string& caption);
  bool PageEnabled() const { return enabled_; }
  void SetPageEnabled(bool enabled);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool visible);
  plat::Color TabTextColor() const { return tabTextColor_; }
  void SetTabTextColor(plat::Color color);
  const std::string& PageHint() const { return hint_; }
  void SetPageHint(const std::string& hint) { hint_ = hint; }
  int PageHelpContext() const { return helpContext_; }
  void SetPageHelpContext(int context) { helpContext_ = context; }

  // The tab row the page stands in (0 is the first row of the layout).
  int Row() const { return row_; }
  // The tab's rectangle in the notebook, as the last painting placed it.
  const plat::Rect& TabRect() const { return tabRect_; }
  void SetTabRect(const plat::Rect& rect) { tabRect_ = rect; }

 private:
  friend class TNotebookModel;
  TNotebookModel* owner_ = nullptr;
  std::string caption_;
  bool enabled_ = true;
  bool tabVisible_ = true;
  plat::Color tabTextColor_ = plat::clBlack;  // the control gives its pages the desktop's button text
  std::string hint_;
  int helpContext_ = 0;
  int row_ = 0;
  plat::Rect tabRect_;
  plat::Rect bounds_;  // where the page window was last placed
};

// What the notebook's window does for the rules. Every hook has a harmless
// default, so tests override only what they watch.
class TNotebookView {
 public:
  virtual ~TNotebookView() = default;

  // A new page object; the window makes a page window.
  virtual std::unique_ptr<TNbkPage> CreatePage() { return std::make_unique<TNbkPage>(); }
  // The page is shown and brought to the front, or hidden.
  virtual void ShowPage(TNbkPage& /*page*/) {}
  virtual void HidePage(TNbkPage& /*page*/) {}
  // The hidden page gives up its window (to save resources).
  virtual void ReleasePageWindow(TNbkPage& /*page*/) {}
  // The page window gets new bounds in the notebook.
  virtual void PlacePage(TNbkPage& /*page*/, const plat::Rect& /*bounds*/) {}
  // The form's active control, when it lies on the page, stops being active.
  virtual void LeavePage(TNbkPage& /*page*/) {}
  // Gives the focus to the first control of the page that can take it; false when none can.
  virtual bool FocusFirstControlOn(TNbkPage& /*page*/) { return false; }

  virtual plat::Size NotebookSize() const { return {220, 185}; }
  // The notebook is aligned in its parent (it lays out its pages at once).
  virtual bool Aligned() const { return false; }
  // Visible and enabled: it answers its accelerators.
  virtual bool TakesAccelerators() const { return true; }
  virtual bool HasFocus() const { return false; }
  virtual bool CanTakeFocus() const { return true; }
  virtual void TakeFocus() {}
  // Painting: everything, or one area now.
  virtual void RepaintAll() {}
  virtual void RepaintNow(const plat::Rect& /*area*/) {}
  // The notebook's help context and hint follow the active page's.
  virtual void EchoHelpContext(int /*context*/) {}
  virtual void EchoHint(const std::string& /*hint*/) {}
  // A scalable outline font (the only kind that can be turned).
  virtual bool IsOutlineFont(const plat::Font& /*font*/) const { return true; }

  // Events. PageChanging may refuse the change by clearing `allow`.
  virtual void PageChanging(int /*index*/, bool& /*allow*/) {}
  virtual void PageChanged(int /*index*/) {}
  virtual void TabClicked(int /*index*/) {}
  virtual void MouseOverTab(int /*index*/) {}
  virtual void UserCommand(int /*command*/) {}
};

// How many rows of tabs, how many tabs in each, and the tab sizes that fit.
struct TNbkRows {
  int rows = 1;
  int perRow = 0;
  int tabWidth = 0;
  int tabIndent = 0;
  friend bool operator==(const TNbkRows&, const TNbkRows&) = default;
};

// Lays `pageCount` tabs out in rows along `room` pixels. With `rowCount` > 0
// the rows are fixed and the tab width shrinks until the rows fit (the indent
// goes when the room cannot hold it); with 0 the rows grow until they fit or
// every tab has a row of its own. The width never goes below 0.
TNbkRows LayoutTabRows(int pageCount, int room, int rowCount, int tabWidth, int tabIndent);

// The keys the notebook moves with (the commands the controller translates them to).
enum class TNbkKey { Left, Right, Up, Down, Home, End };

class TNotebookModel {
 public:
  // A new notebook: no pages yet (the control adds its first three).
  explicit TNotebookModel(TNotebookView& view);
  ~TNotebookModel();
  TNotebookModel(const TNotebookModel&) = delete;
  TNotebookModel& operator=(const TNotebookModel&) = delete;

  // --- Pages ---------------------------------------------------------------
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // EInvalidPageIndex outside 0 .. count - 1.
  TNbkPage& PageAt(int index) const;
  // '' outside 0 .. count - 1.
  std::string PageHintAt(int index) const;
  // An empty rectangle outside 0 .. count - 1.
  plat::Rect TabRectAt(int index) const;
  bool IsUsable(int index) const;

  // Inserts a page at `index` (0 .. count; count appends; else
  // EInvalidPageIndex). The active page stays active, its index moving on
  // without page-change events.
  TNbkPage& InsertPage(const std::string& caption, int index);
  // Removes a page; EInvalidPageIndex unless the index names a page and
  // another page remains. PageIndex keeps its value when a usable page stands
  // there now (shown without events); otherwise the next usable page is
  // selected, or none (-1).
  void DeletePage(int index);

  // Frees the page, also the last one; the active index is mended as by DeletePage.
  void RemovePage(int index);
  void ClearPages();
  // The pages change places; the shown page stays shown.
  void ExchangePages(int index1, int index2);
  // The first page of that caption, compared without case; -1 when none.
  int IndexOfCaption(const std::string& caption) const;

  // --- The active page -------------------------------------------------------
  int PageIndex() const { return pageIndex_; }
  // Selects a page: OnPageChange may refuse, OnPageChanged follows; an
  // unusable page raises EInvalidPageIndex.
  void SetPageIndex(int index);
  std::string ActivePageName() const;
  void SetActivePageName(const std::string& caption);
  // Properties of the active page (nothing happens when none is active).
  std::string PageName() const;
  void SetPageName(const std::string& caption);
  bool PageEnabled() const;
  // Disabling the active page selects the previous usable page; when there is
  // none the page stays enabled and EInvalidPageIndex is raised.
  void SetPageEnabled(bool enabled);
  std::string PageHint() const;
  void SetPageHint(const std::string& hint);
  int PageHelpContext() const;
  void SetPageHelpContext(int context);
  plat::Color TabTextColor() const;
  void SetTabTextColor(plat::Color color);
  int DefaultPageIndex() const { return defaultPageIndex_; }
  void SetDefaultPageIndex(int index);

  // --- Tabs --------------------------------------------------------------------
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int height);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int width);
  int TabIndent() const { return tabIndent_; }
  // 0 .. TabWidth - TabWidth div 2; other values are ignored.
  void SetTabIndent(int indent);
  int TabRowCount() const { return tabRowCount_; }
  // 0 (as many as needed) .. page count; the tabs are laid out again in any case.
  void SetTabRowCount(int count);
  bool TabAutoHeight() const { return tabAutoHeight_; }
  void SetTabAutoHeight(bool autoHeight);
  TTabOrientation TabOrientation() const { return orientation_; }
  // toRight needs outline fonts: EInvalidTabFont, and the orientation stays.
  void SetTabOrientation(TTabOrientation orientation);
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle style);
  bool ThreeD() const { return style_ != bsWin31; }
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool ctl3D);

  // --- Look ------------------------------------------------------------------
  const plat::Font& Font() const { return font_; }
  const plat::Font& ActiveTabFont() const { return activeTabFont_; }
  // With tabs on the right a font that is not an outline font gets the name
  // "Courier New" and raises EInvalidTabFont.
  void SetFont(const plat::Font& font);
  void SetActiveTabFont(const plat::Font& font);
  plat::Color Color() const { return color_; }
  void SetColor(plat::Color color);
  plat::Color HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(plat::Color color);
  plat::Color ShadowColor() const { return shadowColor_; }
  void SetShadowColor(plat::Color color);
  plat::Color TextShadowColor() const { return textShadowColor_; }
  void SetTextShadowColor(plat::Color color);
  bool ShadowedText() const { return shadowedText_; }
  void SetShadowedText(bool shadowed);

  bool EchoPageHelp() const { return echoPageHelp_; }
  void SetEchoPageHelp(bool echo);
  bool EchoPageHint() const { return echoPageHint_; }
  void SetEchoPageHint(bool echo);
  bool ConserveResources() const { return conserveResources_; }
  // On: every hidden page gives up its window.
  void SetConserveResources(bool conserve);

  // Scaling of the form: tab sizes and the active font's size by m / d.
  void ScaleBy(int m, int d);

  // --- Layout ------------------------------------------------------------------
  // Lays the tabs out in rows, gives each page its row and places the page
  // windows whose bounds changed.
  void Relayout();
  const TNbkRows& Rows() const { return rows_; }
  int RowCount() const { return rows_.rows; }
  int TabsPerRow() const { return rows_.perRow; }
  int ActiveRow() const { return activeRow_; }
  // The notebook's client size, as its window has it now.
  plat::Size ClientSize() const { return view_.NotebookSize(); }
  // Where page windows stand, for the current layout and size.
  plat::Rect PageBounds() const;
  // The inside of a page's tab: its focus rectangle and what OnDrawTab gets.
  plat::Rect InnerTabRect(const plat::Rect& tab) const;
  // The area repainted for one tab: its rectangle reaching 5 pixels into the pages.
  plat::Rect TabPaintArea(int index) const;

  // --- Input ---------------------------------------------------------------------
  // A movement key; true when it chose a page (which may have refused).
  bool MoveByKey(TNbkKey key);
  // The page of a movement key, -1 for none.
  int PageForKey(TNbkKey key) const;
  // A dialog character (Alt + letter): true when consumed.
  bool SelectByAccelerator(char ch);
  // The page whose tab holds the point, -1 for none.
  int TabAt(int x, int y) const;
  void LeftClick(int x, int y);
  void MouseMoved(int x, int y);

  // --- Reading stored properties ----------------------------------------------
  // Removes every page; PageIndex and DefaultPageIndex are only stored until Loaded.
  void BeginLoading();
  // Selects the stored page or the next usable one, hides the others and lays out.
  void Loaded();
  bool Loading() const { return loading_; }

  // The next usable page after `from` (or the previous one before it),
  // wrapping around, never `from` itself; -1 when none. `from` outside the
  // pages starts before the first (or after the last).
  int NextUsable(int from) const;
  int PreviousUsable(int from) const;

 private:
  friend class TNbkPage;
  int IndexOf(const TNbkPage& page) const;
  void PageTabChanged(TNbkPage& page);
  void PageLayoutChanged();
  void RepaintTab(int index);
  void RelayoutIfAligned();
  void FollowActivePage();
  void HideAndRelease(TNbkPage& page);
  TNbkPage* ActivePage() const;
  void CheckTabFonts();
  int RowTowardsPages() const;
  // Takes the page at `index` out and frees it, mending PageIndex.
  void ErasePage(int index);
  void SelectFallback();
  // A property that changes only the look: set, and the notebook repainted.
  template <class T>
  void ChangeLook(T& property, T value) {
    property = value;
    if (!loading_) view_.RepaintAll();
  }

  TNotebookView& view_;
  std::vector<std::unique_ptr<TNbkPage>> pages_;
  int pageIndex_ = -1;
  int defaultPageIndex_ = 0;
  int activeRow_ = 0;
  TNbkRows rows_;
  bool loading_ = false;

  int tabHeight_ = 20;
  int tabWidth_ = 65;
  int tabIndent_ = 8;
  int tabRowCount_ = 0;
  bool tabAutoHeight_ = true;
  TTabOrientation orientation_ = toTop;
  TButtonStyle style_ = bsAutoDetect;
  bool ctl3D_ = false;

  plat::Font font_;
  plat::Font activeTabFont_{"Courier New", 8, plat::clBlack, plat::fsBold};
  // The control sets the desktop's button colours as the defaults.
  plat::Color color_ = plat::clGray;
  plat::Color highlightColor_ = plat::clWhite;
  plat::Color shadowColor_ = plat::clGray;
  plat::Color textShadowColor_ = plat::clGray;
  bool shadowedText_ = false;
  bool echoPageHelp_ = false;
  bool echoPageHint_ = false;
  bool conserveResources_ = false;
};

// The Pages property: the notebook's pages as a list of strings, each page's
// caption, with the page as the string's object. Indexes outside the pages
// raise EInvalidPageIndex.
class TPageAccess {
 public:
  explicit TPageAccess(TNotebookModel& notebook) : notebook_(notebook) {}

  int Count() const { return notebook_.PageCount(); }
  std::string Get(int index) const { return notebook_.PageAt(index).PageCaption(); }
  // Renames the page and repaints its tab.
  void Put(int index, const std::string& caption) { notebook_.PageAt(index).SetPageCaption(caption); }
  TNbkPage& Objects(int index) const { return notebook_.PageAt(index); }
  // A new page of that caption at `index` (0 .. count).
  void Insert(int index, const std::string& caption) { notebook_.InsertPage(caption, index); }
  int Add(const std::string& caption);
  void Delete(int index) { notebook_.RemovePage(index); }
  void Clear() { notebook_.ClearPages(); }
  void Exchange(int index1, int index2) { notebook_.ExchangePages(index1, index2); }
  int IndexOf(const std::string& caption) const { return notebook_.IndexOfCaption(caption); }

 private:
  TNotebookModel& notebook_;
};
