// The keeper of an ini-style settings file: reads it whole into an ordered
// list of entries, answers reads and takes writes by group and key, and when
// it closes writes every entry back, the ones it never touched included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_file.h"

enum class SettingsMode {
  ReadWrite,  // ours to rewrite; held so that a second copy of the program cannot
  ReadOnly,   // its values are used, it is never written
  Absent,     // missing or unreadable; created at close when something was written
};

struct SettingsEntry {
  enum class Kind { Group, Comment, Key };
  Kind kind = Kind::Key;
  std::u16string name;  // the group's name, the comment's text or the key
  std::u16string value;
};

struct SettingsStore {
  bool isOpen = false;
  SettingsMode mode = SettingsMode::Absent;
  SettingsFile file;
  std::u16string path;
  std::vector<SettingsEntry> entries;
  std::optional<size_t> selected;  // index of the selected group's header
  std::optional<std::u16string> pendingGroup;
  bool modified = false;
};

// True in ReadWrite and ReadOnly mode, false when the file is absent.
bool OpenSettings(SettingsStore& store, std::u16string_view path);
bool SelectGroup(SettingsStore& store, std::u16string_view name);
int32_t ReadSettingInt(const SettingsStore& store, std::u16string_view key, int32_t fallback);
std::u16string ReadSettingText(const SettingsStore& store, std::u16string_view key,
                               std::u16string_view fallback);
void WriteSettingInt(SettingsStore& store, std::u16string_view key, int32_t value);
void WriteSettingText(SettingsStore& store, std::u16string_view key, std::u16string_view value);
// Writes the file when something was written and the mode allows it; false
// only when such a write failed (the old file is then kept as it was).
bool CloseSettings(SettingsStore& store);

// The two halves of the store's file handling, for tests and fuzzing.
std::vector<SettingsEntry> ParseSettings(std::string_view fileBytes);
std::string SettingsFileBytes(const std::vector<SettingsEntry>& entries);
