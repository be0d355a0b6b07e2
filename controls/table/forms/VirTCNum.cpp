#include "controls/table/forms/VirTCNum.h"

template <>
TVirTCFieldEdit<TVirNumericField>::TVirTCFieldEdit(plat::Control& parent, TVirTCBaseEntryField& cell)
    : EntryFieldModel(LibraryEntryFieldIntl(), TFieldKind::Numeric),
      PictureBaseModel(LibraryEntryFieldIntl(), TFieldKind::Numeric),
      TVirNumericField(parent),
      CellOwner(&cell) {}
