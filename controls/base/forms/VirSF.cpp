#include "controls/base/forms/VirSF.h"

TVirCustomSimpleField::TVirCustomSimpleField(plat::Control& parent)
    : TVirCustomSimpleField(parent, LibraryEntryFieldIntl()) {}

TVirCustomSimpleField::TVirCustomSimpleField(plat::Control& parent, const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Simple),
      TVirBaseEntryField(parent, intl, TFieldKind::Simple),
      SimpleFieldModel(intl) {}

TVirSimpleField::TVirSimpleField(plat::Control& parent) : TVirSimpleField(parent, LibraryEntryFieldIntl()) {}

TVirSimpleField::TVirSimpleField(plat::Control& parent, const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Simple), TVirCustomSimpleField(parent, intl) {}
