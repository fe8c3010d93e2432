#include "support/temp_dir.h"

#include <signal.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quarn2dif-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // A test may have left folders without write permission behind.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

unsigned long long FreeBytes(const std::string& folder) {
  struct statvfs fs {};
  if (statvfs(folder.c_str(), &fs) != 0) return 0;
  return static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
}

int RunInChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void LimitFileSize(long bytes) {
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit {};
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  limit.rlim_max = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

bool DropPrivileges() {
  if (geteuid() != 0) return true;
  const gid_t nobodyGroup = 65534;
  const uid_t nobody = 65534;
  return setgroups(0, nullptr) == 0 && setgid(nobodyGroup) == 0 && setuid(nobody) == 0;
}
