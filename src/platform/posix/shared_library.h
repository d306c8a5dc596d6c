#pragma once
// Libraries opened when first needed instead of linked. A linked library, and everything it pulls in,
// is loaded and relocated at every start of the program: libcurl costs every korvane-cli command about
// 3 ms and libclang about 17 ms, though only the lookup and `docs build` use them.
//
// The functions of such a library are pointers of the same names in namespace korvane: code there calls
// `curl_easy_init()` as usual and, because ordinary lookup finds the pointer first, calls the opened
// library.

#include <dlfcn.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace korvane {

// The first of `files` (a path or a library's versioned name) that opens; nullptr and `problem` set
// when none does.
inline void* OpenSharedLibrary(std::initializer_list<const char*> files, std::string& problem) {
  for (const char* file : files) {
    if (file == nullptr || *file == '\0') continue;
    if (void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL)) return library;
    const char* reason = dlerror();
    problem = reason != nullptr ? reason : std::string(file) + ": cannot be opened";
  }
  return nullptr;
}

// Points `function` at `name` in `library`; a missing name is added to `missing`.
template <typename Pointer>
void FindSharedFunction(void* library, const char* name, Pointer& function, std::string& missing) {
  function = reinterpret_cast<Pointer>(dlsym(library, name));
  if (function == nullptr) missing += (missing.empty() ? "" : ", ") + std::string(name);
}

// Opens the first of `files` that opens and lets `find(library, missing)` point every function at its
// symbol (FindSharedFunction). Empty when all are there; otherwise why not, led by `what` ("libcurl").
template <typename Find>
std::string OpenSharedFunctions(std::string_view what, std::initializer_list<const char*> files, Find find) {
  std::string problem;
  void* library = OpenSharedLibrary(files, problem);
  if (library == nullptr) return std::string(what) + " could not be opened: " + problem;
  std::string missing;
  find(library, missing);
  return missing.empty() ? std::string() : std::string(what) + " lacks " + missing;
}

}  // namespace korvane
