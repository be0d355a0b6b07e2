#pragma once
// The listing: a notebook of text sections, one per module run. Page 0 is the
// "Version" page; pages 1 onwards are sections, each captioned with the
// module's stored name, "-" and the run number ("SAHN-3"), and each holding its
// text as a list of paragraphs (one listing line a paragraph).
//
// A run writes its lines into the section that its NewSection opened, whatever
// page is shown meanwhile; when that section is deleted the rest of its lines
// are dropped.
//
// Listing files (".TXT") hold the sections in page order, each section's
// paragraphs one per line followed by one empty line, with a form feed (no
// line end after it) between two sections.

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/editor/ParaList.h"

// One section: its caption and its text, the editor's paragraph list. A
// line longer than a paragraph may be is kept as several paragraphs.
class TListingSection {
 public:
  // A section whose text is one paragraph, kept in `text` when one is given
  // (the list of the editor that shows the section), else in a list of its own.
  TListingSection(std::string caption, bool wordWrap, std::string_view firstParagraph = {},
                  std::shared_ptr<TParaList> text = {});

  const std::string& Caption() const { return caption_; }
  // Off for sections made by a run, on for sections loaded from a file.
  bool WordWrap() const { return text_->WordWrap(); }
  // The text, for the editor that shows it.
  TParaList& Text() { return *text_; }

  std::int32_t ParagraphCount() const;
  // Paragraph n, counted from 1.
  std::string Paragraph(std::int32_t n) const;
  std::vector<std::string> Paragraphs() const;

  // Inserts the text and a paragraph end at the start of the last paragraph,
  // so each line leaves a new empty last paragraph.
  void WriteLine(std::string_view text);
  // Adds a paragraph after the last one.
  void AddParagraph(std::string_view text);

 private:
  std::string caption_;
  std::shared_ptr<TParaList> text_;
};

class TListingModel {
 public:
  // The date and the time of a section's header, in the short formats.
  struct TDateTime {
    std::string date;
    std::string time;
  };
  using TClock = std::function<TDateTime()>;

  explicit TListingModel(std::string version);

  // Pages including the Version page: the index of the next section.
  std::int32_t PageCount() const { return static_cast<std::int32_t>(sections_.size()) + 1; }
  std::int32_t RunNumber() const { return runNumber_; }
  // Number of tab rows of the notebook for the current page count.
  std::int32_t TabRows() const;

  std::int32_t CurrentPage() const { return currentPage_; }
  // Selects a page (the user or the program); an index outside the pages is ignored.
  void SelectPage(std::int32_t page);
  // The section of a page; nothing for the Version page or outside the pages.
  TListingSection* Section(std::int32_t page);
  const TListingSection* Section(std::int32_t page) const;
  TListingSection* CurrentSection() { return Section(currentPage_); }
  const TListingSection* CurrentSection() const { return Section(currentPage_); }

  // Opens a run's section: a new last page captioned name + "-" + run number,
  // selected, with the header lines (name + ": Morvapc " + version, the date
  // and time, 40 hyphens). The run's lines go there from now on.
  void NewSection(const std::string& name);
  // Appends a line to the section of the running module, if it still exists.
  void WriteLine(std::string_view text);
  // Makes this listing the target of ListingWriteLine.
  void InstallAsListingSink();

  // The text of a listing file holding every section (empty when there is none).
  std::string FileText() const;
  // The part of that text that a section page makes: a form feed unless it is
  // the first section, its paragraphs each ended by lineEnd, and an empty line.
  // Empty for the Version page and outside the pages.
  std::string SectionFileText(std::int32_t page, std::string_view lineEnd = "\r\n") const;
  // Writes every section to a listing file.
  void Save(const std::string& fileName) const;
  // Writes the current section's paragraphs; no file for the Version page.
  void SaveCurrentSection(const std::string& fileName) const;
  // Appends the sections of a listing file (with word wrap on). Sections read
  // before an input/output error stay.
  void Load(const std::string& fileName);

  // Deletes every section; page count and run number start again at 1.
  void Clear();
  // Deletes the current section; nothing on the Version page.
  void DeleteCurrentSection();

  // The lines to print: every section's paragraphs behind indent blanks, each
  // section followed by an empty line; or the current section alone.
  std::vector<std::string> PrintLines(std::int32_t indent) const;
  std::vector<std::string> PrintCurrentSectionLines(std::int32_t indent) const;

  void SetClock(TClock clock) { clock_ = std::move(clock); }

  // Where a new section keeps its text: the listing window makes the section's
  // page and editor and hands over the editor's paragraph list (which must
  // live as long as the section). Without a source a section keeps its own.
  using TTextSource = std::function<std::shared_ptr<TParaList>(const std::string& caption, bool wordWrap)>;
  void SetTextSource(TTextSource source) { textSource_ = std::move(source); }

 private:
  std::shared_ptr<TListingSection> AddSection(const std::string& name, bool wordWrap, std::string firstParagraph);

  std::string version_;
  std::vector<std::shared_ptr<TListingSection>> sections_;
  std::weak_ptr<TListingSection> target_;
  std::int32_t runNumber_ = 1;
  std::int32_t currentPage_ = 0;
  TClock clock_;
  TTextSource textSource_;
};

// The notebook's tab rows for a number of pages: pages div 5 + 1 below 40
// pages, pages div 10 + 1 from 40 on.
std::int32_t TabRowsFor(std::int32_t pages);

// The section name that a listing file's line gives the section it starts:
// the text before the first ':', else its first 6 characters, "?" when empty.
std::string SectionNameOfLine(std::string_view line);

// A date and time as "m/d/yyyy" and "hh:nn:ss".
TListingModel::TDateTime DateTimeOf(const std::tm& time);
// The machine's local date and time.
TListingModel::TDateTime LocalDateTime();
