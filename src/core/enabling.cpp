// Sites and whole site files switched on and off. Only "off" is stored (a false value under
// the Sites key, named by the engine key or the file id); a missing value means on.

#include <unordered_set>

#include "core/engine_list.h"
#include "platform/registry_name_fold.h"

namespace trawler::core {
namespace {

void StoreOff(platform::RegistryStore &store, const std::string &name, bool on) {
    platform::RegKey reg(store);
    if (!reg.OpenKey(kSitesKey, true)) return;
    if (on) {
        if (reg.ValueExists(name)) reg.DeleteValue(name);
    } else {
        reg.WriteBool(name, false);
    }
}

}  // namespace

void TEngineList::ReadEnabled(TSDFInfo &sdf) {
    platform::RegKey reg(FRegistry);
    if (!reg.OpenKey(kSitesKey, true)) return;
    // One listing of the stored names instead of one lookup per site: most sites are on.
    std::unordered_set<std::string> stored;
    for (const auto &name : reg.GetValueNames()) stored.insert(platform::FoldRegistryName(name));
    if (stored.empty()) return;
    if (stored.count(platform::FoldRegistryName(sdf.Id))) {
        if (const auto value = reg.ReadBool(sdf.Id)) sdf.Enabled = *value;
    }
    for (const auto &engine : sdf.Engines) {
        const auto key = EngineKey(*engine);
        engine->Enabled = true;
        if (!stored.count(platform::FoldRegistryName(key))) continue;
        if (const auto value = reg.ReadBool(key)) engine->Enabled = *value;
    }
}

void TEngineList::SetEngineEnabled(TEngine &engine, bool on) {
    engine.Enabled = on;
    StoreOff(FRegistry, EngineKey(engine), on);
}

void TEngineList::SetSdfEnabled(TSDFInfo &sdf, bool on) {
    sdf.Enabled = on;
    StoreOff(FRegistry, sdf.Id, on);
}

bool TEngineList::IsEnabled(const TEngine &engine) { return engine.Enabled && engine.Sdf->Enabled; }

}  // namespace trawler::core
