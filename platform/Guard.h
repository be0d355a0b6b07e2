#pragma once
// No exception crosses the event loop: every entry from it runs guarded, and an
// escaping exception is shown in the application's default error box.

#include <exception>
#include <functional>
#include <string>

namespace plat {

// The application's title: the caption of its default error box.
void SetApplicationTitle(std::string title);
const std::string& ApplicationTitle();

// Shows the message of an exception in the application's default error box.
void ShowException(const std::exception& e);

// Runs `action`; any exception it raises is shown by ShowException and
// swallowed. Returns false when one was raised.
bool RunGuarded(const std::function<void()>& action);

}  // namespace plat
