#pragma once
// Support of the options windows' tests: a graphics module run on fixtures,
// an options window opened through its plot window's "&Plot Options..." and
// worked on while it runs modally, controls found by name, replots counted
// and pictures of the windows kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/Form.h"
#include "platform/Input.h"
#include "platform/Snapshot.h"
#include "plot/forms/bm2DForm.h"
#include "tests/platform/QtTestSupport.h"
#include "tests/support/ModuleArgs.h"

namespace optionstest {

inline std::string Fixture(const std::string& path) { return std::string(MORVA_FIXTURES) + "/" + path; }

// Runs a module on the fixtures, its plot window offscreen.
inline void RunModule(void (*describe)(TModuleRec&), const testsupport::ModuleArgs& args) {
  testsupport::RunModule(describe, args, Fixture);
  plat::input::Flush();
}

// The control of that name among the descendants of `root`; a failed test when none.
template <class T>
T& Named(plat::Control& root, const std::string& name) {
  std::function<plat::Control*(plat::Control&)> find = [&](plat::Control& c) -> plat::Control* {
    if (c.Name() == name) return &c;
    for (plat::Control* child : c.Children()) {
      if (plat::Control* found = find(*child)) return found;
    }
    return nullptr;
  };
  auto* control = dynamic_cast<T*>(find(root));
  if (control == nullptr) throw std::runtime_error("no control named " + name);
  return *control;
}

// Counts the plot window's replots.
struct ReplotCounter {
  explicit ReplotCounter(Tbm2DForm& window) {
    window.OnReplot = [this] { ++count; };
  }
  int Take() {
    const int taken = count;
    count = 0;
    return taken;
  }
  int count = 0;
};

// Opens the options window named `formName` through the window's "&Plot
// Options..." (or `open`) and runs `act` on it while it is shown modally, then closes
// it with "&OK". Afterwards the window is gone.
template <class F>
void WithOptions(Tbm2DForm& window, const std::string& formName, const std::function<void(F&)>& act,
                 const std::function<void()>& open = {}) {
  platform_test::Deferred later;
  bool ran = false;
  later.Post([&] {
    auto* form = dynamic_cast<F*>(plat::FindForm(formName));
    if (form == nullptr) return;
    ran = true;
    EXPECT_TRUE(form->IsModal());
    try {
      act(*form);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
    form->OkButton().Click();
  });
  if (open) {
    open();
  } else {
    plat::MenuItem* item = window.Menu().Find("Plot Options...");
    ASSERT_NE(item, nullptr);
    item->Click();
  }
  EXPECT_TRUE(ran) << formName << " did not open";
  EXPECT_EQ(plat::FindForm(formName), nullptr) << formName << " is freed when it closes";
}

// A dialog that opens modally over `options` from now on is cancelled.
inline void CancelTheNextDialog(platform_test::Deferred& later, plat::Form& options, Tbm2DForm& window) {
  later.Post([&options, &window] {
    for (plat::Form* form : plat::Forms()) {
      if (form != &options && form != &window && form->IsModal()) form->SetModalResult(plat::mrCancel);
    }
  });
}

inline void Snapshot(plat::Control& control, const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(MORVA_ARTEFACTS) / "plot" / "options";
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(plat::SaveSnapshot(control, (folder / name).string())) << name;
}

}  // namespace optionstest
