#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "convert/utf.h"
#include "settings/settings_location.h"

bool SettingsFileExists(std::u16string_view path) {
  struct stat st {};
  return lstat(Utf16ToUtf8(path).c_str(), &st) == 0;
}

bool FolderWritable(std::u16string_view folder) {
  return access(Utf16ToUtf8(folder).c_str(), W_OK | X_OK) == 0;
}

std::u16string UserSettingsPath() {
  // The XDG base directories: $XDG_CONFIG_HOME, by default ~/.config.
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    base = std::string(home) + "/.config";
  }
  return Utf8ToUtf16(base + "/quarn2dif/quarn2dif.ini");
}
