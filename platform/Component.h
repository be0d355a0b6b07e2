#pragma once
// Non-visual components: objects that live on a form (or any control) beside
// its controls, such as a form's controller, and die with it, after its child
// controls. Others keep weak references to them (plat::WeakRef).

#include "platform/Lifetime.h"

#include <memory>
#include <string>
#include <utility>

namespace plat {

class Control;

class Component {
 public:
  explicit Component(Control& owner) : owner_(owner) {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  Control& Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  std::weak_ptr<const void> LifetimeToken() const { return lifetime_.Watch(); }

 private:
  Control& owner_;
  std::string name_;
  Lifetime lifetime_;
};

}  // namespace plat
