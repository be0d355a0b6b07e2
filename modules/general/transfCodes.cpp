#include "modules/general/transfCodes.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "matrix/Constu.h"
#include "matrix/util/UtStr.h"
#include "modules/general/randd.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/StringList.h"

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '+'; }

// The next token of the text: up to the first blank or, in a text without
// blanks, the first plus sign; the token and the run of separators after it
// leave the text.
std::string NextToken(std::string& text) {
  const auto start = std::find_if_not(text.begin(), text.end(), IsSeparator);
  text.erase(text.begin(), start);
  std::size_t separator = text.find(' ');
  if (separator == std::string::npos) separator = text.find('+');
  std::string token = text.substr(0, separator);
  if (separator == std::string::npos) {
    text.clear();
  } else {
    const auto rest = std::find_if_not(text.begin() + static_cast<std::ptrdiff_t>(separator), text.end(), IsSeparator);
    text.erase(text.begin(), rest);
  }
  return token;
}

// The words between the parentheses as the code's parameters; the
// parenthesised part leaves the body. True when parentheses were written.
bool TakeParameters(std::string& body, const std::string& token, TParsedCode& parsed) {
  const std::size_t open = body.find('(');
  if (open == std::string::npos) return false;
  const std::size_t close = body.find(')', open);
  if (close == std::string::npos) throw E_Morvapc("No matching ) found: " + token);
  const std::string words = body.substr(open + 1, close - open - 1);
  for (int k = 1; k <= CountWords(words, " ,"); ++k) {
    const std::string word = GetWord(k, words, " ,");
    if (parsed.paramCount == static_cast<int>(parsed.params.size())) throw E_Morvapc("Too many parameters: " + token);
    const std::optional<double> value = rtl::TryStrToFloat(word);
    if (!value) throw E_Morvapc("Error in parameter value: " + token);
    parsed.params[static_cast<std::size_t>(parsed.paramCount++)] = *value;
  }
  body.erase(open, close - open + 1);
  return true;
}

// One bound of a range "a-b": an empty first is 1 and an empty last is n; a
// last of 0 also stands for n.
std::int32_t RangeBound(std::string_view part, bool first, std::int32_t n, const std::string& token) {
  const std::string trimmed(rtl::Trim(part));
  if (trimmed.empty()) return first ? 1 : n;
  const std::optional<std::int32_t> value = rtl::TryStrToInt(trimmed);
  if (!value) throw E_Morvapc("Error in variable number: " + trimmed + " in token: " + token);
  if (*value < (first ? 1 : 0) || *value > n) {
    throw E_Morvapc("Variable number out of range: " + trimmed + " in token: " + token);
  }
  return *value == 0 ? n : *value;
}

// The range in brackets, cut from the body; 1 .. n without one.
void TakeRange(std::string& body, const std::string& token, std::int32_t n, TParsedCode& parsed) {
  parsed.first = 1;
  parsed.last = n;
  const std::size_t open = body.find('[');
  if (open == std::string::npos) return;
  std::string range = body.substr(open + 1);
  body.erase(open);
  const std::size_t close = range.find(']');
  if (close == std::string::npos) throw E_Morvapc("No ] found at end of string: " + token);
  range.erase(close);
  const std::size_t dash = range.find('-');
  if (dash == std::string::npos) {
    const std::optional<std::int32_t> k = rtl::TryStrToInt(range);
    if (!k) throw E_Morvapc("Error in variable number: " + token);
    if (*k < 1 || *k > n) throw E_Morvapc("Variable number out of range: " + token);
    parsed.first = parsed.last = *k;
    return;
  }
  parsed.first = RangeBound(std::string_view(range).substr(0, dash), true, n, token);
  parsed.last = RangeBound(std::string_view(range).substr(dash + 1), false, n, token);
}

