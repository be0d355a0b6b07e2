// The transformation codes: the parser on texts of every form and on every
// error, and the element functions against R's functions and on the values
// where they have no result.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/general/transfCodes.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/modules/general/GeneralTestSupport.h"
#include "tests/support/RecordedServices.h"

namespace {

struct ParseCase {
  const char* text;
  int code;
  std::int32_t first, last;
  std::vector<double> params;
  const char* message;  // the refusal, or nullptr
};

constexpr std::int32_t kVariables = 10;

TEST(TransfCodes, TheParserTakesEachFormOfCodeAndRefusesEachError) {
  const ParseCase cases[] = {
      {"LN", tcLN, 1, 10, {}, nullptr},
      {"ln", tcLN, 1, 10, {}, nullptr},
      {"1to2", tc1TO2, 1, 10, {}, nullptr},
      {"ADD(2)", tcADD, 1, 10, {2}, nullptr},
      {"ADD(2)[4]", tcADD, 4, 4, {2}, nullptr},
      {"ADD(2)[4-]", tcADD, 4, 10, {2}, nullptr},
      {"ADD(2)[-4]", tcADD, 1, 4, {2}, nullptr},
      {"ADD(2)[3-5]", tcADD, 3, 5, {2}, nullptr},
      {"KEEP[5-3]", tcKEEP, 5, 3, {}, nullptr},
      {"DELETE[3-0]", tcDELETE, 3, 10, {}, nullptr},
      {"SHAPET(1,2)[1-2]", tcSHAPET, 1, 2, {1, 2}, nullptr},
      {"MUL(-1.5e1)", tcMUL, 1, 10, {-15}, nullptr},
      {"ADD(1,2,3,4)", tcADD, 1, 10, {1, 2, 3, 4}, nullptr},
      {"ADD(2)[0]", 0, 0, 0, {}, "Variable number out of range: ADD(2)[0]"},
      {"ADD(2)[11]", 0, 0, 0, {}, "Variable number out of range: ADD(2)[11]"},
      {"ADD(2)[a]", 0, 0, 0, {}, "Error in variable number: ADD(2)[a]"},
      {"ADD(2)[2-11]", 0, 0, 0, {}, "Variable number out of range: 11 in token: ADD(2)[2-11]"},
      {"ADD(2)[0-3]", 0, 0, 0, {}, "Variable number out of range: 0 in token: ADD(2)[0-3]"},
      {"ADD(2)[x-3]", 0, 0, 0, {}, "Error in variable number: x in token: ADD(2)[x-3]"},
      {"ADD(2", 0, 0, 0, {}, "No matching ) found: ADD(2"},
      {"ADD(x)", 0, 0, 0, {}, "Error in parameter value: ADD(x)"},
      {"ADD(1,2,3,4,5)", 0, 0, 0, {}, "Too many parameters: ADD(1,2,3,4,5)"},
      {"LN[3", 0, 0, 0, {}, "No ] found at end of string: LN[3"},
      {"foo", 0, 0, 0, {}, "Bad transformation code: FOO"},
      {"ln+sqrt SQ", 0, 0, 0, {}, "Bad transformation code: LN+SQRT"},
      {"SQRT(2)", 0, 0, 0, {}, "Parameter field not used by this transformation"},
      {"SHAPET(1)[1-2]", 0, 0, 0, {}, "Two parameters needed by this transformation"},
      {"SHAPET(1 2)", 0, 0, 0, {}, "No matching ) found: SHAPET(1"},
  };
  for (const ParseCase& c : cases) {
    const testsupport::RecordedServices services;
    std::string text = c.text;
    if (c.message != nullptr) {
      EXPECT_EQ(ErrorText<E_Morvapc>([&] { TransfParseCodes(text, kVariables, true); }), c.message) << c.text;
      continue;
    }
    const TParsedCode parsed = TransfParseCodes(text, kVariables, true);
    EXPECT_EQ(parsed.code, c.code) << c.text;
    EXPECT_EQ(parsed.first, c.first) << c.text;
    EXPECT_EQ(parsed.last, c.last) << c.text;
    ASSERT_EQ(parsed.paramCount, static_cast<int>(c.params.size())) << c.text;
    for (std::size_t k = 0; k < c.params.size(); ++k) EXPECT_EQ(parsed.params[k], c.params[k]) << c.text;
    EXPECT_EQ(parsed.token, c.text);
    EXPECT_TRUE(text.empty()) << c.text;
    EXPECT_EQ(services.lines.size(), 1u) << c.text;
  }
}

TEST(TransfCodes, TheListingLineShowsTheCodeItsRangeAndParameters) {
  const testsupport::RecordedServices services;
  std::string text = "add(1)[3-5]+SQRT";
  TransfParseCodes(text, kVariables, true);
  text = "SQRT(2)";
  ErrorText<E_Morvapc>([&] { TransfParseCodes(text, kVariables, false); });
  EXPECT_EQ(services.lines, (std::vector<std::string>{"Transformation: ADD Rows    3   5    1.00000",
                                                      "Transformation: SQRT Cols    1  10    2.00000"}));
}

TEST(TransfCodes, BlanksAndPlusSignsSeparateCodes) {
  struct Case {
    const char* text;
    std::vector<int> codes;
  };
  const Case cases[] = {
      {"LN SQRT", {tcLN, tcSQRT}},
      {"LN+SQRT", {tcLN, tcSQRT}},
      {"  LN   SQRT SQ ", {tcLN, tcSQRT, tcSQ}},
      {"LN + SQRT", {tcLN, tcSQRT}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const testsupport::RecordedServices services;
    std::string text = c.text;
    std::vector<int> codes;
    for (TParsedCode parsed = TransfParseCodes(text, 3, true); parsed.code != tcNone;
         parsed = TransfParseCodes(text, 3, true)) {
      codes.push_back(parsed.code);
    }
    EXPECT_EQ(codes, c.codes) << c.text;
  }
}

TEST(TransfCodes, ElementFunctionsEqualRsFunctions) {
  const testsupport::ReferenceTable& refs = gentest::Refs();
  struct Case {
    int code;
    const char* name;
    const char* argument;
  };
  const Case cases[] = {
      {tcSQRT, "SQRT", "x"}, {tcSQRT5, "SQRT5", "x"}, {tcLN, "LN", "x"},   {tcLOG, "LOG", "x"},   {tcLOG1, "LOG1", "x"},
      {tcSQ, "SQ", "x"},     {tcRECIP, "RECIP", "x"}, {tcEXP, "EXP", "x"}, {tcASIN, "ASIN", "a"}, {tcACOS, "ACOS", "a"},
  };
  for (const Case& c : cases) {
    for (int i = 1; i <= 6; ++i) {
      int missingCode = 0;
      const double x = refs.At(c.argument, i);
      const double y = TransfApplyCode(c.code, 0, 99999, missingCode, x);
      EXPECT_NEAR(y, refs.At(c.name, i), 1e-12 * std::max(1.0, std::fabs(y))) << c.name << "(" << x << ")";
      EXPECT_EQ(missingCode, 0) << c.name;
    }
  }
}

TEST(TransfCodes, ValuesWithoutAResultBecomeTheMissingValue) {
  constexpr double kMissing = -999;
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    int code;
    double statistic;
    double x;
    double expected;  // kMissing: no result
  };
  const Case cases[] = {
      {tcEXP, 0, 0, 1},
      {tcEXP, 0, 710, kMissing},
      {tcLN, 0, 0, kMissing},
      {tcLOG, 0, 100, 2},
      {tcLOG1, 0, 99, 2},
      {tcLOG, 0, -1, kMissing},
      {tcLOG1, 0, -1, kMissing},
      {tcSQRT, 0, -1, kMissing},
      {tcSQRT5, 0, -0.5, 0},
      {tcSQRT5, 0, -0.6, kMissing},
      {tcRECIP, 0, 0, kMissing},
      {tcRECIP, 0, 5e-324, kMissing},
      {tcSQ, 0, 1e200, kMissing},
      {tcASIN, 0, -1, -M_PI / 2},
      {tcASIN, 0, 1.5, kMissing},
      {tcACOS, 0, 0.5, M_PI / 3},
      {tcACOS, 0, -1.01, kMissing},
      {tcDIV, 0, 3, 0},
      {tcDIVSTD, 0, 3, 0},
      {tcDIV, 2, 3, 1.5},
      {tcBIN, 2, 2, 0},
      {tcBIN, 2, 2.5, 1},
      {tcSUBYBAR, 1.5, 1, -0.5},
      {tcNEG, 0, 2, -2},
      {tcMUL, 3, 2, 6},
      {tcADD, 3, 2, 5},
      {tcMUL, inf, 2, kMissing},
  };
  for (const Case& c : cases) {
    int missingCode = 0;
    const double y = TransfApplyCode(c.code, c.statistic, kMissing, missingCode, c.x);
    EXPECT_NEAR(y, c.expected, 1e-15) << TransfCodeName(c.code) << "(" << c.x << ")";
    EXPECT_EQ(missingCode, c.expected == kMissing ? 1 : 0) << TransfCodeName(c.code) << "(" << c.x << ")";
  }
  // A missing value stays as it is.
  int missingCode = 1;
  EXPECT_EQ(TransfApplyCode(tcADD, 5, kMissing, missingCode, kMissing), kMissing);
}

}  // namespace
