#include <gtest/gtest.h>

#include "platform/registry.h"
#include "scratch_dir.h"

using namespace trawler::platform;
using Names = std::vector<std::string>;

namespace {

class RegistryKeys : public ::testing::Test {
 protected:
  ScratchDir Dir;
  RegistryStore Store{Dir.Path()};
};

TEST_F(RegistryKeys, LookupsIgnoreCaseAndKeepTheFirstSpelling) {
  RegKey writer(Store);
  ASSERT_TRUE(writer.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults", true));
  ASSERT_TRUE(writer.WriteInteger("FontSize", 8));
  ASSERT_TRUE(writer.WriteString("Категория", "0"));

  RegKey reader(Store);
  ASSERT_TRUE(reader.OpenKey("\\SOFTWARE\\oxbow\\TRAWLER\\defaults", false));
  EXPECT_EQ(reader.CurrentPath(), "\\Software\\Oxbow\\Trawler\\Defaults");
  EXPECT_EQ(reader.ReadInteger("fontsize"), 8);
  EXPECT_EQ(reader.ReadString("КАТЕГОРИЯ"), "0");

  // A rewrite under another spelling changes the data, not the name.
  ASSERT_TRUE(reader.WriteInteger("FONTSIZE", 12));
  ASSERT_TRUE(reader.OpenKey("\\software\\OXBOW\\trawler\\DEFAULTS", true));
  EXPECT_EQ(reader.GetValueNames(), (Names{"FontSize", "Категория"}));
  EXPECT_EQ(writer.ReadInteger("FontSize"), 12);

  RegKey root(Store);
  ASSERT_TRUE(root.OpenKey("\\software", false));
  EXPECT_EQ(root.GetKeyNames(), (Names{"Oxbow"}));
}

TEST_F(RegistryKeys, OpensWithAndWithoutCreating) {
  struct Case {
    const char *Path;
    bool Create;
    bool Opens;
    const char *Shown;
  };
  const Case cases[] = {
      {"\\Software\\Oxbow", false, false, ""},
      {"\\Software\\Oxbow", true, true, "\\Software\\Oxbow"},
      {"\\software\\oxbow", false, true, "\\Software\\Oxbow"},
      {"Software\\Oxbow\\", false, true, "\\Software\\Oxbow"},  // leading backslash optional
      {"\\Software\\\\Oxbow", false, true, "\\Software\\Oxbow"},
      {"\\Software\\Oxbow\\Waymark", false, false, ""},
      {"\\Software\\Oxbow\\Waymark", true, true, "\\Software\\Oxbow\\Waymark"},
      {"\\", false, true, ""},  // the hive's root
  };
  for (const auto &c : cases) {
    RegKey key(Store);
    EXPECT_EQ(key.OpenKey(c.Path, c.Create), c.Opens) << c.Path;
    EXPECT_EQ(key.CurrentPath(), c.Shown) << c.Path;
  }
}

TEST_F(RegistryKeys, RelativePathsStartAtTheOpenKey) {
  RegKey key(Store);
  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler", true));
  ASSERT_TRUE(key.OpenKey("Categories\\u0", true));
  EXPECT_EQ(key.CurrentPath(), "\\Software\\Oxbow\\Trawler\\Categories\\u0");
  ASSERT_TRUE(key.CreateKey("checks"));
  EXPECT_TRUE(key.KeyExists("CHECKS"));
  EXPECT_TRUE(key.KeyExists("\\Software\\Oxbow\\Trawler\\Categories\\u0\\checks"));
  EXPECT_FALSE(key.KeyExists("\\checks"));
  // A failed open leaves the open key as it was.
  EXPECT_FALSE(key.OpenKey("missing", false));
  EXPECT_EQ(key.CurrentPath(), "\\Software\\Oxbow\\Trawler\\Categories\\u0");
  EXPECT_EQ(key.GetKeyNames(), (Names{"checks"}));
  key.CloseKey();
  EXPECT_EQ(key.GetKeyNames(), (Names{"Software"}));
}

TEST_F(RegistryKeys, EnumeratesInCreationOrderWithReAddsLast) {
  RegKey key(Store);
  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\Categories\\1\\order", true));
  for (const char *name : {"0002", "0000", "0001", "000A"}) ASSERT_TRUE(key.WriteString(name, "x"));
  ASSERT_TRUE(key.DeleteValue("0000"));
  ASSERT_TRUE(key.WriteString("0003", "x"));
  ASSERT_TRUE(key.WriteString("0000", "x"));
  ASSERT_TRUE(key.WriteString("0002", "y"));  // a rewrite keeps its place
  EXPECT_EQ(key.GetValueNames(), (Names{"0002", "0001", "000A", "0003", "0000"}));
  EXPECT_FALSE(key.DeleteValue("0000 "));

  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\mru", true));
  for (const char *name : {"00000002", "00000001", "00000003"}) ASSERT_TRUE(key.CreateKey(name));
  ASSERT_TRUE(key.DeleteKey("00000002"));
  ASSERT_TRUE(key.CreateKey("00000004"));
  ASSERT_TRUE(key.CreateKey("00000002"));
  ASSERT_TRUE(key.CreateKey("00000001"));  // already there: stays first
  EXPECT_EQ(key.GetKeyNames(), (Names{"00000001", "00000003", "00000004", "00000002"}));
}

TEST_F(RegistryKeys, DeletesAKeyWithItsWholeSubtree) {
  RegKey key(Store);
  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\urls", true));
  ASSERT_TRUE(key.WriteString("_url_statscript", "http://stat.example/"));
  for (const char *sub : {"home", "update", "home\\deeper\\deepest"}) {
    RegKey child(Store);
    ASSERT_TRUE(child.OpenKey(std::string("\\Software\\Oxbow\\Trawler\\urls\\") + sub, true));
    ASSERT_TRUE(child.WriteString("0", sub));
  }
  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\Sites", true));
  ASSERT_TRUE(key.WriteBool("web:google", false));

  RegKey deleter(Store);
  ASSERT_TRUE(deleter.OpenKey("\\Software\\Oxbow\\Trawler", false));
  EXPECT_TRUE(deleter.DeleteKey("URLS"));
  EXPECT_FALSE(deleter.KeyExists("urls"));
  EXPECT_FALSE(deleter.DeleteKey("urls"));
  EXPECT_EQ(deleter.GetKeyNames(), (Names{"Sites"}));
  EXPECT_EQ(key.ReadBool("web:google"), false);

  // Created again, the key is empty: nothing of the old subtree survives.
  ASSERT_TRUE(deleter.OpenKey("urls\\home\\deeper", true));
  EXPECT_TRUE(deleter.GetValueNames().empty());
  EXPECT_TRUE(deleter.GetKeyNames().empty());
  ASSERT_TRUE(deleter.OpenKey("\\Software\\Oxbow\\Trawler\\urls", false));
  EXPECT_FALSE(deleter.ValueExists("_url_statscript"));
  EXPECT_EQ(deleter.GetKeyNames(), (Names{"home"}));

  // The root cannot be deleted.
  EXPECT_FALSE(deleter.DeleteKey("\\"));
}

TEST_F(RegistryKeys, AHandleOnADeletedKeyFailsQuietly) {
  RegKey open(Store);
  ASSERT_TRUE(open.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults\\queries", true));
  ASSERT_TRUE(open.WriteString("0", "first query"));
  RegKey other(Store);
  ASSERT_TRUE(other.DeleteKey("\\Software\\Oxbow\\Trawler\\Defaults"));

  EXPECT_FALSE(open.ValueExists("0"));
  EXPECT_FALSE(open.WriteString("1", "lost"));
  EXPECT_FALSE(open.CreateKey("sub"));
  EXPECT_FALSE(open.OpenKey("sub", true));
  EXPECT_TRUE(open.GetValueNames().empty());
  // Opening afresh recreates it.
  ASSERT_TRUE(open.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults\\queries", true));
  EXPECT_TRUE(open.WriteString("1", "kept"));
}

TEST_F(RegistryKeys, NamesMayHoldColonsSlashesAndInValuesBackslashes) {
  RegKey key(Store);
  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler\\Categories\\web:Google/News\\checks", true));
  EXPECT_EQ(key.CurrentPath(), "\\Software\\Oxbow\\Trawler\\Categories\\web:Google/News\\checks");
  const char *valueNames[] = {"web:Google", "http://host/a", "C:\\Results\\a.twf", "\\", "",
                              "say \"hi\""};
  int n = 0;
  for (const char *name : valueNames) ASSERT_TRUE(key.WriteInteger(name, n++)) << name;
  n = 0;
  for (const char *name : valueNames) EXPECT_EQ(key.ReadInteger(name), n++) << name;
  EXPECT_EQ(key.ReadInteger("WEB:GOOGLE"), 0);
  EXPECT_EQ(key.ReadInteger("c:\\results\\A.TWF"), 2);
  EXPECT_EQ(key.GetValueNames().size(), std::size(valueNames));

  RegKey parent(Store);
  ASSERT_TRUE(parent.OpenKey("\\Software\\Oxbow\\Trawler\\Categories", false));
  EXPECT_EQ(parent.GetKeyNames(), (Names{"web:Google/News"}));
  EXPECT_TRUE(parent.KeyExists("WEB:google/news\\CHECKS"));
}

TEST_F(RegistryKeys, HivesAreSeparate) {
  RegKey user(Store, Hive::CurrentUser);
  RegKey machine(Store, Hive::LocalMachine);
  RegKey classes(Store, Hive::ClassesRoot);
  ASSERT_TRUE(user.OpenKey("\\Software\\Oxbow", true));
  EXPECT_FALSE(machine.OpenKey("\\Software\\Oxbow", false));
  ASSERT_TRUE(classes.OpenKey("\\.twf", true));
  ASSERT_TRUE(classes.WriteString("", "Trawler.Results"));
  EXPECT_FALSE(user.KeyExists("\\.twf"));
  EXPECT_TRUE(std::filesystem::exists(Dir.Path() / "classes_root.db"));
}

TEST_F(RegistryKeys, ChangesAreSeenByAnotherStoreOnTheSameFolder) {
  RegistryStore second(Dir.Path());
  RegKey a(Store), b(second);
  ASSERT_TRUE(a.OpenKey("\\Software\\Oxbow\\Waymark", true));
  ASSERT_TRUE(a.WriteInteger("Timeout", 30));
  ASSERT_TRUE(b.OpenKey("\\software\\oxbow\\waymark", false));
  EXPECT_EQ(b.ReadInteger("timeout"), 30);
  ASSERT_TRUE(b.WriteString("ProxyHost", "proxy.local"));
  EXPECT_EQ(a.ReadString("PROXYHOST"), "proxy.local");
}

}  // namespace
