#pragma once
// Letter case for UTF-8 text.
//
// Two kinds of case handling exist, as in the rest of the program:
//  * The ignore-case searches of the string toolkit (PosWild with a negative start,
//    ReplaceAll ignoring case, ...) use an installable table of letter pairs. ASCII letters
//    fold only through that table; every other character also matches its partner by
//    Unicode simple case folding (Latin-1, Latin Extended-A, Latin Extended Additional,
//    Greek, Cyrillic, Armenian, fullwidth Latin), so Cyrillic and Greek match across case
//    whatever pairs are installed. Pairs given to SetCasePairs that involve non-ASCII
//    characters are honoured in addition. Unicode folds never map a non-ASCII character to
//    ASCII (no Kelvin sign, long s or dotted I), so ASCII matching stays under the table's
//    control alone.
//  * Whole-text upper/lower casing and ignore-case comparison (UpperText, SameTextIgnoreCase,
//    ...) use the same Unicode simple case mapping for all letters, independent of the table
//    and of the process locale.

#include <string>
#include <string_view>

namespace trawler::text {

// The start-up pairs the main window installs: Latin letters and the Cyrillic alphabet,
// including ё, ї, є, і. Both strings hold the same number of characters.
inline constexpr std::string_view kStartupLowerLetters =
    "abcdefghijklmnopqrstuvwxyz"
    "абвгдежзийклмнопрстуфхцчшщъыьэюя"
    "ёїєі";
inline constexpr std::string_view kStartupUpperLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
    "ЁЇЄІ";

// Resets the pair table to identity and pairs lower[i] with upper[i] in both directions,
// character by character. Does nothing when both are empty, when they hold a different
// number of characters, or when either is not valid UTF-8. The table at program start
// pairs the 26 ASCII letters.
void SetCasePairs(std::string_view lower, std::string_view upper);

// The partner of `code` in the pair table (code itself when it has none).
char32_t CasePartner(char32_t code);

// True when pattern character `pattern` matches text character `candidate` in an
// ignore-case search: equal, partners in the pair table, or (both non-ASCII) equal under
// Unicode simple case folding. Stray bytes match only themselves.
bool CharsMatchIgnoringCase(char32_t pattern, char32_t candidate);

// Unicode simple case mapping of one character (unchanged when it has no mapping).
char32_t UpperChar(char32_t code);
char32_t LowerChar(char32_t code);
// Simple case folding (mostly the lowercase; final sigma folds to sigma, micro sign to mu).
char32_t FoldChar(char32_t code);

// Whole-text casing by the simple case mapping; stray bytes are kept as they are, so the
// result is valid UTF-8 whenever the input is.
std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);
std::string FoldText(std::string_view text);

// Ignore-case equality and three-way comparison (by folded code points).
bool SameTextIgnoreCase(std::string_view a, std::string_view b);
int CompareTextIgnoreCase(std::string_view a, std::string_view b);

}  // namespace trawler::text
