#include "modules/clustering/ClusteringModules.h"

#include "modules/clustering/coph.h"
#include "modules/clustering/mst.h"
#include "modules/clustering/sahn.h"
#include "shell/Modules.h"

void RegisterClusteringModules() {
  RegisterModule(15, CophDescribe);
  RegisterModule(16, MstDescribe);
  RegisterModule(18, SahnDescribe);
}
