#include "shell/Ask_oaf.h"

#include <utility>

#include "matrix/MatrixFiles.h"

void InstallOverwritePrompt(TAskOafPrompt prompt) {
  TMatrixFileHooks hooks = InstallMatrixFileHooks({});
  hooks.overwritePrompt = std::move(prompt);
  InstallMatrixFileHooks(std::move(hooks));
}
