#pragma once

// Fills the "%s" and "%d" places of a message. Message texts come from
// language packs, so they are never handed to printf: a pack text with too
// few, too many or the wrong kind of places still gives a text and never
// reads a value that was not passed.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace trawler::lang {

class MessageArg {
 public:
  MessageArg(std::string_view text) : text_(text) {}  // NOLINT: implicit by design
  MessageArg(const char *text) : text_(text ? text : "") {}
  MessageArg(const std::string &text) : text_(text) {}
  MessageArg(std::int64_t number) : text_(std::to_string(number)) {}
  MessageArg(int number) : text_(std::to_string(number)) {}
  const std::string &Text() const { return text_; }

 private:
  std::string text_;
};

// Each "%s" or "%d" takes the next value in order (a number or a text, either
// kind fits either place); places beyond the values given stay empty, values
// beyond the places are ignored, "%%" gives "%", and any other "%" is kept
// as it stands.
std::string FormatMessage(std::string_view pattern, std::initializer_list<MessageArg> args);

}  // namespace trawler::lang
