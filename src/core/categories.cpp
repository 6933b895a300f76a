#include "core/categories.h"

#include <algorithm>

#include "core/engine_list.h"
#include "core/name_value_list.h"
#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"

namespace trawler::core {
namespace {

bool OneOfParts(std::string_view joined, std::string_view code) {
    std::size_t start = 0;
    while (true) {
        const auto hash = joined.find('#', start);
        if (joined.substr(start, hash == std::string_view::npos ? joined.npos : hash - start) == code) {
            return true;
        }
        if (hash == std::string_view::npos) return false;
        start = hash + 1;
    }
}

}  // namespace

std::string OwnCategoryCode(const TEngine &engine, std::string_view key) {
    for (const auto &line : engine.CategoryCodes) {
        if (ValueOfLine(line) == key) return std::string(NameOfLine(line));
    }
    return {};
}

std::string EngineCode(const TEngine &engine, std::string_view key) {
    auto code = OwnCategoryCode(engine, key);
    if (!code.empty()) return code;
    if (const auto alias = IndexOfName(engine.CategoryAliases, key)) {
        return OwnCategoryCode(engine, ValueOfLine(engine.CategoryAliases[*alias]));
    }
    return {};
}

std::string EngineCategoryKey(const TEngine &engine, std::string_view key) {
    if (!OwnCategoryCode(engine, key).empty()) return std::string(key);
    if (const auto alias = IndexOfName(engine.CategoryAliases, key)) {
        const auto served = ValueOfLine(engine.CategoryAliases[*alias]);
        if (!OwnCategoryCode(engine, served).empty()) return std::string(served);
    }
    return {};
}

bool ServesCodes(const TEngine &engine, std::string_view key, std::string_view codes) {
    const auto trimmed = text::TrimBlanks(codes);
    if (trimmed.empty()) return true;
    const auto own = OwnCategoryCode(engine, key);
    return !own.empty() && OneOfParts(codes, own);
}

bool ServesNatively(const TEngine &engine, std::string_view key) {
    return std::any_of(engine.CategoryCodes.begin(), engine.CategoryCodes.end(),
                       [&](const std::string &line) { return ValueOfLine(line) == key; });
}

bool ExistsTest(const TEngineInput &input, std::string_view code) {
    if (text::TrimBlanks(input.Exists).empty()) return true;
    if (code.empty()) return false;
    return OneOfParts(input.Exists, code);
}

tCategoryInfo SplitCategoryValue(std::string_view value, int badPicture) {
    tCategoryInfo info;
    if (value.empty()) return info;
    const auto first = value.find(';');
    std::string_view rest = first == std::string_view::npos ? value : value.substr(first + 1);
    const auto second = rest.find(';');
    if (second == std::string_view::npos) {
        info.Image = text::IntOfText(rest, badPicture);
        return info;
    }
    info.Image = text::IntOfText(rest.substr(0, second), badPicture);
    rest = rest.substr(second + 1);
    const auto third = rest.find(';');
    if (third == std::string_view::npos) {
        info.Name = info.Hint = std::string(rest);
    } else {
        info.Name = std::string(rest.substr(0, third));
        info.Hint = std::string(rest.substr(third + 1));
    }
    return info;
}

// --- the engine list's category operations --------------------------------------------

std::string TEngineList::CategoriesKey() const {
    // One root for reading and writing category state, so what is written is read back even
    // before the host has set RootKey.
    return (RootKey.empty() ? std::string(kProgramKey) : RootKey) + "\\Categories";
}

tCategoryInfo TEngineList::CategoryInfo(std::string_view key) const {
    std::string value;
    if (const auto index = IndexOfName(Categories, key)) {
        value = ValueOfLine(Categories[*index]);
    } else if (const auto user = IndexOfName(UserCategories, key)) {
        value = ValueOfLine(UserCategories[*user]);
    }
    return SplitCategoryValue(value, 0);
}

std::string TEngineList::CategoryNameAt(int index) const {
    if (index < 0 || index >= static_cast<int>(Categories.size())) return {};
    return SplitCategoryValue(ValueOfLine(Categories[index]), -1).Name;
}

int TEngineList::CategoryImageAt(int index) const {
    if (index < 0 || index >= static_cast<int>(Categories.size())) return 0;
    return SplitCategoryValue(ValueOfLine(Categories[index]), -1).Image;
}

bool TEngineList::CategoryExists(std::string_view key) const {
    return IndexOfName(Categories, key) || IndexOfName(UserCategories, key);
}

bool TEngineList::IsBuiltInCategory(std::string_view key) const {
    return IndexOfName(Categories, key).has_value();
}

namespace {

std::string CategoryLineValue(int image, std::string_view name, std::string_view hint) {
    return ";" + std::to_string(image) + ";" + std::string(name) + ";" + std::string(hint);
}

// A registry key name cannot hold a backslash; such a category is kept in memory only.
bool StorableKeyName(std::string_view key) { return key.find('\\') == std::string_view::npos; }

}  // namespace

static void WriteUserCategory(TEngineList &list, std::string_view key) {
    if (list.IsBuiltInCategory(key) || key.empty() || !StorableKeyName(key)) return;
    platform::RegKey reg(list.Registry());
    if (!reg.OpenKey(list.CategoriesKey() + "\\" + std::string(key), true)) return;
    const auto info = list.CategoryInfo(key);
    reg.WriteString("name", info.Name);
    reg.WriteInteger("imageindex", info.Image);
    reg.WriteString("hint", info.Hint);
}

std::string TEngineList::AddUserCategory(std::string_view name) {
    for (int n = 0; n <= 1000; ++n) {
        const auto key = "u" + std::to_string(n);
        if (IndexOfName(UserCategories, key)) continue;
        UserCategories.push_back(key + "=;0;" + std::string(name));
        WriteUserCategory(*this, key);
        return key;
    }
    return {};
}

bool TEngineList::RenameUserCategory(std::string_view key, std::string_view text) {
    const auto index = IndexOfName(UserCategories, key);
    if (!index) return false;
    auto info = CategoryInfo(key);
    const auto semicolon = text.find(';');
    if (semicolon != std::string_view::npos) {
        info.Name = std::string(text.substr(0, semicolon));
        info.Hint = std::string(text.substr(semicolon + 1));
    } else {
        info.Name = std::string(text);
    }
    UserCategories[*index] = std::string(NameOfLine(UserCategories[*index])) + "=" +
                             CategoryLineValue(info.Image, info.Name, info.Hint);
    WriteUserCategory(*this, key);
    return true;
}

bool TEngineList::SetUserCategoryImage(std::string_view key, int number) {
    const auto index = IndexOfName(UserCategories, key);
    if (!index) return false;
    const auto info = CategoryInfo(key);
    // The hint stays what it was: a new picture is no reason to lose the user's hint.
    UserCategories[*index] = std::string(NameOfLine(UserCategories[*index])) + "=" +
                             CategoryLineValue(number, info.Name, info.Hint);
    WriteUserCategory(*this, key);
    return true;
}

void TEngineList::DeleteUserCategory(std::string_view key) {
    platform::RegKey reg(FRegistry);
    if (!reg.OpenKey(CategoriesKey(), true)) return;
    for (const auto &name : reg.GetKeyNames()) {
        if (name != key || IsBuiltInCategory(name)) continue;
        if (!reg.DeleteKey(name)) return;
        if (const auto index = IndexOfName(UserCategories, key)) {
            UserCategories.erase(UserCategories.begin() + static_cast<std::ptrdiff_t>(*index));
        }
        return;
    }
}

void TEngineList::AddSiteToCategory(std::string_view category, std::string_view site,
                                    std::string_view source) {
    TEngine *engine = FindEngine(site);
    if (!engine) return;
    const auto served = EngineCategoryKey(*engine, source);
    if (served.empty() || ServesNatively(*engine, category)) return;
    if (StorableKeyName(category)) {
        platform::RegKey reg(FRegistry);
        if (reg.OpenKey(CategoriesKey() + "\\" + std::string(category) + "\\sites", true)) {
            reg.WriteString(EngineKey(*engine), served);
        }
    }
    SetValueOfName(engine->CategoryAliases, category, served);
}

bool TEngineList::RemoveSiteFromCategory(std::string_view category, std::string_view site) {
    TEngine *engine = FindEngine(site);
    if (!engine || ServesNatively(*engine, category)) return false;
    if (const auto index = IndexOfName(engine->CategoryAliases, category)) {
        engine->CategoryAliases.erase(engine->CategoryAliases.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    if (StorableKeyName(category)) {
        platform::RegKey reg(FRegistry);
        if (reg.OpenKey(CategoriesKey() + "\\" + std::string(category) + "\\sites", false)) {
            const auto engineKey = EngineKey(*engine);
            if (reg.ValueExists(engineKey)) reg.DeleteValue(engineKey);
        }
    }
    return true;
}

void TEngineList::LoadUserCategories() {
    platform::RegKey reg(FRegistry);
    if (!reg.OpenKey(CategoriesKey(), false)) return;
    for (const auto &key : reg.GetKeyNames()) {
        const bool builtIn = IsBuiltInCategory(key);
        bool added = false;
        if (!builtIn && !key.empty()) {
            platform::RegKey sub(FRegistry);
            if (sub.OpenKey(CategoriesKey() + "\\" + key, false)) {
                const auto name = sub.ReadString("name");
                if (name && !IndexOfName(UserCategories, key)) {
                    const int image = sub.ReadInteger("imageindex").value_or(0);
                    const auto hint = sub.ReadString("hint").value_or(std::string());
                    UserCategories.push_back(key + "=" + CategoryLineValue(image, *name, hint));
                    added = true;
                }
            }
        }
        if (!builtIn && !added) continue;
        platform::RegKey sites(FRegistry);
        if (!sites.OpenKey(CategoriesKey() + "\\" + key + "\\sites", false)) continue;
        for (const auto &valueName : sites.GetValueNames()) {
            TEngine *engine = FindEngine(valueName);
            const auto served = sites.ReadString(valueName);
            if (!engine || !served || IndexOfName(engine->CategoryAliases, key)) continue;
            engine->CategoryAliases.push_back(key + "=" + *served);
        }
    }
}

}  // namespace trawler::core
