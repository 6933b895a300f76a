// The hive as shared by running copies of the program, and as found on disk
// after crashes and damage.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/registry.h"
#include "scratch_dir.h"

using namespace trawler::platform;

namespace {

const char *const MruKey = "\\Software\\Oxbow\\Trawler\\mru";

// Runs `work` in a child process with a store of its own; the child's exit
// status is what `work` returns.
template <typename Work>
pid_t Spawn(const std::filesystem::path &dir, Work work) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int status;
    {
      RegistryStore store(dir);
      status = work(store);
    }
    ::_exit(status);
  }
  return pid;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(RegistryProcesses, TwoCopiesWritingTogetherLoseNothing) {
  // Both copies start on an empty folder, so they also race to create it.
  ScratchDir dir;
  const auto folder = dir.Path() / "trawler";
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  constexpr int Rounds = 60;
  const auto copy = [&](int id) {
    return [&, id](RegistryStore &store) {
      char start;
      if (::read(go[0], &start, 1) != 1) return 90;
      int failures = 0;
      RegKey key(store);
      for (int i = 0; i < Rounds; ++i) {
        // A read-modify-write of a shared counter, guarded by a batch.
        {
          RegistryBatch batch(store);
          RegKey counter(store);
          const bool opened = counter.OpenKey(MruKey, true);
          const auto value = counter.ReadInteger("Counter").value_or(0);
          if (!opened || !counter.WriteInteger("Counter", value + 1) || !batch.Commit())
            ++failures;
        }
        // Single writes, each its own transaction, and new keys.
        const std::string name = "copy" + std::to_string(id) + "-" + std::to_string(i);
        if (!key.OpenKey(MruKey, true) || !key.WriteString(name, name)) ++failures;
        if (!key.OpenKey(std::string(MruKey) + "\\" + name, true) || !key.WriteInteger("", i))
          ++failures;
      }
      return failures > 0 ? 1 : 0;
    };
  };
  const pid_t first = Spawn(folder, copy(1));
  const pid_t second = Spawn(folder, copy(2));
  ::close(go[0]);
  ASSERT_EQ(::write(go[1], "gg", 2), 2);
  ::close(go[1]);
  EXPECT_EQ(ExitStatus(first), 0);
  EXPECT_EQ(ExitStatus(second), 0);

  RegistryStore store(folder);
  RegKey key(store);
  ASSERT_TRUE(key.OpenKey(MruKey, false));
  EXPECT_EQ(key.ReadInteger("Counter"), 2 * Rounds);
  EXPECT_EQ(key.GetValueNames().size(), 1u + 2 * Rounds);
  EXPECT_EQ(key.GetKeyNames().size(), 2u * Rounds);
  for (int id = 1; id <= 2; ++id)
    for (int i = 0; i < Rounds; ++i) {
      const std::string name = "copy" + std::to_string(id) + "-" + std::to_string(i);
      EXPECT_EQ(key.ReadString(name), name);
    }
}

