#include "docs/docs_file_load.h"

#include <utility>

#include "docs/docs_file.h"

namespace korvane {

std::shared_ptr<const DocumentationSet> LoadDocumentationSetFile(FileSystem& files, const Text& path,
                                                                 DocsLoadError* error) {
  const auto fail = [error](DocsLoadError reason) {
    if (error != nullptr) *error = reason;
    return nullptr;
  };
  if (path.empty()) return fail(DocsLoadError::Unreadable);
  const FileContent content = files.ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) return fail(DocsLoadError::Unreadable);
  std::optional<DocumentationSet> set = ReadDocumentationSet(content.bytes);
  if (!set) return fail(DocsLoadError::NotADocumentationSet);
  if (error != nullptr) *error = DocsLoadError::None;
  return std::make_shared<const DocumentationSet>(std::move(*set));
}

}  // namespace korvane
