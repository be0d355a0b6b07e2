#pragma once
// A file that is replaced whole or not at all.
//
// Its bytes go to a temporary file in the target's folder (a unique name,
// created exclusively); Commit syncs that file to the disk and renames it over
// the target, so a reader sees the old file or the new one, never a mix of two
// writers or a file cut short. Dropped without Commit (an error, a cancelled
// run), it removes the temporary file and the target stays as it was, or
// absent. Nothing here throws from a destructor.
//
// Code that writes a file by its name (a picture or metafile library) writes
// to TemporaryPath() and then commits:
//   rtl::AtomicFile file(target);
//   if (!image.save(file.TemporaryPath())) throw ...;  // dropped: nothing left
//   file.Commit();                                     // EInOutError when it cannot
// Text goes through rtl::TextWriter, which writes through an AtomicFile.
//
// A target that exists and is no regular file (a device such as /dev/full, a
// pipe) cannot be replaced: it is written in place and TemporaryPath() is the
// target itself. A symbolic link to a file keeps being a link: the file it
// leads to is replaced (Link::Follow), unless the link itself is to be
// replaced by the new file, what it leads to staying untouched (Link::Replace).
//
// Temporary files are named "." + the target's name + ".~" + process id, a
// random part and the host name, + ".tmp", hidden and outside every filter of
// the system's own files. One left by a process that was killed is removed by
// the next AtomicFile of the same target on the same host once that process no
// longer runs; it never stands in the way, since every writer makes its own.

#include <string>

namespace rtl {

class AtomicFile {
 public:
  enum class Mode {
    Create,  // the new file's bytes alone
    Append,  // starts with a copy of the target's bytes, when it exists
  };

  // What becomes of a target that is a symbolic link.
  enum class Link {
    Follow,   // the file it leads to is replaced; the link stays
    Replace,  // the link itself gives way to the new file
  };

  // Creates the temporary file and keeps it open for writing. EInOutError
  // "Cannot create file <target>" with the system's reason when it cannot.
  explicit AtomicFile(const std::string& target, Mode mode = Mode::Create, Link link = Link::Follow);
  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&& other) noexcept;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile() { Discard(); }

  // The file as the caller named it.
  const std::string& Target() const { return name_; }
  // Where the bytes go until Commit.
  const std::string& TemporaryPath() const { return temporary_; }
  // The open descriptor of the temporary file, -1 once committed or dropped.
  int Descriptor() const { return descriptor_; }

  // Syncs the written bytes and renames the temporary file over the target.
  // On failure (EInOutError with the system's reason) the temporary file is
  // removed and the target stays as it was.
  void Commit();
  // Closes and removes the temporary file; the target stays as it was.
  void Discard() noexcept;

  // Removes this host's temporary files of the target whose process has ended.
  static void RemoveStaleTemporaries(const std::string& target) noexcept;

 private:
  std::string name_;
  std::string target_;     // the file that is replaced (a link resolved)
  std::string temporary_;  // empty once committed or dropped
  int descriptor_ = -1;
  bool inPlace_ = false;
};

}  // namespace rtl
