#pragma once
// Work done as a user without privileges, for whom the permissions of files
// and folders count as they do for the programs' users. Running as root (as
// the tests do in CI), the work takes the ids of the account "nobody";
// running as another user, that user is one already.

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace testsupport {

struct UserIds {
  uid_t uid;
  gid_t gid;
};

inline bool RunningAsRoot() { return geteuid() == 0; }

// The ids the unprivileged work runs under.
inline UserIds UnprivilegedIds() {
  if (!RunningAsRoot()) return {geteuid(), getegid()};
  const passwd* nobody = getpwnam("nobody");
  return nobody != nullptr ? UserIds{nobody->pw_uid, nobody->pw_gid} : UserIds{65534, 65534};
}

// Gives the folder and all it holds to the unprivileged user (nothing to do
// when this process is that user).
inline void HandOver(const std::filesystem::path& folder) {
  if (!RunningAsRoot()) return;
  const UserIds user = UnprivilegedIds();
  if (lchown(folder.c_str(), user.uid, user.gid) != 0) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (lchown(entry.path().c_str(), user.uid, user.gid) != 0) return;
  }
}

// Runs `work` in a child process as the unprivileged user and returns its
// text; an exception that leaves it gives "exception: " and its message.
inline std::string RunUnprivileged(const std::function<std::string()>& work) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    std::string result;
    const UserIds user = UnprivilegedIds();
    if (RunningAsRoot() && (setgroups(0, nullptr) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0)) {
      result = "cannot become an unprivileged user";
    } else {
      try {
        result = work();
      } catch (const std::exception& error) {
        result = std::string("exception: ") + error.what();
      }
    }
    for (std::size_t at = 0; at < result.size();) {
      const ssize_t n = write(pipeEnds[1], result.data() + at, result.size() - at);
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(pipeEnds[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
    result.append(buffer, static_cast<std::size_t>(n));
  }
  close(pipeEnds[0]);
  waitpid(child, nullptr, 0);
  return result;
}

// The words that start a shell command as the unprivileged user: empty when
// this process is one, setpriv when root; nothing when root has no setpriv.
inline std::optional<std::string> UnprivilegedCommand() {
  if (!RunningAsRoot()) return std::string();
  if (std::system("command -v setpriv >/dev/null 2>&1") != 0) return std::nullopt;
  const UserIds user = UnprivilegedIds();
  return "setpriv --reuid=" + std::to_string(user.uid) + " --regid=" + std::to_string(user.gid) + " --clear-groups";
}

}  // namespace testsupport
