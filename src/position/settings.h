// The engine settings and the log stream: set by the front end (defaults,
// the configuration file, UCI options), read by every layer.
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

}  // namespace mavo
