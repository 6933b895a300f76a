// Moving one row of the settings tables between the registry and a
// tDefaultsList: checking the stored value, reading it, writing it.
#pragma once

#include <cstdint>

#include "platform/registry.h"
#include "support/settings/defaults_list.h"
#include "support/settings/defaults_table.h"

namespace trawler::settings {

// The field of the row takes its default (a row whose default comes from the
// field, or a row without a field, is left alone).
void ApplyDefault(const SettingSpec &row, tDefaultsList &list);

// Makes the stored value fit the row: an obsolete value is deleted; a value of
// another type (or a date-time that is not a finite 8-byte number) is deleted
// and, like a missing one, created with its default unless the row says not
// to. True when the value was missing (or had to be replaced) before.
bool CheckValue(platform::RegKey &key, const SettingSpec &row, const tDefaultsList &list);

// Reads the stored value into the row's field, with the row's reading rules
// (empty text, zero, date above 0, valid range). A value that cannot be read
// leaves the field as it was.
void ReadValue(platform::RegKey &key, const SettingSpec &row, tDefaultsList &list);

// Writes the row's field; rows without a field are not written. True when
// written (or nothing was to be written).
bool WriteValue(platform::RegKey &key, const SettingSpec &row, const tDefaultsList &list);

// A stored number brought into the row's valid range.
std::int32_t BringIntoRange(const SettingSpec &row, std::int32_t value);

}  // namespace trawler::settings
