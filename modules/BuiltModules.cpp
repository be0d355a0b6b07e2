#include "modules/BuiltModules.h"

#include "modules/clustering/ClusteringModules.h"
#include "modules/general/GeneralModules.h"
#include "modules/ordination/OrdinationModules.h"
#include "modules/similarity/SimilarityModules.h"

void RegisterBuiltModules() {
  RegisterSimilarityModules();
  RegisterClusteringModules();
  RegisterOrdinationModules();
  RegisterGeneralModules();
}
