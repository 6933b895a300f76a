#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

#include "platform/atomic_file.h"
#include "scratch_dir.h"

using namespace trawler::platform;
namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const fs::path &file) {
  struct stat st;
  return ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

TEST(AtomicFile, ReplacesContentsKeepingTheMode) {
  ScratchDir dir;
  const mode_t old = ::umask(027);
  const fs::path file = dir.Path() / "out.txt";
  ASSERT_TRUE(WriteFileAtomically(file, "first"));
  EXPECT_EQ(ModeOf(file), 0640u);  // a new file: 0666 less the umask
  ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
  ASSERT_TRUE(WriteFileAtomically(file, std::string("second\0line", 11)));
  EXPECT_EQ(ModeOf(file), 0604u);
  ::umask(old);

  std::string read;
  ASSERT_TRUE(ReadWholeFile(file, read));
  EXPECT_EQ(read, std::string("second\0line", 11));
  EXPECT_FALSE(ReadWholeFile(file, read, 5));  // over the limit
  EXPECT_EQ(read, std::string("second\0line", 11));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

TEST(AtomicFile, FailuresLeaveTheTargetAlone) {
  ScratchDir dir;
  const fs::path folder = dir.Path() / "folder";
  fs::create_directory(folder);
  EXPECT_FALSE(WriteFileAtomically(folder, "x"));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_FALSE(WriteFileAtomically(dir.Path() / "missing" / "x.txt", "x"));
  std::string read = "unchanged";
  EXPECT_FALSE(ReadWholeFile(dir.Path() / "none.txt", read));
  EXPECT_EQ(read, "unchanged");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
