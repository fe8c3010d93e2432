// The program's stages, from the defaults to the saved settings.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/program_state.h"

// What the stages need from the desktop.
struct Frontend {
  // The file-open dialog: the chosen path, or "" when cancelled.
  std::function<std::u16string()> chooseLog;
  // Shows the settings window and runs its event loop until a close event;
  // false when no window could be created.
  std::function<bool(ProgramState&)> runWindow;
};

// Runs one start of the program; the exit code, 0 on every path.
int RunStages(const Frontend& frontend, std::u16string_view settingsPath);
