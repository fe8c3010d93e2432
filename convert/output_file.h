// Writing one export file so that a failure never destroys data: the bytes go
// to a temporary beside the final name, which replaces the final file only
// once everything was written and closed without error. One implementation
// per platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct OutputFile {
  int fd = -1;
  std::string finalName;
  std::string tempName;
  int error = 0;  // the first failure's system error number; 0 while all is well
};

// False when no temporary can be created beside finalPath.
bool CreateOutput(std::u16string_view finalPath, OutputFile& file);
// False once anything failed; later writes are skipped.
bool WriteOutput(OutputFile& file, const char* data, size_t size);
// Closes the temporary and moves it to the final name; on any failure the
// temporary is removed and a file of the final name keeps its old content.
bool CommitOutput(OutputFile& file);
// The system's words for the failure.
std::u16string OutputFailureReason(const OutputFile& file);
