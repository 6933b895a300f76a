// Sites and whole site files switched on and off. Only "off" is stored (a false value under
// the Sites key, named by the engine key or the file id); a missing value means on.

#include "core/enabling.h"

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

StoredSwitches StoredSwitches::Read(platform::RegistryStore &store) {
    StoredSwitches switches;
    platform::RegKey reg(store);
    if (!reg.OpenKey(kSitesKey, true)) return switches;
    for (const auto &name : reg.GetValueNames()) {
        switches.values_[platform::FoldRegistryName(name)] = reg.ReadBool(name);
    }
    return switches;
}

const std::optional<bool> *StoredSwitches::Find(std::string_view name) const {
    if (values_.empty()) return nullptr;
    const auto it = values_.find(platform::FoldRegistryName(name));
    return it == values_.end() ? nullptr : &it->second;
}

void ApplyStoredSwitches(TSDFInfo &sdf, const StoredSwitches &switches) {
    if (const auto *value = switches.Find(sdf.Id); value && *value) sdf.Enabled = **value;
    for (const auto &engine : sdf.Engines) {
        engine->Enabled = true;
        if (const auto *value = switches.Find(TEngineList::EngineKey(*engine)); value && *value) {
            engine->Enabled = **value;
        }
    }
}

void TEngineList::ReadEnabled(TSDFInfo &sdf) { ApplyStoredSwitches(sdf, StoredSwitches::Read(FRegistry)); }

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
