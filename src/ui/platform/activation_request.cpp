#include "ui/platform/activation_request.h"

#include <cstdint>

namespace trawler::ui {
namespace {
constexpr std::size_t kHeaderBytes = 4;
}  // namespace

std::string EncodeActivation(const std::vector<std::string>& args) {
    std::string body;
    for (const std::string& arg : args) {
        body += arg;
        body += '\0';
    }
    const auto size = static_cast<std::uint32_t>(body.size());
    std::string data;
    for (int shift = 24; shift >= 0; shift -= 8) data += static_cast<char>((size >> shift) & 0xFF);
    return data + body;
}

std::size_t ActivationSize(std::string_view data) {
    if (data.size() < kHeaderBytes) return 0;
    std::uint32_t size = 0;
    for (std::size_t i = 0; i < kHeaderBytes; ++i) size = (size << 8) | static_cast<unsigned char>(data[i]);
    return kHeaderBytes + size;
}

std::optional<std::vector<std::string>> DecodeActivation(std::string_view data) {
    if (data.size() < kHeaderBytes || data.size() > kMaxActivationBytes) return std::nullopt;
    if (ActivationSize(data) != data.size()) return std::nullopt;
    std::string_view body = data.substr(kHeaderBytes);
    if (!body.empty() && body.back() != '\0') return std::nullopt;
    std::vector<std::string> args;
    while (!body.empty()) {
        const std::size_t end = body.find('\0');
        args.emplace_back(body.substr(0, end));
        body.remove_prefix(end + 1);
    }
    return args;
}

}  // namespace trawler::ui
