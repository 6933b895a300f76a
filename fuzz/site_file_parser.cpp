// Site description files come from anywhere (downloads, web updates, the user's own edits):
// any bytes must load into records without crashing or hanging, and what is loaded must keep
// the loader's promises (unique captions, unique keys per file id, inputs owned by engines).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>

#include "core/categories.h"
#include "core/engine_list.h"
#include "core/site_file_parser.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "support/text/case_folding.h"
#include "support/text/code_pages.h"

using namespace trawler;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static platform::PollEventLoop loop;
    static platform::RegistryStore registry(std::filesystem::temp_directory_path() /
                                            ("trawler-fuzz-sites-" + std::to_string(::getpid())));
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    core::TEngineList list(loop, registry);
    list.PrgVersion = "3.2";
    // The input is read twice, as two files with the same file id, so uniqueness across
    // files is exercised too.
    for (int copy = 0; copy < 2; ++copy) {
        auto sdf = std::make_unique<core::TSDFInfo>();
        sdf->Owner = &list.SDFList;
        list.SDFList.Items.push_back(std::move(sdf));
        core::ParseSiteFile(list, *list.SDFList.Items.back(), text::DecodeUtf8OrLegacy(input));
    }

    std::set<std::string> captions;
    for (const core::TEngine *engine : list.Engines) {
        // A site without a "caption=" line has none; every caption given is unique.
        if (!engine->Caption.empty() && !captions.insert(text::FoldText(engine->Caption)).second) std::abort();
        for (const auto &in : engine->Inputs) {
            if (in->Owner != engine) std::abort();
        }
        if (engine->BooleanModes.size() != 4) std::abort();
        core::EngineCode(*engine, "1");
        list.FindEngine(core::TEngineList::EngineKey(*engine));
    }
    for (const auto &sdf : list.SDFList.Items) {
        std::set<std::string> ids;
        for (const auto &engine : sdf->Engines) {
            if (!engine->Id.empty() && !ids.insert(text::FoldText(engine->Id)).second) std::abort();
        }
    }
    for (int i = 0; i < static_cast<int>(list.Categories.size()); ++i) {
        list.CategoryNameAt(i);
        list.CategoryImageAt(i);
    }
    return 0;
}
