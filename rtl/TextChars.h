#pragma once
// Characters of text kept as bytes: text that is valid UTF-8 is read as UTF-8,
// any other text as Windows-1252, where every byte is a character. Widths,
// cuts and caret steps count these characters, so an accented letter is one
// column wherever it came from and is never split.

#include <cstddef>
#include <string>
#include <string_view>

namespace rtl {

// Length of the valid UTF-8 sequence starting at text[at], or 0 when the bytes
// there are not one (overlong forms, surrogates and code points beyond
// U+10FFFF are not); the code point goes to `u`.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& u);

// True when the bytes are valid UTF-8. Plain ASCII is valid UTF-8.
bool IsUtf8(std::string_view text);

// The number of characters of the text.
std::size_t CharacterCount(std::string_view text);

// The length in bytes of the longest start of `text` of at most `maxBytes`
// bytes that ends between two characters.
std::size_t CharacterPrefixLength(std::string_view text, std::size_t maxBytes);

// The length in bytes of the first `count` characters of `text` (all of it
// when it has fewer).
std::size_t CharactersLength(std::string_view text, std::size_t count);

// The byte offset of the character after the one at `at` (at most the size),
// and of the one before `at` (at least 0); `at` is a byte offset between two
// characters. Offsets beyond the end step by one byte.
std::size_t NextCharacter(std::string_view text, std::size_t at);
std::size_t PreviousCharacter(std::string_view text, std::size_t at);

// The characters of `text` as code points.
std::u32string CodePoints(std::string_view text);

// The bytes that put a typed character into `text` so that the text keeps
// reading as it did: the character in UTF-8 when the text is UTF-8 (as empty
// and plain ASCII text are), else its Windows-1252 byte; none when the text is
// Windows-1252 and the code page has no such character (a Greek letter).
std::string TypedCharacter(std::string_view text, char32_t typed);

}  // namespace rtl
