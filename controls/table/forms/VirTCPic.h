#pragma once
// TVirTCPictureField: the entry-field cell that edits with a picture field.

#include "controls/base/forms/VirPF.h"
#include "controls/table/forms/VirTCBEF.h"

// Made with the library's international settings.
template <>
TVirTCFieldEdit<TVirPictureField>::TVirTCFieldEdit(plat::Control& parent, TVirTCBaseEntryField& cell);
using TVirTCPictureFieldEdit = TVirTCFieldEdit<TVirPictureField>;

class TVirTCCustomPictureField : public TVirTCFieldCell<TVirPictureField, TPictureDataType, std::string> {
 public:
  using TVirTCFieldCell::TVirTCFieldCell;

 protected:
  std::string DefaultMask() const override { return "XXXXXXXXXXXXXXX"; }
};

class TVirTCPictureField : public TVirTCCustomPictureField {
 public:
  using TVirTCCustomPictureField::TVirTCCustomPictureField;
};
