#include "modules/BuiltModules.h"

#include "modules/clustering/ClusteringModules.h"
#include "modules/similarity/SimilarityModules.h"
#include "plot/GraphicsModules.h"

void RegisterBuiltModules() {
  RegisterSimilarityModules();
  RegisterClusteringModules();
  RegisterGraphicsModules();
}
