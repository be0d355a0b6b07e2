// The analysis program started by scripts/start on a virtual X display: its
// main window shows once the splash has gone, it is still up then, and it
// ends when it is closed. Nothing here depends on the machine's speed: the
// waits end when what they wait for happens, or at a limit only a broken
// start reaches.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/GenerousWait.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

extern "C" char** environ;

// True when the child has not ended within `wait`.
bool StillRunning(pid_t pid, std::chrono::milliseconds wait) {
  const auto end = std::chrono::steady_clock::now() + wait;
  do {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(100ms);
  } while (std::chrono::steady_clock::now() < end);
  return true;
}

// True when a process named `name` runs in the process group.
bool RunsInGroup(pid_t group, const std::string& name) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    pid_t parent = 0, pgrp = 0;
    if (stat >> pid >> comm >> state >> parent >> pgrp && pgrp == group && comm == "(" + name + ")") return true;
  }
  return false;
}

// A limit only a broken start reaches: scripts/start may set up and build
// first, on a machine that is busy.
constexpr auto kGenerousLimit = 600s;

// Waits until `done` holds or the process group's shell has ended or the limit
// has passed; true when `done` holds.
bool WaitFor(pid_t shell, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + kGenerousLimit;
  while (!done()) {
    if (!StillRunning(shell, 200ms) || std::chrono::steady_clock::now() > end) return done();
  }
  return true;
}

TEST(MorvapcStart, StaysUpAfterTheSplashUnderXvfb) {
  for (const char* tool : {"Xvfb", "xdotool"}) {
    if (std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) != 0)
      GTEST_SKIP() << tool << " is not installed";
  }
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "apps" / "start";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path shown = folder / "main-window-shown";
  const std::string script = "cd '" + folder.string() + "' && exec env -u QT_QPA_PLATFORM XDG_CONFIG_HOME='" +
                             folder.string() + "' XDG_RUNTIME_DIR='" + folder.string() + "' MORVA_BUILD_DIR='" +
                             std::string(MORVA_BUILD) + "' '" + std::string(MORVA_SOURCE) +
                             "/tests/apps/virtual-display.sh' '" + std::string(MORVA_SOURCE) +
                             "/tests/apps/start-and-watch.sh' '" +
                             std::string(MORVA_SOURCE) + "' '" + shown.string() + "' >'" +
                             (folder / "out.txt").string() + "' 2>&1";
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ), 0);
  posix_spawnattr_destroy(&attributes);

  // Set-up and build take what they take; then the program starts, shows its
  // splash, and the main window follows once the splash has gone.
  const bool started = WaitFor(pid, [pid] { return RunsInGroup(pid, "morvapc"); });
  const bool mainShown = started && WaitFor(pid, [&shown] { return fs::exists(shown); });
  const bool up = mainShown && StillRunning(pid, 1000ms) && RunsInGroup(pid, "morvapc");
  kill(-pid, SIGTERM);
  EXPECT_FALSE(StillRunning(pid, testsupport::kGenerousWait)) << "the program ends when it is closed";
  if (StillRunning(pid, 0ms)) kill(-pid, SIGKILL);
  EXPECT_TRUE(started) << "the program did not start; see " << (folder / "out.txt");
  EXPECT_TRUE(mainShown) << "the main window did not show; see " << (folder / "out.txt");
  EXPECT_TRUE(up) << "the program ended after its main window showed; see " << (folder / "out.txt");
}

}  // namespace
