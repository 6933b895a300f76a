#include "platform/http_text.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>

namespace trawler::platform::http_text {

std::string StripControlBytes(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        auto b = static_cast<unsigned char>(c);
        if (b == '\t')
            out += ' ';
        else if (b >= 0x20 && b != 0x7F)
            out += c;
    }
    return out;
}

static std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' ||
                          s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool ParseStatusLine(std::string_view line, StatusLine& out) {
    line = Trim(line);
    if (line.size() < 5 || line.substr(0, 5) != "HTTP/") return false;
    auto space = line.find(' ');
    if (space == std::string_view::npos) return false;
    auto rest = line.substr(space + 1);
    if (rest.size() < 3) return false;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return false;
        code = code * 10 + (rest[i] - '0');
    }
    if (rest.size() > 3 && rest[3] != ' ') return false;
    out.code = code;
    out.reason = rest.size() > 4 ? StripControlBytes(Trim(rest.substr(4))) : std::string();
    return true;
}

bool HeaderValue(std::string_view line, std::string_view name, std::string& value) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    value = std::string(Trim(line.substr(name.size() + 1)));
    return true;
}

std::string ResolveLocation(const std::string& base, const std::string& location) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> u(curl_url(), &curl_url_cleanup);
    if (!u || location.empty() ||
        curl_url_set(u.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK ||
        curl_url_set(u.get(), CURLUPART_URL, location.c_str(), CURLU_URLENCODE) != CURLUE_OK)
        return "";
    char* text = nullptr;
    if (curl_url_get(u.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return "";
    std::string result(text);
    curl_free(text);
    return result;
}

}  // namespace trawler::platform::http_text
