// A small mutation driver for the fuzz targets, so they run anywhere as plain
// test programs (and under the sanitizers in CI). Each target provides
// LLVMFuzzerTestOneInput and its seed inputs; the driver feeds it mutations of
// the seeds for a bounded number of rounds with a fixed random seed. Given
// file arguments, it runs exactly those files instead.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fuzz_target.h"

namespace {

std::vector<uint8_t> Mutate(std::vector<uint8_t> data, std::mt19937& rng) {
  static const uint8_t kInteresting[] = {0x00, 0x01, 0x02, 0x7F, 0x80, 0xFE, 0xFF, 0x10, 0x40};
  int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    switch (rng() % 6) {
      case 0:  // flip one bit
        if (!data.empty()) data[rng() % data.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 1:  // an interesting byte
        if (!data.empty()) data[rng() % data.size()] = kInteresting[rng() % sizeof kInteresting];
        break;
      case 2:  // truncate
        if (!data.empty()) data.resize(rng() % data.size());
        break;
      case 3:  // insert a few random bytes
        if (data.size() < (1u << 20)) {
          size_t at = data.empty() ? 0 : rng() % (data.size() + 1);
          size_t n = 1 + rng() % 16;
          std::vector<uint8_t> extra(n);
          for (auto& b : extra) b = static_cast<uint8_t>(rng());
          data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
        }
        break;
      case 4:  // random byte
        if (!data.empty()) data[rng() % data.size()] = static_cast<uint8_t>(rng());
        break;
      case 5:  // header bytes get extra attention
        if (!data.empty()) data[rng() % std::min<size_t>(data.size(), 32)] = static_cast<uint8_t>(rng());
        break;
    }
  }
  return data;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) != "--rounds") {
    for (int i = 1; i < argc; ++i) {
      std::ifstream in(argv[i], std::ios::binary);
      std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    return 0;
  }
  long rounds = argc > 2 ? std::atol(argv[2]) : 20000;
  const auto& seeds = FuzzSeeds();
  std::mt19937 rng(12345);
  for (const auto& s : seeds) LLVMFuzzerTestOneInput(s.data(), s.size());
  for (long r = 0; r < rounds; ++r) {
    auto data = Mutate(seeds[rng() % seeds.size()], rng);
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  std::printf("%ld rounds\n", rounds);
  return 0;
}
