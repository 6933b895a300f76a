#pragma once

// A private temporary directory per test, into which the packs of
// tests/fixtures/lang are copied so that tests may complete their files.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class PackDirs {
 public:
  PackDirs() {
    char pattern[] = "/tmp/lang_test_XXXXXX";
    root_ = ::mkdtemp(pattern);
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::group_exec |
                                            std::filesystem::perms::others_read |
                                            std::filesystem::perms::others_exec);
  }
  ~PackDirs() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  PackDirs(const PackDirs &) = delete;
  PackDirs &operator=(const PackDirs &) = delete;

  const std::filesystem::path &Root() const { return root_; }

  // Copies fixture pack `name` to <root>/<area>/<as>.
  std::filesystem::path CopyFixture(const std::string &name, const std::string &area,
                                    const std::string &as = {}) {
    std::filesystem::path target = root_ / area / (as.empty() ? name : as);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy(std::filesystem::path(TRAWLER_TEST_DIR) / "fixtures" / "lang" / name,
                          target, std::filesystem::copy_options::recursive);
    return target;
  }

  static void Write(const std::filesystem::path &file, const std::string &content) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }
  static std::string Read(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

 private:
  std::filesystem::path root_;
};
