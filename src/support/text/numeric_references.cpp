#include "support/text/numeric_references.h"

#include <deque>

#include "support/text/code_page_tables.h"
#include "support/text/integer_text.h"
#include "support/text/utf8.h"

namespace trawler::text::detail {

bool CharacterForReference(int number, char32_t* character) {
  if (number < 1 || number > 0x10FFFF || (number >= 0xD800 && number <= 0xDFFF)) return false;
  char32_t code = static_cast<char32_t>(number);
  if (code >= 0x80 && code <= 0x9F) code = kWindows1252Chars[code - 0x80];
  *character = code;
  return true;
}

namespace {

// The text is split in two: `settled_` can no longer change except that its last "&" may
// become the start of a reference, and `pending_` starts at the first "&#" still waiting for
// its ";". Within `pending_`, `openers_` lists every "&#" in order. Removing the first "&#"
// only advances `head_`, so no step copies more than it consumes.
class ReferenceDecoder {
 public:
  void Feed(char c) {
    if (c == ';' && !openers_.empty()) {
      Close();
      return;
    }
    if (c == '#' && LastChar() == '&') {
      if (openers_.empty()) {
        settled_.pop_back();
        StartPending("&#");
      } else {
        pending_.push_back('#');
        openers_.push_back(pending_.size() - 2);
      }
      return;
    }
    if (openers_.empty()) settled_.push_back(c);
    else pending_.push_back(c);
  }

  std::string Finish() {
    if (!openers_.empty()) settled_.append(pending_, head_, std::string::npos);
    return std::move(settled_);
  }

 private:
  int LastChar() const {
    if (!openers_.empty()) return static_cast<unsigned char>(pending_.back());
    return settled_.empty() ? -1 : static_cast<unsigned char>(settled_.back());
  }

  void StartPending(std::string_view start) {
    pending_.assign(start);
    head_ = 0;
    openers_.assign(1, 0);
  }

  void Close() {
    const std::size_t front = openers_.front();
    if (openers_.size() == 1) {
      // The only reference: the text between "&#" and ";" holds no other "&#".
      const std::string body = pending_.substr(front + 2);
      openers_.clear();
      pending_.clear();
      head_ = 0;
      char32_t character = 0;
      if (CharacterForReference(IntOfText(body, -1), &character)) {
        if (character == '#' && !settled_.empty() && settled_.back() == '&') {
          settled_.pop_back();
          StartPending("&#");
        } else {
          AppendUtf8(settled_, character);
        }
      } else if (!body.empty() && body.front() == '#' && !settled_.empty() && settled_.back() == '&') {
        settled_.pop_back();
        StartPending("&");
        pending_.append(body);
      } else {
        settled_.append(body);
      }
      return;
    }
    // Several references wait: the first one's text contains the next "&#", so it is not a
    // number; drop its "&#" and this ";" and keep the text between.
    openers_.pop_front();
    head_ = front + 2;
    if (!settled_.empty() && settled_.back() == '&' && pending_[head_] == '#') {
      settled_.pop_back();
      --head_;
      pending_[head_] = '&';
      openers_.push_front(head_);
      return;
    }
    const std::size_t next = openers_.front();
    settled_.append(pending_, head_, next - head_);
    head_ = next;
  }

  std::string settled_;
  std::string pending_;
  std::size_t head_ = 0;
  std::deque<std::size_t> openers_;
};

}  // namespace

std::string DecodeNumericReferences(std::string_view text) {
  if (text.find("&#") == std::string_view::npos) return std::string(text);
  ReferenceDecoder decoder;
  for (const char c : text) decoder.Feed(c);
  return decoder.Finish();
}

}  // namespace trawler::text::detail
