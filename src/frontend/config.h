// Engine settings, the configuration file and the log file.
#pragma once

#include <cstdio>

namespace mavo {

struct EngineSettings {
  int nullMoveReduction = 1;
  int loggingEnabled = 0;
  char logFileName[250] = "Mavo.log";
  int ownBook = 0;
  int bookDepth = 0;
  int hashSize = 0;
};

extern EngineSettings settings;

// The one log stream; null while logging is off.
extern std::FILE* logFile;

// Start values of every setting (piece values included).
void resetSettings();

// Reads "Mavo.cfg" from the working directory into the settings, printing
// its warning or loading text. Returns 1 when closing the file failed.
int readConfigFile();

// Creates the log file and writes its start-up block. Returns false when the
// file cannot be created.
bool openLog();

}  // namespace mavo
