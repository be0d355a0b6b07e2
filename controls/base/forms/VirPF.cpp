#include "controls/base/forms/VirPF.h"

#include <algorithm>

void TVirCustomPictureField::CreateWnd() {
  // A mask longer than MaxLength makes room for itself.
  if (MaskLength() > MaxLength()) StoreMaxLength(MaskLength());
  TVirPictureBase::CreateWnd();
}
