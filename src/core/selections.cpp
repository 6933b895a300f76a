// Which sites of a category take part, ticked or not, and in which order they are listed:
// for a category (state under its category key) or for a stored selection (a key of its own
// with the same layout plus a "Category" value).

#include "core/selections.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "core/categories.h"
#include "core/engine_list.h"
#include "platform/registry_name_fold.h"
#include "support/text/case_folding.h"

namespace trawler::core {

EngineFinder::EngineFinder(const std::vector<TEngine *> &engines) {
    for (TEngine *engine : engines) {
        byKey_[text::FoldText(TEngineList::EngineKey(*engine))] = engine;
        byCaption_[text::FoldText(engine->Caption)] = engine;
    }
}

TEngine *EngineFinder::Find(std::string_view name) const {
    if (name.empty()) return nullptr;
    const auto folded = text::FoldText(name);
    if (const auto it = byKey_.find(folded); it != byKey_.end()) return it->second;
    if (const auto it = byCaption_.find(folded); it != byCaption_.end()) return it->second;
    return nullptr;
}

std::string OrderValueName(std::size_t index) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%04zX", index);
    return buffer;
}

namespace {

// The ticks stored under key\checks: folded engine key -> ticked.
std::unordered_map<std::string, bool> ReadCheckValues(platform::RegistryStore &store, const std::string &key) {
    std::unordered_map<std::string, bool> checks;
    platform::RegKey reg(store);
    if (!reg.OpenKey(key + "\\Checks", false)) return checks;
    for (const auto &name : reg.GetValueNames()) {
        if (const auto value = reg.ReadBool(name)) checks[platform::FoldRegistryName(name)] = *value;
    }
    return checks;
}

void StoreTick(platform::RegKey &reg, const std::string &engineKey, bool ticked) {
    if (ticked) {
        if (reg.ValueExists(engineKey)) reg.DeleteValue(engineKey);
    } else {
        reg.WriteBool(engineKey, false);
    }
}

std::string CategoryPath(const TEngineList &list, std::string_view category) {
    return list.CategoriesKey() + "\\" + std::string(category);
}

bool InCategoryFor(const TEngine &engine, std::string_view category) {
    return TEngineList::IsEnabled(engine) && !EngineCode(engine, category).empty();
}

}  // namespace

void TEngineList::SelectCategory(std::string_view category) {
    const auto key = CategoryPath(*this, category);
    const auto checks = ReadCheckValues(FRegistry, key);
    for (TEngine *engine : Engines) {
        engine->InCategory = InCategoryFor(*engine, category);
        if (!engine->InCategory) continue;
        engine->Checked = true;
        if (const auto it = checks.find(platform::FoldRegistryName(EngineKey(*engine))); it != checks.end()) {
            engine->Checked = it->second;
        }
    }
    LoadOrder(category);
}

void TEngineList::WriteCheck(TEngine &engine, std::string_view category, bool ticked) {
    engine.Checked = ticked;
    platform::RegKey reg(FRegistry);
    if (!reg.OpenKey(CategoryPath(*this, category) + "\\checks", true)) return;
    StoreTick(reg, EngineKey(engine), ticked);
}

void TEngineList::SortByOrder(bool renumber) {
    std::stable_sort(Engines.begin(), Engines.end(), [](const TEngine *a, const TEngine *b) {
        const bool aOrdered = a->Order >= 0;
        const bool bOrdered = b->Order >= 0;
        if (aOrdered != bOrdered) return aOrdered;
        if (aOrdered) return a->Order < b->Order;
        return text::CompareTextIgnoreCase(a->Caption, b->Caption) < 0;
    });
    if (!renumber) return;
    for (std::size_t i = 0; i < Engines.size(); ++i) Engines[i]->Order = static_cast<int>(i);
}

