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

void TVirCustomNumericField::Assign(const TVirCustomNumericField& source) {
  NumericFieldModel::Assign(source);
  AssignBorderAndColor(source);
  ErrorColors().Assign(source.ErrorColors());
  HighlightColors().Assign(source.HighlightColors());
}

void TVirCustomNumericField::DefineProperties(TVirFiler& filer) {
  DefineTypeAndMask(
      filer, [this] { return static_cast<int>(NumericDataType()); }, [this](int type) { SetDataType(type); },
      [this] { return PictureMask(); }, [this](const std::string& mask) { SetPictureMask(mask); });
  TVirBaseEntryField::DefineProperties(filer);
}
