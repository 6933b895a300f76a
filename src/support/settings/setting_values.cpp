#include "support/settings/setting_values.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace trawler::settings {

namespace {

using platform::RegType;

RegType StoredType(ValueKind kind) {
  switch (kind) {
    case ValueKind::String: return RegType::String;
    case ValueKind::Integer:
    case ValueKind::Boolean: return RegType::Integer;
    case ValueKind::DateTime: return RegType::Binary;
    case ValueKind::Obsolete: break;
  }
  return RegType::None;
}

bool WriteDefault(platform::RegKey &key, const SettingSpec &spec, const tDefaultsList &list) {
  switch (spec.Kind) {
    case ValueKind::String: {
      if (spec.DefaultFromField) {
        if (auto field = std::get_if<std::string tDefaultsList::*>(&spec.Field))
          return key.WriteString(spec.Name, list.**field);
      }
      // Through a std::string: an empty default must still be an empty text,
      // never a null pointer the store could take for "no data".
      return key.WriteString(spec.Name, std::string(spec.DefaultText));
    }
    case ValueKind::Integer: return key.WriteInteger(spec.Name, spec.DefaultNumber);
    case ValueKind::Boolean: return key.WriteBool(spec.Name, spec.DefaultNumber != 0);
    case ValueKind::DateTime: return key.WriteDateTime(spec.Name, 0);
    case ValueKind::Obsolete: break;
  }
  return true;
}

// A date-time written back: anything but a finite number is 0 ("no date"),
// and so is a date not above 0 where only those count.
text::TDateTime StorableDate(const SettingSpec &spec, text::TDateTime value) {
  if (!std::isfinite(value)) return 0;
  if (spec.OnlyAboveZero && !(value > 0)) return 0;
  return value;
}

}  // namespace

std::int32_t BringIntoRange(const SettingSpec &spec, std::int32_t value) {
  if (!spec.Range) return value;
  const ValidRange &range = *spec.Range;
  if (value >= range.Min && value <= range.Max) return value;
  return range.Policy == OutOfRange::Clamp ? std::clamp(value, range.Min, range.Max) : spec.DefaultNumber;
}

void ApplyDefault(const SettingSpec &spec, tDefaultsList &list) {
  if (spec.DefaultFromField) return;
  std::visit(
      [&](auto field) {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, std::string tDefaultsList::*>)
          list.*field = std::string(spec.DefaultText);
        else if constexpr (std::is_same_v<Field, std::int32_t tDefaultsList::*>)
          list.*field = spec.DefaultNumber;
        else if constexpr (std::is_same_v<Field, bool tDefaultsList::*>)
          list.*field = spec.DefaultNumber != 0;
        else if constexpr (std::is_same_v<Field, text::TDateTime tDefaultsList::*>)
          list.*field = 0;
      },
      spec.Field);
}

bool CheckValue(platform::RegKey &key, const SettingSpec &spec, const tDefaultsList &list) {
  if (spec.Kind == ValueKind::Obsolete) {
    if (key.ValueExists(spec.Name)) key.DeleteValue(spec.Name);
    return false;
  }
  RegType stored = key.GetDataType(spec.Name);
  bool fits = stored == StoredType(spec.Kind);
  if (fits && spec.Kind == ValueKind::DateTime) {
    std::optional<double> date = key.ReadDateTime(spec.Name);
    fits = date && std::isfinite(*date);
  }
  if (fits) return false;
  if (stored != RegType::None) key.DeleteValue(spec.Name);
  if (spec.CreatedWhenMissing) WriteDefault(key, spec, list);
  return true;
}

void ReadValue(platform::RegKey &key, const SettingSpec &spec, tDefaultsList &list) {
  std::visit(
      [&](auto field) {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, std::string tDefaultsList::*>) {
          std::optional<std::string> text = key.ReadString(spec.Name);
          if (!text) return;
          if (text->empty() && spec.EmptyReadsAs) *text = *spec.EmptyReadsAs;
          list.*field = std::move(*text);
        } else if constexpr (std::is_same_v<Field, std::int32_t tDefaultsList::*>) {
          std::optional<std::int32_t> number = key.ReadInteger(spec.Name);
          if (!number) return;
          if (*number == 0 && spec.ZeroReadsAs) *number = *spec.ZeroReadsAs;
          list.*field = BringIntoRange(spec, *number);
        } else if constexpr (std::is_same_v<Field, bool tDefaultsList::*>) {
          if (std::optional<bool> flag = key.ReadBool(spec.Name)) list.*field = *flag;
        } else if constexpr (std::is_same_v<Field, text::TDateTime tDefaultsList::*>) {
          std::optional<double> date = key.ReadDateTime(spec.Name);
          if (!date || !std::isfinite(*date)) return;
          if (spec.OnlyAboveZero && !(*date > 0)) return;
          list.*field = *date;
        }
      },
      spec.Field);
}

bool WriteValue(platform::RegKey &key, const SettingSpec &spec, const tDefaultsList &list) {
  return std::visit(
      [&](auto field) -> bool {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, std::string tDefaultsList::*>)
          return key.WriteString(spec.Name, list.*field);
        else if constexpr (std::is_same_v<Field, std::int32_t tDefaultsList::*>)
          return key.WriteInteger(spec.Name, list.*field);
        else if constexpr (std::is_same_v<Field, bool tDefaultsList::*>)
          return key.WriteBool(spec.Name, list.*field);
        else if constexpr (std::is_same_v<Field, text::TDateTime tDefaultsList::*>)
          return key.WriteDateTime(spec.Name, StorableDate(spec, list.*field));
        else
          return true;
      },
      spec.Field);
}

}  // namespace trawler::settings
