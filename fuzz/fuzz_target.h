// What every fuzz target provides to the driver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Valid inputs the driver starts its mutations from.
const std::vector<std::vector<uint8_t>>& FuzzSeeds();
