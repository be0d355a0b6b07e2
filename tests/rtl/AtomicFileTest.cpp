// Files replaced whole or not at all: what a reader finds after a writer
// finished, gave up, raced another writer or was killed in the middle.

#include "rtl/AtomicFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <functional>
#include <latch>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rtl/Exception.h"
#include "rtl/TextFile.h"
#include "tests/support/Unprivileged.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder named after the running test.
fs::path TestFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "rtl" / "atomic" / info->name();
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// The names in the folder, sorted; hidden temporary files included.
std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void Make(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::optional<std::string> Content(const fs::path& path) {
  if (!fs::exists(path)) return std::nullopt;
  return rtl::ReadWholeFile(path.string());
}

TEST(AtomicFile, TheFileIsReplacedOnlyWhenTheWriterCloses) {
  struct Case {
    const char* name;
    const char* old;  // nullptr: no file before
    rtl::TextWriter::Mode mode;
    bool close;
    const char* after;  // nullptr: no file after
  };
  using enum rtl::TextWriter::Mode;
  const Case cases[] = {
      {"create over a file", "old", Create, true, "new"},   {"create a new file", nullptr, Create, true, "new"},
      {"dropped over a file", "old", Create, false, "old"}, {"dropped new file", nullptr, Create, false, nullptr},
      {"append to a file", "old", Append, true, "oldnew"},  {"append to no file", nullptr, Append, true, "new"},
      {"dropped append", "old", Append, false, "old"},
  };
  const fs::path folder = TestFolder();
  const fs::path target = folder / "out.qmx";
  for (const Case& c : cases) {
    fs::remove(target);
    if (c.old != nullptr) Make(target, c.old);
    {
      rtl::TextWriter writer(target.string(), c.mode);
      writer.Write("new");
      EXPECT_EQ(Content(target), c.old ? std::optional<std::string>(c.old) : std::nullopt)
          << c.name << ": the target is untouched while the writer writes";
      if (c.close) writer.Close();
    }
    EXPECT_EQ(Content(target), c.after ? std::optional<std::string>(c.after) : std::nullopt) << c.name;
    EXPECT_EQ(Entries(folder), c.after ? std::vector<std::string>{"out.qmx"} : std::vector<std::string>{})
        << c.name << ": no temporary file is left";
  }
}

// Code that writes a file by its name (a picture library) writes to the
// temporary path; the target appears on Commit, or never.
TEST(AtomicFile, WritersThatTakeAPathWriteToTheTemporaryPath) {
  const fs::path folder = TestFolder();
  const fs::path target = folder / "plot.png";
  Make(target, "old picture");
  {
    rtl::AtomicFile file(target.string());
    EXPECT_EQ(fs::path(file.TemporaryPath()).parent_path(), folder);
    Make(file.TemporaryPath(), "half a pict");
  }
  EXPECT_EQ(Content(target), "old picture");
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"plot.png"});

  rtl::AtomicFile file(target.string());
  Make(file.TemporaryPath(), "new picture");
  file.Commit();
  EXPECT_EQ(Content(target), "new picture");
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"plot.png"});
  EXPECT_THROW(file.Commit(), rtl::EInOutError) << "a file commits once";
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissionsAndItsLink) {
  const fs::path folder = TestFolder();
  const fs::path real = folder / "real.qmx";
  const fs::path link = folder / "link.qmx";
  Make(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real.qmx", link);

  rtl::TextWriter writer(link.string());
  writer.Write("new");
  writer.Close();
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Content(real), "new");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(folder), (std::vector<std::string>{"link.qmx", "real.qmx"}));
}

// Asked to, the new file takes the link's own place, whatever the link leads
// to: a file elsewhere keeps its contents, a device is not written, and a
// link that leads nowhere makes nothing there.
TEST(AtomicFile, ALinkReplacedGivesWayToTheNewFile) {
  struct Case {
    const char* name;
    const char* leadsTo;  // relative to the test's folder, or a device
  };
  const Case cases[] = {{"to a file", "kept.png"}, {"to a device", "/dev/full"}, {"to nothing", "absent.png"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = TestFolder();
    Make(folder / "kept.png", "a picture kept elsewhere");
    const fs::path page = folder / "page.png";
    fs::create_symlink(c.leadsTo, page);
    rtl::AtomicFile file(page.string(), rtl::AtomicFile::Mode::Create, rtl::AtomicFile::Link::Replace);
    Make(file.TemporaryPath(), "new picture");
    file.Commit();
    EXPECT_FALSE(fs::is_symlink(page));
    EXPECT_EQ(Content(page), "new picture");
    EXPECT_EQ(Content(folder / "kept.png"), "a picture kept elsewhere");
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"kept.png", "page.png"}));
  }
}

