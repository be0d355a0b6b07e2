#include "modules/general/transfShared.h"

#include <cmath>
#include <limits>

#include "matrix/Constu.h"
#include "modules/general/transfEngine.h"

TTransfMissing::TTransfMissing(const TMatrixHeader& header)
    : code(header.missingCode),
      value(header.missingCode != 0 ? header.missingValue : std::numeric_limits<double>::infinity()),
      declared(header.missingCode != 0) {}

double TTransfMissing::OutputValue(std::span<const double> values) const {
  if (declared || code == 0) return value;
  return IntroducedMissingValue(values);
}

double IntroducedMissingValue(std::span<const double> values) {
  double marker = 99999;
  for (bool clear = false; !clear;) {
    clear = true;
    for (const double x : values) {
      if (std::isfinite(x) && std::fabs(x - marker) < 1) {
        marker += 1;
        clear = false;
        break;
      }
    }
  }
  return marker;
}

void MarkIntroduced(std::span<double> values, double marker) {
  for (double& x : values) {
    if (std::isinf(x)) x = marker;
  }
}

bool IsElementCode(int code) {
  switch (code) {
    case tcSQRT:
    case tcSQRT5:
    case tcLN:
    case tcLOG:
    case tcLOG1:
    case tcSQ:
    case tcRECIP:
    case tcRANDU:
    case tcRANDN:
    case tcNEG:
    case tcADD:
    case tcMUL:
    case tcBIN:
    case tcASIN:
    case tcACOS:
    case tcEXP:
    case tcDIV: return true;
    default: return false;
  }
}

bool SwapsMatrixKind(const TParsedCode& parsed) {
  switch (parsed.code) {
    case tcRECIP:
    case tcNEG: return true;
    case tcMUL:
    case tcDIV: return parsed.params[0] < 0;
    default: return false;
  }
}

bool MarksDeletions(const TParsedCode& parsed, std::vector<char>& deleted) {
  const auto n = static_cast<std::int32_t>(deleted.size()) - 1;
  switch (parsed.code) {
    case tcDELETE:
    case tcDEL:
      for (std::int32_t v = parsed.first; v <= parsed.last; ++v) deleted[static_cast<std::size_t>(v)] = 1;
      return true;
    case tcKEEP:
      for (std::int32_t v = 1; v <= n; ++v) {
        deleted[static_cast<std::size_t>(v)] = v < parsed.first || v > parsed.last ? 1 : 0;
      }
      return true;
    default: return false;
  }
}

std::int32_t KeptCount(const std::vector<char>& deleted) {
  std::int32_t kept = 0;
  for (std::size_t v = 1; v < deleted.size(); ++v) kept += deleted[v] == 0 ? 1 : 0;
  return kept;
}
