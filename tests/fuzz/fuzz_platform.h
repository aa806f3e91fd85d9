// Shared by the fuzz targets: the platform layer they link serves a fuzz
// input as standard input (see fuzz_platform.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace mavo::fuzz {

// Once per process: output to /dev/null, a fresh temporary working
// directory (removed at exit).
void setUp();

// Standard input of the next run: the bytes given, then its end.
void setInput(const uint8_t* data, size_t size);

}  // namespace mavo::fuzz
