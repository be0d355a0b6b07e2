#include "modules/general/GeneralModules.h"

#include "modules/general/transf.h"
#include "shell/Modules.h"

void RegisterGeneralModules() { RegisterModule(23, TransfDescribe); }
