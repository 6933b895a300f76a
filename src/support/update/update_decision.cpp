#include "support/update/update_decision.h"

#include <sys/stat.h>


namespace trawler::update {

namespace fs = std::filesystem;

namespace {

settings::UrlList ToUrlList(const std::vector<std::string> &lines) {
  settings::UrlList list;
  for (const auto &line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    list.push_back({line.substr(0, eq), line.substr(eq + 1)});
  }
  return list;
}

}  // namespace

void CopyServiceAddresses(const UpdateDescriptor &d, settings::tDefaultsList &settings) {
  if (!d.updateUrls.empty()) settings.UpdateUrls = d.updateUrls;
  settings.EmailUrls = ToUrlList(d.emails);
  settings.UrlStatScript = d.statCgi;
  settings.StatUrls = ToUrlList(d.stats);
  if (!d.homePages.empty()) settings.HomeUrls = ToUrlList(d.homePages);
  if (!d.donations.empty()) settings.DonationUrls = ToUrlList(d.donations);
  if (!d.help.empty()) settings.HelpUrls = ToUrlList(d.help);
}

text::TDateTime IconFolderDate(const fs::path &folder) {
  std::error_code ec;
  std::time_t newest = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() != ".png") continue;
    struct stat st {};
    if (::stat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime > newest) newest = st.st_mtime;
  }
  return newest ? text::LocalDateTimeFromUnix(newest) : 0;
}

void SetLocalState(std::vector<tUpdateInfo> &updates, const LocalVersions &local, bool manual) {
  for (auto &u : updates) {
    const size_t colon = u.id.find(':');
    const std::string kind = u.id.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : u.id.substr(colon + 1);
    if (kind == "PROGRAM") {
      u.localVersion = local.ProgramVersion();
    } else if (kind == "SITES") {
      if (const auto file = local.FindSiteFile(rest))
        u.localDate = file->Enabled || manual ? file->Date : u.date;
    } else if (kind == "LANGUAGES") {
      if (const auto date = local.FindLanguagePack(rest)) u.localDate = *date;
    } else if (kind == "SITESICONS") {
      u.localDate = IconFolderDate(local.DataDirectory() / "sites" / "icons" / "sites");
    } else if (kind == "CATSICONS") {
      u.localDate = IconFolderDate(local.DataDirectory() / "sites" / "icons" / "cats");
    }
  }
}

std::vector<size_t> CountingUpdates(const std::vector<tUpdateInfo> &updates, const std::string &programVersion,
                                    bool manual) {
  std::vector<size_t> out;
  for (size_t i = 0; i < updates.size(); ++i)
    if ((manual || updates[i].required) && UpdateCounts(updates[i], programVersion)) out.push_back(i);
  return out;
}

}  // namespace trawler::update
