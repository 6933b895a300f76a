#pragma once

// The update descriptor: the maker's list of available updates and service
// addresses, read from a small XML file, and the rules deciding which
// updates are worth offering.

#include <string>
#include <string_view>
#include <vector>

#include "support/text/dates.h"

namespace trawler::update {

enum class CheckBy : unsigned char { None = 0, Date = 1, Version = 2 };

struct tUpdateInfo {
  std::vector<std::string> names;  // "language=display name" lines
  std::vector<std::string> infos;  // "language=description" lines
  std::vector<std::string> urls;   // first the default, then mirrors
  std::vector<std::string> sha256; // lowercase hex per URL, empty when not given
  text::TDateTime date = 0;
  text::TDateTime localDate = 0;
  int selectedUrl = 0;
  bool required = false;
  std::string requiredVersion;  // uppercased
  std::string version;
  std::string localVersion;
  std::string action;  // uppercased, steps separated by "#"
  std::string id;      // uppercased
  CheckBy checkBy = CheckBy::None;
};

struct UpdateDescriptor {
  text::TDateTime date = 0;
  std::vector<std::string> homePages, donations, updateUrls, help, emails, messages, stats;
  std::string statCgi;
  std::vector<tUpdateInfo> updates;
};

// Reads a descriptor. False (and `out` untouched) when the text has no
// "main" element. Bounded: the XML reader limits nesting and size.
bool ParseUpdateDescriptor(std::string_view text, UpdateDescriptor &out);

// Whether the update is newer than what is installed, given the running
// program's version. A required version above the program's excludes it.
bool UpdateCounts(const tUpdateInfo &u, std::string_view programVersion);
// As UpdateCounts, except that an update checked by neither date nor
// version is listed unless its required version excludes it.
bool UpdateListed(const tUpdateInfo &u, std::string_view programVersion);

// The value of the "language=value" line for `language`, else for "0", else
// the first line's value; empty for an empty list.
std::string LineForLanguage(const std::vector<std::string> &lines, std::string_view language);

}  // namespace trawler::update
