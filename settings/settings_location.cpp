#include "settings/settings_location.h"

#include "convert/path_ops.h"
#include "settings/channel_settings.h"

std::u16string ChooseSettingsPath(std::u16string_view programPath) {
  const std::u16string beside = SettingsPath(programPath);
  if (SettingsFileExists(beside)) return beside;
  const std::u16string folder = DirectoryOf(programPath);
  if (FolderWritable(folder.empty() ? u"." : folder)) return beside;
  const std::u16string user = UserSettingsPath();
  return user.empty() ? beside : user;
}
