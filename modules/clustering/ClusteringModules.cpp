#include "modules/clustering/ClusteringModules.h"

#include "modules/clustering/consens.h"
#include "modules/clustering/coph.h"
#include "modules/clustering/mst.h"
#include "modules/clustering/njoin.h"
#include "modules/clustering/sahn.h"
#include "shell/Modules.h"

void RegisterClusteringModules() {
  RegisterModule(14, ConsensDescribe);
  RegisterModule(15, CophDescribe);
  RegisterModule(16, MstDescribe);
  RegisterModule(17, NjoinDescribe);
  RegisterModule(18, SahnDescribe);
}
