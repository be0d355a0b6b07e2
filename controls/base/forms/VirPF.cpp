#include "controls/base/forms/VirPF.h"

#include <algorithm>

void TVirCustomPictureField::CreateWnd() {
  // A mask longer than MaxLength makes room for itself.
  if (MaskLength() > MaxLength()) StoreMaxLength(MaskLength());
  TVirPictureBase::CreateWnd();
}

void TVirCustomPictureField::Assign(const TVirCustomPictureField& source) {
  PictureFieldModel::Assign(source);
  AssignBorderAndColor(source);
  SetControlCharColor(source.ControlCharColor());
}

void TVirCustomPictureField::DefineProperties(TVirFiler& filer) {
  DefineTypeAndMask(
      filer, [this] { return static_cast<int>(DataType()); }, [this](int type) { SetDataType(type); },
      [this] { return PictureMask(); }, [this](const std::string& mask) { SetPictureMask(mask); });
  filer.DefineProperty(
      "InitDateTime", [this](TVirReader& reader) { SetInitDateTime(reader.ReadBoolean()); },
      [this](TVirWriter& writer) { writer.WriteBoolean(InitDateTime()); }, InitDateTime());
  TVirBaseEntryField::DefineProperties(filer);
}
