#include "app/stage_driver.h"

#include "settings/channel_settings.h"

int RunStages(const Frontend& frontend, std::u16string_view settingsPath) {
  ProgramState state;
  ApplyDefaults(state.table);

  state.LogPath = frontend.chooseLog();
  if (state.LogPath.empty()) return 0;  // cancelled: nothing is read or written

  if (!ReadLog(state.LogPath, state.log, state.table)) return 0;

  SettingsStore store;
  LoadChannelSettings(store, settingsPath, state.table, state.log.ColumnCount);

  // Without a window the settings are still written back, as loaded.
  frontend.runWindow(state);

  SaveChannelSettings(store, state.table, state.log.ColumnCount);
  return 0;
}
