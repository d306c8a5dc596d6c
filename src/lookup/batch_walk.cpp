#include "lookup/batch_walk.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "lookup/lookup_machine.h"

namespace korvane {

BatchWalk::BatchWalk(Catalogue& catalogue, std::vector<Text> keys, bool skipFilled)
    : catalogue_(catalogue), keys_(std::move(keys)), skipFilled_(skipFilled) {
  for (const Text& key : keys_) {
    std::vector<bool>& marks = counted_.emplace_back();
    if (const LibraryEntry* entry = catalogue_.Find(key)) {
      for (const ApiFunction& record : entry->functions) marks.push_back(BatchTakes(record, skipFilled_));
      progress_.total += static_cast<int>(std::count(marks.begin(), marks.end(), true));
    }
  }
}

std::optional<std::size_t> BatchWalk::NextLibrary() {
  for (std::size_t next = library_ ? *library_ + 1 : 0; next < keys_.size(); ++next) {
    if (catalogue_.Find(keys_[next]) == nullptr) continue;
    library_ = next;
    record_ = 0;
    return next;
  }
  library_ = keys_.size();
  progress_.current.clear();
  return std::nullopt;
}

std::optional<std::size_t> BatchWalk::NextRecord() {
  if (!library_ || *library_ >= keys_.size()) return std::nullopt;
  const LibraryEntry* entry = catalogue_.Find(keys_[*library_]);
  if (entry == nullptr) return std::nullopt;
  const std::vector<bool>& marks = counted_[*library_];
  for (; record_ < entry->functions.size(); ++record_) {
    const bool wasCounted = record_ < marks.size() && marks[record_];
    if (!BatchTakes(entry->functions[record_], skipFilled_)) {
      if (wasCounted) ++progress_.done;
      continue;
    }
    if (!wasCounted) ++progress_.total;
    progress_.current = entry->functions[record_].Function;
    return record_++;
  }
  return std::nullopt;
}

void BatchWalk::Done() { progress_.done = std::min(progress_.done + 1, progress_.total); }

std::string ClockText(std::int64_t milliseconds) {
  const long long seconds = static_cast<long long>(std::max<std::int64_t>(milliseconds, 0) / 1000);
  char digits[32];
  std::snprintf(digits, sizeof digits, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return digits;
}

std::int64_t EstimatedTotalMilliseconds(const BatchProgress& progress, std::int64_t elapsedMilliseconds) {
  if (progress.done <= 0) return 0;
  return elapsedMilliseconds * std::max(progress.total, progress.done) / progress.done;
}

}  // namespace korvane
