// Any page bytes against any rule: extraction must end, never crash, and keep its counters sane.
// Input: the rule lines (up to the first NUL), then the page.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/engine_list.h"
#include "core/extraction.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "results/results_list.h"

namespace {

using namespace trawler;

struct World {
    World() {
        root = std::filesystem::temp_directory_path() / ("trawler-fuzz-extract-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "sites");
        std::ofstream(root / "sites" / "f.sdf")
            << "general\n{\nid=f\n}\nsites\n{\nsite\n{\ncaption=F\nid=s\nregion=World\ndateformat=dd|.|mm|.|yyyy\n"
               "category\n{\nweb=0\n}\ncgi1\n{\n-1=http://h/s\n}\ninputs\n{\ninput\n{\nname=sid\n}\n}\n"
               "outputs\n{\noutput\n{\noutputtype=result\n{\n-1=x\n}\n}\n}\n}\n}\n";
        store = std::make_unique<platform::RegistryStore>(root / "registry");
        list = std::make_unique<core::TEngineList>(loop, *store);
        list->LoadSites((root / "sites").string());
        list->Category = "0";
    }
    std::filesystem::path root;
    platform::PollEventLoop loop;
    std::unique_ptr<platform::RegistryStore> store;
    std::unique_ptr<core::TEngineList> list;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static World world;
    const std::string input(reinterpret_cast<const char *>(data), size);
    const auto split = input.find('\0');
    const std::string rules = split == std::string::npos ? input : input.substr(0, split);
    const std::string page = split == std::string::npos ? std::string() : input.substr(split + 1);

    core::TEngine &engine = *world.list->Engines.at(0);
    core::TEngineOutput &output = *engine.Outputs.at(0);
    output.Markers.clear();
    std::size_t start = 0;
    while (start <= rules.size() && output.Markers.size() < 32) {
        const auto end = rules.find('\n', start);
        output.Markers.push_back(rules.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    world.list->ResultList->Clear();
    engine.Active = true;
    engine.HitCount = engine.TotalCount = engine.PageHits = 0;
    world.list->HttpOf(engine).FinalUrl = "http://h/s?q=x";
    engine.PageText = page;
    core::ReadResultPage(*world.list, engine);
    if (engine.HitCount < 0 || world.list->ResultList->Count() < 0) __builtin_trap();
    return 0;
}
