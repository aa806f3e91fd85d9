// The configuration file and the log file's creation.
#pragma once

#include <cstdio>
#include <string_view>

#include "position/settings.h"

namespace mavo {

// Start values of every setting (piece values included).
void resetSettings();

// Reads "Mavo.cfg" from the working directory into the settings, printing
// its warning or loading text. Returns 1 when closing the file failed.
int readConfigFile();

// The ten piece values, one "\n<colour> <piece>: %d" line each, the black
// ones as positive numbers (the "values" command and the log's block).
void writePieceValues(std::FILE* out);

// The log record of a line received from the GUI (or typed during a
// search): the line as it came, and a newline when `endLine` (a line cut at
// its newline).
void logReceived(std::string_view line, bool endLine);

// Creates the log file and writes its start-up block. Returns false when the
// file cannot be created.
bool openLog();

}  // namespace mavo
