#include "app/program_state.h"

ExportResult ExportTable(ProgramState& state, const ProgressCallback& setProgress) {
  const int32_t columns = state.log.ColumnCount;
  state.TupleWidth = 1;  // the time column, whatever its box says
  for (int32_t k = 1; k < UsedSlots(columns); ++k) {
    if (state.table[k].Enabled != 0) ++state.TupleWidth;
  }
  DeriveLabels(state.table, columns);
  return DifExport(state.LogPath, state.log.LogRows, columns, state.table, state.TupleWidth,
                   setProgress);
}
