// The UCI protocol loop: serves a chess GUI until "quit" or the end of input.
#pragma once

namespace mavo {

void uciLoop();

}  // namespace mavo
