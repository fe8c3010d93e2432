// Writes a realistic logger log: a header of ten columns, then one row every
// 10 ms with values like the logger's, CR LF line ends.
#pragma once

#include <cstdint>
#include <string>

// False when the file cannot be written.
bool WriteBenchLog(const std::string& path, int64_t rows);
