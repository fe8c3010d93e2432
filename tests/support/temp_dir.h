// Helpers shared by the suites: a scratch folder, whole-file reads and
// writes, and running a piece of a test in a child process.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Free space in the folder's file system, in bytes.
unsigned long long FreeBytes(const std::string& folder);

// Runs body in a forked child and gives its exit code (body's result), or -1
// when the child died. Writes done there stay on disk; the parent checks them.
int RunInChild(const std::function<int()>& body);
// A file-size limit for the calling process; writes beyond it fail with EFBIG.
void LimitFileSize(long bytes);
// Drops root to an unprivileged user, so that permission bits take effect.
bool DropPrivileges();
