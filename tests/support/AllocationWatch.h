#pragma once
// Watches the largest block of memory a piece of work asks the C library for, by standing in for
// its allocator in the test program that links this unit (not under a sanitizer, which stands in
// for it itself). A reader asking for gigabytes because a file says so is at fault even where the
// system refuses the request and nothing crashes.
#include <cstddef>
#include <functional>

namespace zz::test {

// Whether requests can be watched in this build.
bool allocationsWatched();
// The largest block asked for while `work` runs; 0 when requests are not watched.
std::size_t largestAllocation(const std::function<void()>& work);

} // namespace zz::test
