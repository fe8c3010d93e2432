#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "convert/log_file.h"
#include "convert/utf.h"

bool OpenLogFile(std::u16string_view path, LogFile& file) {
  const std::string name = Utf16ToUtf8(path);
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // Another program holding the lock may still be writing the log. A file
  // system without locks is no reason to refuse it.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    close(fd);
    return false;
  }
  file.fd = fd;
  return true;
}

int64_t LogFileSize(const LogFile& file) {
  struct stat st {};
  return fstat(file.fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

size_t ReadLogBytes(LogFile& file, unsigned char* buffer, size_t capacity) {
  for (;;) {
    const ssize_t n = read(file.fd, buffer, capacity);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) return 0;
  }
}

void CloseLogFile(LogFile& file) {
  if (file.fd >= 0) close(file.fd);  // closing also releases the lock
  file.fd = -1;
}

std::u16string LogOpenFailure(std::u16string_view path) {
  const std::string name = Utf16ToUtf8(path);
  struct stat st {};
  if (stat(name.c_str(), &st) != 0) return Utf8ToUtf16(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return u"not a regular file";
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Utf8ToUtf16(std::strerror(errno));
  close(fd);
  return u"in use by another program";
}
