#include "bench/allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

// Qt may allocate on threads of its own; relaxed atomics keep the count whole at little cost.
std::atomic<std::uint64_t> allocations{0};
std::atomic<std::uint64_t> allocatedBytes{0};

void* allocate(std::size_t size, std::size_t alignment) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  allocatedBytes.fetch_add(size, std::memory_order_relaxed);
  if (size == 0) size = 1;
  void* p = nullptr;
  if (alignment <= alignof(std::max_align_t)) {
    p = std::malloc(size);
  } else {
    // aligned_alloc wants a size that is a multiple of the alignment.
    p = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  }
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

AllocationCounter::AllocationCounter()
    : count_(allocations.load(std::memory_order_relaxed)),
      bytes_(allocatedBytes.load(std::memory_order_relaxed)) {}

void AllocationCounter::pause() {
  pausedCount_ = allocations.load(std::memory_order_relaxed);
  pausedBytes_ = allocatedBytes.load(std::memory_order_relaxed);
}

void AllocationCounter::resume() {
  count_ += allocations.load(std::memory_order_relaxed) - pausedCount_;
  bytes_ += allocatedBytes.load(std::memory_order_relaxed) - pausedBytes_;
}

void AllocationCounter::report(benchmark::State& state) const {
  const auto count = allocations.load(std::memory_order_relaxed) - count_;
  const auto bytes = allocatedBytes.load(std::memory_order_relaxed) - bytes_;
  state.counters["allocs"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
  state.counters["alloc_bytes"] = benchmark::Counter(
      static_cast<double>(bytes), benchmark::Counter::kAvgIterations, benchmark::Counter::kIs1024);
}

// The array and nothrow forms of the standard library call these two.
void* operator new(std::size_t size) {
  return allocate(size, alignof(std::max_align_t));
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
