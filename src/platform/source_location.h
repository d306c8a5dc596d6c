#pragma once
// The place in the program's source that the running code last passed, for the fault report. Code marks
// its steps with KORVANE_HERE(); when the process faults, the report names the last mark reached.
//
// One location serves the whole process and any thread may read it, so it lives in two atomics. They
// are written with relaxed stores (the mark must cost next to nothing), so a reader racing a writer on
// another thread may see the new file with the old line; for a fault report that is good enough.

#include <atomic>

namespace korvane {

struct SourceLocation {
  const char* file;  // as the compiler spelt it, folders included; never null
  int line;          // 0 before the first mark
};

namespace source_location_detail {
inline std::atomic<const char*> file{""};
inline std::atomic<int> line{0};
}  // namespace source_location_detail

inline void SetCurrentSourceLocation(const char* file, int line) noexcept {
  source_location_detail::file.store(file, std::memory_order_relaxed);
  source_location_detail::line.store(line, std::memory_order_relaxed);
}

inline SourceLocation CurrentSourceLocation() noexcept {
  return {source_location_detail::file.load(std::memory_order_relaxed),
          source_location_detail::line.load(std::memory_order_relaxed)};
}

}  // namespace korvane

// Records this line of this file as the current source location.
#define KORVANE_HERE() ::korvane::SetCurrentSourceLocation(__FILE__, __LINE__)
