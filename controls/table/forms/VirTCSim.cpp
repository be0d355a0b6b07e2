#include "controls/table/forms/VirTCSim.h"

template <>
TVirTCFieldEdit<TVirSimpleField>::TVirTCFieldEdit(plat::Control& parent, TVirTCBaseEntryField& cell)
    : EntryFieldModel(LibraryEntryFieldIntl(), TFieldKind::Simple), TVirSimpleField(parent), CellOwner(&cell) {}
