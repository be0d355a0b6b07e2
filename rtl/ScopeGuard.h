#pragma once
// Clean-up that runs when a scope ends, in place of a catch block that cleans
// up and throws again.
//
// ScopeExit runs its clean-up however the scope ends; ScopeFail only when an
// exception leaves the scope (it undoes work that did not finish). While an
// exception leaves the scope, an exception from the clean-up is dropped so
// that the first one goes on; on a normal exit it goes to the caller.

#include <exception>
#include <utility>

namespace rtl {

template <class F, bool OnlyOnFailure>
class BasicScopeGuard {
 public:
  explicit BasicScopeGuard(F cleanUp) : cleanUp_(std::move(cleanUp)), exceptions_(std::uncaught_exceptions()) {}
  BasicScopeGuard(const BasicScopeGuard&) = delete;
  BasicScopeGuard& operator=(const BasicScopeGuard&) = delete;

  ~BasicScopeGuard() noexcept(false) {
    if (!active_) return;
    if (std::uncaught_exceptions() > exceptions_) {
      try {
        cleanUp_();
      } catch (...) {  // the exception already leaving the scope is the one to report
      }
    } else if (!OnlyOnFailure) {
      cleanUp_();
    }
  }

  // The clean-up will not run.
  void Dismiss() { active_ = false; }

 private:
  F cleanUp_;
  int exceptions_;
  bool active_ = true;
};

template <class F>
class ScopeExit : public BasicScopeGuard<F, false> {
 public:
  using BasicScopeGuard<F, false>::BasicScopeGuard;
};
template <class F>
ScopeExit(F) -> ScopeExit<F>;

template <class F>
class ScopeFail : public BasicScopeGuard<F, true> {
 public:
  using BasicScopeGuard<F, true>::BasicScopeGuard;
};
template <class F>
ScopeFail(F) -> ScopeFail<F>;

}  // namespace rtl
