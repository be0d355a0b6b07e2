#pragma once
// A form with the library's controller for the windowed entry-field tests:
// fields one under another, the desktop's beeps and the clipboard recorded.

#include <filesystem>
#include <string>
#include <utility>

#include "controls/base/VirEFIntl.h"
#include "controls/base/VirIntl.h"
#include "controls/base/forms/VirBase.h"
#include "platform/Snapshot.h"
#include "platform/StdControls.h"
#include "platform/SystemColors.h"
#include "tests/platform/QtTestSupport.h"

class FieldFormTest : public platform_test::WindowTest {
 protected:
  void MakeForm(const std::string& name, int width, int height) {
    form = &plat::CreateForm<plat::Form>(name);
    form->SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
    form->SetClientSize(width, height);
    controller = &form->AddComponent<TVirController>();
  }
  // A field 200 by 24 pixels in a row of the form, rows 34 pixels apart.
  template <class Field, class... Args>
  Field& AddField(int row, Args&&... args) {
    Field& field = form->Add<Field>(std::forward<Args>(args)...);
    field.SetBounds(10, 10 + 34 * row, 200, 24);
    return field;
  }

  // Saves the form as a test artefact and compares it with the stored picture
  // of that name in the fixtures.
  void ExpectFormAsStored(const std::string& picture) {
    const std::string made = std::string(MORVA_ARTEFACTS) + "/controls/base/" + picture;
    std::filesystem::create_directories(std::filesystem::path(made).parent_path());
    ASSERT_TRUE(plat::SaveSnapshot(*form, made));
    const std::string stored = std::string(MORVA_FIXTURES) + "/controls/base/" + picture;
    ASSERT_TRUE(std::filesystem::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
    plat::ImageDifference diff = plat::CompareImages(made, stored);
    ASSERT_TRUE(diff.loaded);
    EXPECT_TRUE(diff.sameSize);
    EXPECT_LT(diff.meanDelta, 4.0);
  }

  plat::RecordingDesktop desktop;
  plat::RecordingClipboard clipboard;
  plat::ScopedService<plat::Desktop> desktopInstalled{desktop};
  plat::ScopedService<plat::Clipboard> clipboardInstalled{clipboard};
  plat::Form* form = nullptr;
  TVirController* controller = nullptr;
};

// Two fields of one class, one under the other, with the library's
// international settings; the first has the focus once shown.
template <class Field>
class TwoFieldsTest : public FieldFormTest {
 protected:
  void SetUp() override {
    MakeForm("Fields", 300, 100);
    a = &AddField<Field>(0, intl);
    b = &AddField<Field>(1, intl);
  }
  void Show() {
    form->ShowForm();
    plat::input::Flush();
    ASSERT_TRUE(a->Focused());
  }

  TVirIntlSup settings;
  IntlSupEntryFields intl{settings};
  Field* a = nullptr;
  Field* b = nullptr;
};
