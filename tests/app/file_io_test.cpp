// Saving and loading against real symlinks, FIFOs and device nodes.
#include "base/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <future>
#include <set>

#include "support/temp_dir.h"

namespace zambrix {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;

mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
  return st.st_mode;
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// A new file gets the umask's mode, a replaced one keeps its own (less set-id
// bits), and no temporary is left.
TEST(WriteFileSafely, NewAndReplacedFilesGetTheirModeAndNoTemporaryIsLeft) {
  TempDir dir;
  const mode_t old_mask = ::umask(022);
  EXPECT_EQ(WriteFileSafely((dir / "new.bin").string(), ""), "");
  ::umask(old_mask);
  EXPECT_EQ(ModeOf(dir / "new.bin") & 07777, 0644u);
  WriteWholeFile(dir / "private.bin", "old contents");
  fs::permissions(dir / "private.bin", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(WriteFileSafely((dir / "private.bin").string(), std::string(3000, 'x')), "");
  EXPECT_EQ(ModeOf(dir / "private.bin") & 07777, 0600u);
  EXPECT_EQ(ReadWholeFile(dir / "private.bin"), std::string(3000, 'x'));
  WriteWholeFile(dir / "tool", "#!");
  ::chmod((dir / "tool").c_str(), 04755);
  EXPECT_EQ(WriteFileSafely((dir / "tool").string(), "other"), "");
  EXPECT_EQ(ModeOf(dir / "tool") & 07777, 0755u);
  EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"new.bin", "private.bin", "tool"}));
}

// Save calls that fail as a full disk, a failing disk or a folder gone
// read-only would; the write stores its first 100 bytes before it fails.
ssize_t FullAfter100(int fd, const void* data, std::size_t size) {
  if (::lseek(fd, 0, SEEK_CUR) == 0) return ::write(fd, data, std::min<std::size_t>(size, 100));
  errno = ENOSPC;
  return -1;
}
int FsyncFails(int) {
  errno = EIO;
  return -1;
}
int RenameFails(const char*, const char*) {
  errno = EROFS;
  return -1;
}

class CallsInUse {
 public:
  explicit CallsInUse(const SaveCalls& calls) : replaced_(UseSaveCalls(calls)) {}
  ~CallsInUse() { UseSaveCalls(replaced_); }
  CallsInUse(const CallsInUse&) = delete;
  CallsInUse& operator=(const CallsInUse&) = delete;

 private:
  SaveCalls replaced_;
};

// A save whose write, flush or rename fails says why, leaves the file it was
// to replace as it was, creates no file under a new name, and leaves no
// temporary file behind.
TEST(WriteFileSafely, AFailedWriteFlushOrRenameKeepsTheOldFileAndNoTemporary) {
  const SaveCalls system = SystemSaveCalls();
  const std::tuple<const char*, SaveCalls, const char*> cases[] = {
      {"write", {FullAfter100, system.fsync, system.rename}, "No space left on device"},
      {"fsync", {system.write, FsyncFails, system.rename}, "Input/output error"},
      {"rename", {system.write, system.fsync, RenameFails}, "Read-only file system"},
  };
  for (const auto& [call, calls, reason] : cases) {
    TempDir dir;
    WriteWholeFile(dir / "old.bin", "old contents");
    const CallsInUse failing(calls);
    EXPECT_EQ(WriteFileSafely((dir / "old.bin").string(), std::string(5000, 'n')), reason) << call;
    EXPECT_EQ(WriteFileSafely((dir / "new.bin").string(), std::string(5000, 'n')), reason) << call;
    EXPECT_EQ(ReadWholeFile(dir / "old.bin"), "old contents") << call;
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"old.bin"}) << call;
  }
}

// A link planted where a predictable temporary name would be never redirects the save.
TEST(WriteFileSafely, PlantedLinksAtLikelyTemporaryNamesAreNeverFollowed) {
  TempDir dir;
  WriteWholeFile(dir / "victim", "keep me");
  for (const char* planted : {"out.bin.tmp~", "out.bin.tmp", ".out.bin.swp", "out.bin~"})
    fs::create_symlink(dir / "victim", dir / planted);
  EXPECT_EQ(WriteFileSafely((dir / "out.bin").string(), "new"), "");
  EXPECT_EQ(ReadWholeFile(dir / "victim"), "keep me");
  EXPECT_EQ(ReadWholeFile(dir / "out.bin"), "new");
}

