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
#include "rtl/FileLock.h"
#include "rtl/ScopeGuard.h"

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

std::string FolderOf(const std::string& target) {
  const fs::path path(target);
  return path.has_parent_path() ? path.parent_path().string() : std::string(".");
}

// Where bytes wait that cannot wait beside their file.
std::string StagingFolder() {
  std::error_code ec;
  const fs::path folder = fs::temp_directory_path(ec);
  return ec ? std::string("/tmp") : folder.string();
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

// Temporary names of a target in a folder: Prefix + process id + "-" + 8 hex
// digits + Suffix.
struct TemporaryNames {
  fs::path folder;
  std::string prefix;
  std::string suffix;

  TemporaryNames(const std::string& target, const std::string& in) : folder(in) {
    // Short enough for the longest name a folder entry may have.
    prefix = "." + fs::path(target).filename().string().substr(0, 100) + ".~";
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

// Removes the temporary files of ended processes that the names describe.
void RemoveStale(const TemporaryNames& names) noexcept {
  try {
    std::error_code ec;
    for (fs::directory_iterator it(names.folder, ec), end; !ec && it != end; it.increment(ec)) {
      const long owner = names.OwnerOf(it->path().filename().string());
      if (owner > 0 && ProcessEnded(owner)) unlink(it->path().c_str());
    }
  } catch (...) {  // a folder that cannot be listed keeps what it holds
  }
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

// Copies the bytes from the descriptor's position on to the other descriptor.
bool CopyBytes(int source, int descriptor) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = read(source, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0;
    if (!WriteAll(descriptor, buffer, static_cast<size_t>(n))) return false;
  }
}

// Copies the bytes of the file `from` to the open descriptor.
bool CopyInto(const std::string& from, int descriptor) {
  const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return false;
  const bool ok = CopyBytes(source, descriptor);
  const int saved = errno;
  close(source);
  errno = saved;
  return ok;
}

// Gives a new file the permission bits, owner and group of the file it is to
// replace; false when the user may not.
bool TakeOver(int descriptor, const struct stat& old) {
  struct stat made {};
  if (fstat(descriptor, &made) != 0) return false;
  if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) && fchown(descriptor, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return fchmod(descriptor, old.st_mode & 07777) == 0;
}

// True when the open file is still the one the name leads to (not replaced
// or removed meanwhile).
bool StillNamed(int descriptor, const std::string& name) {
  struct stat opened {};
  struct stat named {};
  return fstat(descriptor, &opened) == 0 && stat(name.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

// Renames `from` to `to` unless `to` exists (false with EEXIST then).
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without that rename: a second name fails alike when `to` exists.
  if (link(from.c_str(), to.c_str()) == 0) {
    unlink(from.c_str());
    return true;
  }
  if (errno == EEXIST) return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

AtomicFile::AtomicFile(const std::string& target, Mode mode, Link link)
    : name_(target), target_(link == Link::Follow ? ReplacedFile(target) : target), mode_(mode) {
  struct stat existing {};
  const bool found = (link == Link::Follow ? stat(target_.c_str(), &existing) : lstat(target_.c_str(), &existing)) == 0;
  // A link that gives way to the new file hands nothing of its own on to it.
  const bool exists = found && !S_ISLNK(existing.st_mode);
  const bool append = mode == Mode::Append;
  errno = 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    way_ = Way::Device;
    temporary_ = target_;
    descriptor_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC | (append ? O_APPEND : O_TRUNC));
    if (descriptor_ < 0) throw EInOutError("Cannot create file " + name_, SystemReason());
    return;
  }

  const ScopeFail drop([this] { Discard(); });
  if (exists) {
    // Opened as writing in place would open it, so that what the owner
    // forbids stays forbidden; an append reads the file too.
    targetDescriptor_ = open(target_.c_str(), (append ? O_RDWR : O_WRONLY) | O_CLOEXEC | O_NOCTTY);
    if (targetDescriptor_ < 0) throw EInOutError("Cannot create file " + name_, SystemReason());
  }
  RemoveStaleTemporaries(target_);
  if (StartTemporary(FolderOf(target_))) {
    if (!exists || TakeOver(descriptor_, existing)) {
      close(targetDescriptor_);
      targetDescriptor_ = -1;
      return;
    }
    // The new file could not be the owner's: the file itself takes the bytes.
    close(descriptor_);
    descriptor_ = -1;
    unlink(temporary_.c_str());
  } else if (!exists || (errno != EACCES && errno != EPERM)) {
    throw EInOutError("Cannot create file " + name_, SystemReason());
  }
  StartCopy();
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : name_(std::move(other.name_)),
      target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})),
      descriptor_(std::exchange(other.descriptor_, -1)),
      targetDescriptor_(std::exchange(other.targetDescriptor_, -1)),
      mode_(other.mode_),
      way_(other.way_) {}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
  if (this != &other) {
    Discard();
    name_ = std::move(other.name_);
    target_ = std::move(other.target_);
    temporary_ = std::exchange(other.temporary_, {});
    descriptor_ = std::exchange(other.descriptor_, -1);
    targetDescriptor_ = std::exchange(other.targetDescriptor_, -1);
    mode_ = other.mode_;
    way_ = other.way_;
  }
  return *this;
}

