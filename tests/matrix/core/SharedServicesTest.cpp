#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "matrix/Constu.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/support/ScopedHook.h"

namespace {

static_assert(!std::is_base_of_v<E_Morvapc, E_Morvapc_UserAbort>, "a user abort is not a user error");
static_assert(!std::is_base_of_v<E_Morvapc, E_Morvapc_Internal>, "internal errors escape the per-run handlers");

// Installs recording doubles of the shell's services for one test.
class SharedServices : public ::testing::Test {
 protected:
  void SetUp() override {
    TSharedServices services;
    services.listingLine = [this](std::string_view line) { listing.emplace_back(line); };
    services.errorBox = [this](std::string_view text) { boxes.push_back("error: " + std::string(text)); };
    services.warningBox = [this](std::string_view text) { boxes.push_back("warning: " + std::string(text)); };
    services.formNames = [this] { return forms; };
    services.printerPage = [this] { return printer; };
    previous_ = InstallSharedServices(std::move(services));
  }
  void TearDown() override { InstallSharedServices(std::move(previous_)); }

  std::vector<std::string> listing;
  std::vector<std::string> boxes;
  std::vector<std::string> forms;
  std::optional<TPrinterPage> printer;

 private:
  TSharedServices previous_;
};

TEST_F(SharedServices, ListingAndMessageBoxesReachTheShell) {
  ListingWriteLine("Input parameters");
  ListingWriteLine("");
  ShowErrorMessage("Cannot build set of < 1 member");
  ShowWarningMessage("User abort");
  EXPECT_EQ(listing, (std::vector<std::string>{"Input parameters", ""}));
  EXPECT_EQ(boxes, (std::vector<std::string>{"error: Cannot build set of < 1 member", "warning: User abort"}));
}

TEST(SharedServicesAbsent, ListingAndBoxesWithoutAShellAreInternalErrors) {
  const testsupport::ScopedHook none(InstallSharedServices, {});
  EXPECT_THROW(ListingWriteLine("lost"), E_Morvapc_Internal);
  EXPECT_THROW(ShowErrorMessage("lost"), E_Morvapc_Internal);
  EXPECT_FALSE(FormExists("DialogF"));
  EXPECT_NO_THROW(FreeParamTable());
}

TEST_F(SharedServices, FormExistsComparesNamesWithoutCase) {
  forms = {"MORVAF", "ProjMxPlotF1"};
  const std::pair<const char*, bool> cases[] = {
      {"projmxplotf1", true}, {"PROJMXPLOTF1", true}, {"MorvaF", true}, {"ProjMxPlotF2", false}, {"", false}};
  for (const auto& [name, exists] : cases) EXPECT_EQ(FormExists(name), exists) << name;
}

TEST_F(SharedServices, EditToRealTakesPointDecimalsOnly) {
  const std::pair<const char*, double> numbers[] = {{"1.5", 1.5}, {"-2", -2.0}, {"1e3", 1000.0}, {" 2.5 ", 2.5}};
  for (const auto& [text, expected] : numbers) {
    double value = 0;
    EXPECT_TRUE(EditToReal(text, "value", value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* text : {"1,5", "", "1.5x", "inf", "nan", "0x10"}) {
    double value = 7;
    EXPECT_EQ(ErrorText<E_Morvapc>([&] { EditToReal(text, "axis minimum", value); }), "Invalid value for axis minimum")
        << text;
    EXPECT_EQ(value, 7) << "a refused text leaves the value";
  }
}

TEST_F(SharedServices, PrinterPageInHundredthsOfAnInch) {
  printer = TPrinterPage{210, 297, 1};
  EXPECT_TRUE(GetPrinterResolution());
  EXPECT_EQ(PrinterPageWidth, 827);  // 210 mm = 826.77 hundredths
  EXPECT_EQ(PrinterPageHeight, 1169);
  EXPECT_EQ(PrinterOrientation, 1);

  printer.reset();
  EXPECT_EQ(ErrorText<E_Morvapc>([] { GetPrinterResolution(); }), "No printer found.");
  EXPECT_EQ(PrinterPageWidth, 827) << "the last page stays";
}

TEST(NormalizeDirectory, TrimsAndEndsWithOneSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"  /home/data  ", "/home/data/"}, {"", ""},          {"   ", ""}, {" /home/data/ ", "/home/data/"},
      {"C:\\DATA\\", "C:\\DATA\\"},      {"data", "data/"},
  };
  for (const auto& [given, normalized] : cases) {
    std::string directory = given;
    NormalizeDirectory(directory);
    EXPECT_EQ(directory, normalized) << '"' << given << '"';
  }
}

TEST(Exceptions, UserAbortSaysSo) { EXPECT_STREQ(E_Morvapc_UserAbort().what(), "User abort"); }

}  // namespace
