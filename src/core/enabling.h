#pragma once

// The on/off switches of sites and site files as stored under the Sites key, read once and
// applied to each file as it is loaded (one registry read per load, not one per file).

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/registry.h"

namespace trawler::core {

struct TSDFInfo;

class StoredSwitches {
public:
    // Every value of the Sites key (created when missing).
    static StoredSwitches Read(platform::RegistryStore &store);
    // The stored value of a name (ignoring case): nullptr when there is none; an empty
    // optional when it is not a boolean.
    const std::optional<bool> *Find(std::string_view name) const;

private:
    std::unordered_map<std::string, std::optional<bool>> values_;
};

// The file's and its engines' Enabled from the stored switches: a stored boolean decides, a
// missing or unreadable value leaves the file on and makes each engine on.
void ApplyStoredSwitches(TSDFInfo &sdf, const StoredSwitches &switches);

}  // namespace trawler::core