bool TakesParameters(int code) {
  switch (code) {
    case tcADD:
    case tcMUL:
    case tcBIN:
    case tcDIVV:
    case tcSUBV:
    case tcSHAPET:
    case tcDIV:
    case tcSHAPETU:
    case tcSHAPET2:
    case tcSHAPETU2: return true;
    default: return false;
  }
}

bool IsShapeCode(int code) { return code == tcSHAPET || code == tcSHAPETU || code == tcSHAPET2 || code == tcSHAPETU2; }

// The value of an element function; nothing where it has none.
std::optional<double> ElementValue(int code, double s, double x) {
  switch (code) {
    case tcSQRT:
      if (x < 0) return std::nullopt;
      return std::sqrt(x);
    case tcSQRT5:
      if (x + 0.5 < 0) return std::nullopt;
      return std::sqrt(x + 0.5);
    case tcLN:
      if (x <= 0) return std::nullopt;
      return std::log(x);
    case tcLOG:
      if (x <= 0) return std::nullopt;
      return std::log10(x);
    case tcLOG1:
      if (x + 1 <= 0) return std::nullopt;
      return std::log10(x + 1);
    case tcSQ: return x * x;
    case tcRECIP:
      if (x == 0) return std::nullopt;
      return 1 / x;
    case tcRANDU: return RanduDeviate();
    case tcRANDN: return RandnDeviate();
    case tcSUBYBAR:
    case tcSUBMIN: return x - s;
    case tcDIVSTD:
    case tcDIVRANGE:
    case tcDIVMAX:
    case tcDIVSS:
    case tcDIVSY2:
    case tcDIVSUMY:
    case tcDIV: return s == 0 ? 0 : x / s;
    case tcNEG: return -x;
    case tcADD: return x + s;
    case tcMUL: return x * s;
    case tcBIN: return x > s ? 1 : 0;
    case tcASIN:
      if (std::fabs(x) > 1) return std::nullopt;
      return std::asin(x);
    case tcACOS:
      if (std::fabs(x) > 1) return std::nullopt;
      return std::acos(x);
    case tcEXP: return std::exp(x);
    default: return x;
  }
}

}  // namespace

int TransfLookupCode(std::string_view token) {
  const auto at = std::find(kTransfCodes.begin(), kTransfCodes.end(), token);
  return at == kTransfCodes.end() ? 0 : static_cast<int>(at - kTransfCodes.begin()) + 1;
}

TParsedCode TransfParseCodes(std::string& text, std::int32_t n, bool byRows) {
  TParsedCode parsed;
  parsed.token = NextToken(text);
  if (parsed.token.empty()) return parsed;
  std::string body = parsed.token;
  const bool parenthesised = TakeParameters(body, parsed.token, parsed);
  TakeRange(body, parsed.token, n, parsed);
  const std::string name = rtl::UpperCase(body);
  parsed.code = TransfLookupCode(name);
  if (parsed.code == tcNone) throw E_Morvapc("Bad transformation code: " + name);

  std::string line =
      "Transformation: " + name + " " + (byRows ? "Rows" : "Cols") + rtl::Format(" %4d%4d", parsed.first, parsed.last);
  for (int k = 0; k < parsed.paramCount; ++k)
    line += rtl::Format(" %10.5f", parsed.params[static_cast<std::size_t>(k)]);
  ListingWriteLine(line);

  if (parenthesised && !TakesParameters(parsed.code)) {
    throw E_Morvapc("Parameter field not used by this transformation");
  }
  if (parenthesised && IsShapeCode(parsed.code) && parsed.paramCount != 2) {
    throw E_Morvapc("Two parameters needed by this transformation");
  }
  return parsed;
}

double TransfApplyCode(int code, double statistic, double missingValue, int& missingCode, double x) {
  if (x == missingValue) return x;
  const std::optional<double> value = ElementValue(code, statistic, x);
  if (value && std::isfinite(*value)) return *value;
  missingCode = 1;
  return missingValue;
}
