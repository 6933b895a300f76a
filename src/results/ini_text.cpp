#include "results/ini_text.h"

#include <cctype>

#include "support/text/string_toolkit.h"

namespace trawler::results {

bool SameIniName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view IniKey(std::string_view line) {
  const std::size_t eq = line.find('=');
  return text::TrimBlanks(line.substr(0, eq == std::string_view::npos ? line.size() : eq));
}

std::string_view IniValue(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  return text::TrimBlanks(line.substr(eq + 1));
}

int FindIniKey(const std::vector<std::string>& lines, std::string_view key) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (SameIniName(IniKey(lines[i]), key)) return static_cast<int>(i);
  return -1;
}

std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n' && c != '\0') out += c;
  return out;
}

std::vector<IniSection> ParseIni(std::string_view text) {
  std::vector<IniSection> sections;
  IniSection* current = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    // A NUL ends nothing but is never written back (see OneLine), so it is
    // dropped here too: what is read is what a rewrite gives.
    std::string raw(text.substr(start, end - start));
    std::erase(raw, '\0');
    const std::string_view line = text::TrimBlanks(raw);
    start = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      const std::string_view name =
          text::TrimBlanks(line.substr(1, close == std::string_view::npos || close == 0 ? line.size() - 1 : close - 1));
      current = nullptr;
      for (IniSection& s : sections)
        if (SameIniName(s.Name, name)) current = &s;
      if (!current) {
        sections.push_back({std::string(name), {}});
        current = &sections.back();
      }
      continue;
    }
    if (!current || line.find('=') == std::string_view::npos || IniKey(line).empty()) continue;
    current->Lines.emplace_back(line);
  }
  return sections;
}

std::string FormatIni(const std::vector<IniSection>& sections) {
  std::string out;
  for (const IniSection& s : sections) {
    out += '[';
    out += OneLine(s.Name);
    out += "]\r\n";
    for (const std::string& line : s.Lines) {
      out += OneLine(line);
      out += "\r\n";
    }
  }
  return out;
}

}  // namespace trawler::results
