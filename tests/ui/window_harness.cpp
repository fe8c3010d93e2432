#include "window_harness.h"

#include "convert/utf.h"

std::string WriteLog(const TempDir& dir, const std::string& name, const std::vector<std::string>& columns,
                     int rows) {
  std::string text = "\"Time\"";
  for (const std::string& c : columns) text += ",\"" + c + "\"";
  text += "\r\n";
  for (int r = 0; r <= rows; ++r) {  // one more: the last line is never used
    text += "12:00:00.000";
    for (size_t c = 0; c < columns.size(); ++c) text += "," + std::to_string(r * 10 + static_cast<int>(c));
    text += "\r\n";
  }
  const std::string path = dir.File(name);
  WriteBytes(path, text);
  return path;
}

OpenWindow::OpenWindow(const std::vector<std::string>& columns, int rows, bool withHeader) {
  std::string path = WriteLog(dir, "log.csv", columns, rows);
  if (!withHeader) WriteBytes(path, "no header here\r\n1\r\n2\r\n");
  ApplyDefaults(state.table);
  state.LogPath = Utf8ToUtf16(path);
  ReadLog(state.LogPath, state.log, state.table);
  window = std::make_unique<SettingsWindow>(state);
}
