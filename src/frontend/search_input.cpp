#include "frontend/search_input.h"

#include <cstring>

#include "frontend/config.h"
#include "platform/platform.h"
#include "search/search.h"

namespace mavo {

namespace {

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

}  // namespace

int pollSearchInput(void (*otherLine)(const char* line)) {
  // Nobody can receive the result any more: searching on would be for no one.
  if (outputClosed()) {
    setDeadline(0);
    return 1;
  }
  // The search is only unwinding after a stop: lines that came with the
  // stop line wait for the command loop.
  if (searchState.stopFlag) return 1;
  if (!inputAvailable()) return 0;
  char text[256];
  int len = pollLine(text, sizeof text);
  if (len < 0) return searchLimits.unlimited ? 1 : 0;
  if (len == 0) return 0;
  text[std::strcspn(text, "\n")] = '\0';
  logReceived(text, true);
  if (startsWith(text, "exi") || startsWith(text, "sto") || startsWith(text, "pos") || startsWith(text, "top")) {
    setDeadline(0);
    return 1;
  }
  if (otherLine) otherLine(text);
  return 0;
}

int consoleInputCheck() { return pollSearchInput(nullptr); }

}  // namespace mavo
