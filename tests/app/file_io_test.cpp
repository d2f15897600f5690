// Saving and loading against real symlinks, FIFOs, device nodes and a full disk.
#include "app/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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

// A character device made in the folder (1,3 is the null device, 1,7 the full one).
bool MakeDevice(const fs::path& p, unsigned minor) {
  return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

TEST(WriteFileSafely, NewAndReplacedFilesGetTheirModeAndNoTemporaryIsLeft) {
  TempDir dir;
  const mode_t old_mask = ::umask(022);
  EXPECT_EQ(WriteFileSafely((dir / "new.bin").string(), "abc"), "");
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
  EXPECT_EQ(WriteFileSafely((dir / "empty.bin").string(), ""), "");
  EXPECT_EQ(fs::file_size(dir / "empty.bin"), 0u);
  ::umask(old_mask);
  EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"new.bin", "private.bin", "tool", "empty.bin"}));
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
  EXPECT_EQ(Names(dir.path()).size(), 6u);
}

TEST(WriteFileSafely, NamesOfTheLongestAllowedLengthSave) {
  TempDir dir;
  for (std::size_t length : {251u, 254u, 255u}) {
    const fs::path p = dir / std::string(length, 'n');
    EXPECT_EQ(WriteFileSafely(p.string(), "x"), "") << length;
    EXPECT_EQ(ReadWholeFile(p), "x");
  }
  EXPECT_NE(WriteFileSafely((dir / std::string(256, 'n')).string(), "x"), "");
}

// The link stays a link; what it points at (through a chain, relative or not,
// existing or not yet) gets the bytes and keeps its mode.
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
  EXPECT_TRUE(fs::is_symlink(dir / "rel"));
  EXPECT_TRUE(fs::is_symlink(dir / "chain"));
  EXPECT_TRUE(fs::is_symlink(dir / "sub/dangling"));
  EXPECT_EQ(ReadWholeFile(dir / "sub/target.bin"), "through");
  EXPECT_EQ(ModeOf(dir / "sub/target.bin") & 07777, 0600u);
  EXPECT_EQ(ReadWholeFile(dir / "sub/not-yet.bin"), "made");
  fs::create_symlink("loop-b", dir / "loop-a");
  fs::create_symlink("loop-a", dir / "loop-b");
  EXPECT_NE(WriteFileSafely((dir / "loop-a").string(), "x"), "");
  EXPECT_TRUE(fs::is_symlink(dir / "loop-a"));
}

TEST(WriteFileSafely, DevicesAreWrittenInPlaceWithTheirErrors) {
  TempDir dir;
  if (!MakeDevice(dir / "null", 3) || !MakeDevice(dir / "full", 7))
    GTEST_SKIP() << "device nodes cannot be made here";
  fs::create_symlink(dir / "full", dir / "full-link");
  EXPECT_EQ(WriteFileSafely((dir / "null").string(), std::string(100000, 'x')), "");
  EXPECT_EQ(WriteFileSafely((dir / "full").string(), "x"), "No space left on device");
  EXPECT_EQ(WriteFileSafely((dir / "full-link").string(), "x"), "No space left on device");
  for (const char* device : {"null", "full"}) EXPECT_TRUE(S_ISCHR(ModeOf(dir / device))) << device;
  EXPECT_TRUE(fs::is_symlink(dir / "full-link"));
  EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"null", "full", "full-link"}));
}

