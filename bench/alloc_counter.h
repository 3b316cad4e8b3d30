#ifndef BRINMOOR_BENCH_ALLOC_COUNTER_H
#define BRINMOOR_BENCH_ALLOC_COUNTER_H

#include <cstddef>

// Counts the heap allocations made anywhere in the process (see alloc_counter.cpp), so a
// benchmark can report how many the code it times makes per call.
namespace bench {

std::size_t allocationCount();

} // namespace bench

#endif
