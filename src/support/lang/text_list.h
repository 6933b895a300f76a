#pragma once

// An ordered list of «name=value» lines with lookup by name, the form in
// which numbered texts and category texts are kept.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trawler::lang {

class TextList {
 public:
  TextList() = default;
  explicit TextList(std::vector<std::string> lines) { Assign(std::move(lines)); }

  void Assign(std::vector<std::string> lines);
  void Clear();
  const std::vector<std::string> &Lines() const { return lines_; }
  bool Empty() const { return lines_.empty(); }

  // The value of the first line whose name (the text before its first "=")
  // equals `name`, ASCII letters compared ignoring case; nothing when no line
  // has that name.
  std::optional<std::string_view> Value(std::string_view name) const;
  bool HasName(std::string_view name) const { return Value(name).has_value(); }

 private:
  std::vector<std::string> lines_;
  std::unordered_map<std::string, std::size_t> first_by_name_;  // folded name -> line index
};

// The name of a «name=value» line, or nothing when it has no "=".
std::optional<std::string_view> LineName(std::string_view line);

}  // namespace trawler::lang
