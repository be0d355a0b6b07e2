#include "shell/Listing.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "controls/editor/EditError.h"
#include "matrix/Constu.h"
#include "rtl/Format.h"
#include "rtl/TextFile.h"

namespace {

constexpr char FormFeed = '\f';
constexpr std::uint16_t UndoBufferSize = 8192;

void Check(std::uint16_t code) {
  if (code != eeNone) RaiseEditError(code);
}

// The paragraphs a text makes: a line break ends one, and a line longer than
// a paragraph may be goes on in the next.
template <class Add>
void ForEachParagraph(std::string_view text, std::int32_t limit, Add add) {
  size_t start = 0;
  for (;;) {
    const size_t lineEnd = std::min(text.find_first_of("\r\n", start), text.size());
    std::string_view line = text.substr(start, lineEnd - start);
    do {
      add(line.substr(0, static_cast<size_t>(limit)));
      line.remove_prefix(std::min(line.size(), static_cast<size_t>(limit)));
    } while (!line.empty());
    if (lineEnd == text.size()) return;
    start = lineEnd + (text.compare(lineEnd, 2, "\r\n") == 0 ? 2 : 1);
  }
}

constexpr std::string_view LineEnd = "\r\n";

void AppendParagraphs(std::string& text, const TListingSection& section, std::string_view lineEnd = LineEnd) {
  for (const std::string& paragraph : section.Paragraphs()) text.append(paragraph).append(lineEnd);
}

void WriteFile(const std::string& fileName, const std::string& text) {
  rtl::TextWriter file(fileName);
  file.Write(text);
  file.Close();
}

void AppendPrintLines(std::vector<std::string>& lines, const TListingSection& section, std::int32_t indent) {
  const std::string blanks(static_cast<size_t>(std::max(indent, 0)), ' ');
  for (const std::string& paragraph : section.Paragraphs()) lines.push_back(blanks + paragraph);
}

}  // namespace

TListingSection::TListingSection(std::string caption, bool wordWrap, std::string_view firstParagraph,
                                 std::shared_ptr<TParaList> text)
    : caption_(std::move(caption)),
      text_(text ? std::move(text) : std::make_shared<TParaList>(nullptr, wordWrap, UndoBufferSize)) {
  if (firstParagraph.empty()) return;
  ForEachParagraph(firstParagraph, text_->ParaLengthLimit(), [this, first = true](std::string_view part) mutable {
    Check(first ? text_->InsertText(nullptr, 1, 1, part) : text_->InsertParagraph(nullptr, ParagraphCount() + 1, part));
    first = false;
  });
}

std::int32_t TListingSection::ParagraphCount() const { return text_->ParagraphCount(); }

std::string TListingSection::Paragraph(std::int32_t n) const {
  const TParaNode* node = text_->GetParagraph(n);
  return node == nullptr ? std::string() : std::string(node->Text());
}

std::vector<std::string> TListingSection::Paragraphs() const {
  std::vector<std::string> paragraphs;
  for (const TParaNode* node = text_->GetParagraph(1); node != nullptr; node = node->Next()) {
    paragraphs.emplace_back(node->Text());
  }
  return paragraphs;
}

void TListingSection::WriteLine(std::string_view text) {
  ForEachParagraph(text, text_->ParaLengthLimit(),
                   [this](std::string_view part) { Check(text_->InsertParagraph(nullptr, ParagraphCount(), part)); });
}

void TListingSection::AddParagraph(std::string_view text) {
  ForEachParagraph(text, text_->ParaLengthLimit(), [this](std::string_view part) {
    Check(text_->InsertParagraph(nullptr, ParagraphCount() + 1, part));
  });
}

TListingModel::TListingModel(std::string version) : version_(std::move(version)), clock_(LocalDateTime) {}

std::int32_t TabRowsFor(std::int32_t pages) { return pages < 40 ? pages / 5 + 1 : pages / 10 + 1; }

std::int32_t TListingModel::TabRows() const { return TabRowsFor(PageCount()); }

void TListingModel::SelectPage(std::int32_t page) {
  if (page >= 0 && page < PageCount()) currentPage_ = page;
}

const TListingSection* TListingModel::Section(std::int32_t page) const {
  if (page < 1 || page >= PageCount()) return nullptr;
  return sections_[static_cast<size_t>(page - 1)].get();
}

