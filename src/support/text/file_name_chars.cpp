#include "support/text/file_name_chars.h"

#include "support/text/string_toolkit.h"

namespace trawler::text {

std::string FileNameFromText(std::string_view text) {
  std::string name(text);
  ReplaceChars(name, kFileNameForbiddenChars, "_");
  return name;
}

std::string LogNameFromText(std::string_view text) {
  std::string name(text);
  ReplaceChars(name, kLogNameForbiddenChars, "_");
  return name;
}

}  // namespace trawler::text
