// What every benchmark program here measures besides time: how a call
// compares with memcpy of the same bytes in the same run, and how many heap
// allocations it makes. Include it in one source file of a program only: it
// replaces the global allocation functions.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

// Counting replacements of the global allocation functions. GCC takes the
// free() on memory from the replaced new for a mismatch; here it is not one.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace qshe::bench {
inline std::atomic<long> allocations{0};
}

void* operator new(size_t n) {
  qshe::bench::allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace qshe::bench {

using Clock = std::chrono::steady_clock;

// Nanoseconds for one memcpy of `bytes` between the very memory the
// operation reads and writes, best of several rounds.
inline double MemcpyNanos(uint8_t* to, const uint8_t* from, size_t bytes) {
  double best = 1e30;
  for (int round = 0; round < 20; ++round) {
    constexpr int kCopies = 200;
    auto start = Clock::now();
    for (int i = 0; i < kCopies; ++i) {
      std::memcpy(to, from, bytes);
      benchmark::ClobberMemory();
    }
    best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kCopies);
  }
  return best;
}

// Runs `body` for the benchmark's iterations and reports its time per call
// over memcpy of `bytes`, and its allocations per call.
template <typename Body>
void Measure(benchmark::State& state, uint8_t* to, const uint8_t* from, size_t bytes, Body body) {
  double memcpyNanos = MemcpyNanos(to, from, bytes);
  long allocs = 0;
  auto start = Clock::now();
  for (auto _ : state) {
    long before = allocations.load(std::memory_order_relaxed);
    body();
    allocs += allocations.load(std::memory_order_relaxed) - before;
  }
  double nanos = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  double calls = static_cast<double>(state.iterations());
  state.counters["x_memcpy"] = nanos / calls / memcpyNanos;
  state.counters["memcpy_us"] = memcpyNanos / 1000;
  state.counters["allocs"] = static_cast<double>(allocs) / calls;
}

}  // namespace qshe::bench
