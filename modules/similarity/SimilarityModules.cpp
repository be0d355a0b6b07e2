#include "modules/similarity/SimilarityModules.h"

#include "modules/similarity/poolvc.h"
#include "modules/similarity/simgend.h"
#include "modules/similarity/simint.h"
#include "modules/similarity/simqual.h"
#include "shell/Modules.h"

void RegisterSimilarityModules() {
  RegisterModule(19, PoolvcDescribe);
  RegisterModule(20, SimgendDescribe);
  RegisterModule(21, SimintDescribe);
  RegisterModule(22, SimqualDescribe);
}
