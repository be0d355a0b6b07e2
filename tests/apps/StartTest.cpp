// The analysis program started by scripts/start on a virtual X display: it
// is still up once the splash has gone, and it ends when it is closed.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

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

// Where the search for a free display starts: apart for each run, so runs
// started together do not race for the same display.
int FirstDisplayNumber() { return 100 + static_cast<int>(getpid() % 4000) * 2; }

TEST(MorvapcStart, StaysUpAfterTheSplashUnderXvfb) {
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "apps" / "start";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string script = "cd '" + folder.string() + "' && exec env -u QT_QPA_PLATFORM XDG_CONFIG_HOME='" +
                             folder.string() + "' XDG_RUNTIME_DIR='" + folder.string() + "' MORVA_BUILD_DIR='" +
                             std::string(MORVA_BUILD) + "' xvfb-run -a -n " + std::to_string(FirstDisplayNumber()) + " '" + std::string(MORVA_SOURCE) +
                             "/scripts/start' >'" + (folder / "out.txt").string() + "' 2>&1";
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ), 0);
  posix_spawnattr_destroy(&attributes);

  // The splash stays between 3 and 4 seconds; the program must outlive it.
  const bool up = StillRunning(pid, 6000ms) && RunsInGroup(pid, "morvapc");
  kill(-pid, SIGTERM);
  EXPECT_FALSE(StillRunning(pid, 10000ms)) << "the program ends when it is closed";
  if (StillRunning(pid, 0ms)) kill(-pid, SIGKILL);
  EXPECT_TRUE(up) << "see " << (folder / "out.txt");
}

}  // namespace
