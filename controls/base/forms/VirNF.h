#pragma once
// TVirCustomNumericField and TVirNumericField: the numeric field in a window.
// The digit buffer, masks, transfers, checks, stepping and editing commands
// live in NumericFieldModel (VirNFModel.h); the window supplies keys, mouse,
// clipboard, focus moves and painting (the text against the right margin,
// the caret after it) through the entry field base.

#include "controls/base/VirNFModel.h"
#include "controls/base/forms/VirPB.h"

class TVirCustomNumericField : public TVirPictureBase, public NumericFieldModel {
 public:
  // Made out of line: inlined where a field is made, the virtual bases'
  // offsets mislead the compiler's array-bounds check.
  explicit TVirCustomNumericField(plat::Control& parent);
  TVirCustomNumericField(plat::Control& parent, const EntryFieldIntl& intl);

  using NumericFieldModel::SetCaretPos;
  using plat::CustomControl::SetCaretPos;

  // The model's properties, then the border, the colour, and the error and highlight colours.
  void Assign(const TVirCustomNumericField& source);
  // "DataType", "PictureMask", then the range limits.
  void DefineProperties(TVirFiler& filer) override;
};

class TVirNumericField : public TVirCustomNumericField {
 public:
  explicit TVirNumericField(plat::Control& parent);
  TVirNumericField(plat::Control& parent, const EntryFieldIntl& intl);
};
