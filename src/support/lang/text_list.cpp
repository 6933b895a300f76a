#include "support/lang/text_list.h"

namespace trawler::lang {
namespace {

std::string FoldAscii(std::string_view name) {
  std::string folded(name);
  for (char &c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

}  // namespace

std::optional<std::string_view> LineName(std::string_view line) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return line.substr(0, eq);
}

void TextList::Assign(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  first_by_name_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (auto name = LineName(lines_[i])) first_by_name_.emplace(FoldAscii(*name), i);
}

void TextList::Clear() {
  lines_.clear();
  first_by_name_.clear();
}

std::optional<std::string_view> TextList::Value(std::string_view name) const {
  auto found = first_by_name_.find(FoldAscii(name));
  if (found == first_by_name_.end()) return std::nullopt;
  std::string_view line = lines_[found->second];
  return line.substr(line.find('=') + 1);
}

}  // namespace trawler::lang
