// The data channels of the table in the settings file: group "Channel1" for
// slot 1 and so on, six keys each. The time column is never stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/channel_table.h"
#include "settings/settings_store.h"

// Opens the store at path and lays its values over slots 1 to
// columnCount - 1; the store stays open until the save.
void LoadChannelSettings(SettingsStore& store, std::u16string_view path, ChannelTable& table,
                         int32_t columnCount);
// Writes slots 1 to columnCount - 1 into the store and closes it, which
// writes the file. False when that write failed.
bool SaveChannelSettings(SettingsStore& store, const ChannelTable& table, int32_t columnCount);

// Beside the program, named after it: /opt/tools/quarn2dif -> /opt/tools/quarn2dif.ini
std::u16string SettingsPath(std::u16string_view programPath);
// The full path of the running program's own file, or "" when unknown.
std::u16string ProgramPath();
