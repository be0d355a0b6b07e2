#include "controls/base/VirPBMask.h"

#include <algorithm>
#include <bitset>

#include "controls/base/StrRes.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirStr.h"
#include "controls/base/VirUserData.h"

namespace {

bool InSet(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimmedView(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

// The user data's replacement of a substitution literal; other characters stay.
char ShownLiteral(char c, const TMaskContext& context) {
  return IsSubstitutionLiteral(c) ? context.userData.SubstChar(c) : c;
}

}  // namespace

bool IsSubstitutionLiteral(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0xF1 && u <= 0xF8;
}

char ForceCase(char pictureChar, char c, char previous, const TMaskContext& context) {
  switch (pictureChar) {
    case '!':
    case 'A':
    case 'N':
    case 'E':
    case 'K':
    case 'B':
    case 'Y': return UpCaseChar(c);
    case 'L':
    case 'l': return LoCaseChar(c);
    case 'x': return previous == ' ' || previous == '-' ? UpCaseChar(c) : c;
    default: break;
  }
  if (pictureChar >= '1' && pictureChar <= '8') {
    switch (context.userData.ForceCase(pictureChar)) {
      case TVirUserData::fcUpper: return UpCaseChar(c);
      case TVirUserData::fcLower: return LoCaseChar(c);
      case TVirUserData::fcMixed: return ForceCase('x', c, previous, context);
      default: return c;
    }
  }
  return c;
}

bool CharIsOK(char pictureChar, char& c, bool forceCaseFirst, char previous, const TMaskContext& context) {
  if (c == 0) return false;
  if (forceCaseFirst) c = ForceCase(pictureChar, c, previous, context);
  const auto code = static_cast<unsigned char>(c);
  switch (pictureChar) {
    case 'a':
    case 'A':
    case 'l':
    case 'N':
    case 'n': return AlphaCharSet().test(code);
    case '9':
    case 'D':
    case 'd':
    case 'M':
    case 'm':
    case 'y':
    case 'H':
    case 'h':
    case 'S':
    case 's': return c == ' ' || IsDigit(c);
    case 'i': return c == '-' || c == ' ' || IsDigit(c);
    case '#': return InSet(c, " -.") || IsDigit(c);
    case 'E': return InSet(c, "+E -.") || IsDigit(c);
    case 'K': return (c >= 'A' && c <= 'F') || c == ' ' || IsDigit(c);
    case 'O': return c == ' ' || (c >= '0' && c <= '7');
    case 'b': return InSet(c, " 01");
    case 'B': {
      const char u = UpCaseChar(c);
      return u == context.intl.TrueChar() || u == context.intl.FalseChar();
    }
    case 'Y': {
      const char u = UpCaseChar(c);
      return u == context.intl.YesChar() || u == context.intl.NoChar();
    }
    default: break;
  }
  if (pictureChar >= '1' && pictureChar <= '8') {
    std::bitset<256> set;
    context.userData.UserCharSet(pictureChar, set);
    return set.test(code);
  }
  return true;  // 'X', '!', 'L', 'x', 't' and any other character take anything
}

// ---- The mask over its positions ----------------------------------------------------

TPictureMask::TPictureMask(std::string_view mask, int maxLength) : mask_(mask.empty() ? "X" : mask) {
  const int n = std::max(maxLength, 1);
  edit_ = mask_.substr(0, static_cast<std::size_t>(n));
  edit_.resize(static_cast<std::size_t>(n), mask_.back());
  flags_.resize(edit_.size());
  bool literals = false;
  for (std::size_t i = 0; i < edit_.size(); ++i) {
    const char c = edit_[i];
    flags_[i] = c == '$' || c == ',' ? mpFloating : IsPictureChar(c) ? mpPicture : mpLiteral;
    if (flags_[i] != mpPicture) literals = true;
  }
  if (!literals) std::fill(flags_.begin(), flags_.end(), mpPicture);
  floatCount_ = static_cast<int>(std::count(flags_.begin(), flags_.end(), mpFloating));
  int first = n - 1;
  for (int i = 0; i < n - 1; ++i) {
    if (flags_[static_cast<std::size_t>(i)] != mpLiteral) {
      first = i;
      break;
    }
  }
  firstEdit_ = std::min(first + floatCount_, n - 1);
  for (int i = n - 1; i >= 0; --i) {
    if (flags_[static_cast<std::size_t>(i)] != mpLiteral) {
      lastPicture_ = i;
      break;
    }
  }
  const auto dot = edit_.find('.');
  decimalPos_ = dot == std::string::npos ? -1 : static_cast<int>(dot);
  const auto dollar = edit_.find('$');
  if (dollar != std::string::npos) {
    auto end = edit_.find_first_not_of('$', dollar);
    if (end == std::string::npos) end = edit_.size();
    lastDollar_ = static_cast<int>(end) - 1;
    dollarCount_ = static_cast<int>(end - dollar);
  }
  digits_ = DigitBaseOfMask(mask_);
}

bool TPictureMask::NumericStyle() const {
  return floatCount_ > 0 || Holds('.') || Holds('c') || Holds('C') || digits_ != TDigitBase::Decimal;
}

char TPictureMask::RulingChar(int pos) const {
  const char c = At(pos);
  return c == '$' || c == ',' ? At(lastPicture_) : c;
}

// ---- Strip and merge --------------------------------------------------------------------

std::string StripText(std::string_view text, const TPictureMask& mask, const TMaskContext& context) {
  if (static_cast<int>(text.size()) != mask.Length()) return std::string(text);
  std::string value;
  for (int i = 0; i < mask.Length(); ++i) {
    if (!mask.IsLiteral(i) || i == mask.DecimalPos()) value += text[static_cast<std::size_t>(i)];
  }
  if (mask.Holds('$')) {
    const std::string currency =
        context.intl.CurrencyLeft().substr(0, static_cast<std::size_t>(std::max(mask.DollarCount(), 0)));
    const auto at = currency.empty() ? std::string::npos : value.find(currency);
    if (at != std::string::npos) value.erase(at, currency.size());
  }
  if (mask.Holds(',')) std::erase(value, context.intl.ThousandsChar());
  if (mask.Holds('.')) std::replace(value.begin(), value.end(), context.intl.DecimalChar(), '.');
  return value;
}

namespace {

// Runs of 'c' take the left currency string right-aligned, runs of 'C' the
// right one left-aligned.
void PlaceCurrencyRuns(std::string& result, const TPictureMask& mask, const TMaskContext& context) {
  const std::string& edit = mask.EditMask();
  for (std::size_t i = 0; i < edit.size();) {
    const char c = edit[i];
    if (c != 'c' && c != 'C') {
      ++i;
      continue;
    }
    auto end = edit.find_first_not_of(c, i);
    if (end == std::string::npos) end = edit.size();
    const std::size_t room = end - i;
    std::string currency = c == 'c' ? context.intl.CurrencyLeft() : context.intl.CurrencyRight();
    if (currency.size() > room)
      currency = c == 'c' ? currency.substr(currency.size() - room) : currency.substr(0, room);
    const std::string blanks(room - currency.size(), ' ');
    result.replace(i, room, c == 'c' ? blanks + currency : currency + blanks);
    i = end;
  }
}

TMergeResult MergeNumeric(std::string_view value, const TPictureMask& mask, std::string result,
                          const TMaskContext& context) {
  const int n = mask.Length();
  value = TrimmedView(value);
  std::string floating;
  if (mask.Holds('$') && !value.empty()) {
    const std::string left = context.intl.CurrencyLeft();
    floating = left.substr(0, std::min<std::size_t>(static_cast<std::size_t>(mask.DollarCount()), left.size()));
  }
  bool negative = !value.empty() && value.front() == '-';
  if (negative) value.remove_prefix(1);
  const auto point = value.find('.');
  std::string_view integer = value.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view() : value.substr(point + 1);

  const int dot = mask.DecimalPos();
  if (dot >= 0) {
    int p = dot + 1;
    std::size_t k = 0;
    for (; p < n && !mask.IsLiteral(p); ++p)
      result[static_cast<std::size_t>(p)] = k < fraction.size() ? fraction[k++] : '0';
    for (; p < n && mask.IsLiteral(p); ++p)
      result[static_cast<std::size_t>(p)] = ShownLiteral(result[static_cast<std::size_t>(p)], context);
  }

  // The integer part from the right; filling takes the floating currency from
  // its last character, then the sign, then leading zeros or blanks.
  std::size_t digitsLeft = integer.size();
  std::size_t floatingLeft = floating.size();
  const char zero = mask.Digits() == TDigitBase::Decimal ? ' ' : '0';
  auto fill = [&]() -> char {
    if (floatingLeft > 0) return floating[--floatingLeft];
    if (negative) {
      negative = false;
      return '-';
    }
    return zero;
  };
  for (int i = dot >= 0 ? dot : n - 1; i >= 0; --i) {
    char& at = result[static_cast<std::size_t>(i)];
    const char m = mask.At(i);
    if (mask.IsLiteral(i)) {
      at = m == '.' ? context.intl.DecimalChar() : ShownLiteral(at, context);
    } else if (m == ',') {
      // Without a thousands character the position is filled like any other.
      at = digitsLeft > 0 && context.intl.ThousandsChar() != 0 ? context.intl.ThousandsChar() : fill();
    } else if (digitsLeft > 0 && i > mask.LastDollarPos()) {
      at = integer[--digitsLeft];
    } else {
      at = fill();
    }
  }
  if (dot > 0 && result[static_cast<std::size_t>(dot - 1)] == ' ') result[static_cast<std::size_t>(dot - 1)] = '0';
  return {result, digitsLeft > 0 || negative};
}

TMergeResult MergePlain(std::string_view value, const TPictureMask& mask, const TMergeOptions& options,
                        std::string result, const TMaskContext& context) {
  const int n = mask.Length();
  std::string v(value);
  if (options.realType && static_cast<int>(v.size()) > n && v.find('.') != std::string::npos) {
    while (!v.empty() && v.back() == '0') v.pop_back();
    if (!v.empty() && v.back() == '.') v.pop_back();
    v = std::string(TrimmedView(v));
  }
  std::vector<int> positions;
  for (int i = 0; i < n; ++i) {
    if (mask.IsLiteral(i))
      result[static_cast<std::size_t>(i)] = ShownLiteral(result[static_cast<std::size_t>(i)], context);
    else {
      result[static_cast<std::size_t>(i)] = ' ';
      positions.push_back(i);
    }
  }
  const std::size_t placed = std::min(positions.size(), v.size());
  for (std::size_t k = 0; k < placed; ++k) {
    const int pos = options.rightJustify ? positions[positions.size() - 1 - k] : positions[k];
    const char c = options.rightJustify ? v[v.size() - 1 - k] : v[k];
    result[static_cast<std::size_t>(pos)] = ForceCase(mask.RulingChar(pos), c, 0, context);
  }
  if (options.realType) {
    const auto point = result.find('.');
    if (point != std::string::npos) result[point] = context.intl.DecimalChar();
  }
  return {result, placed < v.size()};
}

}  // namespace

std::string BlankText(const TPictureMask& mask, const TMaskContext& context) {
  std::string text = mask.EditMask();
  PlaceCurrencyRuns(text, mask, context);
  for (int i = 0; i < mask.Length(); ++i) {
    char& at = text[static_cast<std::size_t>(i)];
    if (!mask.IsLiteral(i))
      at = ' ';
    else if (i == mask.DecimalPos())
      at = context.intl.DecimalChar();
    else
      at = ShownLiteral(at, context);
  }
  return text;
}

TMergeResult MergeValueWithMask(std::string_view value, const TPictureMask& mask, const TMergeOptions& options,
                                const TMaskContext& context) {
  std::string result = mask.EditMask();
  PlaceCurrencyRuns(result, mask, context);
  if (mask.NumericStyle() || options.numericField) return MergeNumeric(value, mask, std::move(result), context);
  return MergePlain(value, mask, options, std::move(result), context);
}

// ---- Decimal alignment ----------------------------------------------------------------------

namespace {

// The non-literal positions of [first, last).
std::vector<int> EditablePositions(const TPictureMask& mask, int first, int last) {
  std::vector<int> positions;
  for (int i = std::max(first, 0); i < last; ++i) {
    if (!mask.IsLiteral(i)) positions.push_back(i);
  }
  return positions;
}

}  // namespace

void AlignIntegerPart(std::string& text, const TPictureMask& mask) {
  const int dot = mask.DecimalPos();
  if (dot <= 0 || static_cast<int>(text.size()) != mask.Length()) return;
  const std::vector<int> positions = EditablePositions(mask, mask.FirstEditPosition(), dot);
  std::string kept;
  for (int p : positions) {
    if (text[static_cast<std::size_t>(p)] != ' ') kept += text[static_cast<std::size_t>(p)];
  }
  kept.insert(0, positions.size() - kept.size(), ' ');
  for (std::size_t k = 0; k < positions.size(); ++k) text[static_cast<std::size_t>(positions[k])] = kept[k];
  if (!positions.empty() && positions.back() == dot - 1 && text[static_cast<std::size_t>(dot - 1)] == ' ')
    text[static_cast<std::size_t>(dot - 1)] = '0';
}

void AlignFraction(std::string& text, const TPictureMask& mask) {
  const int dot = mask.DecimalPos();
  if (dot < 0 || static_cast<int>(text.size()) != mask.Length()) return;
  int end = dot + 1;
  while (end < mask.Length() && !mask.IsLiteral(end)) ++end;
  const std::vector<int> positions = EditablePositions(mask, dot + 1, end);
  std::string kept;
  for (int p : positions) {
    if (text[static_cast<std::size_t>(p)] != ' ') kept += text[static_cast<std::size_t>(p)];
  }
  kept.append(positions.size() - kept.size(), '0');
  for (std::size_t k = 0; k < positions.size(); ++k) text[static_cast<std::size_t>(positions[k])] = kept[k];
}
