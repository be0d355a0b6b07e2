#include "shell/ParamDialog.h"

#include "matrix/Constu.h"
#include "rtl/Format.h"
#include "rtl/ScopeGuard.h"
#include "shell/Listing.h"
#include "shell/Progress.h"

TDialogModel::TDialogModel(const TModuleRec& module) : module_(module) { params_.LoadParameters(module_); }

const TParamRec& TDialogModel::TableRecord(std::int32_t row) const {
  return module_.params[static_cast<std::size_t>(row - 1)];
}

std::optional<TFieldFault> TDialogModel::CheckFields() const {
  const auto params = params_.Params();
  for (std::int32_t row = 1; row <= params_.Count(); ++row) {
    const TParamRec& param = params[static_cast<std::size_t>(row - 1)];
    if (!param.required) continue;
    switch (param.type) {
      case ptText:
        if (param.text.empty()) return TFieldFault{row, rtl::Format(" Field must not be blank in row %d", row)};
        break;
      case ptInFile:
        if (param.fileName.empty()) {
          return TFieldFault{row, rtl::Format(" Input field must not be blank for %s", param.prompt)};
        }
        break;
      case ptOutFile:
        if (param.fileName.empty()) {
          return TFieldFault{row, rtl::Format(" Output field must not be blank for %s", param.prompt)};
        }
        break;
      default: break;
    }
  }
  return std::nullopt;
}

TComputeEnd TDialogModel::Compute(TListingModel& listing, TDialogView& view) {
  if (CheckFields() || running_ || ModuleActive()) return TComputeEnd::Refused;
  listing.NewSection(module_.name);
  view.ShowListing();
  view.RunStarted();
  BeginDialogRun();
  running_ = true;
  const rtl::ScopeExit idle([&] {
    ProgressDone();
    ClearAbort();
    EndDialogRun();
    running_ = false;
    view.RunEnded();
  });
  try {
    CallRunRoutine(module_, params_.Params());
    return TComputeEnd::Completed;
  } catch (const E_Morvapc_UserAbort& abort) {
    ClearAbort();
    ShowWarningMessage(abort.what());
    return TComputeEnd::Aborted;
  } catch (const E_Morvapc& error) {
    ShowErrorMessage(error.what());
    return TComputeEnd::Failed;
  }
}

void TDialogModel::Close() {
  if (closed_) return;
  closed_ = true;
  params_.Free();
  if (module_.release != nullptr) module_.release();
}
