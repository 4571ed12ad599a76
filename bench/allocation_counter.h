#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

// Counts the allocations made through the global operator new from its construction on. The
// program's own replacement of operator new and delete, beside this class, feeds it.
class AllocationCounter {
 public:
  AllocationCounter();
  // Leaves out what is allocated from pause() to resume(), as State::PauseTiming does for time.
  void pause();
  void resume();
  // Adds "allocs" and "alloc_bytes" per iteration to the benchmark's counters.
  void report(benchmark::State& state) const;

 private:
  std::uint64_t count_;
  std::uint64_t bytes_;
  std::uint64_t pausedCount_ = 0;
  std::uint64_t pausedBytes_ = 0;
};
