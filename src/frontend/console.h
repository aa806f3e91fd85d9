// The console command loop: the program's start-up and the commands a
// person types.
#pragma once

namespace mavo {

// Start-up steps and the command loop; returns the exit status (always 0).
int runConsole();

}  // namespace mavo
