#include "rtl/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

#include "rtl/Exception.h"

namespace rtl {
namespace {

namespace fs = std::filesystem;

std::string SystemReason() { return errno ? std::string(std::strerror(errno)) : std::string(); }

// The file a name stands for: a symbolic link is followed to the file it leads
// to, so that the link stays and its file is replaced.
std::string ReplacedFile(const std::string& name) {
  std::error_code ec;
  if (!fs::is_symlink(name, ec)) return name;
  const fs::path real = fs::canonical(name, ec);
  return ec ? name : real.string();
}

// This host's name as it goes into temporary names: at most 32 characters,
// each a letter, digit, '-' or '_'.
const std::string& HostTag() {
  static const std::string tag = [] {
    char name[256] = {};
    std::string text = gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
    text = text.substr(0, 32);
    for (char& c : text) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
      if (!plain) c = '_';
    }
    return text.empty() ? std::string("host") : text;
  }();
  return tag;
}

// Temporary names of a target: Prefix + process id + "-" + 8 hex digits + Suffix.
struct TemporaryNames {
  fs::path folder;
  std::string prefix;
  std::string suffix;

  explicit TemporaryNames(const std::string& target) {
    const fs::path path(target);
    folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    // Short enough for the longest name a folder entry may have.
    prefix = "." + path.filename().string().substr(0, 100) + ".~";
    suffix = "-" + HostTag() + ".tmp";
  }

  std::string Make(unsigned random) const {
    char middle[40];
    std::snprintf(middle, sizeof middle, "%ld-%08x", static_cast<long>(getpid()), random);
    return (folder / (prefix + middle + suffix)).string();
  }

  // The process id in a temporary name of this target, or 0 for any other name.
  long OwnerOf(std::string_view entry) const {
    if (entry.size() <= prefix.size() + suffix.size() || !entry.starts_with(prefix) || !entry.ends_with(suffix)) {
      return 0;
    }
    entry = entry.substr(prefix.size(), entry.size() - prefix.size() - suffix.size());
    const size_t dash = entry.find('-');
    if (dash == 0 || dash == std::string_view::npos || entry.size() - dash - 1 != 8) return 0;
    long pid = 0;
    for (char c : entry.substr(0, dash)) {
      if (c < '0' || c > '9' || pid > 99999999) return 0;
      pid = pid * 10 + (c - '0');
    }
    for (char c : entry.substr(dash + 1)) {
      if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return 0;
    }
    return pid;
  }
};

bool ProcessEnded(long pid) {
  return pid != static_cast<long>(getpid()) && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Writes all bytes, going on after a partial write or an interruption.
bool WriteAll(int descriptor, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(descriptor, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies the bytes of the file `from` to the open descriptor.
bool CopyInto(const std::string& from, int descriptor) {
  const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return false;
  char buffer[1 << 16];
  bool ok = true;
  for (;;) {
    const ssize_t n = read(source, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    if (!WriteAll(descriptor, buffer, static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  const int saved = errno;
  close(source);
  errno = saved;
  return ok;
}

}  // namespace

AtomicFile::AtomicFile(const std::string& target, Mode mode, Link link)
    : name_(target), target_(link == Link::Follow ? ReplacedFile(target) : target) {
  struct stat existing {};
  const bool exists =
      (link == Link::Follow ? stat(target_.c_str(), &existing) : lstat(target_.c_str(), &existing)) == 0;
  const bool append = mode == Mode::Append;
  errno = 0;
  if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
    inPlace_ = true;
    temporary_ = target_;
    descriptor_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC | (append ? O_APPEND : O_TRUNC));
    if (descriptor_ < 0) throw EInOutError("Cannot create file " + name_, SystemReason());
    return;
  }

  RemoveStaleTemporaries(target_);
  const TemporaryNames names(target_);
  std::random_device seed;
  for (int attempt = 0; descriptor_ < 0; ++attempt) {
    temporary_ = names.Make(static_cast<unsigned>(seed()));
    errno = 0;
    descriptor_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ < 0 && (errno != EEXIST || attempt == 100)) {
      const std::string reason = SystemReason();
      temporary_.clear();
      throw EInOutError("Cannot create file " + name_, reason);
    }
  }
  // The new file keeps the permissions of the one it replaces.
  if (exists && S_ISREG(existing.st_mode)) fchmod(descriptor_, existing.st_mode & 07777);
  errno = 0;
  if (exists && append && !CopyInto(target_, descriptor_)) {
    const std::string reason = SystemReason();
    Discard();
    throw EInOutError("Cannot create file " + name_, reason);
  }
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : name_(std::move(other.name_)),
      target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})),
      descriptor_(std::exchange(other.descriptor_, -1)),
      inPlace_(other.inPlace_) {}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
  if (this != &other) {
    Discard();
    name_ = std::move(other.name_);
    target_ = std::move(other.target_);
    temporary_ = std::exchange(other.temporary_, {});
    descriptor_ = std::exchange(other.descriptor_, -1);
    inPlace_ = other.inPlace_;
  }
  return *this;
}

void AtomicFile::Commit() {
  if (temporary_.empty()) throw EInOutError("File not open for writing: " + name_);
  errno = 0;
  bool ok = true;
  if (descriptor_ >= 0) {
    // A device or a pipe written in place may not sync; its writes were checked.
    ok = fsync(descriptor_) == 0 || (inPlace_ && errno == EINVAL);
    const int syncError = errno;
    ok = close(descriptor_) == 0 && ok;
    if (!ok && syncError != 0) errno = syncError;
    descriptor_ = -1;
  }
  std::string reason = SystemReason();
  if (!ok) {
    Discard();
    throw EInOutError("Error writing file " + name_, reason);
  }
  if (!inPlace_) {
    errno = 0;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
      reason = SystemReason();
      Discard();
      throw EInOutError("Cannot replace file " + name_, reason);
    }
  }
  temporary_.clear();
}

void AtomicFile::Discard() noexcept {
  const int saved = errno;
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (!inPlace_ && !temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  errno = saved;
}

void AtomicFile::RemoveStaleTemporaries(const std::string& target) noexcept {
  try {
    const TemporaryNames names(target);
    std::error_code ec;
    for (fs::directory_iterator it(names.folder, ec), end; !ec && it != end; it.increment(ec)) {
      const long owner = names.OwnerOf(it->path().filename().string());
      if (owner > 0 && ProcessEnded(owner)) unlink(it->path().c_str());
    }
  } catch (...) {  // a folder that cannot be listed keeps what it holds
  }
}

}  // namespace rtl
