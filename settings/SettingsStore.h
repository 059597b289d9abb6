// Reading and writing the settings record from and to the settings file.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <string>

#include "base/Clock.h"
#include "settings/SettingsTable.h"
#include "settings/ToolSettings.h"

namespace velmo {

// Section of the settings file.
inline constexpr const char* kSettingsSection = "Setting";

// How many keys section "Setting" stores: one for each row of the table.
inline constexpr std::size_t kSettingsKeyCount = std::size(kSettingRows);

// The stored keys of section "Setting", in the order they are read and written.
const std::array<const char*, kSettingsKeyCount>& SettingsKeys();

// Fills `settings` from the file at `path`; missing keys take their defaults.
// Never writes the file. `clock` gives the moment used when the stored
// auto-disconnect time cannot be parsed.
void LoadSettings(ToolSettings& settings, const std::string& path, Clock& clock);

// Writes every stored key to the file at `path`, keeping every other line.
// False when the file could not be written (the old file is then unchanged);
// `reason` then receives the system's text for the failure, when given.
bool SaveSettings(const ToolSettings& settings, const std::string& path, std::string* reason = nullptr);

}  // namespace velmo
