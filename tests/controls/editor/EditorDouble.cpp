#include "EditorDouble.h"

#include "rtl/Cp1252.h"

std::string TestEditor::Text() const {
  std::string text;
  for (std::int32_t n = 1; n <= Paragraphs().ParagraphCount(); ++n) {
    if (n > 1) text += '|';
    text += Paragraphs().GetParagraph(n)->Text();
  }
  return text;
}

void TestEditor::SetText(const std::string& paragraphsBarSeparated) {
  ClearText();
  std::string text = paragraphsBarSeparated;
  for (char& ch : text) {
    if (ch == '|') ch = '\r';
  }
  InsertTextAtCaret(text);
  Paragraphs().SetUndoBufferSize(static_cast<std::uint16_t>(UndoBufferSize()));
  Paragraphs().SetModified(false);
  MoveCaretToLineCol(1, 1);
}

void TestEditor::Run(std::initializer_list<int> commands) {
  for (int command : commands) DoCommand(command, 0);
}

void TestEditor::Type(const std::string& text) {
  for (char ch : text) DoCommand(ccChar, rtl::Cp1252ToCodePoint(static_cast<unsigned char>(ch)));
}
