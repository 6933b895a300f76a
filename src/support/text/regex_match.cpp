#include "support/text/regex_match.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <list>
#include <unordered_map>

#include "support/text/html_text.h"

namespace trawler::text {

namespace {

// Bounds that stop a pathological expression (nested quantifiers over a long text) with an
// error instead of running for hours or exhausting memory.
constexpr uint32_t kMatchLimit = 5'000'000;
constexpr uint32_t kDepthLimit = 100'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr std::size_t kCacheCapacity = 64;

std::string ErrorText(int code) {
  PCRE2_UCHAR buffer[256];
  const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
  if (length < 0) return "regular expression error " + std::to_string(code);
  return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

}  // namespace

struct CompiledRegex::Handle {
  std::unique_ptr<pcre2_code, CodeDeleter> code;
  std::unique_ptr<pcre2_match_context, MatchContextDeleter> context;
  bool jit = false;
};

CompiledRegex::CompiledRegex(std::unique_ptr<Handle> handle, std::size_t group_count)
    : handle_(std::move(handle)), group_count_(group_count) {}

CompiledRegex::~CompiledRegex() = default;

namespace {

// A small least-recently-used cache per thread (the program uses one thread; tests may use
// more, and PCRE2 code is not shared between them).
class RegexCache {
 public:
  using Key = std::pair<std::string, bool>;
  struct KeyHash {
    std::size_t operator()(const Key& key) const {
      return std::hash<std::string>()(key.first) ^ (key.second ? 0x9E3779B9u : 0u);
    }
  };

  std::shared_ptr<const CompiledRegex> Find(const Key& key) {
    const auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, found->second);
    return found->second->second;
  }

  void Add(const Key& key, std::shared_ptr<const CompiledRegex> regex) {
    order_.emplace_front(key, std::move(regex));
    index_[key] = order_.begin();
    if (order_.size() > kCacheCapacity) {
      index_.erase(order_.back().first);
      order_.pop_back();
    }
  }

 private:
  std::list<std::pair<Key, std::shared_ptr<const CompiledRegex>>> order_;
  std::unordered_map<Key, decltype(order_)::iterator, KeyHash> index_;
};

RegexCache& Cache() {
  thread_local RegexCache cache;
  return cache;
}

}  // namespace

std::shared_ptr<const CompiledRegex> CompiledRegex::Get(std::string_view expression, bool ignore_case,
                                                        RegexError* error) {
  RegexCache::Key key{std::string(expression), ignore_case};
  if (auto cached = Cache().Find(key)) return cached;

  // UTF without Unicode properties: \w \d \s stay ASCII, while letters beyond ASCII still
  // match across case. DOTALL and DOLLAR_ENDONLY: "." takes line breaks and "$" means the
  // very end of the text. Invalid UTF-8 in the subject is skipped over, not an error.
  uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY;
  if (ignore_case) options |= PCRE2_CASELESS;
  int error_code = 0;
  PCRE2_SIZE error_offset = 0;
  auto handle = std::make_unique<Handle>();
  handle->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.data()), expression.size(),
                                   options, &error_code, &error_offset, nullptr));
  if (!handle->code) {
    if (error != nullptr) *error = {ErrorText(error_code), error_offset};
    return nullptr;
  }
  handle->jit = pcre2_jit_compile(handle->code.get(), PCRE2_JIT_COMPLETE) == 0;
  handle->context.reset(pcre2_match_context_create(nullptr));
  if (handle->context) {
    pcre2_set_match_limit(handle->context.get(), kMatchLimit);
    pcre2_set_depth_limit(handle->context.get(), kDepthLimit);
    pcre2_set_heap_limit(handle->context.get(), kHeapLimitKiB);
  }
  uint32_t captures = 0;
  pcre2_pattern_info(handle->code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
  std::shared_ptr<const CompiledRegex> regex(new CompiledRegex(std::move(handle), captures));
  Cache().Add(key, regex);
  return regex;
}

RegexOutcome CompiledRegex::Find(std::string_view text, std::size_t start, RegexMatch* match,
                                 RegexError* error) const {
  if (start > text.size()) return RegexOutcome::kNoMatch;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
      pcre2_match_data_create_from_pattern(handle_->code.get(), nullptr));
  if (!data) {
    if (error != nullptr) *error = {ErrorText(PCRE2_ERROR_NOMEMORY), 0};
    return RegexOutcome::kError;
  }
  const int result = pcre2_match(handle_->code.get(), reinterpret_cast<PCRE2_SPTR>(text.data()),
                                 text.size(), start, 0, data.get(), handle_->context.get());
  if (result == PCRE2_ERROR_NOMATCH) return RegexOutcome::kNoMatch;
  if (result < 0) {
    if (error != nullptr) *error = {ErrorText(result), 0};
    return RegexOutcome::kError;
  }
  if (match != nullptr) {
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data.get());
    const uint32_t pairs = pcre2_get_ovector_count(data.get());
    match->groups.assign(group_count_ + 1, {std::string::npos, std::string::npos});
    for (uint32_t i = 0; i < pairs && i <= group_count_; ++i) {
      if (vector[2 * i] == PCRE2_UNSET) continue;
      match->groups[i] = {vector[2 * i], vector[2 * i + 1]};
    }
  }
  return RegexOutcome::kMatch;
}

bool TextMatchesRegex(std::string_view text, std::string_view expression, RegexError* error) {
  RegexError local;
  RegexError& report = error != nullptr ? *error : local;
  const std::shared_ptr<const CompiledRegex> regex = CompiledRegex::Get(expression, true, &report);
  if (!regex) return false;
  const RegexOutcome first = regex->Find(text, 0, nullptr, &report);
  if (first == RegexOutcome::kMatch) return true;
  if (first == RegexOutcome::kError) return false;
  return regex->Find(HtmlToText(text), 0, nullptr, &report) == RegexOutcome::kMatch;
}

}  // namespace trawler::text
