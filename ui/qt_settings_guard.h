#pragma once

// The program writes nothing but its exports and its own settings file: Qt
// gets no place to keep settings of its own (the colour dialog's custom
// colours, for one). Call before the application object exists.
void KeepQtFromStoringSettings();
