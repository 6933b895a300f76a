#pragma once
// The recent files of the Open drop-down, newest first. The window mirrors this list into
// the menu (a separator above the files whenever there is at least one).

#include <string>
#include <vector>

namespace trawler::mainwin {

// The list after `file` was opened or saved: a file already listed (names compared
// ignoring letter case) moves to the top; another non-empty name is put on top and the
// list is cut to `limit` entries (none when limit is 0 or less). An empty name changes
// nothing.
std::vector<std::string> AddRecentEntry(std::vector<std::string> entries, const std::string &file,
                                        int limit);

// The entries for a catalogue's recent-file list (newest first): each is added from the
// last to the first, so the catalogue's first file ends on top.
std::vector<std::string> RecentEntriesFromCatalogue(const std::vector<std::string> &mru, int limit);

}  // namespace trawler::mainwin
