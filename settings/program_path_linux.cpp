#include <unistd.h>

#include <climits>

#include "convert/utf.h"
#include "settings/channel_settings.h"

std::u16string ProgramPath() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return {};
  return Utf8ToUtf16(std::string_view(path, static_cast<size_t>(n)));
}
