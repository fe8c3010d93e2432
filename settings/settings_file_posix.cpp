#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "convert/utf.h"
#include "settings/settings_file.h"

namespace {

bool ReadAll(int fd, std::string& bytes) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;  // the file shrank meanwhile
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return true;
}

bool SameFile(int fd, const std::string& name) {
  struct stat open {};
  struct stat now {};
  return fstat(fd, &open) == 0 && stat(name.c_str(), &now) == 0 && open.st_dev == now.st_dev &&
         open.st_ino == now.st_ino;
}

// The file a save must replace: a symbolic link's target, not the link.
std::string SaveTarget(const std::string& name) {
  struct stat st {};
  if (lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
  char resolved[PATH_MAX];
  if (realpath(name.c_str(), resolved) != nullptr) return resolved;
  // A dangling link: create its target.
  char target[PATH_MAX];
  const ssize_t n = readlink(name.c_str(), target, sizeof(target) - 1);
  if (n <= 0) return name;
  target[n] = '\0';
  if (target[0] == '/') return target;
  const size_t slash = name.rfind('/');
  return (slash == std::string::npos ? std::string() : name.substr(0, slash + 1)) + target;
}

// Creates a missing folder and the missing folders above it, private to the
// user as the XDG folders are.
bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return true;
  struct stat st {};
  if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const size_t slash = folder.find_last_of('/', folder.size() > 1 ? folder.size() - 2 : 0);
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

SettingsAccess OpenSettingsFile(std::u16string_view path, SettingsFile& file, std::string& bytes) {
  const std::string name = Utf16ToUtf8(path);
  // A second copy of the program that saved meanwhile replaced the file: the
  // lock must be taken on the file that stands there now.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const int fd = open(name.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) break;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      // Held by another copy of the program: read it, never write it.
      const bool read = ReadAll(fd, bytes);
      close(fd);
      return read ? SettingsAccess::ReadOnly : SettingsAccess::Unavailable;
    }
    // A file system without locks is no reason to refuse the file.
    if (!SameFile(fd, name)) {
      close(fd);
      continue;
    }
    if (!ReadAll(fd, bytes)) {
      close(fd);
      return SettingsAccess::Unavailable;
    }
    file.fd = fd;
    return SettingsAccess::Writable;
  }
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return SettingsAccess::Unavailable;
  const bool read = ReadAll(fd, bytes);
  close(fd);
  return read ? SettingsAccess::ReadOnly : SettingsAccess::Unavailable;
}

bool ReplaceSettingsFile(std::u16string_view path, const std::string& bytes) {
  const std::string target = SaveTarget(Utf16ToUtf8(path));
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

  if (!MakeFolders(folder.empty() ? folder : folder.substr(0, folder.size() - 1))) return false;

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = folder + "." + base + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = true;
  struct stat old {};
  if (stat(target.c_str(), &old) == 0) {
    // The new file keeps the old one's permissions and, where we may, its owner.
    ok = fchmod(fd, old.st_mode & 07777) == 0;
    if (ok && (old.st_uid != geteuid() || old.st_gid != getegid())) {
      (void)fchown(fd, old.st_uid, old.st_gid);
    }
  }
  ok = ok && WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

void CloseSettingsFile(SettingsFile& file) {
  if (file.fd >= 0) close(file.fd);  // releases the hold on the file
  file.fd = -1;
}