TEST(RegistryProcesses, AKilledBatchLeavesThePreviousState) {
  ScratchDir dir;
  {
    RegistryStore store(dir.Path());
    RegKey key(store);
    ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults", true));
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(key.WriteInteger("v" + std::to_string(i), i));
  }
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = Spawn(dir.Path(), [&](RegistryStore &store) {
    RegistryBatch batch(store);
    RegKey key(store);
    key.DeleteKey("\\Software\\Oxbow\\Trawler\\Defaults");
    key.OpenKey("\\Software\\Oxbow\\Trawler\\Big", true);
    // Enough data that SQLite spills uncommitted pages into the log.
    const std::vector<std::uint8_t> block(1 << 20, 0xAB);
    for (int i = 0; i < 6; ++i) key.WriteBinary("block" + std::to_string(i), block);
    key.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults", true);
    key.WriteInteger("v0", 999);
    if (::write(ready[1], "r", 1) != 1) return 1;
    for (;;) ::pause();
  });
  char signal;
  ASSERT_EQ(::read(ready[0], &signal, 1), 1);
  ::kill(child, SIGKILL);
  EXPECT_EQ(ExitStatus(child), 128 + SIGKILL);
  ::close(ready[0]);
  ::close(ready[1]);

  RegistryStore store(dir.Path());
  RegKey key(store);
  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults", false));
  EXPECT_EQ(key.GetValueNames().size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(key.ReadInteger("v" + std::to_string(i)), i);
  EXPECT_FALSE(key.KeyExists("\\Software\\Oxbow\\Trawler\\Big"));
  // The dead process holds no lock: a new batch goes through.
  RegistryBatch batch(store);
  ASSERT_TRUE(batch.Active());
  EXPECT_TRUE(key.WriteInteger("v0", 7));
  EXPECT_TRUE(batch.Commit());
  EXPECT_EQ(key.ReadInteger("v0"), 7);
}

void WriteFile(const std::filesystem::path &file, const std::string &content) {
  std::ofstream(file, std::ios::binary) << content;
}

std::string ReadFile(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every operation on an unusable hive fails quietly.
void ExpectUnusable(RegistryStore &store) {
  RegKey key(store);
  EXPECT_FALSE(key.OpenKey("\\Software\\Oxbow", true));
  EXPECT_FALSE(key.KeyExists("\\Software"));
  EXPECT_FALSE(key.CreateKey("\\Software\\Other"));
  EXPECT_FALSE(key.DeleteKey("\\Software"));
  EXPECT_FALSE(key.WriteString("x", "y"));
  EXPECT_FALSE(key.ValueExists("x"));
  EXPECT_EQ(key.ReadString("x"), std::nullopt);
  EXPECT_TRUE(key.GetKeyNames().empty());
  EXPECT_TRUE(key.GetValueNames().empty());
  RegistryBatch batch(store);
  EXPECT_FALSE(batch.Active());
  EXPECT_FALSE(batch.Commit());
}

TEST(RegistryDamage, AFileThatIsNotADatabaseIsLeftAloneAndFailsQuietly) {
  const std::string contents[] = {
      "this is a text file, not a settings database\n",
      std::string(4096, '\xFF'),
      std::string("SQLite format 3\0", 16) + std::string(200, '\x07'),
  };
  for (const auto &content : contents) {
    ScratchDir dir;
    const auto file = dir.Path() / "current_user.db";
    WriteFile(file, content);
    RegistryStore store(dir.Path());
    ExpectUnusable(store);
    EXPECT_EQ(ReadFile(file), content);
    // The other hives are unaffected.
    RegKey machine(store, Hive::LocalMachine);
    EXPECT_TRUE(machine.OpenKey("\\Software", true));
  }
}

TEST(RegistryDamage, ADamagedDatabaseNeverCrashes) {
  ScratchDir dir;
  const auto file = dir.Path() / "current_user.db";
  {
    RegistryStore store(dir.Path());
    RegKey key(store);
    for (int k = 0; k < 40; ++k) {
      ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\k" + std::to_string(k), true));
      for (int v = 0; v < 20; ++v)
        ASSERT_TRUE(key.WriteString("value" + std::to_string(v), std::string(100, 'x')));
    }
  }
  std::string bytes = ReadFile(file);
  ASSERT_GT(bytes.size(), 3u * 4096);
  // Scribble over everything after the first page.
  for (std::size_t i = 4096; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(i * 31);
  WriteFile(file, bytes);

  RegistryStore store(dir.Path());
  RegKey key(store);
  // Whatever still reads is fine; nothing may crash or hang.
  if (key.OpenKey("\\Software\\Oxbow\\Trawler", false)) {
    for (const auto &name : key.GetKeyNames()) {
      RegKey sub(store);
      if (sub.OpenKey("\\Software\\Oxbow\\Trawler\\" + name, false))
        for (const auto &value : sub.GetValueNames()) sub.ReadString(value);
    }
  }
  key.WriteString("after", "damage");
  key.DeleteKey("\\Software");
  RegExportText(store, Hive::CurrentUser, "\\", "HKEY_CURRENT_USER");
  SUCCEED();
}

TEST(RegistryFiles, TheFolderAndTheHivesArePrivate) {
  ScratchDir dir;
  const mode_t old = ::umask(022);
  const auto folder = dir.Path() / "config" / "trawler";
  {
    RegistryStore store(folder);
    RegKey key(store);
    ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Waymark", true));
    ASSERT_TRUE(key.WriteString("ProxyPassword", "secret"));
    for (const char *name : {"current_user.db", "current_user.db-wal"}) {
      struct stat st;
      ASSERT_EQ(::stat((folder / name).c_str(), &st), 0) << name;
      EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
    for (const auto &made : {folder, folder.parent_path()}) {
      struct stat st;
      ASSERT_EQ(::stat(made.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
    }
  }
  ::umask(old);
}

}  // namespace
