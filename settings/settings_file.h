// The settings file on disk. One implementation per platform.
#pragma once

#include <string>
#include <string_view>

struct SettingsFile {
  int fd = -1;
};

enum class SettingsAccess { Writable, ReadOnly, Unavailable };

// Opens an existing settings file and reads it whole into bytes. Writable:
// opened for writing and held so that no other copy of the program writes it
// meanwhile. ReadOnly: it cannot be written, or another copy holds it.
// Unavailable: missing, not a regular file, or unreadable.
SettingsAccess OpenSettingsFile(std::u16string_view path, SettingsFile& file, std::string& bytes);

// Replaces the content of the file at path (at a symbolic link's target) by
// bytes, or creates it: the bytes go to a temporary in the same folder, which
// is flushed and renamed over the file, keeping its permissions. On any
// failure the temporary is removed and the old file stays as it was.
bool ReplaceSettingsFile(std::u16string_view path, const std::string& bytes);

void CloseSettingsFile(SettingsFile& file);
