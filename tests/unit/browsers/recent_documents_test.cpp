#include "platform/recent_documents.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class RecentDocuments : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/trawler-recent-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    list_ = dir_ / "share" / "recently-used.xbel";
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_, list_;
};

TEST_F(RecentDocuments, FilesAreListedOnceWithTheirType) {
  struct Case {
    const char *name;
    const char *mime;
  } cases[] = {{"results.twf", "application/x-trawler-results"},
               {"old results;$(x).TWR", "application/x-trawler-old-results"}};
  for (const auto &c : cases) {
    const fs::path file = dir_ / c.name;
    std::ofstream(file) << "x";
    ASSERT_TRUE(trawler::platform::AddToRecentDocuments(file, list_));
    ASSERT_TRUE(trawler::platform::AddToRecentDocuments(file, list_));
  }
  GBookmarkFile *b = g_bookmark_file_new();
  ASSERT_TRUE(g_bookmark_file_load_from_file(b, list_.c_str(), nullptr));
  EXPECT_EQ(g_bookmark_file_get_size(b), 2);
  for (const auto &c : cases) {
    gchar *uri = g_filename_to_uri((dir_ / c.name).c_str(), nullptr, nullptr);
    gchar *mime = g_bookmark_file_get_mime_type(b, uri, nullptr);
    ASSERT_NE(mime, nullptr) << c.name;
    EXPECT_STREQ(mime, c.mime);
    EXPECT_TRUE(g_bookmark_file_has_application(b, uri, "Trawler", nullptr));
    g_free(mime);
    g_free(uri);
  }
  g_bookmark_file_free(b);
}

TEST_F(RecentDocuments, UnreadableListIsNotWrittenOver) {
  fs::create_directories(list_.parent_path());
  std::ofstream(list_) << "<xbel><bookmark href=";
  EXPECT_FALSE(trawler::platform::AddToRecentDocuments(dir_ / "a.twf", list_));
  std::stringstream s;
  s << std::ifstream(list_).rdbuf();
  EXPECT_EQ(s.str(), "<xbel><bookmark href=");
}

}  // namespace
