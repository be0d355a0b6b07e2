// Puts the graphics modules into the module table before the batch driver's
// main runs, for the batch runs of this folder's tests.

#include "plot/GraphicsModules.h"

namespace {

[[maybe_unused]] const bool registered = (RegisterGraphicsModules(), true);

}  // namespace
