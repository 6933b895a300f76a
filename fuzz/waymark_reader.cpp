// Feeds arbitrary bytes to the shortcut-file reader: the INI text reader
// itself, and TWaymark reading a file of that content in modify mode.
// Nothing may crash, and what the reader gives back must survive being
// written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "results/ini_text.h"
#include "results/waymark.h"

using namespace trawler::results;

namespace {

std::string ScratchFile() {
  static const std::string path = "/tmp/fuzz_waymark_" + std::to_string(::getpid()) + ".url";
  return path;
}

bool SameSections(const std::vector<IniSection> &a, const std::vector<IniSection> &b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!SameIniName(a[i].Name, b[i].Name) || a[i].Lines != b[i].Lines) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string content(reinterpret_cast<const char *>(data), size);
  const std::vector<IniSection> sections = ParseIni(content);
  if (!SameSections(ParseIni(FormatIni(sections)), sections)) __builtin_trap();

  if (FILE *f = std::fopen(ScratchFile().c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    TWaymark waymark;
    waymark.UrlType = utModify;
    if (waymark.SetFileName(ScratchFile())) {
      waymark.GetUrl();
      waymark.GetTitle();
      waymark.GetDescription();
      waymark.IsClean();
      for (const auto &section : waymark.Sections()) section->IsClean();
    }
  }
  return 0;
}
