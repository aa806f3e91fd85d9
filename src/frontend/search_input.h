// The front ends' input check during a search, handed to the search as its
// hook: what a line that arrives while the engine thinks means. No line is
// lost: a line the search does not use up waits and is served after it.
#pragma once

#include <string_view>

namespace mavo {

enum class LineDuringSearch {
  Waits,         // served by the command loop after the search
  EndsAndWaits,  // ends the search, then served
  Ends,          // ends the search and is used up: a stop
  Answered,      // answered at once and used up
};

// How a front end takes a line (without its line end) during a search.
using SearchLinePolicy = LineDuringSearch (*)(std::string_view line);

// What every front end agrees on: a first word beginning with "sto", "exi"
// or "top" is a stop; one beginning with "pos" (a new position) ends the
// search and is served after it; other lines wait.
LineDuringSearch commonLineRole(std::string_view line);

// Looks at every line that has arrived, in order, logging each. Returns 1
// when the search must stop: a line ended it, input has ended while the
// search has no limit of its own, standard output is closed, or the lines
// waiting fill the input buffer.
int pollSearchInput(SearchLinePolicy policy);

// The console's checks: during a reply lines wait (a stop ends it, and so
// does a position, as everywhere); any line ends "analyze".
int consoleInputCheck();
int analysisInputCheck();

}  // namespace mavo
