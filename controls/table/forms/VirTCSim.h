#pragma once
// TVirTCSimpleField: the entry-field cell that edits with a simple field.

#include "controls/base/forms/VirSF.h"
#include "controls/table/forms/VirTCBEF.h"

// Made with the library's international settings.
template <>
TVirTCFieldEdit<TVirSimpleField>::TVirTCFieldEdit(plat::Control& parent, TVirTCBaseEntryField& cell);
using TVirTCSimpleFieldEdit = TVirTCFieldEdit<TVirSimpleField>;

class TVirTCCustomSimpleField : public TVirTCFieldCell<TVirSimpleField, TSimpleDataType, char> {
 public:
  using TVirTCFieldCell::TVirTCFieldCell;

 protected:
  char DefaultMask() const override { return 'X'; }
  TSimpleDataType TypeOf(const EditClass& field) const override { return field.SimpleDataType(); }
};

class TVirTCSimpleField : public TVirTCCustomSimpleField {
 public:
  using TVirTCCustomSimpleField::TVirTCCustomSimpleField;
};
