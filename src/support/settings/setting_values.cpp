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

bool WriteDefault(platform::RegKey &key, const SettingSpec &row, const tDefaultsList &list) {
  switch (row.Kind) {
    case ValueKind::String: {
      if (row.DefaultFromField) {
        if (auto field = std::get_if<std::string tDefaultsList::*>(&row.Field))
          return key.WriteString(row.Name, list.**field);
      }
      // Through a std::string: an empty default must still be an empty text,
      // never a null pointer the store could take for "no data".
      return key.WriteString(row.Name, std::string(row.DefaultText));
    }
    case ValueKind::Integer: return key.WriteInteger(row.Name, row.DefaultNumber);
    case ValueKind::Boolean: return key.WriteBool(row.Name, row.DefaultNumber != 0);
    case ValueKind::DateTime: return key.WriteDateTime(row.Name, 0);
    case ValueKind::Obsolete: break;
  }
  return true;
}

// A date-time written back: anything but a finite number is 0 ("no date"),
// and so is a date not above 0 where only those count.
text::TDateTime StorableDate(const SettingSpec &row, text::TDateTime value) {
  if (!std::isfinite(value)) return 0;
  if (row.OnlyAboveZero && !(value > 0)) return 0;
  return value;
}

}  // namespace

std::int32_t BringIntoRange(const SettingSpec &row, std::int32_t value) {
  if (!row.Range) return value;
  const ValidRange &range = *row.Range;
  if (value >= range.Min && value <= range.Max) return value;
  return range.Policy == OutOfRange::Clamp ? std::clamp(value, range.Min, range.Max) : row.DefaultNumber;
}

void ApplyDefault(const SettingSpec &row, tDefaultsList &list) {
  if (row.DefaultFromField) return;
  std::visit(
      [&](auto field) {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, std::string tDefaultsList::*>)
          list.*field = std::string(row.DefaultText);
        else if constexpr (std::is_same_v<Field, std::int32_t tDefaultsList::*>)
          list.*field = row.DefaultNumber;
        else if constexpr (std::is_same_v<Field, bool tDefaultsList::*>)
          list.*field = row.DefaultNumber != 0;
        else if constexpr (std::is_same_v<Field, text::TDateTime tDefaultsList::*>)
          list.*field = 0;
      },
      row.Field);
}

bool CheckValue(platform::RegKey &key, const SettingSpec &row, const tDefaultsList &list) {
  if (row.Kind == ValueKind::Obsolete) {
    if (key.ValueExists(row.Name)) key.DeleteValue(row.Name);
    return false;
  }
  RegType stored = key.GetDataType(row.Name);
  bool fits = stored == StoredType(row.Kind);
  if (fits && row.Kind == ValueKind::DateTime) {
    std::optional<double> date = key.ReadDateTime(row.Name);
    fits = date && std::isfinite(*date);
  }
  if (fits) return false;
  if (stored != RegType::None) key.DeleteValue(row.Name);
  if (row.CreatedWhenMissing) WriteDefault(key, row, list);
  return true;
}

void ReadValue(platform::RegKey &key, const SettingSpec &row, tDefaultsList &list) {
  std::visit(
      [&](auto field) {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, std::string tDefaultsList::*>) {
          std::optional<std::string> text = key.ReadString(row.Name);
          if (!text) return;
          if (text->empty() && row.EmptyReadsAs) *text = *row.EmptyReadsAs;
          list.*field = std::move(*text);
        } else if constexpr (std::is_same_v<Field, std::int32_t tDefaultsList::*>) {
          std::optional<std::int32_t> number = key.ReadInteger(row.Name);
          if (!number) return;
          if (*number == 0 && row.ZeroReadsAs) *number = *row.ZeroReadsAs;
          list.*field = BringIntoRange(row, *number);
        } else if constexpr (std::is_same_v<Field, bool tDefaultsList::*>) {
          if (std::optional<bool> flag = key.ReadBool(row.Name)) list.*field = *flag;
        } else if constexpr (std::is_same_v<Field, text::TDateTime tDefaultsList::*>) {
          std::optional<double> date = key.ReadDateTime(row.Name);
          if (!date || !std::isfinite(*date)) return;
          if (row.OnlyAboveZero && !(*date > 0)) return;
          list.*field = *date;
        }
      },
      row.Field);
}

bool WriteValue(platform::RegKey &key, const SettingSpec &row, const tDefaultsList &list) {
  return std::visit(
      [&](auto field) -> bool {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, std::string tDefaultsList::*>)
          return key.WriteString(row.Name, list.*field);
        else if constexpr (std::is_same_v<Field, std::int32_t tDefaultsList::*>)
          return key.WriteInteger(row.Name, list.*field);
        else if constexpr (std::is_same_v<Field, bool tDefaultsList::*>)
          return key.WriteBool(row.Name, list.*field);
        else if constexpr (std::is_same_v<Field, text::TDateTime tDefaultsList::*>)
          return key.WriteDateTime(row.Name, StorableDate(row, list.*field));
        else
          return true;
      },
      row.Field);
}

}  // namespace trawler::settings
