#pragma once
// TVirPictureBase: the windowed base of the mask-driven entry fields. The
// mask rules live in PictureBaseModel (VirPBModel.h); this class joins them
// to the windowed entry field.

#include "controls/base/VirPBModel.h"
#include "controls/base/forms/VirEF.h"

class TVirPictureBase : public TVirBaseEntryField, public virtual PictureBaseModel {
 public:
  // The field classes initialise the shared bases; these only pass them on.
  TVirPictureBase(plat::Control& parent, const EntryFieldIntl& intl, TFieldKind kind)
      : EntryFieldModel(intl, kind), PictureBaseModel(intl, kind), TVirBaseEntryField(parent, intl, kind) {}

  // The model's caret position and the platform's system caret both stay reachable.
  using PictureBaseModel::SetCaretPos;
  using plat::CustomControl::SetCaretPos;
};
