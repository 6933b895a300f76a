#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <zip.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/poll_event_loop.h"
#include "support/scripted_http_server.h"
#include "support/update/sha256.h"
#include "support/update/update_runner.h"

namespace fs = std::filesystem;
using namespace trawler;
using trawler::testsupport::ScriptedHttpServer;
using update::ItemState;

namespace {

struct Entry {
  std::string name;
  std::string content;
  unsigned mode = 0100644;  // unix type and permission bits
};

std::string ReadFile(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The bytes of a zip archive holding `entries`, made with libzip.
std::string MakeZip(const fs::path &folder, const std::vector<Entry> &entries) {
  const fs::path file = folder / "made.zip";
  fs::remove(file);
  int err = 0;
  zip_t *z = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  EXPECT_NE(z, nullptr);
  for (const auto &e : entries) {
    zip_source_t *src = zip_source_buffer(z, e.content.data(), e.content.size(), 0);
    const zip_int64_t i = zip_file_add(z, e.name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_RAW);
    EXPECT_GE(i, 0) << e.name;
    zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(i), 0, ZIP_OPSYS_UNIX, zip_uint32_t(e.mode) << 16);
  }
  EXPECT_EQ(zip_close(z), 0);
  return ReadFile(file);
}

class Runner : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/trawler-update-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    program_ = root_ / "data";
    temp_ = root_ / "tmp";
    fs::create_directories(program_ / "sites");
    fs::create_directories(temp_);
    server_.Handle("/missing.zip", [](const ScriptedHttpServer::Request &, ScriptedHttpServer::Connection &c) {
      c.SendResponse(404, "Not Found", {}, "gone");
    });
  }
  void TearDown() override { fs::remove_all(root_); }

  void Serve(const std::string &path, std::string body) {
    server_.Handle(path, [body](const ScriptedHttpServer::Request &, ScriptedHttpServer::Connection &c) {
      c.SendResponse(200, "OK", {"Content-Type: application/zip"}, body);
    });
  }

  // Runs one ticked update to its end.
  update::UpdateItem RunOne(const std::string &action, std::vector<std::string> urls,
                            std::vector<std::string> sums = {}) {
    platform::PollEventLoop loop;
    update::UpdateRunner r(loop);
    r.TempDirectory = temp_;
    r.ProgramDirectory = program_;
    update::UpdateItem item;
    item.Caption = "Sites";
    item.Ticked = true;
    item.Info.action = action;
    for (auto &u : urls) item.Info.urls.push_back(server_.Url(u));
    item.Info.sha256 = sums;
    r.Items.push_back(item);
    bool done = false;
    r.OnDone = [&] { done = true; };
    r.OnAskToRun = [this](const fs::path &p) {
      asked_.push_back(p);
      return allowRun_;
    };
    r.Start();
    EXPECT_TRUE(loop.runUntil([&] { return done; }, std::chrono::seconds(20)));
    errors_ = r.Errors();
    reloadSites_ = r.ReloadSites;
    return r.Items.front();
  }

  ScriptedHttpServer server_;
  fs::path root_, program_, temp_;
  std::vector<std::string> errors_;
  std::vector<fs::path> asked_;
  bool allowRun_ = true;
  bool reloadSites_ = false;
};

TEST_F(Runner, SiteUpdateReplacesFileInDataFolderAndAsksForReload) {
  std::ofstream(program_ / "sites" / "web.sdf") << "old";
  Serve("/sites.zip", MakeZip(root_, {{"web.sdf", "new site"}, {"news.sdf", "news"}}));
  const auto item = RunOne("DOWNLOAD#UNPACK(%program_directory%\\sites\\)#RELOAD_SITES", {"/missing.zip", "/sites.zip"});
  EXPECT_EQ(item.State, ItemState::Done);
  EXPECT_FALSE(item.Ticked);
  EXPECT_TRUE(errors_.empty()) << errors_.front();
  EXPECT_TRUE(reloadSites_);
  EXPECT_EQ(ReadFile(program_ / "sites" / "web.sdf"), "new site");
  EXPECT_EQ(ReadFile(program_ / "sites" / "news.sdf"), "news");
  EXPECT_TRUE(fs::is_empty(temp_));  // the archive is gone
}

TEST_F(Runner, DownloadFailingOnEveryMirrorRecordsTheLastAddress) {
  const auto item = RunOne("DOWNLOAD#RELOAD_SITES", {"/missing.zip", "/missing.zip?second"});
  EXPECT_EQ(item.State, ItemState::Failed);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "(Sites): Error:  Can't download file " + server_.Url("/missing.zip?second") + ": Not Found");
  EXPECT_FALSE(reloadSites_);
}

