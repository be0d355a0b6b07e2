// The pieces every module is built from: the descriptor fill, the choice
// lookup through a facts table, and the plot objects of the plot buttons
// opened through the installed openers.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/Constu.h"
#include "shell/ModuleRun.h"
#include "shell/PlotWindows.h"
#include "tests/support/ScopedHook.h"

namespace {

void NoRun(std::span<const TParamRec>) {}

TEST(ModuleSkeleton, DescribeAsReplacesEveryFieldButTheNumber) {
  const std::array<TParamRec, 1> params = {InFileParam("O", "Input file", "Name of input file", prRequired)};
  TModuleRec module;
  module.number = 21;
  module.name = "Earlier";
  const std::array<TbuttonsRec, 1> buttons = {{{"Plot", "Tree", nullptr}}};
  module.buttons = buttons;
  module.release = [] {};
  DescribeAs(module, "Later", "Later module", 7, NoRun, params, nullptr);
  EXPECT_EQ(module.number, 21);
  EXPECT_EQ(module.name, "Later");
  EXPECT_EQ(module.title, "Later module");
  EXPECT_EQ(module.helpContext, 7);
  EXPECT_EQ(module.run, NoRun);
  EXPECT_EQ(module.params.data(), params.data());
  EXPECT_TRUE(module.buttons.empty());
  EXPECT_EQ(module.release, nullptr);
}

struct TColour {
  std::string_view name;
  int code;
};
constexpr std::array<TColour, 3> kColours = {{{"RED", 10}, {"GREEN", 20}, {"BLUE", 30}}};

TEST(ModuleSkeleton, AChoiceLooksUpTheFactsOfItsItem) {
  const TParamRec choice = ChoiceParam("C", "Colour", "Colour", ChoiceItems(kColours), 2);
  EXPECT_EQ(choice.items, (std::vector<std::string>{"RED", "GREEN", "BLUE"}));
  EXPECT_EQ(choice.ChoiceText(), "BLUE");
  EXPECT_EQ(ChosenFacts(kColours, choice).code, 30);

  for (std::int32_t index : {-1, 3, 100}) {
    TParamRec outside = choice;
    outside.index = index;
    try {
      ChosenFacts(kColours, outside);
      ADD_FAILURE() << index;
    } catch (const E_Morvapc_Internal& e) {
      EXPECT_EQ(e.Message(), "Choice index out of range: " + std::to_string(index));
    }
  }
}

// A plot object that logs its opening and its freeing.
class LoggedPlot : public TPlotObject {
 public:
  LoggedPlot(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {
    log_.push_back("open " + name_);
  }
  ~LoggedPlot() override { log_.push_back("close " + name_); }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

class ModulePlotsTest : public ::testing::Test {
 protected:
  TPlotOpeners Openers() {
    TPlotOpeners openers;
    openers.tree = [this](const TTreePlotRequest& request) -> std::unique_ptr<TPlotObject> {
      shown = request.results;
      return std::make_unique<LoggedPlot>(log, request.windowName);
    };
    return openers;
  }

  static TTreePlotRequest Request(std::string windowName) {
    return {std::make_shared<const TTreeMxList>(), std::move(windowName), 1};
  }

  std::vector<std::string> log;
  std::shared_ptr<const TTreeMxList> shown;
};

TEST_F(ModulePlotsTest, APlotButtonFreesItsPlotBeforeItOpensTheNextAndReleaseFreesAll) {
  const testsupport::ScopedHook installed(InstallPlotOpeners, Openers());
  TModulePlots plots;
  plots.Open(1, Request("TreeF1"));
  plots.Open(1, Request("TreeF1'"));
  plots.Open(2, Request("TreeF2"));
  EXPECT_EQ(log, (std::vector<std::string>{"open TreeF1", "close TreeF1", "open TreeF1'", "open TreeF2"}));
  plots.CloseAll();
  EXPECT_FALSE(plots.IsOpen(1));
  EXPECT_FALSE(plots.IsOpen(2));
  EXPECT_EQ(log.size(), 6u);
}

TEST_F(ModulePlotsTest, NothingOpensWithoutResultsOrWithoutAnOpener) {
  TModulePlots plots;
  {
    const testsupport::ScopedHook installed(InstallPlotOpeners, Openers());
    plots.Open(1, TTreePlotRequest{nullptr, "TreeF1", 1});
    EXPECT_TRUE(log.empty()) << "a module without results opens nothing";
  }
  plots.Open(1, Request("TreeF1"));
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(plots.IsOpen(1)) << "a program without windows opens nothing";
}

TEST_F(ModulePlotsTest, ButtonsAreNumberedOneToFour) {
  TModulePlots plots;
  for (int button : {0, 5}) {
    try {
      plots.Close(button);
      ADD_FAILURE() << button;
    } catch (const E_Morvapc_Internal& e) {
      EXPECT_EQ(e.Message(), "Out of range button index: " + std::to_string(button));
    }
  }
}

}  // namespace
