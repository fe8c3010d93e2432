// Where the settings file lives. Beside the program when one stands there
// already or the program's folder is writable (a portable copy); otherwise,
// for a program installed where its user cannot write, in the user's
// configuration folder, so that nothing is forgotten between runs.
#pragma once

#include <string>
#include <string_view>

std::u16string ChooseSettingsPath(std::u16string_view programPath);

// The platform's part: whether a file exists, whether the user may create
// files in a folder, and the user's own file for the settings.
bool SettingsFileExists(std::u16string_view path);
bool FolderWritable(std::u16string_view folder);
std::u16string UserSettingsPath();  // "" when the user's folders are unknown
