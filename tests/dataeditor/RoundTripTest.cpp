#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AnalysisReadBack.h"
#include "EditorTestSupport.h"
#include "dataeditor/EdReader.h"
#include "dataeditor/EdWriter.h"
#include "dataeditor/MveditModel.h"

namespace {

using namespace dataeditor_test;

class RoundTrip : public EditorTest {};

TEST_F(RoundTrip, EveryTypeLoadsAndSavesByteForByte) {
  const std::string original = FixturePath("all-types.qmx");
  TMveditModel model;
  model.LoadFile(original);
  ASSERT_EQ(model.MatrixList.size(), 8u);
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(model.MatrixList[static_cast<std::size_t>(k - 1)]->MatType, k);
  const std::string saved = folder.File("saved.qmx");
  ASSERT_TRUE(model.SaveFile(saved));
  EXPECT_EQ(ReadBytes(saved), ReadBytes(original));
}

TEST_F(RoundTrip, SavedMatricesReadTheSameThroughTheAnalysisReaders) {
  TMveditModel model;
  model.LoadFile(FixturePath("all-types.qmx"));
  const std::string saved = folder.File("saved.qmx");
  ASSERT_TRUE(model.SaveFile(saved));
  rtl::TextReader f(saved);
  int number = 0;
  for (const auto& m : model.MatrixList) ExpectAnalysisReads(f, *m, ++number);
  EXPECT_TRUE(f.SeekEof());
}

}  // namespace
