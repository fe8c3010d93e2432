#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "convert/output_file.h"
#include "convert/utf.h"

namespace {

void Fail(OutputFile& file) {
  if (file.error == 0) file.error = errno != 0 ? errno : EIO;
}

void RemoveTemporary(OutputFile& file) {
  if (file.fd >= 0) close(file.fd);
  file.fd = -1;
  if (!file.tempName.empty()) unlink(file.tempName.c_str());
  file.tempName.clear();
}

}  // namespace

bool CreateOutput(std::u16string_view finalPath, OutputFile& file) {
  file = OutputFile{};
  file.finalName = Utf16ToUtf8(finalPath);
  const size_t slash = file.finalName.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  // A hidden name in the same folder, so that the rename stays on one file system.
  const std::string stem = file.finalName.substr(0, nameStart) + "." +
                           file.finalName.substr(nameStart) + ".part-" +
                           std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = stem + std::to_string(attempt);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      file.fd = fd;
      file.tempName = std::move(name);
      return true;
    }
    if (errno != EEXIST) break;
  }
  Fail(file);
  return false;
}

bool WriteOutput(OutputFile& file, const char* data, size_t size) {
  while (file.error == 0 && size > 0) {
    const ssize_t n = write(file.fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(file);
    } else {
      data += n;
      size -= static_cast<size_t>(n);
    }
  }
  return file.error == 0;
}

bool CommitOutput(OutputFile& file) {
  if (file.fd < 0 && file.error == 0) {
    errno = EBADF;
    Fail(file);
  }
  if (file.error == 0) {
    // Only a file that replaces another must reach the disk before the rename:
    // after a crash the old content is then either whole or replaced by the new.
    struct stat st {};
    if (lstat(file.finalName.c_str(), &st) == 0 && fsync(file.fd) != 0) Fail(file);
  }
  if (file.fd >= 0) {
    if (close(file.fd) != 0 && file.error == 0) Fail(file);
    file.fd = -1;
  }
  if (file.error == 0 && rename(file.tempName.c_str(), file.finalName.c_str()) != 0) Fail(file);
  if (file.error != 0) {
    RemoveTemporary(file);
    return false;
  }
  file.tempName.clear();
  return true;
}

std::u16string OutputFailureReason(const OutputFile& file) {
  return Utf8ToUtf16(std::strerror(file.error));
}