TEST_F(Runner, HostileArchivesAreRefusedWithoutWritingAnything) {
  struct Case {
    const char *label;
    std::vector<Entry> entries;
  } cases[] = {
      {"parent", {{"good.sdf", "g"}, {"../escaped.sdf", "x"}}},
      {"deep parent", {{"good.sdf", "g"}, {"a\\..\\..\\escaped.sdf", "x"}}},
      {"absolute", {{"good.sdf", "g"}, {(root_ / "escaped.sdf").string(), "x"}}},
      {"symlink", {{"good.sdf", "g"}, {"link", "/etc/passwd", 0120777}}},
      {"device", {{"good.sdf", "g"}, {"dev", "", 0020644}}},
  };
  for (const auto &c : cases) {
    Serve("/bad.zip", MakeZip(root_, c.entries));
    const auto item = RunOne("DOWNLOAD#UNPACK(%program_directory%\\sites\\)#RUN#RELOAD_SITES", {"/bad.zip"});
    EXPECT_EQ(item.State, ItemState::Failed) << c.label;
    ASSERT_EQ(errors_.size(), 1u) << c.label;
    EXPECT_EQ(errors_[0].rfind("(Sites): Error:  Can't unzip file ", 0), 0u) << errors_[0];
    EXPECT_NE(errors_[0].find("refused"), std::string::npos) << errors_[0];
    EXPECT_FALSE(fs::exists(program_ / "sites" / "good.sdf")) << c.label;
    EXPECT_FALSE(fs::exists(root_ / "escaped.sdf")) << c.label;
    EXPECT_FALSE(fs::exists(program_ / "escaped.sdf")) << c.label;
    EXPECT_FALSE(reloadSites_) << c.label;
    EXPECT_TRUE(asked_.empty()) << c.label;
  }
}

TEST_F(Runner, DestinationsOutsideTheProgramFoldersAreRefused) {
  Serve("/one.zip", MakeZip(root_, {{"web.sdf", "w"}}));
  for (const std::string &dest : std::vector<std::string>{"%system%\\", "%WINDOWS%", (root_ / "elsewhere").string(), "%program_directory%\\..\\"}) {
    const auto item = RunOne("DOWNLOAD#UNPACK(" + dest + ")", {"/one.zip"});
    EXPECT_EQ(item.State, ItemState::Failed) << dest;
    ASSERT_EQ(errors_.size(), 1u) << dest;
    EXPECT_NE(errors_[0].find("Can't unpack into"), std::string::npos) << errors_[0];
  }
  EXPECT_FALSE(fs::exists(root_ / "elsewhere"));
  EXPECT_FALSE(fs::exists(root_ / "web.sdf"));
}

TEST_F(Runner, ChecksumDecidesWhetherTheDownloadIsUsed) {
  const std::string zip = MakeZip(root_, {{"web.sdf", "checked"}});
  Serve("/sum.zip", zip);
  struct Case {
    std::string sum;
    ItemState state;
  } cases[] = {{update::Sha256Hex(zip), ItemState::Done}, {update::Sha256Hex("other"), ItemState::Failed}};
  for (const auto &c : cases) {
    fs::remove(program_ / "sites" / "web.sdf");
    const auto item = RunOne("DOWNLOAD#UNPACK(%program_directory%/sites)", {"/sum.zip"}, {c.sum});
    EXPECT_EQ(item.State, c.state);
    EXPECT_EQ(fs::exists(program_ / "sites" / "web.sdf"), c.state == ItemState::Done);
    if (c.state == ItemState::Failed) {
      ASSERT_EQ(errors_.size(), 1u);
      EXPECT_EQ(errors_[0], "(Sites): Error:  Checksum mismatch for file " + server_.Url("/sum.zip"));
    }
    EXPECT_TRUE(fs::is_empty(temp_));
  }
}

TEST(Sha256, MatchesPublishedDigests) {
  struct Case {
    std::string text;
    const char *hex;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto &c : cases) EXPECT_EQ(update::Sha256Hex(c.text), c.hex) << c.text.size();
}

TEST_F(Runner, UnpackedSingleEntryIsRunOnlyWhenTheUserAgrees) {
  const fs::path marker = root_ / "ran";
  const std::string script = "#!/bin/sh\necho yes > '" + marker.string() + "'\n";
  Serve("/setup.zip", MakeZip(root_, {{"setup.sh", script, 0104777}}));  // set-uid asked for
  for (bool allow : {false, true}) {
    allowRun_ = allow;
    asked_.clear();
    const auto item = RunOne("DOWNLOAD#UNPACK#RUN", {"/setup.zip"});
    const fs::path unpacked = temp_ / "setup.sh";
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], unpacked);
    EXPECT_EQ(item.State, allow ? ItemState::Done : ItemState::Failed);
    struct stat st {};
    ASSERT_EQ(::stat(unpacked.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    for (int i = 0; i < 100 && allow && !fs::exists(marker); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(fs::exists(marker), allow);
  }
}

}  // namespace
