#include "modules/general/GeneralModules.h"

#include "modules/general/dcenter.h"
#include "modules/general/fourier.h"
#include "modules/general/output.h"
#include "modules/general/stand.h"
#include "modules/general/tpswts.h"
#include "modules/general/transf.h"
#include "shell/Modules.h"

void RegisterGeneralModules() {
  RegisterModule(1, StandDescribe);
  RegisterModule(2, OutputDescribe);
  RegisterModule(3, DcenterDescribe);
  RegisterModule(4, FourierDescribe);
  RegisterModule(5, TpswtsDescribe);
  RegisterModule(23, TransfDescribe);
}
