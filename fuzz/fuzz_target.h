// The entry point every fuzz target provides: to libFuzzer in the fuzzing
// build, to the corpus replay everywhere else.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
