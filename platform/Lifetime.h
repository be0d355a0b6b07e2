#pragma once
// Weak references to objects of the windows layer: a posted message, a timer or
// a plot client can hold one and find out that its object has been destroyed.

#include <memory>

namespace plat {

// Embedded in an object; every watcher sees it expire when the object dies.
class Lifetime {
 public:
  Lifetime() = default;
  Lifetime(const Lifetime&) : Lifetime() {}  // a copy is a new object with its own life
  Lifetime& operator=(const Lifetime&) { return *this; }
  std::weak_ptr<const void> Watch() const { return token_; }

 private:
  std::shared_ptr<const void> token_ = std::make_shared<char>(0);
};

template <class T>
class WeakRef {
 public:
  WeakRef() = default;
  WeakRef(T* object) : object_(object), alive_(object ? object->LifetimeToken() : std::weak_ptr<const void>()) {}
  T* Get() const { return alive_.expired() ? nullptr : object_; }
  explicit operator bool() const { return Get() != nullptr; }
  T* operator->() const { return Get(); }

 private:
  T* object_ = nullptr;
  std::weak_ptr<const void> alive_;
};

}  // namespace plat
