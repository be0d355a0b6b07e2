// The data editor: opens the matrix file named on its command line, or starts
// a new empty matrix.
//
// With MVEDIT_EXIT_AFTER_SHOW set, the program shows its window, prints the
// caption on standard output and ends (MVEDIT_SNAPSHOT names a PNG file to
// save the window into first): a quick check that it starts on a file.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dataeditor/forms/MveditF.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/Guard.h"
#include "platform/Snapshot.h"

namespace {

int ShowAndExit(TMveditF& form) {
  plat::ProcessMessages();
  int status = 0;
  if (const char* png = std::getenv("MVEDIT_SNAPSHOT"); png != nullptr && *png != 0) {
    if (!plat::SaveSnapshot(form, png)) status = 1;
  }
  std::printf("%s\n", form.Caption().c_str());
  std::fflush(stdout);
  plat::DestroyForms();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  plat::InitApplication(argc, argv);
  plat::SetApplicationTitle("Mvedit");
  plat::SetApplicationHelpFile("morva.hlp");
  std::vector<std::string> args(argv + 1, argv + argc);
  TMveditF& form = plat::CreateForm<TMveditF>();
  form.Start(args);
  form.ShowForm();
  if (std::getenv("MVEDIT_EXIT_AFTER_SHOW") != nullptr) return ShowAndExit(form);
  return plat::RunApplication();
}
