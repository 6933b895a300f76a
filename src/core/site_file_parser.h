#pragma once

// Reading the text of one site description file into the engine list's records.
//
// The file is a sequence of trimmed lines: "#" comments, "{" and "}" alone on their lines,
// section and block keywords, and key=value lines. A small state machine (brace depth and
// context) decides what each line means; nothing in the content is an error, so any text at
// all loads into something and never stops the loader.

#include <string_view>

#include "core/unique_names.h"

namespace trawler::core {

class TEngineList;
struct TSDFInfo;

// One parser serves a whole directory load, so captions and site ids stay unique across
// the files it reads.
class SiteFileParser {
public:
    // Takes the captions and keys of the engines the list already holds.
    explicit SiteFileParser(TEngineList &list);

    // Parses the (UTF-8) text of the file into sdf, creating its engines in the list. The
    // enabled states are not read here (the loader does that after each file).
    void Parse(TSDFInfo &sdf, std::string_view text);

private:
    TEngineList &list_;
    UniqueNames names_;
};

// Parses one file on its own (a fresh parser over the list's current engines).
void ParseSiteFile(TEngineList &list, TSDFInfo &sdf, std::string_view text);

}  // namespace trawler::core