TEST(WriteFileSafely, AFifoIsWrittenToItsReaderAndWithoutOneFailsAtOnce) {
  TempDir dir;
  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(WriteFileSafely(fifo.string(), "nobody"), "it is a FIFO or socket that nobody reads");
  auto reader = std::async(std::launch::async, [&fifo] { return ReadWholeFile(fifo); });
  // The reader may not have opened its end yet; the save says so instead of waiting.
  std::string error;
  for (int i = 0; i < 500; ++i) {
    error = WriteFileSafely(fifo.string(), std::string(200000, 'f'));
    if (error.empty()) break;
    ::usleep(2000);
  }
  EXPECT_EQ(error, "");
  EXPECT_EQ(reader.get(), std::string(200000, 'f'));
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
  // A reader that leaves early is a write error, not the end of the program.
  auto quitter = std::async(std::launch::async, [&fifo] {
    const int fd = ::open(fifo.c_str(), O_RDONLY);
    char one = 0;
    const bool got = ::read(fd, &one, 1) == 1;
    ::close(fd);
    return got;
  });
  for (int i = 0; i < 500; ++i) {
    error = WriteFileSafely(fifo.string(), std::string(1 << 20, 'q'));
    if (error != "it is a FIFO or socket that nobody reads") break;
    ::usleep(2000);
  }
  EXPECT_TRUE(quitter.get());
  EXPECT_EQ(error, "Broken pipe");
}

// A small tmpfs stands in for a full disk: the failed save leaves the old file whole.
TEST(WriteFileSafely, AFullDiskKeepsTheOldFile) {
  TempDir dir;
  const fs::path disk = dir / "disk";
  fs::create_directories(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here";
  const fs::path file = disk / "out.bin";
  EXPECT_EQ(WriteFileSafely(file.string(), std::string(20000, 'o')), "");
  EXPECT_EQ(WriteFileSafely(file.string(), std::string(200000, 'n')), "No space left on device");
  EXPECT_EQ(ReadWholeFile(file), std::string(20000, 'o'));
  EXPECT_EQ(Names(disk), std::set<std::string>{"out.bin"});
  ::umount(disk.c_str());
}

TEST(ReadInputFile, OnlyRegularFilesWithinTheLimitAreRead) {
  TempDir dir;
  WriteWholeFile(dir / "four.bin", "1234");
  fs::create_symlink(dir / "four.bin", dir / "link");
  struct Case {
    std::string path;
    std::uintmax_t limit;
    InputStatus status;
    std::uintmax_t size;
    std::string error;
  } cases[] = {
      {(dir / "four.bin").string(), 4, InputStatus::Ok, 4, ""},
      {(dir / "link").string(), 100, InputStatus::Ok, 4, ""},
      {(dir / "four.bin").string(), 3, InputStatus::TooBig, 4,
       "it holds 4 bytes, more than the 3 allowed"},
      {(dir / "missing").string(), 10, InputStatus::Missing, 0, "no such file"},
      {"/dev/zero", 10, InputStatus::NotRegular, 0, "it is a device, not a file"},
  };
  for (const auto& c : cases) {
    const InputFile f = ReadInputFile(c.path, c.limit);
    EXPECT_EQ(f.status, c.status) << c.path;
    EXPECT_EQ(f.size, c.size) << c.path;
    EXPECT_EQ(f.error, c.error) << c.path;
    EXPECT_EQ(f.bytes.size(), f.ok() ? c.size : 0u) << c.path;
  }
  const auto bytes = ReadInputFile((dir / "four.bin").string(), 4).bytes;
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "1234");
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
  const auto p = [&dir](const char* name) { return (dir / name).string(); };
  EXPECT_TRUE(SameFile(p("a.bin"), p("sub/../a.bin")));
  EXPECT_TRUE(SameFile(p("a.bin"), p("sub/link")));
  EXPECT_TRUE(SameFile(p("a.bin"), p("hard")));
  EXPECT_TRUE(SameFile(p("sub/new.bin"), p("sublink/./new.bin")));
  EXPECT_TRUE(SameFile(p("dangling"), p("later.bin")));
  EXPECT_FALSE(SameFile(p("a.bin"), p("b.bin")));
  EXPECT_FALSE(SameFile(p("a.bin"), p("new.bin")));
  EXPECT_FALSE(SameFile(p("sub/new.bin"), p("new.bin")));
}

}  // namespace
}  // namespace zambrix
