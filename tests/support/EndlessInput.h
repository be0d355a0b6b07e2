#pragma once
// Inputs without end for the readers' limits, and a way to run a reader on
// them so that a reader without a limit fails its test instead of hanging it
// or filling the memory: the reader runs in a child process that the system
// stops after a few seconds.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace testsupport {

// Runs `action` in a child process stopped after `seconds`: what it returned
// (or the text of what it raised), or nothing when it did not end in time.
inline std::optional<std::string> OutcomeWithin(unsigned seconds, const std::function<std::string()>& action) {
  int channel[2];
  if (pipe(channel) != 0) return std::nullopt;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    alarm(seconds);
    std::string result;
    try {
      result = action();
    } catch (const std::exception& error) {
      result = error.what();
    }
    for (std::size_t sent = 0; sent < result.size();) {
      const ssize_t n = write(channel[1], result.data() + sent, result.size() - sent);
      if (n <= 0) _exit(1);
      sent += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(channel[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
  close(channel[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return result;
}

// A named pipe that a child process fills with `text` again and again for as
// long as a reader has it open: the input of a program that never stops
// writing. A process, not a thread, so that OutcomeWithin's fork never meets
// a thread of this process in the middle of its start (the child would wait
// for ever on a lock that thread held).
class EndlessPipe {
 public:
  EndlessPipe(std::filesystem::path path, std::string text) : path_(std::move(path)) {
    mkfifo(path_.c_str(), 0600);
    std::string block;
    while (block.size() < (1u << 16)) block += text;
    std::fflush(nullptr);
    writer_ = fork();
    if (writer_ == 0) {
      // Only calls safe after a fork: no allocation.
      const int fd = open(path_.c_str(), O_WRONLY);  // waits for a reader
      if (fd >= 0) {
        while (write(fd, block.data(), block.size()) > 0) {
        }
      }
      _exit(0);  // the reader has gone
    }
  }
  ~EndlessPipe() {
    if (writer_ > 0) {
      kill(writer_, SIGKILL);
      waitpid(writer_, nullptr, 0);
    }
    std::filesystem::remove(path_);
  }
  EndlessPipe(const EndlessPipe&) = delete;
  EndlessPipe& operator=(const EndlessPipe&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  pid_t writer_ = -1;
};

}  // namespace testsupport
