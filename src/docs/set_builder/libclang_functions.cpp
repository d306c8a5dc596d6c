#include "docs/set_builder/libclang_functions.h"

#include <mutex>

#include "platform/posix/shared_library.h"

namespace korvane {

#define KORVANE_DEFINE_LIBCLANG_FUNCTION(name) decltype(&::name) name = nullptr;
KORVANE_LIBCLANG_FUNCTIONS(KORVANE_DEFINE_LIBCLANG_FUNCTION)
#undef KORVANE_DEFINE_LIBCLANG_FUNCTION

namespace {

// The library found when the program was configured; its versioned name as a second choice.
std::string OpenOnce() {
  return OpenSharedFunctions("libclang", {KORVANE_LIBCLANG_FILE, KORVANE_LIBCLANG_SONAME},
                             [](void* library, std::string& missing) {
#define KORVANE_FIND_LIBCLANG_FUNCTION(name) FindSharedFunction(library, #name, name, missing);
                               KORVANE_LIBCLANG_FUNCTIONS(KORVANE_FIND_LIBCLANG_FUNCTION)
#undef KORVANE_FIND_LIBCLANG_FUNCTION
                             });
}

}  // namespace

std::string OpenLibClang() {
  static std::once_flag once;
  static std::string problem;
  std::call_once(once, [] { problem = OpenOnce(); });
  return problem;
}

}  // namespace korvane
