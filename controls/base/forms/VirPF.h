#pragma once
// TVirCustomPictureField and TVirPictureField: the picture field in a window.
// The data types, masks, transfers, checks, stepping and editors live in
// PictureFieldModel (VirPFModel.h); the window supplies keys, mouse, clipboard,
// focus moves and painting through the entry field base.

#include "controls/base/VirPFModel.h"
#include "controls/base/forms/VirPB.h"

class TVirCustomPictureField : public TVirPictureBase, public PictureFieldModel {
 public:
  explicit TVirCustomPictureField(plat::Control& parent) : TVirCustomPictureField(parent, LibraryEntryFieldIntl()) {}
  TVirCustomPictureField(plat::Control& parent, const EntryFieldIntl& intl)
      : EntryFieldModel(intl, TFieldKind::Picture),
        PictureBaseModel(intl, TFieldKind::Picture),
        TVirPictureBase(parent, intl, TFieldKind::Picture),
        PictureFieldModel(intl) {}

  using PictureBaseModel::SetCaretPos;
  using plat::CustomControl::SetCaretPos;

  // The model's properties, then the border, the colour and the control character colour.
  void Assign(const TVirCustomPictureField& source);
  // "DataType", "PictureMask", "InitDateTime", then the range limits.
  void DefineProperties(TVirFiler& filer) override;

 protected:
  void CreateWnd() override;
};

class TVirPictureField : public TVirCustomPictureField {
 public:
  explicit TVirPictureField(plat::Control& parent) : TVirPictureField(parent, LibraryEntryFieldIntl()) {}
  TVirPictureField(plat::Control& parent, const EntryFieldIntl& intl)
      : EntryFieldModel(intl, TFieldKind::Picture),
        PictureBaseModel(intl, TFieldKind::Picture),
        TVirCustomPictureField(parent, intl) {}
};