TEST(WriteFileSafely, NamesOfTheLongestAllowedLengthSave) {
  TempDir dir;
  EXPECT_EQ(WriteFileSafely((dir / std::string(255, 'n')).string(), "x"), "");
  EXPECT_EQ(ReadWholeFile(dir / std::string(255, 'n')), "x");
  EXPECT_NE(WriteFileSafely((dir / std::string(256, 'n')).string(), "x"), "");
}

// The link stays a link; what it points at (through a chain, existing or not
// yet) gets the bytes and keeps its mode; a loop is an error.
TEST(WriteFileSafely, SymlinksAreWrittenThroughAndKept) {
  TempDir dir;
  fs::create_directories(dir / "sub");
  WriteWholeFile(dir / "sub/target.bin", "old");
  fs::permissions(dir / "sub/target.bin", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("sub/target.bin", dir / "rel");
  fs::create_symlink(dir / "rel", dir / "chain");
  fs::create_symlink("not-yet.bin", dir / "sub/dangling");
  EXPECT_EQ(WriteFileSafely((dir / "chain").string(), "through"), "");
  EXPECT_EQ(WriteFileSafely((dir / "sub/dangling").string(), "made"), "");
  for (const char* link : {"rel", "chain", "sub/dangling"}) EXPECT_TRUE(fs::is_symlink(dir / link));
  EXPECT_EQ(ReadWholeFile(dir / "sub/target.bin"), "through");
  EXPECT_EQ(ModeOf(dir / "sub/target.bin") & 07777, 0600u);
  EXPECT_EQ(ReadWholeFile(dir / "sub/not-yet.bin"), "made");
  fs::create_symlink("loop-b", dir / "loop-a");
  fs::create_symlink("loop-a", dir / "loop-b");
  EXPECT_NE(WriteFileSafely((dir / "loop-a").string(), "x"), "");
}

TEST(WriteFileSafely, AFifoReaderLeavingEarlyIsAWriteError) {
  TempDir dir;
  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A reader that leaves early is a write error, not the end of the program.
  auto quitter = std::async(std::launch::async, [&fifo] {
    const int fd = ::open(fifo.c_str(), O_RDONLY);
    char one = 0;
    const bool got = ::read(fd, &one, 1) == 1;
    ::close(fd);
    return got;
  });
  std::string error;
  for (int i = 0; i < 500; ++i) {
    error = WriteFileSafely(fifo.string(), std::string(1 << 20, 'q'));
    if (error != "it is a FIFO or socket that nobody reads") break;
    ::usleep(2000);
  }
  EXPECT_TRUE(quitter.get());
  EXPECT_EQ(error, "Broken pipe");
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
}

TEST(ReadInputFile, AFileAboveTheLimitIsRefusedUnread) {
  TempDir dir;
  WriteWholeFile(dir / "four.bin", "1234");
  const InputFile big = ReadInputFile((dir / "four.bin").string(), 3);
  EXPECT_EQ(big.status, InputStatus::TooBig);
  EXPECT_EQ(big.error, "it holds 4 bytes, more than the 3 allowed");
  EXPECT_TRUE(big.bytes.empty());
}

TEST(SameFile, SameInodeWhereFilesExistAndSameNormalPathWhereNot) {
  TempDir dir;
  fs::create_directories(dir / "sub");
  WriteWholeFile(dir / "a.bin", "a");
  WriteWholeFile(dir / "b.bin", "b");
  fs::create_symlink(dir / "a.bin", dir / "sub/link");
  fs::create_hard_link(dir / "a.bin", dir / "hard");
  fs::create_symlink(dir / "sub", dir / "sublink");
  fs::create_symlink("later.bin", dir / "dangling");
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"a.bin", "sub/link", true},
      {"a.bin", "hard", true},
      {"sub/new.bin", "sublink/./new.bin", true},
      {"dangling", "later.bin", true},
      {"sub/new.bin", "new.bin", false}};
  for (auto [a, b, same] : cases)
    EXPECT_EQ(SameFile((dir / a).string(), (dir / b).string()), same) << a << " " << b;
}

}  // namespace
}  // namespace zambrix
