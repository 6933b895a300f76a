#pragma once

// The INI text of Internet shortcut files: sections in square brackets,
// each followed by key=value lines. Reading is forgiving and bounded;
// writing never lets a value break out of its line.

#include <string>
#include <string_view>
#include <vector>

namespace trawler::results {

struct IniSection {
  std::string Name;
  std::vector<std::string> Lines;  // "key=value", in file order
};

// The sections of an INI text. Lines before the first section, comments
// (";") and lines without a key are dropped; a section named twice is read
// as one. Names and keys compare ignoring ASCII case.
std::vector<IniSection> ParseIni(std::string_view text);

// The text of the sections, CR LF line ends.
std::string FormatIni(const std::vector<IniSection>& sections);

bool SameIniName(std::string_view a, std::string_view b);

// The key of a "key=value" line (trimmed), and its value (trimmed).
std::string_view IniKey(std::string_view line);
std::string_view IniValue(std::string_view line);

// Index of the first line with that key (ignoring case), or -1.
int FindIniKey(const std::vector<std::string>& lines, std::string_view key);

// Text with every CR, LF and NUL removed, so it stays on its line.
std::string OneLine(std::string_view text);

}  // namespace trawler::results
