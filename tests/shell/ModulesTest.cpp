// Dispatch by module number and the working copies of parameter tables.

#include <gtest/gtest.h>

#include "shell/Modules.h"
#include "tests/shell/FakeModules.h"

namespace {

using shelltest::FakeModule;
using shelltest::FakeTable;

constexpr std::int32_t SahnNumber = 18;

TEST(DescribeModule, NumbersOutsideTheTableAreInternalErrors) {
  for (std::int32_t number : {28, -1, 1000}) {
    TModuleRec module;
    module.name = "before";
    try {
      DescribeModule(number, module);
      FAIL() << number;
    } catch (const E_Morvapc_Internal& error) {
      EXPECT_EQ(error.Message(), "Out of range button index: " + std::to_string(number));
    }
    EXPECT_EQ(module.name, "before");
  }
}

TEST(DescribeModule, ModulesNotBuiltAreNotAvailable) {
  TModuleRec module;
  module.name = "before";
  try {
    DescribeModule(SahnNumber, module);
    FAIL();
  } catch (const E_Morvapc& error) {
    EXPECT_EQ(error.Message(), "Module not available: SAHN");
  }
  EXPECT_EQ(module.name, "before");
  EXPECT_FALSE(ModuleAvailable(SahnNumber));
  EXPECT_TRUE(ModuleAvailable(ConfigModule));
}

TEST(DescribeModule, FillsEverythingButTheNumber) {
  FakeModule fake(SahnNumber);
  TModuleRec module;
  module.number = 7;
  module.title = "left over";
  DescribeModule(SahnNumber, module);
  EXPECT_EQ(module.number, 7);
  EXPECT_EQ(module.name, "Fake");
  EXPECT_EQ(module.title, "Fake module");
  EXPECT_EQ(module.params.size(), FakeTable().size());
}

TEST(IsGraphicsModule, OnlyModules24To27) {
  for (std::int32_t number : {0, 23, 28}) EXPECT_FALSE(IsGraphicsModule(number)) << number;
  for (std::int32_t number : {24, 25, 26, 27}) EXPECT_TRUE(IsGraphicsModule(number)) << number;
}

TEST(LoadParameters, CopiesTheValueOfEachTypeButNoLimits) {
  FakeModule fake(SahnNumber);
  TModuleRec module;
  DescribeModule(SahnNumber, module);
  TWorkingParams params;
  params.LoadParameters(module);
  ASSERT_EQ(params.Count(), static_cast<std::int32_t>(FakeTable().size()));
  const auto p = params.Params();
  EXPECT_EQ(p[0].text, "start");
  EXPECT_EQ(p[1].index, 2);
  EXPECT_EQ(p[1].ChoiceText(), "Max") << "table index 2 selects the third item";
  EXPECT_EQ(p[1].ItemWidth(), 4);
  EXPECT_TRUE(p[2].check);
  EXPECT_EQ(p[3].fileName, "in.qmx");
  EXPECT_TRUE(p[3].required);
  EXPECT_EQ(p[5].real, 1.5);
  EXPECT_EQ(p[6].integer, 2);
  for (const TParamRec& record : p) {
    EXPECT_TRUE(record.min.empty() && record.max.empty() && record.mask.empty()) << record.keyword;
  }
}

TEST(LoadParameters, EachClientWorksOnItsOwnCopy) {
  FakeModule fake(SahnNumber);
  TModuleRec dialogModule;
  TModuleRec batchModule;
  DescribeModule(SahnNumber, dialogModule);
  DescribeModule(SahnNumber, batchModule);
  TWorkingParams dialog;
  TWorkingParams batch;
  dialog.LoadParameters(dialogModule);
  TParamRec* typed = &dialog.Params()[0];
  typed->text = "typed in the dialog";

  batch.LoadParameters(batchModule);  // a batch command starts meanwhile
  batch.Params()[0].text = "from the batch";
  batch.Free();

  EXPECT_EQ(&dialog.Params()[0], typed) << "the dialog's cells keep pointing at live records";
  EXPECT_EQ(dialog.Params()[0].text, "typed in the dialog");
  EXPECT_EQ(FakeTable()[0].text, "start") << "the module's table is never changed";

  dialog.LoadParameters(dialogModule);  // reopening starts from the table's values
  EXPECT_EQ(dialog.Params()[0].text, "start");
}

}  // namespace
