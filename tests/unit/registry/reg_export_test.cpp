#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include <sqlite3.h>

#include <sys/stat.h>

#include "platform/registry.h"
#include "scratch_dir.h"

using namespace trawler::platform;
using Bytes = std::vector<std::uint8_t>;

namespace {

class RegExport : public ::testing::Test {
 protected:
  RegKey Open(const std::string &path) {
    RegKey key(Store);
    EXPECT_TRUE(key.OpenKey(path, true));
    return key;
  }
  std::string Export(const char *key = "\\Software\\Oxbow\\Trawler") {
    return RegExportText(Store, Hive::CurrentUser, key, "HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler");
  }
  ScratchDir Dir;
  RegistryStore Store{Dir.Path()};
};

TEST_F(RegExport, WritesEachKindOfValue) {
  RegKey key(Store);
  ASSERT_TRUE(key.OpenKey("\\Software\\Oxbow\\Trawler", true));
  struct Case {
    std::string Name;
    std::function<bool(RegKey &, const std::string &)> Write;
    std::string Line;  // "" when the value is left out
  };
  const Case cases[] = {
      {"", [](RegKey &k, auto &n) { return k.WriteString(n, "00000003"); }, "@=\"00000003\""},
      {"query", [](RegKey &k, auto &n) { return k.WriteString(n, "a \"b\" c:\\d"); },
       "\"query\"=\"a \\\"b\\\" c:\\\\d\""},
      {"C:\\x \"y\"", [](RegKey &k, auto &n) { return k.WriteString(n, ""); },
       "\"C:\\\\x \\\"y\\\"\"=\"\""},
      {"Запрос", [](RegKey &k, auto &n) { return k.WriteString(n, "поиск"); },
       "\"Запрос\"=\"поиск\""},
      {"FontSize", [](RegKey &k, auto &n) { return k.WriteInteger(n, 8); }, "\"FontSize\"=dword:00000008"},
      {"NewItemsColor", [](RegKey &k, auto &n) { return k.WriteInteger(n, 16711680); },
       "\"NewItemsColor\"=dword:00FF0000"},
      {"Minus", [](RegKey &k, auto &n) { return k.WriteInteger(n, -2); }, "\"Minus\"=dword:FFFFFFFE"},
      {"One", [](RegKey &k, auto &n) { return k.WriteBinary(n, Bytes{0xAB}); }, "\"One\"=hex:AB"},
      {"LastUpdate", [](RegKey &k, auto &n) { return k.WriteDateTime(n, 1.5); },
       "\"LastUpdate\"=hex:00,00,00,00,00,00,F8,3F"},
      {"Empty", [](RegKey &k, auto &n) { return k.WriteBinary(n, Bytes{}); }, ""},
      {"Big", [](RegKey &k, auto &n) { return k.WriteBinary(n, Bytes(1000, 1)); }, ""},
      {"Bigger", [](RegKey &k, auto &n) { return k.WriteBinary(n, Bytes(5000, 1)); }, ""},
  };
  std::string expected = "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler]\n";
  for (const auto &c : cases) {
    ASSERT_TRUE(c.Write(key, c.Name)) << c.Name;
    if (!c.Line.empty()) expected += c.Line + "\n";
  }
  expected += "\n";
  EXPECT_EQ(Export(), expected);
}

TEST_F(RegExport, BinaryOf999BytesIsTheLongestWritten) {
  RegKey key = Open("\\Software\\Oxbow\\Trawler");
  Bytes data(999);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(key.WriteBinary("b", data));
  const std::string text = Export();
  const std::string line = text.substr(text.find("\"b\"=hex:"));
  EXPECT_EQ(line.substr(0, 24), "\"b\"=hex:00,01,02,03,04,0");
  // 999 bytes: 999 pairs and 998 commas.
  EXPECT_EQ(line.find('\n'), 8u + 999 * 2 + 998);
  EXPECT_NE(line.find(",FE,FF,00,01,"), std::string::npos);
}

TEST_F(RegExport, SubkeysFollowInCreationOrderWithTheirPaths) {
  Open("\\Software\\Oxbow\\Trawler\\urls").WriteString("_url_statscript", "");
  Open("\\Software\\Oxbow\\Trawler\\urls\\home").WriteString("0", "http://home.example/");
  Open("\\Software\\Oxbow\\Trawler\\urls\\Update");
  Open("\\Software\\Oxbow\\Trawler\\Categories\\u0").WriteString("name", "Mine");
  Open("\\Software\\Oxbow\\Other").WriteString("not", "exported");

  EXPECT_EQ(Export(),
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\urls]\n"
            "\"_url_statscript\"=\"\"\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\urls\\home]\n"
            "\"0\"=\"http://home.example/\"\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\urls\\Update]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\Categories]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\Categories\\u0]\n"
            "\"name\"=\"Mine\"\n"
            "\n");
  // The key is found ignoring case; the shown path is used as given.
  EXPECT_EQ(Export("software\\OXBOW\\trawler\\URLS\\HOME"),
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler]\n"
            "\"0\"=\"http://home.example/\"\n"
            "\n");
}

