// The request a later copy of the program sends to the first over the local
// socket: a 4-byte big-endian length, then each argument in UTF-8 followed by
// a zero byte. Plain C++, so the reader can be checked and fuzzed on its own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::ui {

// The most a request may hold, header included; a longer one is refused.
inline constexpr std::size_t kMaxActivationBytes = 64 * 1024;

std::string EncodeActivation(const std::vector<std::string>& args);

// How many bytes the request starting data needs in all, once its length is
// readable; 0 before that.
std::size_t ActivationSize(std::string_view data);

// The arguments of exactly one complete request; nothing when data is not
// one (too short, too long, a length that does not match, a missing final
// zero byte).
std::optional<std::vector<std::string>> DecodeActivation(std::string_view data);

}  // namespace trawler::ui
