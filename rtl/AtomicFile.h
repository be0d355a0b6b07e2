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
// Replacing a file never gets round what its owner allows: an existing file
// the user may not write is refused at once, with the system's reason
// ("Permission denied"), and a replaced file keeps its permission bits, its
// owner and its group. Where the new file cannot take its place with them (a
// folder the user may not write, a file of another owner), the bytes wait in
// a temporary file of the system's temporary folder and Commit writes them
// into the file itself.
//
// A target that exists and is no regular file (a device such as /dev/full, a
// pipe) cannot be replaced: it is written in place and TemporaryPath() is the
// target itself. A symbolic link to a file keeps being a link: the file it
// leads to is replaced (Link::Follow), unless the link itself is to be
// replaced by the new file, what it leads to staying untouched (Link::Replace).
//
// Appending: the temporary file holds the new bytes alone. Commit holds the
// file with an advisory lock (flock) from reading its content to putting the
// longer file in place, so two writers appending to one file at once both find
// their bytes there, one after the other.
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
    Append,  // the bytes added to the target's, when it exists
  };

  // What becomes of a target that is a symbolic link.
  enum class Link {
    Follow,   // the file it leads to is replaced; the link stays
    Replace,  // the link itself gives way to the new file
  };

  // Creates the temporary file and keeps it open for writing. EInOutError
  // "Cannot create file <target>" with the system's reason when it cannot, or
  // when the target exists and the user may not write it.
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

  // Syncs the written bytes and puts them in place. On failure (EInOutError
  // with the system's reason) the temporary file is removed and the target
  // stays as it was.
  void Commit();
  // Closes and removes the temporary file; the target stays as it was.
  void Discard() noexcept;

  // Removes this host's temporary files of the target whose process has ended.
  static void RemoveStaleTemporaries(const std::string& target) noexcept;

 private:
  // How the bytes reach the target.
  enum class Way {
    Replace,  // the temporary file beside the target is renamed over it
    Copy,     // the target, opened at the start, takes the bytes on Commit
    Device,   // the target itself is written (no regular file)
  };

  bool StartTemporary(const std::string& folder);
  void StartCopy();
  void SyncTemporary();
  void CommitAppend();
  void CopyIntoTarget();

  std::string name_;
  std::string target_;     // the file that is replaced (a link resolved)
  std::string temporary_;  // empty once committed or dropped
  int descriptor_ = -1;
  int targetDescriptor_ = -1;  // Way::Copy: the target, open for writing
  Mode mode_ = Mode::Create;
  Way way_ = Way::Replace;
};

}  // namespace rtl
