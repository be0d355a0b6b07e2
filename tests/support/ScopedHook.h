#pragma once
// Installs a hook (or a record of hooks) for a test's life through the
// function that installs it and returns the previous one, and puts the
// previous one back when the scope ends, however it ends: a failed assertion
// leaves no hook pointing at a dead local.
//
//   testsupport::ScopedHook bar(SetPlotButtonBar, &recordingBar);
//   testsupport::ScopedHook check(InstallAbortCheck, [] { throw E_Morvapc_UserAbort(); });

#include <type_traits>
#include <utility>

namespace testsupport {

template <class Hooks>
class ScopedHook {
 public:
  using TInstall = Hooks (*)(Hooks);

  ScopedHook(TInstall install, std::type_identity_t<Hooks> hooks)
      : install_(install), previous_(install(std::move(hooks))) {}
  ~ScopedHook() { install_(std::move(previous_)); }
  ScopedHook(const ScopedHook&) = delete;
  ScopedHook& operator=(const ScopedHook&) = delete;

  // The hooks that were installed before (to build on them).
  const Hooks& Previous() const { return previous_; }

 private:
  TInstall install_;
  Hooks previous_;
};

}  // namespace testsupport
