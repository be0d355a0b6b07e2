// Puts the clustering modules into the module table before the batch
// driver's main runs, for the golden runs of this folder's tests.

#include "modules/clustering/ClusteringModules.h"

namespace {

[[maybe_unused]] const bool registered = (RegisterClusteringModules(), true);

}  // namespace
