#include "convert/path_ops.h"

namespace {

size_t AfterLastSeparator(std::u16string_view path) {
  const size_t sep = path.find_last_of(u"/\\");
  return sep == std::u16string_view::npos ? 0 : sep + 1;
}

}  // namespace

std::u16string DirectoryOf(std::u16string_view path) {
  return std::u16string(path.substr(0, AfterLastSeparator(path)));
}

std::u16string StemOf(std::u16string_view path) {
  const std::u16string_view name = path.substr(AfterLastSeparator(path));
  const size_t dot = name.rfind(u'.');
  // "run.old copy" and ".csv" keep their dots: only a real extension is cut.
  if (dot == std::u16string_view::npos || dot == 0 || dot + 1 == name.size() ||
      name.find(u' ', dot) != std::u16string_view::npos) {
    return std::u16string(name);
  }
  return std::u16string(name.substr(0, dot));
}
