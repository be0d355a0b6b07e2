#pragma once
// TVirTCNumericField: the entry-field cell that edits with a numeric field;
// the parameter dialog's real and integer arguments.

#include "controls/base/forms/VirNF.h"
#include "controls/table/forms/VirTCBEF.h"

// Made with the library's international settings.
template <>
TVirTCFieldEdit<TVirNumericField>::TVirTCFieldEdit(plat::Control& parent, TVirTCBaseEntryField& cell);
using TVirTCNumericFieldEdit = TVirTCFieldEdit<TVirNumericField>;

class TVirTCCustomNumericField : public TVirTCFieldCell<TVirNumericField, TNumericDataType, std::string> {
 public:
  using TVirTCFieldCell::TVirTCFieldCell;

 protected:
  std::string DefaultMask() const override { return {}; }
  TNumericDataType TypeOf(const EditClass& field) const override { return field.NumericDataType(); }
};

class TVirTCNumericField : public TVirTCCustomNumericField {
 public:
  using TVirTCCustomNumericField::TVirTCCustomNumericField;
};
