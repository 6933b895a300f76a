#pragma once

// Category codes of one engine: which of the site's own codes serves a category key, with the
// user's additions (aliases) followed, and the exists test of an input.

#include <string>
#include <string_view>

#include "core/sdf_records.h"

namespace trawler::core {

// What a category definition line holds after its key.
struct tCategoryInfo {
    int Image = 0;
    std::string Name;
    std::string Hint;
};

// The code of the first category line whose value equals key exactly; empty when none.
std::string OwnCategoryCode(const TEngine &engine, std::string_view key);

// The engine's code for a category key: its own line, else through an alias line named by
// the key (the code of the category the alias serves). Empty: the engine has no code.
std::string EngineCode(const TEngine &engine, std::string_view key);

// The category key written in the engine's category line that EngineCode found (for an
// aliased category, the served one); empty when there is no code.
std::string EngineCategoryKey(const TEngine &engine, std::string_view key);

// True when codes, trimmed, is empty, or the engine's own code for key equals one of the
// "#"-separated codes.
bool ServesCodes(const TEngine &engine, std::string_view key, std::string_view codes);

// True when the engine's own category block has a line whose value is key.
bool ServesNatively(const TEngine &engine, std::string_view key);

// The exists test of an input for the engine's code: an empty (trimmed) Exists always
// passes; otherwise the code must be one of its "#"-separated parts.
bool ExistsTest(const TEngineInput &input, std::string_view code);

// The parts of a category definition value ";picture;name;hint".
tCategoryInfo SplitCategoryValue(std::string_view value, int badPicture);

}  // namespace trawler::core
