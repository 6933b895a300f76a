#include "core/view/font_charsets.h"

#include <array>

namespace trawler::core::view {

namespace {

constexpr std::array<FontCharset, 14> kCharsets = {{
    {0, "Default", 1, tScript::Any},
    {1, "Ansi", 0, tScript::Latin},
    {2, "MAC", 77, tScript::Latin},
    {3, "OEM", 255, tScript::Latin},
    {4, "Arabic", 178, tScript::Arabic},
    {5, "Baltic", 186, tScript::Latin},
    {6, "Chinese", 136, tScript::Chinese},
    {7, "Cyrillic(1251)", 204, tScript::Cyrillic},
    {8, "Eastern Europe", 238, tScript::Latin},
    {9, "Greek", 161, tScript::Greek},
    {10, "Hebrew", 177, tScript::Hebrew},
    {11, "Symbol", 2, tScript::Symbol},
    {12, "Thai", 222, tScript::Thai},
    {13, "Turkish", 162, tScript::Latin},
}};

}  // namespace

std::span<const FontCharset> FontCharsets() { return kCharsets; }

const FontCharset& FontCharsetOfTag(int tag) {
  if (tag < 0 || tag >= static_cast<int>(kCharsets.size())) return kCharsets[0];
  return kCharsets[static_cast<std::size_t>(tag)];
}

}  // namespace trawler::core::view
