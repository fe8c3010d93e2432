// Reads the whole log once: the header line, the number of its columns and
// the data lines after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/channel_table.h"
#include "convert/log_rows.h"

// The table holds a time column and nine data columns; columns of a longer
// header are ignored after the tenth.
inline constexpr int32_t kMaxColumns = kChannelSlots;

struct LogData {
  std::u16string LogHeader;
  int32_t ColumnCount = 0;  // 0 until a header is found
  RowList LogRows;
};

// False when the file cannot be opened; nothing has changed then. Otherwise
// the log is read to its end, the data channels of the table are named from
// the header, and the result is true (also for a log without a header).
bool ReadLog(std::u16string_view path, LogData& log, ChannelTable& table);
