#include "frontend/search_input.h"

#include "frontend/config.h"
#include "platform/platform.h"
#include "search/search.h"

namespace mavo {

namespace {

std::string_view firstWord(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  line.remove_prefix(start);
  return line.substr(0, line.find_first_of(" \t"));
}

LineDuringSearch analysisLineRole(std::string_view line) {
  const LineDuringSearch role = commonLineRole(line);
  return role == LineDuringSearch::Ends ? role : LineDuringSearch::EndsAndWaits;
}

}  // namespace

LineDuringSearch commonLineRole(std::string_view line) {
  const std::string_view word = firstWord(line);
  const std::string_view prefix = word.substr(0, 3);
  if (prefix == "sto" || prefix == "exi" || prefix == "top") return LineDuringSearch::Ends;
  if (prefix == "pos") return LineDuringSearch::EndsAndWaits;
  return LineDuringSearch::Waits;
}

int pollSearchInput(SearchLinePolicy policy) {
  // Nobody can receive the result any more: searching on would be for no one.
  if (outputClosed()) {
    setDeadline(0);
    return 1;
  }
  // The search is only unwinding after a stop: what came after the stop
  // waits for the command loop.
  if (searchState.stopFlag) return 1;
  if (!inputAvailable()) return 0;
  for (;;) {
    const char* text;
    int length;
    const int found = peekLine(&text, &length);
    if (found == 0) return 0;
    if (found == -1) return searchLimits.unlimited ? 1 : 0;
    if (found == -2) {
      setDeadline(0);
      return 1;
    }
    const std::string_view line(text, static_cast<size_t>(length));
    logReceived(line, true);
    const LineDuringSearch role = policy(line);
    if (role == LineDuringSearch::Ends || role == LineDuringSearch::Answered)
      takePeekedLine();
    else
      setPeekedLineAside();
    if (role == LineDuringSearch::Ends || role == LineDuringSearch::EndsAndWaits) {
      setDeadline(0);
      return 1;
    }
  }
}

int consoleInputCheck() { return pollSearchInput(commonLineRole); }
int analysisInputCheck() { return pollSearchInput(analysisLineRole); }

}  // namespace mavo
