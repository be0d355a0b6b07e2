#pragma once
// One installable implementation per platform service (message boxes, dialogs,
// clipboard, printer, timers, ...). The toolkit layer installs the real ones at
// start; tests install doubles for the length of a scope.

#include "rtl/Exception.h"

#include <string>

namespace plat {

template <class T>
class Service {
 public:
  // The installed implementation; raises when none is installed.
  static T& Get() {
    if (current_ == nullptr) throw rtl::Exception(std::string("Platform service not installed: ") + T::kServiceName);
    return *current_;
  }
  static bool Installed() { return current_ != nullptr; }
  // Installs `impl` (may be null) and returns the one it replaces.
  static T* Install(T* impl) {
    T* previous = current_;
    current_ = impl;
    return previous;
  }

 private:
  static inline T* current_ = nullptr;
};

// Installs a service for the lifetime of the object, then puts back the previous one.
template <class T>
class ScopedService {
 public:
  explicit ScopedService(T& impl) : previous_(Service<T>::Install(&impl)) {}
  ~ScopedService() { Service<T>::Install(previous_); }
  // The implementation that was installed before, and comes back at the end of the scope.
  T* Replaced() const { return previous_; }
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;

 private:
  T* previous_;
};

}  // namespace plat
