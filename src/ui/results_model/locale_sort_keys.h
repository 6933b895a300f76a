#pragma once

// Sort keys for comparing texts the way the user's locale orders them, case
// sensitive. Made straight with ICU into reused buffers: a key per row costs one
// allocation, where a QCollatorSortKey costs several. In the C locale there is
// no collation, and UTF-8 bytes compare in code point order, so no key is made.

#include <cstdint>
#include <string>
#include <vector>

class QLocale;
struct UCollator;

namespace trawler::ui {

class LocaleSortKeys {
public:
    explicit LocaleSortKeys(const QLocale& locale);
    ~LocaleSortKeys();
    LocaleSortKeys(const LocaleSortKeys&) = delete;
    LocaleSortKeys& operator=(const LocaleSortKeys&) = delete;

    // True when texts compare as they are (C locale, or no collator could be
    // opened): Key is then not needed.
    bool Binary() const { return FCollator == nullptr; }

    // The key of a UTF-8 text: comparing two keys bytewise gives the order of
    // the texts. Invalid UTF-8 sorts by the characters ICU makes of it.
    std::string Key(const std::string& utf8);

private:
    UCollator* FCollator = nullptr;
    std::vector<std::uint16_t> FUtf16;
    std::vector<std::uint8_t> FKey;
};

}  // namespace trawler::ui
