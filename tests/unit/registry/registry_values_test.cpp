#include <gtest/gtest.h>

#include <limits>

#include "platform/registry.h"
#include "scratch_dir.h"

using namespace trawler::platform;
using Bytes = std::vector<std::uint8_t>;

namespace {

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Key.OpenKey("\\Software\\Oxbow\\Trawler\\Defaults", true)); }
  ScratchDir Dir;
  RegistryStore Store{Dir.Path()};
  RegKey Key{Store};
};

TEST_F(RegistryValues, EachTypeReadsBackOnlyAsItself) {
  ASSERT_TRUE(Key.WriteString("IdentifyAs", "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)"));
  ASSERT_TRUE(Key.WriteString("Empty", ""));
  ASSERT_TRUE(Key.WriteString("WithNul", std::string("a\0b", 3)));
  ASSERT_TRUE(Key.WriteInteger("NewItemsColor", 16711680));
  ASSERT_TRUE(Key.WriteInteger("Negative", std::numeric_limits<std::int32_t>::min()));
  ASSERT_TRUE(Key.WriteBool("GridLines", true));
  ASSERT_TRUE(Key.WriteBinary("Blob", Bytes{0x00, 0xFF, 0x10}));
  ASSERT_TRUE(Key.WriteBinary("EmptyBlob", Bytes{}));

  struct Case {
    const char *Name;
    RegType Type;
    std::optional<std::string> Text;
    std::optional<std::int32_t> Number;
    std::optional<Bytes> Data;
  };
  const Case cases[] = {
      {"IdentifyAs", RegType::String, "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)", {}, {}},
      {"Empty", RegType::String, "", {}, {}},
      {"WithNul", RegType::String, std::string("a\0b", 3), {}, {}},
      {"NewItemsColor", RegType::Integer, {}, 16711680, {}},
      {"Negative", RegType::Integer, {}, std::numeric_limits<std::int32_t>::min(), {}},
      {"GridLines", RegType::Integer, {}, 1, {}},
      {"Blob", RegType::Binary, {}, {}, Bytes{0x00, 0xFF, 0x10}},
      {"EmptyBlob", RegType::Binary, {}, {}, Bytes{}},
      {"Missing", RegType::None, {}, {}, {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Key.GetDataType(c.Name), c.Type);
    EXPECT_EQ(Key.ValueExists(c.Name), c.Type != RegType::None);
    EXPECT_EQ(Key.ReadString(c.Name), c.Text);
    EXPECT_EQ(Key.ReadInteger(c.Name), c.Number);
    EXPECT_EQ(Key.ReadBinary(c.Name), c.Data);
  }
  EXPECT_EQ(Key.ReadBool("GridLines"), true);
  EXPECT_EQ(Key.ReadBool("IdentifyAs"), std::nullopt);
}

TEST_F(RegistryValues, ARewriteMayChangeTheType) {
  // The settings loader replaces a FontSize stored as text by the integer.
  ASSERT_TRUE(Key.WriteString("FontSize", "8"));
  ASSERT_TRUE(Key.WriteInteger("fontsize", 8));
  EXPECT_EQ(Key.GetDataType("FontSize"), RegType::Integer);
  EXPECT_EQ(Key.ReadString("FontSize"), std::nullopt);
  EXPECT_EQ(Key.ReadInteger("FontSize"), 8);
}

TEST_F(RegistryValues, DateTimesAreEightLittleEndianBytes) {
  const double moments[] = {0.0, 1.5, 45000.25, -2.75};
  for (const double moment : moments) {
    ASSERT_TRUE(Key.WriteDateTime("LastUpdate", moment));
    EXPECT_EQ(Key.ReadDateTime("LastUpdate"), moment);
  }
  // 1.5 as an IEEE double is 3FF8000000000000.
  ASSERT_TRUE(Key.WriteDateTime("Dateb", 1.5));
  EXPECT_EQ(Key.ReadBinary("Dateb"), (Bytes{0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
  // Anything but eight bytes is not a date-time.
  ASSERT_TRUE(Key.WriteBinary("Datee", Bytes{1, 2, 3}));
  EXPECT_EQ(Key.ReadDateTime("Datee"), std::nullopt);
  ASSERT_TRUE(Key.WriteInteger("Datee", 0));
  EXPECT_EQ(Key.ReadDateTime("Datee"), std::nullopt);
}

TEST_F(RegistryValues, TheUnnamedValueIsTheEmptyName) {
  ASSERT_TRUE(Key.WriteString("", "00000003"));
  EXPECT_EQ(Key.GetValueNames(), (std::vector<std::string>{""}));
  EXPECT_EQ(Key.ReadString(""), "00000003");
  EXPECT_TRUE(Key.DeleteValue(""));
  EXPECT_FALSE(Key.ValueExists(""));
}

TEST_F(RegistryValues, AnEmptyStringStaysAStringEvenFromAnEmptyView) {
  ASSERT_TRUE(Key.WriteString("Empty", std::string_view()));
  EXPECT_EQ(Key.GetDataType("Empty"), RegType::String);
  EXPECT_EQ(Key.ReadString("Empty"), std::optional<std::string>(""));
}

TEST_F(RegistryValues, ValuesCanLiveOnTheHiveRoot) {
  RegKey root(Store);
  ASSERT_TRUE(root.WriteInteger("AtRoot", 5));
  EXPECT_EQ(root.ReadInteger("\\AtRoot"), std::nullopt);  // a value name, not a path
  EXPECT_EQ(root.ReadInteger("atroot"), 5);
  EXPECT_FALSE(root.HasCurrentKey());
}

}  // namespace
