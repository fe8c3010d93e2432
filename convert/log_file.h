// Reading the log: an existing regular file, opened for reading and held
// without sharing while it is read. One implementation per platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct LogFile {
  int fd = -1;
};

// False for a file that is missing, unreadable, not a regular file, or held
// by another program.
bool OpenLogFile(std::u16string_view path, LogFile& file);
// The size on disk, as a hint for how much memory the lines will need.
int64_t LogFileSize(const LogFile& file);
// Bytes read into buffer; 0 at the end. A read error counts as the end.
size_t ReadLogBytes(LogFile& file, unsigned char* buffer, size_t capacity);
void CloseLogFile(LogFile& file);
// Why a log cannot be opened, in the system's words, for messages.
std::u16string LogOpenFailure(std::u16string_view path);