void TEngineList::ApplyOrderKey(const std::string &key) {
    for (TEngine *engine : Engines) engine->Order = -1;
    platform::RegKey reg(FRegistry);
    if (reg.OpenKey(key, false)) {
        const EngineFinder finder(Engines);
        const auto names = reg.GetValueNames();
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto value = reg.ReadString(names[i]);
            if (!value) continue;
            if (TEngine *engine = finder.Find(*value)) engine->Order = static_cast<int>(i);
        }
    }
    SortByOrder(true);
}

void TEngineList::LoadOrder(std::string_view category) {
    ApplyOrderKey(category.empty() ? CategoriesKey() : CategoryPath(*this, category) + "\\order");
}

void TEngineList::WriteOrderKey(const std::string &key, std::string_view category) {
    platform::RegistryBatch batch(FRegistry);
    platform::RegKey reg(FRegistry);
    if (reg.KeyExists(key) && !reg.DeleteKey(key)) return;
    if (!reg.OpenKey(key, true)) return;
    for (std::size_t i = 0; i < Engines.size(); ++i) {
        const TEngine &engine = *Engines[i];
        if (engine.Order < 0 || EngineCode(engine, category).empty()) continue;
        reg.WriteString(OrderValueName(i), EngineKey(engine));
    }
    batch.Commit();
}

void TEngineList::SaveOrder(std::string_view category) {
    // Without a category there is no order key of its own to replace.
    if (category.empty()) return;
    WriteOrderKey(CategoryPath(*this, category) + "\\order", category);
}

void TEngineList::MoveEngine(int index, int steps, std::string_view category) {
    const int count = static_cast<int>(Engines.size());
    if (index < 0 || index >= count) return;
    const int direction = steps < 0 ? -1 : 1;
    for (int step = 0; step < std::abs(steps); ++step) {
        int other = index + direction;
        while (other >= 0 && other < count && !Engines[other]->InCategory) other += direction;
        if (other < 0 || other >= count) break;
        std::swap(Engines[index], Engines[other]);
        Engines[index]->Order = index;
        Engines[other]->Order = other;
        index = other;
    }
    SaveOrder(category);
}

void TEngineList::SelectFromResults(std::string_view category, const std::vector<std::string> &servers) {
    for (TEngine *engine : Engines) {
        engine->InCategory = InCategoryFor(*engine, category);
        if (!engine->InCategory) continue;
        engine->Order = -1;
        for (std::size_t i = 0; i < servers.size(); ++i) {
            if (text::SameTextIgnoreCase(servers[i], engine->Id)) {
                engine->Order = static_cast<int>(i);
                break;
            }
        }
        engine->Checked = engine->Order >= 0;
    }
    SortByOrder(false);
}

bool TEngineList::UseSelection(std::string_view key) {
    platform::RegKey reg(FRegistry);
    if (!reg.OpenKey(key, false)) return false;
    const auto category = reg.ReadString("Category");
    if (!category) return false;
    const std::string path(key);
    const auto checks = ReadCheckValues(FRegistry, path);
    for (TEngine *engine : Engines) {
        engine->InCategory = InCategoryFor(*engine, *category);
        if (!engine->InCategory) continue;
        engine->Checked = true;
        if (const auto it = checks.find(platform::FoldRegistryName(EngineKey(*engine))); it != checks.end()) {
            engine->Checked = it->second;
        }
    }
    ApplyOrderKey(path + "\\order");
    return true;
}

void TEngineList::SaveSelection(std::string_view key) {
    const std::string path(key);
    platform::RegKey reg(FRegistry);
    if (!reg.OpenKey(path, true)) return;
    const auto category = reg.ReadString("Category").value_or(std::string());
    platform::RegKey checks(FRegistry);
    if (checks.OpenKey(path + "\\checks", true)) {
        platform::RegistryBatch batch(FRegistry);
        for (TEngine *engine : Engines) {
            if (!IsEnabled(*engine) || EngineCode(*engine, category).empty()) continue;
            StoreTick(checks, EngineKey(*engine), engine->Checked);
        }
        batch.Commit();
    }
    WriteOrderKey(path + "\\order", category);
}

}  // namespace trawler::core
