#include <gtest/gtest.h>

#include "platform/registry.h"
#include "scratch_dir.h"

using namespace trawler::platform;

namespace {

class RegistryBatches : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Key.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults", true));
    ASSERT_TRUE(Key.WriteInteger("FontSize", 8));
  }
  // What another running copy of the program sees.
  std::optional<std::int32_t> SeenElsewhere(const char *name) {
    RegistryStore other(Dir.Path());
    RegKey key(other);
    if (!key.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults", false)) return std::nullopt;
    return key.ReadInteger(name);
  }
  ScratchDir Dir;
  RegistryStore Store{Dir.Path()};
  RegKey Key{Store};
};

TEST_F(RegistryBatches, CommittedWritesAppearTogether) {
  {
    RegistryBatch batch(Store);
    ASSERT_TRUE(batch.Active());
    for (int i = 0; i < 80; ++i) ASSERT_TRUE(Key.WriteInteger("v" + std::to_string(i), i));
    ASSERT_TRUE(Key.WriteInteger("FontSize", 10));
    EXPECT_EQ(Key.ReadInteger("v79"), 79);  // the batch sees its own writes
    EXPECT_EQ(SeenElsewhere("FontSize"), 8);
    EXPECT_EQ(SeenElsewhere("v0"), std::nullopt);
    EXPECT_TRUE(batch.Commit());
    EXPECT_FALSE(batch.Commit());
  }
  EXPECT_EQ(SeenElsewhere("FontSize"), 10);
  EXPECT_EQ(SeenElsewhere("v79"), 79);
}

TEST_F(RegistryBatches, AnUncommittedBatchLeavesNothing) {
  {
    RegistryBatch batch(Store);
    ASSERT_TRUE(Key.WriteInteger("FontSize", 10));
    ASSERT_TRUE(Key.CreateKey("queries"));
    ASSERT_TRUE(Key.DeleteValue("FontSize"));
  }
  EXPECT_EQ(Key.ReadInteger("FontSize"), 8);
  EXPECT_FALSE(Key.KeyExists("queries"));
  // Single writes after the batch are their own transactions again.
  ASSERT_TRUE(Key.WriteInteger("FontSize", 9));
  EXPECT_EQ(SeenElsewhere("FontSize"), 9);
}

TEST_F(RegistryBatches, InnerBatchesCommitIntoTheOuterOne) {
  struct Case {
    bool InnerCommits;
    bool OuterCommits;
    std::optional<std::int32_t> Inner, Outer;
  };
  const Case cases[] = {
      {true, true, 1, 1},
      {false, true, std::nullopt, 1},
      {true, false, std::nullopt, std::nullopt},
      {false, false, std::nullopt, std::nullopt},
  };
  int round = 0;
  for (const auto &c : cases) {
    const std::string inner = "inner" + std::to_string(round);
    const std::string outer = "outer" + std::to_string(round++);
    {
      RegistryBatch outerBatch(Store);
      ASSERT_TRUE(Key.WriteInteger(outer, 1));
      {
        RegistryBatch innerBatch(Store);
        ASSERT_TRUE(innerBatch.Active());
        ASSERT_TRUE(Key.WriteInteger(inner, 1));
        if (c.InnerCommits) {
          EXPECT_TRUE(innerBatch.Commit());
        }
      }
      if (c.OuterCommits) {
        EXPECT_TRUE(outerBatch.Commit());
      }
    }
    EXPECT_EQ(SeenElsewhere(inner.c_str()), c.Inner) << round;
    EXPECT_EQ(SeenElsewhere(outer.c_str()), c.Outer) << round;
  }
}

TEST_F(RegistryBatches, ABatchCoversOneHiveOnly) {
  RegKey machine(Store, Hive::LocalMachine);
  {
    RegistryBatch batch(Store, Hive::CurrentUser);
    ASSERT_TRUE(Key.WriteInteger("FontSize", 11));
    ASSERT_TRUE(machine.OpenKey("\\Software\\Trawler", true));
    ASSERT_TRUE(machine.WriteString("Path", "/usr/bin"));
  }
  EXPECT_EQ(Key.ReadInteger("FontSize"), 8);
  EXPECT_EQ(machine.ReadString("Path"), "/usr/bin");
}

}  // namespace