// A device cannot be replaced: it is written in place, and its failures show.
TEST(AtomicFile, DevicesAreWrittenInPlace) {
  rtl::TextWriter sink("/dev/null");
  sink.WriteLine("gone");
  EXPECT_NO_THROW(sink.Close());
  EXPECT_FALSE(fs::is_regular_file("/dev/null"));

  const fs::path folder = TestFolder();
  fs::create_symlink("/dev/full", folder / "full.qmx");
  rtl::TextWriter full((folder / "full.qmx").string());
  full.WriteLine("does not fit");
  try {
    full.Close();
    ADD_FAILURE() << "a full disk is reported";
  } catch (const rtl::EInOutError& error) {
    EXPECT_EQ(error.Reason(), "No space left on device");
  }
  EXPECT_TRUE(fs::is_symlink(folder / "full.qmx"));
}

TEST(AtomicFile, AFileThatCannotBeStartedRaises) {
  const fs::path folder = TestFolder();
  EXPECT_THROW(rtl::AtomicFile((folder / "no-such-folder" / "x.qmx").string()), rtl::EInOutError);
  fs::create_directory(folder / "a-folder.qmx");
  EXPECT_THROW(rtl::TextWriter((folder / "a-folder.qmx").string()), rtl::EInOutError);
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"a-folder.qmx"});
}

// A process id that no process has now: a child that has ended.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

// The temporary name a process `pid` would use for `target`, made from the
// name this process uses.
std::string TemporaryNameOf(const fs::path& target, long pid) {
  rtl::AtomicFile probe(target.string());
  std::string name = fs::path(probe.TemporaryPath()).filename().string();
  const std::string own = ".~" + std::to_string(getpid()) + "-";
  name.replace(name.find(own), own.size(), ".~" + std::to_string(pid) + "-");
  return name;
}

TEST(AtomicFile, TemporariesOfEndedProcessesAreRemovedByTheNextWriter) {
  const fs::path folder = TestFolder();
  const fs::path target = folder / "out.qmx";
  const std::string ended = TemporaryNameOf(target, EndedProcess());
  const std::string running = TemporaryNameOf(target, getppid());
  const std::string otherTarget = TemporaryNameOf(folder / "other.qmx", EndedProcess());
  std::string otherHost = ended;
  otherHost.insert(otherHost.size() - 4, "x");
  for (const std::string& name : {ended, running, otherTarget, otherHost}) Make(folder / name, "stale");

  rtl::TextWriter writer(target.string());
  writer.Write("new");
  writer.Close();
  std::vector<std::string> expected = {"out.qmx", running, otherTarget, otherHost};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(folder), expected);
}

// Two writers of one file at once, and a reader meanwhile: every read finds
// one whole file, and the last file is one of the two.
TEST(AtomicFile, TwoWritersAtOnceLeaveOneWholeFile) {
  const fs::path folder = TestFolder();
  const fs::path target = folder / "out.qmx";
  const std::string initial(100000, 'i');
  Make(target, initial);
  const std::vector<std::string> contents = {std::string(1500000, 'a'), std::string(1000000, 'b')};
  for (int round = 0; round < 5; ++round) {
    std::latch start(3);
    std::atomic<bool> writing = true;
    std::vector<std::string> mixed;
    std::thread reader([&] {
      start.arrive_and_wait();
      while (writing) {
        const std::string seen = rtl::ReadWholeFile(target.string());
        if (seen != initial && seen != contents[0] && seen != contents[1]) mixed.push_back(seen.substr(0, 20));
      }
    });
    std::vector<std::thread> writers;
    for (const std::string& content : contents) {
      writers.emplace_back([&] {
        rtl::TextWriter writer(target.string());
        start.arrive_and_wait();
        for (size_t at = 0; at < content.size(); at += 4096) writer.Write(std::string_view(content).substr(at, 4096));
        writer.Close();
      });
    }
    for (std::thread& writer : writers) writer.join();
    writing = false;
    reader.join();
    EXPECT_EQ(mixed, std::vector<std::string>{}) << "round " << round;
    const std::string last = rtl::ReadWholeFile(target.string());
    EXPECT_TRUE(last == contents[0] || last == contents[1]) << "round " << round << ": " << last.size() << " bytes";
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"out.qmx"});
  }
}

