#pragma once
// Reading a documentation set file through the file system, for the program and the command line.

#include <memory>

#include "docs/documentation_set.h"
#include "platform/file_system.h"

namespace korvane {

enum class DocsLoadError { None, Unreadable, NotADocumentationSet };

// The set in the file at `path`, shared by the page sources that answer from it; nullptr when the file
// cannot be read or is not a set this version reads (then `error` says which).
std::shared_ptr<const DocumentationSet> LoadDocumentationSetFile(FileSystem& files, const Text& path,
                                                                 DocsLoadError* error = nullptr);

}  // namespace korvane
