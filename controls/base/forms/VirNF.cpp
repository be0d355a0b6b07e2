#include "controls/base/forms/VirNF.h"

TVirCustomNumericField::TVirCustomNumericField(plat::Control& parent)
    : TVirCustomNumericField(parent, LibraryEntryFieldIntl()) {}

TVirCustomNumericField::TVirCustomNumericField(plat::Control& parent, const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Numeric),
      PictureBaseModel(intl, TFieldKind::Numeric),
      TVirPictureBase(parent, intl, TFieldKind::Numeric),
      NumericFieldModel(intl) {}

TVirNumericField::TVirNumericField(plat::Control& parent) : TVirNumericField(parent, LibraryEntryFieldIntl()) {}

TVirNumericField::TVirNumericField(plat::Control& parent, const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Numeric),
      PictureBaseModel(intl, TFieldKind::Numeric),
      TVirCustomNumericField(parent, intl) {}
