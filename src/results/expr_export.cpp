#include "results/expr_export.h"

#include "platform/replacing_file.h"

namespace trawler::results {

bool ExportExprText(const std::filesystem::path& file, std::string_view text, std::string* error) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r' || text[at] == '\n') {
      if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
      out += "\r\n";
    } else {
      out += text[at];
    }
  }
  platform::ReplacingFile writer(file);
  if (writer.Open()) {
    writer.Write(out);
    if (writer.Commit()) return true;
  }
  if (error != nullptr) *error = writer.Error();
  return false;
}

}  // namespace trawler::results
