// Fuzz target over the parser of TRANSF's transformation codes: the codes of
// a text are taken from its front one at a time, as the engine takes them,
// and each element-wise code is applied to a few values.
//
// The first byte of the input gives the number of variables (1 .. 128, from
// its low seven bits) and the direction (bit 7: by columns); the rest is the
// code text. The parser may refuse a code with E_Morvapc. A parsed code must
// be one of the table's, take what is left of the text, hold a range within
// the variables and finite parameters; an element function must give a finite
// value or the missing value. Anything else is a finding.

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "modules/general/transfCodes.h"
#include "modules/general/transfShared.h"

namespace {

constexpr double kMissing = -999;

void CheckParsed(const TParsedCode& parsed, std::int32_t n) {
  if (parsed.code < 1 || parsed.code > TransfCodeCount) fuzz::Finding("a code outside the table");
  if (parsed.first <= parsed.last && (parsed.first < 1 || parsed.last > n))
    fuzz::Finding("a range outside the variables");
  if (parsed.paramCount < 0 || parsed.paramCount > static_cast<int>(parsed.params.size())) {
    fuzz::Finding("a parameter count outside its slots");
  }
  for (int k = 0; k < parsed.paramCount; ++k) {
    if (!std::isfinite(parsed.params[static_cast<std::size_t>(k)])) fuzz::Finding("a parameter that is not finite");
  }
}

void ApplyToSomeValues(const TParsedCode& parsed) {
  const double statistic = parsed.paramCount > 0 ? parsed.params[0] : 1.0;
  for (const double x : {0.0, 1.0, -1.0, 0.5, 1e300, -1e-300, kMissing}) {
    int missingCode = 0;
    const double y = TransfApplyCode(parsed.code, statistic, kMissing, missingCode, x);
    if (!std::isfinite(y)) fuzz::Finding("an element function gave a value that is not finite");
    if (missingCode != 0 && missingCode != 1) fuzz::Finding("a missing code other than 0 or 1");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::int32_t n = 1 + (data[0] & 0x7F);
  const bool byRows = (data[0] & 0x80) == 0;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  return fuzz::TakeInput<E_Morvapc>([&] {
    for (;;) {
      const std::size_t before = text.size();
      const TParsedCode parsed = TransfParseCodes(text, n, byRows);
      if (parsed.code == tcNone) return;
      if (text.size() >= before) fuzz::Finding("a code taken without shortening the text");
      CheckParsed(parsed, n);
      if (IsElementCode(parsed.code)) ApplyToSomeValues(parsed);
    }
  });
}
