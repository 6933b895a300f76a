#pragma once

// What the program does with a freshly read descriptor: copy the service
// addresses into the settings, learn what is installed for each update,
// and pick the updates worth offering.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/settings/defaults_list.h"
#include "support/update/update_descriptor.h"

namespace trawler::update {

// What is installed, answered by the caller from its engine list and its
// language list, so this code needs neither.
class LocalVersions {
 public:
  virtual ~LocalVersions() = default;
  virtual std::string ProgramVersion() const = 0;
  struct SiteFile {
    text::TDateTime Date = 0;
    bool Enabled = false;
  };
  // The loaded site description file with that id (ids compare ignoring case).
  virtual std::optional<SiteFile> FindSiteFile(const std::string &id) const = 0;
  // The date of the language pack with that caption (ignoring case).
  virtual std::optional<text::TDateTime> FindLanguagePack(const std::string &caption) const = 0;
  // The program's writable data folder, where the icon folders live.
  virtual std::filesystem::path DataDirectory() const = 0;
};

// Copies the descriptor's service addresses: update, home-page, donation
// and help addresses only when it listed some; e-mail, statistics page and
// statistics script addresses always (an absent element empties them).
void CopyServiceAddresses(const UpdateDescriptor &d, settings::tDefaultsList &settings);

// Sets each update's local date or version by its ID ("PROGRAM",
// "SITES:<id>", "LANGUAGES:<caption>", "SITESICONS", "CATSICONS"). A
// switched-off site file is only offered on a manual check.
void SetLocalState(std::vector<tUpdateInfo> &updates, const LocalVersions &local, bool manual);

// Indices of the updates that count: all that are newer on a manual check,
// only required ones on an automatic check.
std::vector<size_t> CountingUpdates(const std::vector<tUpdateInfo> &updates, const std::string &programVersion,
                                    bool manual);

// The newest modification time of the numbered icons in `folder`, 0 when
// it holds none.
text::TDateTime IconFolderDate(const std::filesystem::path &folder);

}  // namespace trawler::update
