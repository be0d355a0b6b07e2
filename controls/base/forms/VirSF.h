#pragma once
// TVirCustomSimpleField and TVirSimpleField: the simple field in a window.
// The data types, transfers, checks, stepping and editors live in
// SimpleFieldModel (VirSFModel.h); the window supplies keys, mouse,
// clipboard, focus moves and painting through the entry field base.

#include "controls/base/VirSFModel.h"
#include "controls/base/forms/VirEF.h"

class TVirCustomSimpleField : public TVirBaseEntryField, public SimpleFieldModel {
 public:
  // Made out of line: inlined where a field is made, the virtual base's
  // offset misleads the compiler's array-bounds check.
  explicit TVirCustomSimpleField(plat::Control& parent);
  TVirCustomSimpleField(plat::Control& parent, const EntryFieldIntl& intl);

  using EntryFieldModel::SetCaretPos;
  using plat::CustomControl::SetCaretPos;

  // The model's properties, then the border, the colour, the control
  // character colour, and the error and highlight colours.
  void Assign(const TVirCustomSimpleField& source);
  // "DataType", "PictureMask", then the range limits.
  void DefineProperties(TVirFiler& filer) override;
};

class TVirSimpleField : public TVirCustomSimpleField {
 public:
  explicit TVirSimpleField(plat::Control& parent);
  TVirSimpleField(plat::Control& parent, const EntryFieldIntl& intl);
};
