// Regions switched on and off. Regions are named by the sites; only the ones switched off are
// stored (a false value under the Regions key), so a region new to the loaded files is on.

#include <algorithm>

#include "core/engine_list.h"
#include "support/text/case_folding.h"

namespace trawler::core {
namespace {

bool ContainsIgnoringCase(const std::vector<std::string> &list, std::string_view name) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string &item) { return text::SameTextIgnoreCase(item, name); });
}

}  // namespace

std::string TEngineList::RegisterRegion(std::string_view region) {
    std::string name(region);
    if (std::find(Regions.begin(), Regions.end(), name) == Regions.end()) Regions.push_back(name);
    return name;
}

void TEngineList::LoadRegions() {
    EnabledRegions = Regions;
    platform::RegKey reg(FRegistry);
    if (!reg.OpenKey(kRegionsKey, true)) return;
    for (const auto &name : reg.GetValueNames()) {
        const auto on = reg.ReadBool(name);
        if (!on || *on) continue;
        std::erase_if(EnabledRegions, [&](const std::string &region) {
            return text::SameTextIgnoreCase(region, name);
        });
    }
}

void TEngineList::SaveRegions() {
    // The key is rebuilt from scratch, which also drops regions no loaded site names any more.
    // It is created when missing: a choice the user just made must not be lost.
    platform::RegistryBatch batch(FRegistry);
    platform::RegKey reg(FRegistry);
    if (reg.KeyExists(kRegionsKey) && !reg.DeleteKey(kRegionsKey)) return;
    if (!reg.OpenKey(kRegionsKey, true)) return;
    for (const auto &region : Regions) {
        if (!ContainsIgnoringCase(EnabledRegions, region)) reg.WriteBool(region, false);
    }
    batch.Commit();
}

}  // namespace trawler::core
