#include "app/program_state.h"

#include <algorithm>

ExportResult ExportTable(ProgramState& state, const ProgressCallback& setProgress) {
  const int32_t columns = state.log.ColumnCount;
  state.TupleWidth = 1;  // the time column, whatever its box says
  for (int32_t k = 1; k < std::min(columns, kChannelSlots); ++k) {
    if (state.table[k].Enabled != 0) ++state.TupleWidth;
  }
  DeriveLabels(state.table, columns);
  return DifExport(state.LogPath, state.log.LogRows, columns, state.table, state.TupleWidth,
                   setProgress);
}
