#pragma once
// The transformation codes of TRANSF: their table, the parser that takes one
// code at a time from the front of a code text (the code, its parameters in
// parentheses, its range of variables in brackets) and lists it, and the
// element function of the codes that change one value at a time.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Code numbers, in the order of the table.
enum TTransfCode : int {
  tcNone = 0,
  tcSQRT,
  tcSQRT5,
  tcLN,
  tcLOG,
  tcLOG1,
  tcSQ,
  tcRECIP,
  tcRANDU,
  tcRANDN,
  tcDELETE,
  tcKEEP,
  tcSUBYBAR,
  tcSUBMIN,
  tcDIVSTD,
  tcDIVRANGE,
  tcDIVMAX,
  tcDIVSS,
  tcDIVSY2,
  tcNEG,
  tcDCENTER,
  tcADD,
  tcMUL,
  tcDIVSUMY,
  tcDEL,
  tcSYMD,
  tcSYMS,
  tcBIN,
  tcASIN,
  tcACOS,
  tcDIVV,
  tcSUBV,
  tcTRANSP,
  tcEXP,
  tcSHAPET,
  tcDIV,
  tcSHAPETU,
  tc1TO2,
  tc2TO1,
  tc1TO3,
  tc3TO1,
  tcSHAPET2,
  tcSHAPETU2,
};

inline constexpr int TransfCodeCount = 42;

inline constexpr std::array<std::string_view, TransfCodeCount> kTransfCodes = {
    "SQRT",    "SQRT5",  "LN",      "LOG",      "LOG1",   "SQ",    "RECIP",  "RANDU",   "RANDN",   "DELETE", "KEEP",
    "SUBYBAR", "SUBMIN", "DIVSTD",  "DIVRANGE", "DIVMAX", "DIVSS", "DIVSY2", "NEG",     "DCENTER", "ADD",    "MUL",
    "DIVSUMY", "DEL",    "SYMD",    "SYMS",     "BIN",    "ASIN",  "ACOS",   "DIVV",    "SUBV",    "TRANSP", "EXP",
    "SHAPET",  "DIV",    "SHAPETU", "1TO2",     "2TO1",   "1TO3",  "3TO1",   "SHAPET2", "SHAPETU2"};

inline std::string_view TransfCodeName(int code) { return kTransfCodes[static_cast<std::size_t>(code - 1)]; }

// One parsed code: its number (tcNone when the text was used up), the range
// of variables first .. last (from 1; first > last is an empty range), the
// parameters and the token as written, for the engine's messages.
struct TParsedCode {
  int code = tcNone;
  std::int32_t first = 0;
  std::int32_t last = 0;
  int paramCount = 0;
  std::array<double, 4> params{};
  std::string token;
};

// The number of the table entry equal to token (exact, case-sensitive), 0 for none.
int TransfLookupCode(std::string_view token);

// Removes the next code from the front of text and returns it, after listing
// "Transformation: " with its parts. The range is bounded by the number of
// variables n; byRows chooses the word "Rows" or "Cols" of the listing.
// Raises E_Morvapc with the message a user reads for a code that cannot be
// parsed or does not take the parameters it was given.
TParsedCode TransfParseCodes(std::string& text, std::int32_t n, bool byRows);

// The new value of the element x under an element-wise code; statistic is the
// code's parameter or the statistic the engine computed for the variable. An
// element equal to missingValue stays as it is; a value without a result
// (outside the function's domain, or not finite) becomes missingValue and
// turns missingCode to 1.
double TransfApplyCode(int code, double statistic, double missingValue, int& missingCode, double x);
