#include "controls/table/forms/VirTCPic.h"

template <>
TVirTCFieldEdit<TVirPictureField>::TVirTCFieldEdit(plat::Control& parent, TVirTCBaseEntryField& cell)
    : EntryFieldModel(LibraryEntryFieldIntl(), TFieldKind::Picture),
      PictureBaseModel(LibraryEntryFieldIntl(), TFieldKind::Picture),
      TVirPictureField(parent),
      CellOwner(&cell) {}