// Creates a temporary file of the target in the folder; false, with errno
// set, when it cannot.
bool AtomicFile::StartTemporary(const std::string& folder) {
  const TemporaryNames names(target_, folder);
  std::random_device seed;
  for (int attempt = 0; attempt <= 100; ++attempt) {
    temporary_ = names.Make(static_cast<unsigned>(seed()));
    errno = 0;
    descriptor_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ >= 0) return true;
    if (errno != EEXIST) break;
  }
  const int saved = errno;
  temporary_.clear();
  errno = saved;
  return false;
}

// The bytes wait in the system's temporary folder, for the open target.
void AtomicFile::StartCopy() {
  way_ = Way::Copy;
  const std::string folder = StagingFolder();
  RemoveStale(TemporaryNames(target_, folder));
  if (!StartTemporary(folder)) throw EInOutError("Cannot create file " + name_, SystemReason());
}

void AtomicFile::SyncTemporary() {
  if (descriptor_ < 0) return;
  errno = 0;
  // A device or a pipe may not sync; its writes were checked.
  bool ok = fsync(descriptor_) == 0 || (way_ == Way::Device && errno == EINVAL);
  const int syncError = errno;
  ok = close(descriptor_) == 0 && ok;
  if (!ok && syncError != 0) errno = syncError;
  descriptor_ = -1;
  if (!ok) throw EInOutError("Error writing file " + name_, SystemReason());
}

// Way::Copy: the target, locked, takes the bytes in place of its own or after them.
void AtomicFile::CopyIntoTarget() {
  for (;;) {
    errno = 0;
    if (!LockExclusive(targetDescriptor_)) throw EInOutError("Cannot replace file " + name_, SystemReason());
    if (StillNamed(targetDescriptor_, target_)) break;
    // Replaced meanwhile: the file there now takes the bytes.
    close(targetDescriptor_);
    targetDescriptor_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (targetDescriptor_ < 0) throw EInOutError("Cannot replace file " + name_, SystemReason());
  }
  errno = 0;
  const bool placed = mode_ == Mode::Append
                          ? lseek(targetDescriptor_, 0, SEEK_END) >= 0
                          : ftruncate(targetDescriptor_, 0) == 0 && lseek(targetDescriptor_, 0, SEEK_SET) == 0;
  if (!placed || !CopyInto(temporary_, targetDescriptor_) || fsync(targetDescriptor_) != 0) {
    throw EInOutError("Error writing file " + name_, SystemReason());
  }
}

// Way::Replace, appending: under the lock of the file, a new file of its bytes
// and then the new ones takes its place.
void AtomicFile::CommitAppend() {
  for (;;) {
    errno = 0;
    const int old = open(target_.c_str(), O_RDONLY | O_CLOEXEC);
    if (old < 0) {
      // No file yet: the new bytes become it, unless another writer made it meanwhile.
      if (errno == ENOENT && RenameNoReplace(temporary_, target_)) {
        temporary_.clear();
        return;
      }
      if (errno == EEXIST) continue;
      throw EInOutError("Cannot replace file " + name_, SystemReason());
    }
    const ScopeExit unlock([old] { close(old); });
    if (!LockExclusive(old)) throw EInOutError("Cannot replace file " + name_, SystemReason());
    if (!StillNamed(old, target_)) continue;

    AtomicFile longer(target_);
    errno = 0;
    if (longer.way_ == Way::Copy) {
      // The file cannot be replaced: the bytes go after its own (it is locked already).
      if (lseek(longer.targetDescriptor_, 0, SEEK_END) < 0 || !CopyInto(temporary_, longer.targetDescriptor_) ||
          fsync(longer.targetDescriptor_) != 0) {
        throw EInOutError("Error writing file " + name_, SystemReason());
      }
      return;
    }
    if (!CopyBytes(old, longer.descriptor_) || !CopyInto(temporary_, longer.descriptor_)) {
      throw EInOutError("Error writing file " + name_, SystemReason());
    }
    longer.Commit();
    return;
  }
}

void AtomicFile::Commit() {
  if (temporary_.empty()) throw EInOutError("File not open for writing: " + name_);
  const ScopeExit done([this] { Discard(); });
  SyncTemporary();
  switch (way_) {
    case Way::Device: temporary_.clear(); break;
    case Way::Copy: CopyIntoTarget(); break;
    case Way::Replace:
      if (mode_ == Mode::Append) {
        CommitAppend();
        break;
      }
      errno = 0;
      if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        throw EInOutError("Cannot replace file " + name_, SystemReason());
      }
      temporary_.clear();
      break;
  }
}

void AtomicFile::Discard() noexcept {
  const int saved = errno;
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (way_ != Way::Device && !temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  if (targetDescriptor_ >= 0) close(targetDescriptor_);
  targetDescriptor_ = -1;
  errno = saved;
}

void AtomicFile::RemoveStaleTemporaries(const std::string& target) noexcept {
  try {
    RemoveStale(TemporaryNames(target, FolderOf(target)));
  } catch (...) {  // names that cannot be made remove nothing
  }
}

}  // namespace rtl
