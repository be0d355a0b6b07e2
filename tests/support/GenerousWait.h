#pragma once
// How long a test waits for something that comes by itself (a window, a
// focus, a process ending, an event loop ending) before it calls it lost. A
// wait ends as soon as what it waits for happens, so the limit costs nothing
// when all is well; it is long because a loaded machine (tests run in
// parallel beside other programs, or under the sanitizers) may take many
// times as long as an idle one, and only a broken program reaches it.

#include <chrono>

namespace testsupport {

inline constexpr std::chrono::seconds kGenerousWait{120};

// The same in milliseconds, for the toolkit's timers.
inline constexpr int kGenerousWaitMs = static_cast<int>(std::chrono::milliseconds(kGenerousWait).count());

}  // namespace testsupport
