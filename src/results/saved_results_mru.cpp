// The recent files of the saved-results catalogue.

#include <algorithm>
#include <cstdint>

#include "results/saved_result_names.h"
#include "results/saved_results.h"

namespace trawler::results {

namespace {

// The highest counter that still leaves room to count on; a counter above
// it, or one that is missing or no number, makes the next save rewrite the
// whole list.
constexpr std::int64_t kHighestCounter = 0xFFFFFFD;

}  // namespace

void tUPResultsList::LoadMru() {
  if (auto key = OpenKey(false)) {
    const std::vector<std::string> names = key->GetValueNames();
    std::vector<std::string> mru;
    const std::size_t most = static_cast<std::size_t>(std::max(MaxMruCount, 0));
    // Entries are added at the end, so the newest is the last value.
    for (auto it = names.rbegin(); it != names.rend() && mru.size() < most; ++it) {
      if (it->empty()) continue;  // the counter, not a file
      const std::optional<std::string> file = key->ReadString(*it);
      if (!file || !FileExists(*file)) continue;
      const bool listed = std::any_of(mru.begin(), mru.end(),
                                      [&](const std::string& m) { return SamePath(m, *file); });
      if (!listed) mru.push_back(*file);
    }
    FMru = std::move(mru);
  }
  Raise(OnReloadMRU);
}

bool tUPResultsList::AddToMru(const std::string& file) {
  if (!FileExists(file)) return false;
  FMru.erase(std::remove_if(FMru.begin(), FMru.end(),
                            [&](const std::string& m) { return SamePath(m, file); }),
             FMru.end());
  FMru.insert(FMru.begin(), file);
  FMru.resize(std::min(FMru.size(), static_cast<std::size_t>(std::max(MaxMruCount, 0))));
  SaveMru();
  return true;
}

void tUPResultsList::RewriteMru(platform::RegKey& key) {
  for (const std::string& name : key.GetValueNames()) key.DeleteValue(name);
  // Written oldest first: the reading takes the last value as the newest.
  // Each entry is named by its place in the list, 0 the newest.
  for (std::size_t i = FMru.size(); i-- > 0;)
    key.WriteString(HexName(static_cast<std::uint32_t>(i)), FMru[i]);
  key.WriteString("", HexName(static_cast<std::uint32_t>(FMru.size() + 1)));
}

void tUPResultsList::SaveMru() {
  if (FMru.empty()) return;
  auto key = OpenKey(true);
  if (!key) return;
  {
    platform::RegistryBatch batch(FStore, key->RootHive());
    if (Exclusive) {
      RewriteMru(*key);
    } else {
      const std::optional<std::string> text = key->ReadString("");
      const std::optional<std::uint32_t> parsed = text ? ParseHexName(*text) : std::nullopt;
      const std::int64_t counter = parsed ? static_cast<std::int64_t>(*parsed) : -1;
      if (counter < 0 || counter > kHighestCounter) {
        RewriteMru(*key);
      } else {
        // Only the newest entry is added; what other copies wrote stays.
        const std::string& newest = FMru.front();
        key->WriteString("", HexName(static_cast<std::uint32_t>(counter + 1)));
        for (const std::string& name : key->GetValueNames()) {
          if (name.empty()) continue;
          const std::optional<std::string> file = key->ReadString(name);
          if (file && SamePath(*file, newest)) key->DeleteValue(name);
        }
        const std::string name = HexName(static_cast<std::uint32_t>(counter));
        key->DeleteValue(name);  // so that the entry goes to the end
        key->WriteString(name, newest);
      }
    }
    batch.Commit();
  }
  if (!Exclusive) LoadMru();
}

}  // namespace trawler::results
