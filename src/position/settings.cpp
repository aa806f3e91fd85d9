#include "position/settings.h"

namespace mavo {

EngineSettings settings;
std::FILE* logFile = nullptr;

}  // namespace mavo
