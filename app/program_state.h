// The values that live from their stage to the end of the program.
#pragma once

#include <cstdint>
#include <string>

#include "app/channel_table.h"
#include "convert/dif_export.h"
#include "convert/log_reader.h"

struct ProgramState {
  ChannelTable table;
  std::u16string LogPath;
  LogData log;  // LogHeader, ColumnCount, LogRows
  int32_t TupleWidth = 0;
};

// What "Convert" does once the window's texts are in the table: counts the
// tuple width, renews every label and writes the export.
ExportResult ExportTable(ProgramState& state, const ProgressCallback& setProgress);
