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
};

class TVirSimpleField : public TVirCustomSimpleField {
 public:
  explicit TVirSimpleField(plat::Control& parent);
  TVirSimpleField(plat::Control& parent, const EntryFieldIntl& intl);
};
