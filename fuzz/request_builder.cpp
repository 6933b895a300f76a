// Requests are built from site-file values and the user's words: whatever they hold, building
// the presearch, first, next-page and repeated requests must not crash or hang, and no header
// value may carry a control character (a CR or LF would start a new header).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "core/engine_list.h"
#include "core/site_file_parser.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "support/text/code_pages.h"

using namespace trawler;

namespace {

bool HasControl(const std::string &value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return true;
    }
    return false;
}

void CheckHeaders(const platform::HttpClient &http) {
    for (const auto *value : {&http.Referer, &http.UserAgent, &http.Accept, &http.AcceptLanguage, &http.AcceptCharset}) {
        if (HasControl(*value)) std::abort();
    }
}

// Line n of the settings part, or "".
std::string SettingLine(std::string_view settings, int n) {
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        start = settings.find('\n', start);
        if (start == std::string_view::npos) return {};
        ++start;
    }
    const auto end = settings.find('\n', start);
    return std::string(settings.substr(start, end == std::string_view::npos ? settings.npos : end - start));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static platform::PollEventLoop loop;
    static platform::RegistryStore registry(std::filesystem::temp_directory_path() /
                                            ("trawler-fuzz-requests-" + std::to_string(::getpid())));
    // Input: site file text, then a line "=====", then the search settings one per line.
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const auto split = input.find("=====");
    const std::string_view site = input.substr(0, split);
    const std::string_view settings = split == std::string_view::npos ? std::string_view{} : input.substr(split + 5);

    core::TEngineList list(loop, registry);
    list.SearchWord = SettingLine(settings, 1);
    list.Category = SettingLine(settings, 2);
    list.Language = SettingLine(settings, 3);
    list.IdentifyAs = SettingLine(settings, 4);
    list.ProxyOverride = SettingLine(settings, 5);
    list.Proxy = SettingLine(settings, 6);
    list.NewsGroup = SettingLine(settings, 7);
    list.Street = SettingLine(settings, 8);
    list.Dateb = size % 50000;
    list.Matchmode = static_cast<core::tMatchMode>(size % 4);
    list.ExactMode = size % 3 == 0;

    auto sdf = std::make_unique<core::TSDFInfo>();
    sdf->Owner = &list.SDFList;
    list.SDFList.Items.push_back(std::move(sdf));
    core::ParseSiteFile(list, *list.SDFList.Items.back(), text::DecodeUtf8OrLegacy(site));

    int budget = 64;  // engines built per input; enough to reach every branch
    for (core::TEngine *engine : list.Engines) {
        if (--budget < 0) break;
        for (auto &in : engine->Inputs) in->CurrentName = in->Name;
        list.PrepareEngine(*engine);
        CheckHeaders(*engine->Http);
        if (engine->Stage == core::tStage::Presearch) {
            list.BuildSearchRequest(*engine);
            CheckHeaders(*engine->Http);
        }
        for (int page = 0; page < 3; ++page) {
            if (!list.BuildNextPageRequest(*engine)) break;
        }
        engine->Ready = false;
        list.RepeatLastRequest(*engine);
        CheckHeaders(*engine->Http);
    }
    return 0;
}
