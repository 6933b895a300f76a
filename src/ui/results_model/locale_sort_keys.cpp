#include "ui/results_model/locale_sort_keys.h"

#include <QLocale>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <climits>

namespace trawler::ui {

LocaleSortKeys::LocaleSortKeys(const QLocale& locale) {
    if (locale.language() == QLocale::C) return;
    UErrorCode status = U_ZERO_ERROR;
    FCollator = ucol_open(locale.name().toUtf8().constData(), &status);
    if (U_FAILURE(status)) {
        if (FCollator) ucol_close(FCollator);
        FCollator = nullptr;
        return;
    }
    // Tertiary strength, the default, tells capitals from small letters.
    ucol_setStrength(FCollator, UCOL_TERTIARY);
}

LocaleSortKeys::~LocaleSortKeys() {
    if (FCollator) ucol_close(FCollator);
}

std::string LocaleSortKeys::Key(const std::string& utf8) {
    if (!FCollator || utf8.size() > INT_MAX / 2) return utf8;
    // UTF-16 never needs more units than the UTF-8 text has bytes.
    FUtf16.resize(utf8.size() + 1);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(FUtf16.data()), static_cast<int32_t>(FUtf16.size()),
                         &length, utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status)) return utf8;
    if (FKey.size() < 256) FKey.resize(256);
    const auto* text = reinterpret_cast<const UChar*>(FUtf16.data());
    int32_t needed = ucol_getSortKey(FCollator, text, length, FKey.data(), static_cast<int32_t>(FKey.size()));
    if (needed > static_cast<int32_t>(FKey.size())) {
        FKey.resize(static_cast<std::size_t>(needed));
        needed = ucol_getSortKey(FCollator, text, length, FKey.data(), static_cast<int32_t>(FKey.size()));
    }
    // The key ends with a zero byte that adds nothing to the order.
    const std::size_t size = needed > 0 ? static_cast<std::size_t>(needed) - 1 : 0;
    return std::string(reinterpret_cast<const char*>(FKey.data()), size);
}

}  // namespace trawler::ui