TEST_F(RegExport, AppendsToTheFileAndLeavesItAloneOnFailure) {
  Open("\\Software\\Oxbow\\Trawler").WriteInteger("FontSize", 8);
  const auto file = Dir.Path() / "2026-12-10.reg";
  std::ofstream(file) << "REGEDIT4\n\n";
  ::chmod(file.c_str(), 0640);

  ASSERT_TRUE(ExportKeyToReg(Store, Hive::CurrentUser, "\\Software\\Oxbow\\Trawler",
                             "HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler", file));
  const std::string expected =
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler]\n\"FontSize\"=dword:00000008\n\n";
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected);
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // A missing key writes nothing.
  EXPECT_FALSE(ExportKeyToReg(Store, Hive::CurrentUser, "\\Software\\Nobody", "X", file));
  std::ifstream again(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), expected);
  // A file in a folder that does not exist cannot be written.
  EXPECT_FALSE(ExportKeyToReg(Store, Hive::CurrentUser, "\\Software\\Oxbow\\Trawler", "X",
                              Dir.Path() / "missing" / "x.reg"));
  // A new file is created.
  const auto fresh = Dir.Path() / "fresh.reg";
  ASSERT_TRUE(ExportKeyToReg(Store, Hive::CurrentUser, "\\Software\\Oxbow\\Trawler", "Y", fresh));
  std::ifstream made(fresh);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(made), {}),
            "[Y]\n\"FontSize\"=dword:00000008\n\n");
  // No temporary files are left behind.
  int exports = 0;
  for (const auto &entry : std::filesystem::directory_iterator(Dir.Path()))
    exports += entry.path().string().find(".reg") != std::string::npos;
  EXPECT_EQ(exports, 2);
}

TEST_F(RegExport, AnUnreadableValueEndsItsKeyButNotTheSubkeys) {
  RegKey key = Open("\\Software\\Oxbow\\Trawler");
  ASSERT_TRUE(key.WriteInteger("Before", 1));
  ASSERT_TRUE(key.WriteInteger("Broken", 2));
  ASSERT_TRUE(key.WriteInteger("After", 3));
  Open("\\Software\\Oxbow\\Trawler\\Sub").WriteInteger("Inside", 4);
  {
    // Damage one value behind the store's back: an integer holding text.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((Dir.Path() / "current_user.db").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "UPDATE reg_values SET data = 'x' WHERE name = 'Broken'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }
  EXPECT_EQ(key.ReadInteger("Broken"), std::nullopt);
  EXPECT_EQ(Export(),
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler]\n"
            "\"Before\"=dword:00000001\n"
            "[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\Sub]\n"
            "\"Inside\"=dword:00000004\n"
            "\n");
}

}  // namespace