// A writer killed in the middle of a large file leaves the old file as it
// was; its temporary file stays until the next writer of the file removes it.
TEST(AtomicFile, AWriterKilledMidFileLeavesTheOldFile) {
  const fs::path folder = TestFolder();
  const fs::path target = folder / "out.qmx";
  Make(target, "old\r\n");
  int halfway[2];
  int never[2];
  ASSERT_EQ(pipe(halfway), 0);
  ASSERT_EQ(pipe(never), 0);
  const pid_t child = fork();
  if (child == 0) {
    rtl::TextWriter writer(target.string());
    const std::string line(1000, 'x');
    for (int i = 0; i < 8000; ++i) writer.WriteLine(line);
    const char mark = '1';
    (void)!write(halfway[1], &mark, 1);
    char wait;
    (void)!read(never[0], &wait, 1);  // blocks until killed
    _exit(0);
  }
  char mark = 0;
  ASSERT_EQ(read(halfway[0], &mark, 1), 1);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  for (int fd : {halfway[0], halfway[1], never[0], never[1]}) close(fd);
  ASSERT_TRUE(WIFSIGNALED(status));

  EXPECT_EQ(Content(target), "old\r\n");
  const std::vector<std::string> left = Entries(folder);
  ASSERT_EQ(left.size(), 2u) << "the killed writer's temporary file";
  EXPECT_GT(fs::file_size(folder / (left[0] == "out.qmx" ? left[1] : left[0])), 4000000u);

  rtl::TextWriter next(target.string());
  next.WriteLine("new");
  next.Close();
  EXPECT_EQ(Content(target), "new\r\n");
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"out.qmx"});
}

// The temporary files of a target that wait in the system's temporary folder.
std::vector<std::string> StagedFilesOf(const fs::path& target) {
  const std::string prefix = "." + target.filename().string() + ".~";
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::temp_directory_path())) {
    if (entry.path().filename().string().starts_with(prefix)) names.push_back(entry.path().filename().string());
  }
  return names;
}

