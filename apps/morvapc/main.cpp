// The analysis program: the main window with the module notebook.
//
// With MORVAPC_EXIT_AFTER_SHOW set, the program starts, prints the main
// window's caption on standard output and ends (MORVAPC_SNAPSHOT names a PNG
// file to save the window into first): a quick check that it starts.

#include <cstdio>
#include <cstdlib>

#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/Snapshot.h"
#include "shell/forms/Morva.h"
#include "shell/forms/StartUp.h"

int main(int argc, char** argv) {
  plat::InitApplication(argc, argv);
  if (std::getenv("MORVAPC_EXIT_AFTER_SHOW") == nullptr) return RunMorvapc();
  TMORVAF& main = StartMorvapc();
  plat::ProcessMessages();
  int status = 0;
  if (const char* png = std::getenv("MORVAPC_SNAPSHOT"); png != nullptr && *png != 0) {
    if (!plat::SaveSnapshot(main, png)) status = 1;
  }
  std::printf("%s\n", main.Caption().c_str());
  std::fflush(stdout);
  plat::DestroyForms();
  return status;
}
