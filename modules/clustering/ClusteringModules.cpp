#include "modules/clustering/ClusteringModules.h"

#include "modules/clustering/sahn.h"
#include "shell/Modules.h"

void RegisterClusteringModules() { RegisterModule(18, SahnDescribe); }
