// The configuration file and the log file's creation.
#pragma once

#include "position/settings.h"

namespace mavo {

// Start values of every setting (piece values included).
void resetSettings();

// Reads "Mavo.cfg" from the working directory into the settings, printing
// its warning or loading text. Returns 1 when closing the file failed.
int readConfigFile();

// Creates the log file and writes its start-up block. Returns false when the
// file cannot be created.
bool openLog();

}  // namespace mavo
