// Writes the log's rows as DIF files beside the log: one file for up to
// 65536 rows, numbered files of 65536 rows each for a longer log.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/channel_table.h"
#include "convert/log_rows.h"

inline constexpr int64_t kRowsPerFile = 65536;

struct ExportResult {
  bool Ok = true;
  std::vector<std::u16string> Written;  // the files finished, in order
  std::u16string FailedFile;            // set when Ok is false
  std::u16string Reason;                // the system's reason for the failure
};

// Called with the number of rows written so far, over all files: at every
// 100th row and at the end of each file.
using ProgressCallback = std::function<void(int32_t rowsWritten)>;

// The export stops at the first file that cannot be written; files finished
// before it stay.
ExportResult DifExport(std::u16string_view logPath, const RowList& logRows,
                       int32_t columnCount, const ChannelTable& table, int32_t tupleWidth,
                       const ProgressCallback& setProgress);

// The file names an export of rowCount rows writes, in order.
std::vector<std::u16string> ExportFileNames(std::u16string_view logPath, size_t rowCount);
