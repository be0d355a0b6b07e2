#include "controls/base/forms/VirSF.h"

TVirCustomSimpleField::TVirCustomSimpleField(plat::Control& parent)
    : TVirCustomSimpleField(parent, LibraryEntryFieldIntl()) {}

TVirCustomSimpleField::TVirCustomSimpleField(plat::Control& parent, const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Simple),
      TVirBaseEntryField(parent, intl, TFieldKind::Simple),
      SimpleFieldModel(intl) {}

void TVirCustomSimpleField::Assign(const TVirCustomSimpleField& source) {
  SimpleFieldModel::Assign(source);
  AssignBorderAndColor(source);
  SetControlCharColor(source.ControlCharColor());
  ErrorColors().Assign(source.ErrorColors());
  HighlightColors().Assign(source.HighlightColors());
}

void TVirCustomSimpleField::DefineProperties(TVirFiler& filer) {
  DefineTypeAndMask(
      filer, [this] { return static_cast<int>(SimpleDataType()); }, [this](int type) { SetDataType(type); },
      [this] { return std::string(1, PictureMask()); },
      [this](const std::string& mask) {
        if (mask.size() != 1) throw EFilerError("Stream read error: PictureMask");
        SetPictureMask(mask[0]);
      });
  TVirBaseEntryField::DefineProperties(filer);
}

TVirSimpleField::TVirSimpleField(plat::Control& parent) : TVirSimpleField(parent, LibraryEntryFieldIntl()) {}

TVirSimpleField::TVirSimpleField(plat::Control& parent, const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Simple), TVirCustomSimpleField(parent, intl) {}
