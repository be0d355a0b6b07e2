#pragma once
// The text of the exception of class E that an action raises, or "no error".

#include <functional>
#include <string>

template <class E>
std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  return "no error";
}
