// Exporting the program's settings as a REGEDIT4 ".reg" file (the Services
// menu's "save settings" command): the whole "\Software\Oxbow\Trawler" key
// with its subkeys.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace trawler::settings {

inline constexpr std::string_view kSettingsExportFolderName = "settings";
inline constexpr std::string_view kSettingsExportFilter = "Registry files (*.reg)|*.REG";
inline constexpr std::string_view kSettingsShownPath = "HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler";

// Today's date in the local time zone.
std::chrono::year_month_day TodayLocal();

// The name the command offers: the date as yyyy-MM-dd and ".reg"
// ("2026-12-10.reg"). A locale's short date may hold "/", which cannot stand
// in a file name, so the date is always written in this one form.
std::string SettingsExportFileName(std::chrono::year_month_day date);

// The folder "settings" in the given program (or data) directory, created
// when missing; empty when it cannot be created.
std::filesystem::path SettingsExportFolder(const std::filesystem::path &programDirectory);

enum class ExportStatus {
  Written,        // the file holds the export
  CannotReplace,  // an existing file of that name could not be replaced
  CannotWrite,    // the file could not be written (folder, disk, settings key)
};

// Writes "REGEDIT4", an empty line and the export of the settings key to the
// file. The text goes to a temporary file beside it that is then renamed over
// the target, so a failed export never leaves half a file and never loses an
// older export of the same name; a read-only file of that name is replaced.
// The file is readable by the user alone: it holds the search history.
ExportStatus ExportSettings(platform::RegistryStore &store, const std::filesystem::path &fileName);

}  // namespace trawler::settings
