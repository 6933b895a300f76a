#include "support/settings/settings_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "support/settings/defaults_list.h"

namespace trawler::settings {

namespace {

constexpr std::string_view kHeader = "REGEDIT4\n\n";

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A new private file beside the target holding the header; empty on failure.
std::filesystem::path CreateTemporaryBeside(const std::filesystem::path &target) {
  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(pattern.data());  // mode 0600
  if (fd < 0) return {};
  bool ok = WriteAll(fd, kHeader);
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlink(pattern.c_str());
    return {};
  }
  return pattern;
}

}  // namespace

std::chrono::year_month_day TodayLocal() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

std::string SettingsExportFileName(std::chrono::year_month_day date) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d-%02u-%02u.reg", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return name;
}

std::filesystem::path SettingsExportFolder(const std::filesystem::path &programDirectory) {
  std::filesystem::path folder = programDirectory / kSettingsExportFolderName;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) return {};
  return folder;
}

ExportStatus ExportSettings(platform::RegistryStore &store, const std::filesystem::path &fileName) {
  std::error_code ec;
  if (std::filesystem::is_directory(fileName, ec)) return ExportStatus::CannotReplace;

  std::filesystem::path temporary = CreateTemporaryBeside(fileName);
  if (temporary.empty()) return ExportStatus::CannotWrite;
  if (!platform::ExportKeyToReg(store, platform::Hive::CurrentUser, kTrawlerKey, kSettingsShownPath, temporary)) {
    std::filesystem::remove(temporary, ec);
    return ExportStatus::CannotWrite;
  }
  std::filesystem::rename(temporary, fileName, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return ExportStatus::CannotReplace;
  }
  return ExportStatus::Written;
}

}  // namespace trawler::settings
