// Folder and stem of a path. Slash and backslash both separate folders.
// On POSIX "|" and the double quote are ordinary file-name characters, so
// neither cuts a path here: the output must land beside the log, under the
// log's own name.
#pragma once

#include <string>
#include <string_view>

// The folder with its trailing separator, or "" when there is none.
std::u16string DirectoryOf(std::u16string_view path);
// The file name without its extension.
std::u16string StemOf(std::u16string_view path);
