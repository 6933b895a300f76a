// Adding the result-set files of a folder tree to the catalogue.

#include <algorithm>
#include <exception>
#include <filesystem>

#include "results/old_format_loader.h"
#include "results/result_set_loader.h"
#include "results/results_list.h"
#include "results/saved_result_names.h"
#include "results/saved_results.h"

namespace trawler::results {

namespace fs = std::filesystem;

namespace {

// The entries of one folder in name order; subfolders apart from files.
// Links to folders are neither: following them could run in a circle.
struct FolderEntries {
  std::vector<std::string> Files;
  std::vector<std::string> Folders;
};

bool ReadFolder(const std::string& folder, FolderEntries& out, std::string& error) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path& path = it->path();
    std::error_code statusError;
    const fs::file_status own = fs::symlink_status(path, statusError);
    if (statusError) continue;
    if (fs::is_directory(own)) {
      out.Folders.push_back(path.string());
    } else if (fs::is_regular_file(own) ||
               (fs::is_symlink(own) && fs::is_regular_file(fs::status(path, statusError)))) {
      out.Files.push_back(path.string());
    }
  }
  if (ec) {
    error = ec.message();
    return false;
  }
  std::sort(out.Files.begin(), out.Files.end());
  std::sort(out.Folders.begin(), out.Folders.end());
  return true;
}

}  // namespace

std::vector<tScanError> tUPResultsList::ScanFolder(const std::string& folder) {
  std::vector<tScanError> errors;
  std::string root = folder;
  while (root.size() > 1 && root.back() == '/') root.pop_back();

  // Depth first with a list of folders still to read, not by recursion: a
  // deep tree cannot exhaust the stack.
  std::vector<std::string> pending{root};
  bool stored = false;
  // What the store holds is read once, not once per file; the key may not
  // exist before the first file is stored.
  std::optional<ItemKeys> known = ReadItemKeys();
  while (!pending.empty()) {
    const std::string current = std::move(pending.back());
    pending.pop_back();
    FolderEntries entries;
    std::string error;
    if (!ReadFolder(current, entries, error)) {
      errors.push_back({current, error});
      continue;
    }
    for (const std::string& file : entries.Files) {
      if (!IsResultSetFileName(file) || FindItem(file)) continue;
      tResultsList set;
      try {
        if (IsOldResultSetFileName(file)) {
          LoadOldFile(set, file, false);
        } else {
          std::string serversLog, log;
          LoadFromFile(set, file, false, serversLog, log);
        }
      } catch (const std::exception& e) {
        // Not a result set, or unreadable: the file gets no entry and the
        // scan goes on with the others.
        errors.push_back({file, e.what()});
        continue;
      }
      tUPResult& item = AddItem();
      item.FileName = file;
      item.Date = set.SearchDate;
      item.Keywords = set.Keywords;
      item.Category = set.Category;
      item.Count = set.Count();
      stored = (known ? StoreItem(item, &*known) : StoreItem(item)) || stored;
      if (!known) known = ReadItemKeys();
    }
    pending.insert(pending.end(), entries.Folders.rbegin(), entries.Folders.rend());
  }
  // The items are read again once at the end, not after every file: a
  // folder of a thousand sets would otherwise read the key a thousand times.
  if (stored && !Exclusive) {
    ClearItems();
    LoadItems();  // raises OnReloadItems
  } else {
    Raise(OnReloadItems);
  }
  return errors;
}

}  // namespace trawler::results
