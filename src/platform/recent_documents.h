#pragma once

// The desktop's list of recently used files (the freedesktop
// "recently-used.xbel"), so saved and opened result sets show up in file
// dialogs and desktop menus.

#include <filesystem>
#include <string>

namespace trawler::platform {

// The list's file: $XDG_DATA_HOME/recently-used.xbel (else
// ~/.local/share/recently-used.xbel).
std::filesystem::path RecentDocumentsFile();

// Adds `file` (made absolute) to the list as used now by this program.
// False when the list could not be read or written; an unreadable list is
// never written over.
bool AddToRecentDocuments(const std::filesystem::path &file,
                          const std::filesystem::path &listFile = RecentDocumentsFile());

}  // namespace trawler::platform
