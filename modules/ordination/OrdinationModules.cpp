#include "modules/ordination/OrdinationModules.h"

#include "modules/ordination/canpls.h"
#include "modules/ordination/corresp.h"
#include "modules/ordination/cpca.h"
#include "modules/ordination/cva.h"
#include "modules/ordination/eigen.h"
#include "modules/ordination/mdscale.h"
#include "modules/ordination/proj.h"
#include "modules/ordination/svd.h"
#include "shell/Modules.h"

void RegisterOrdinationModules() {
  RegisterModule(6, CanPlsDescribe);
  RegisterModule(7, CpcaDescribe);
  RegisterModule(8, CorrespDescribe);
  RegisterModule(9, CvaDescribe);
  RegisterModule(10, EigenDescribe);
  RegisterModule(11, MdscaleDescribe);
  RegisterModule(12, ProjDescribe);
  RegisterModule(13, SvdDescribe);
}