TListingSection* TListingModel::Section(std::int32_t page) {
  return const_cast<TListingSection*>(std::as_const(*this).Section(page));
}

std::shared_ptr<TListingSection> TListingModel::AddSection(const std::string& name, bool wordWrap,
                                                           std::string firstParagraph) {
  const std::string caption = name + "-" + std::to_string(runNumber_);
  auto section = std::make_shared<TListingSection>(caption, wordWrap, std::move(firstParagraph),
                                                   textSource_ ? textSource_(caption, wordWrap) : nullptr);
  sections_.push_back(section);
  ++runNumber_;
  currentPage_ = PageCount() - 1;
  return section;
}

void TListingModel::NewSection(const std::string& name) {
  const auto section = AddSection(name, false, {});
  target_ = section;
  const TDateTime now = clock_();
  section->WriteLine(name + ": Morvapc " + version_);
  section->WriteLine(rtl::Format("Date & time: %s %s", now.date, now.time));
  section->WriteLine(std::string(40, '-'));
}

void TListingModel::WriteLine(std::string_view text) {
  if (const auto section = target_.lock()) section->WriteLine(text);
}

void TListingModel::InstallAsListingSink() {
  TSharedServices services = InstallSharedServices({});
  services.listingLine = [this](std::string_view line) { WriteLine(line); };
  InstallSharedServices(std::move(services));
}

std::string TListingModel::FileText() const {
  std::string text;
  for (std::int32_t page = 1; page < PageCount(); ++page) text += SectionFileText(page);
  return text;
}

std::string TListingModel::SectionFileText(std::int32_t page, std::string_view lineEnd) const {
  const TListingSection* section = Section(page);
  if (section == nullptr) return {};
  std::string text;
  if (page > 1) text += FormFeed;
  AppendParagraphs(text, *section, lineEnd);
  text.append(lineEnd);
  return text;
}

void TListingModel::Save(const std::string& fileName) const { WriteFile(fileName, FileText()); }

void TListingModel::SaveCurrentSection(const std::string& fileName) const {
  const TListingSection* section = CurrentSection();
  if (section == nullptr) return;
  std::string text;
  AppendParagraphs(text, *section);
  WriteFile(fileName, text);
}

void TListingModel::Load(const std::string& fileName) {
  rtl::TextReader file(fileName);
  std::shared_ptr<TListingSection> section;
  std::string line;
  while (file.ReadLine(line)) {
    const bool formFeed = !line.empty() && line.front() == FormFeed;
    if (section && !formFeed) {
      section->AddParagraph(line);
      continue;
    }
    if (formFeed) line.erase(0, 1);
    section = AddSection(SectionNameOfLine(line), true, line);
  }
}

void TListingModel::Clear() {
  sections_.clear();
  runNumber_ = 1;
  currentPage_ = 0;
}

void TListingModel::DeleteCurrentSection() {
  if (currentPage_ < 1 || currentPage_ >= PageCount()) return;
  sections_.erase(sections_.begin() + (currentPage_ - 1));
  if (currentPage_ >= PageCount()) currentPage_ = 0;
}

std::vector<std::string> TListingModel::PrintLines(std::int32_t indent) const {
  std::vector<std::string> lines;
  for (const auto& section : sections_) {
    AppendPrintLines(lines, *section, indent);
    lines.emplace_back();
  }
  return lines;
}

std::vector<std::string> TListingModel::PrintCurrentSectionLines(std::int32_t indent) const {
  std::vector<std::string> lines;
  if (const TListingSection* section = CurrentSection()) AppendPrintLines(lines, *section, indent);
  return lines;
}

std::string SectionNameOfLine(std::string_view line) {
  if (line.empty()) return "?";
  const size_t colon = line.find(':');
  return std::string(colon == std::string_view::npos ? line.substr(0, 6) : line.substr(0, colon));
}

TListingModel::TDateTime DateTimeOf(const std::tm& time) {
  return {rtl::Format("%d/%d/%d", time.tm_mon + 1, time.tm_mday, time.tm_year + 1900),
          rtl::Format("%.2d:%.2d:%.2d", time.tm_hour, time.tm_min, time.tm_sec)};
}

TListingModel::TDateTime LocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateTimeOf(local);
}
