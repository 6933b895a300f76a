// Every value of the two settings keys as data: its registry name and type,
// its default, the field of tDefaultsList it is read into, and the range the
// options dialog allows. Load, Save and the constructor walk these tables, so
// a new setting is one row here and one field in tDefaultsList.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "support/settings/defaults_list.h"
#include "support/text/dates.h"

namespace trawler::settings {

enum class ValueKind {
  String,
  Integer,
  Boolean,   // stored as an integer 0 / 1
  DateTime,  // stored as an 8-byte binary (TDateTime)
  Obsolete,  // left by older versions: deleted when found
};

// The field a row is read into; monostate for values that are created when
// missing but never read (they belong to the sibling program or to history).
using FieldPointer =
    std::variant<std::monostate, std::string tDefaultsList::*, std::int32_t tDefaultsList::*,
                 bool tDefaultsList::*, text::TDateTime tDefaultsList::*>;

// What Load does with a stored number outside the valid range.
enum class OutOfRange {
  Clamp,       // a count or a size: the nearest bound, as a spin box would
  UseDefault,  // a choice among a few entries: the default entry
};

struct ValidRange {
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  OutOfRange Policy = OutOfRange::Clamp;
};

struct SettingSpec {
  std::string_view Name;
  ValueKind Kind = ValueKind::String;
  FieldPointer Field{};
  std::string_view DefaultText{};  // String
  std::int32_t DefaultNumber = 0;  // Integer, and Boolean as 0 / 1; DateTime defaults are 0
  bool CreatedWhenMissing = true;
  bool DefaultFromField = false;    // the default is what the field holds before Load
  std::optional<std::string_view> EmptyReadsAs{};  // a stored empty text reads as this
  std::optional<std::int32_t> ZeroReadsAs{};       // a stored 0 reads as this
  bool OnlyAboveZero = false;  // DateTime: only a date above 0 is taken, and 0 is written otherwise
  std::optional<ValidRange> Range{};
  bool DiscoverProxyWhenMissing = false;  // a first run asks the desktop for its proxy
};

// "\Software\Oxbow\Waymark", in the order Load checks them.
std::span<const SettingSpec> WaymarkSettings();

// "\Software\Oxbow\Trawler\Defaults", in the order Load checks them (which is
// also the order a first run creates them in).
std::span<const SettingSpec> ProgramSettings();

// "\Software\Oxbow\Trawler\urls": the values kept beside the address lists.
std::span<const SettingSpec> UrlKeySettings();

// The row of a name in any of the tables (ignoring case, as the registry does).
const SettingSpec *FindSetting(std::string_view name);

// The user agent sent when nothing else is chosen.
inline constexpr std::string_view kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)";
// The address EMail starts with, and the one an emptied EMail reads as.
inline constexpr std::string_view kEmailPlaceholder = "your.name@example.org";
inline constexpr std::string_view kEmptyEmailPlaceholder = "anonymous@example.org";

}  // namespace trawler::settings
