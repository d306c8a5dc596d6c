#pragma once
// The walk of a batch lookup, shared by the window and the command line: which record is looked up
// next, library by library, and how far the batch has come. The caller runs each lookup its own way (the
// window from its event loop, the command line to its end in place) and tells the walk when one ended.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"

namespace korvane {

// Where a batch stands: `done` of `total` functions passed, `current` the one being looked up (empty
// before the first and once the batch has ended).
struct BatchProgress {
  int done = 0;
  int total = 0;
  Text current;
};

class BatchWalk {
 public:
  // The batch over the libraries `keys` (in that order; keys the catalogue lacks are passed over), each
  // checked function and, with `skipFilled`, only those without a return type. The total is counted now;
  // a lookup may settle a later function (an ANSI/wide relative gets its return type) or make one take
  // part (a relative gets ticked), and the count follows as the walk reaches it.
  BatchWalk(Catalogue& catalogue, std::vector<Text> keys, bool skipFilled);

  // Moves on to the next library; its index in `keys`, or nothing when every library has been walked.
  std::optional<std::size_t> NextLibrary();
  // The next record of the current library that the batch takes (asked when it is reached, since the
  // lookups before it change records); nothing when the library has none left.
  std::optional<std::size_t> NextRecord();
  // The lookup of the record NextRecord gave has ended.
  void Done();

  const Text& Key(std::size_t library) const { return keys_[library]; }
  const BatchProgress& Progress() const { return progress_; }

 private:
  Catalogue& catalogue_;
  std::vector<Text> keys_;
  bool skipFilled_;
  std::vector<std::vector<bool>> counted_;  // per library and record: counted in the total at the start
  std::optional<std::size_t> library_;
  std::size_t record_ = 0;
  BatchProgress progress_;
};

// "hh:mm:ss" for a duration in milliseconds (a negative one counts as none).
std::string ClockText(std::int64_t milliseconds);

// How long the whole batch should take at the pace so far; 0 until a function has been done.
std::int64_t EstimatedTotalMilliseconds(const BatchProgress& progress, std::int64_t elapsedMilliseconds);

}  // namespace korvane