// What an owner forbids stays forbidden, and what the system lets a user write
// is written, keeping the file's owner and permission bits: a user writes over
// or appends to files with and without the right to write them, in folders
// with and without it, and files of another owner.
TEST(AtomicFile, WritingFollowsTheFilesPermissionsAndKeepsThem) {
  enum Owner { kUser, kOther, kNone };
  struct Case {
    const char* name;
    Owner owner;  // of the file before; kNone: no file
    unsigned mode;
    bool folderWritable;
    rtl::TextWriter::Mode writing;
    const char* result;   // "written" or the system's reason for refusing
    const char* after;    // nullptr: no file
    bool byRoot = false;  // written by root rather than the user
  };
  using enum rtl::TextWriter::Mode;
  const Case cases[] = {
      {"own read-only file", kUser, 0444, true, Create, "Permission denied", "old"},
      {"own read-only file, appended", kUser, 0444, true, Append, "Permission denied", "old"},
      {"own writable file in a shut folder", kUser, 0644, false, Create, "written", "new"},
      {"own writable file in a shut folder, appended", kUser, 0644, false, Append, "written", "oldnew"},
      {"no file in a shut folder", kNone, 0, false, Create, "Permission denied", nullptr},
      {"another's file all may write", kOther, 0666, true, Create, "written", "new"},
      {"another's file all may write, appended", kOther, 0666, true, Append, "written", "oldnew"},
      {"another's file only its owner may write", kOther, 0644, true, Create, "Permission denied", "old"},
      {"the user's file written by root", kUser, 0640, true, Create, "written", "new", true},
  };
  const fs::path root = TestFolder();
  const testsupport::UserIds user = testsupport::UnprivilegedIds();
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if ((c.owner == kOther || c.byRoot) && !testsupport::RunningAsRoot()) {
      std::cout << "[ SKIPPED  ] " << c.name << ": only root can give a file to another user\n";
      continue;
    }
    const fs::path folder = root / ("case" + std::to_string(++n));
    const fs::path target = folder / ("owner-rule-" + std::to_string(n) + ".qmx");
    fs::create_directory(folder);
    if (c.owner != kNone) Make(target, "old");
    testsupport::HandOver(folder);
    struct stat before {};
    if (c.owner == kOther) {
      ASSERT_EQ(chown(target.c_str(), 0, 0), 0);
    }
    if (c.owner != kNone) {
      fs::permissions(target, static_cast<fs::perms>(c.mode));
      ASSERT_EQ(stat(target.c_str(), &before), 0);
    }
    if (!c.folderWritable) fs::permissions(folder, static_cast<fs::perms>(0555));

    const auto write = [&] {
      try {
        rtl::TextWriter writer(target.string(), c.writing);
        writer.Write("new");
        writer.Close();
        return std::string("written");
      } catch (const rtl::EInOutError& error) {
        return error.Reason();
      }
    };
    EXPECT_EQ(c.byRoot ? write() : testsupport::RunUnprivileged(write), c.result);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);

    EXPECT_EQ(Content(target), c.after ? std::optional<std::string>(c.after) : std::nullopt);
    EXPECT_EQ(Entries(folder),
              c.after ? std::vector<std::string>{target.filename().string()} : std::vector<std::string>{})
        << "no temporary file is left";
    EXPECT_EQ(StagedFilesOf(target), std::vector<std::string>{});
    struct stat after {};
    if (c.owner != kNone && stat(target.c_str(), &after) == 0) {
      EXPECT_EQ(after.st_mode & 07777, c.mode) << "the permission bits stay";
      EXPECT_EQ(after.st_uid, before.st_uid) << "the owner stays";
      EXPECT_EQ(after.st_gid, before.st_gid) << "the group stays";
      EXPECT_EQ(c.owner == kOther ? 0u : user.uid, after.st_uid);
    }
  }
}

// Two runs appending to one file at once: each takes the file, as the other
// left it, so both results are there, one after the other; whether the file
// was there before or not, each of ten times.
TEST(AtomicFile, TwoAppendsAtOnceKeepBothResults) {
  const fs::path folder = TestFolder();
  const fs::path target = folder / "results.qmx";
  // Large enough that copying it takes a while, as a long listing of results does.
  const std::string old(1 << 20, 'o');
  for (const bool exists : {true, false}) {
    for (int round = 0; round < 10; ++round) {
      SCOPED_TRACE((exists ? "over a file, round " : "no file before, round ") + std::to_string(round));
      fs::remove(target);
      if (exists) Make(target, old);
      int start[2];
      ASSERT_EQ(pipe(start), 0);
      std::vector<pid_t> children;
      for (const char* result : {"first\r\n", "second\r\n"}) {
        const pid_t child = fork();
        if (child == 0) {
          close(start[1]);
          int status = 1;
          try {
            rtl::TextWriter writer(target.string(), rtl::TextWriter::Mode::Append);
            writer.Write(result);
            char go;
            (void)!read(start[0], &go, 1);  // both close at once
            writer.Close();
            status = 0;
          } catch (...) {
          }
          _exit(status);
        }
        children.push_back(child);
      }
      close(start[0]);
      close(start[1]);
      for (const pid_t child : children) {
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      }
      const std::string before = exists ? old : std::string();
      const std::optional<std::string> now = Content(target);
      EXPECT_TRUE(now == before + "first\r\nsecond\r\n" || now == before + "second\r\nfirst\r\n")
          << (now ? now->substr(std::min(now->size(), before.size())) : std::string("no file"));
      EXPECT_EQ(Entries(folder), std::vector<std::string>{"results.qmx"});
    }
  }
}

}  // namespace
