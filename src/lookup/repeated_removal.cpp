#include "lookup/repeated_removal.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

// Polynomial hashes modulo 2^61 - 1 of the sweep's output, kept as prefix sums so that the hash of any
// suffix is one subtraction. A hash hit is always confirmed by comparing the texts.
constexpr std::uint64_t kModulus = (std::uint64_t{1} << 61) - 1;
constexpr std::uint64_t kBase = 1000003;
constexpr std::uint64_t kLengthMix = 0x9E3779B97F4A7C15ULL;

__extension__ typedef unsigned __int128 Wide;  // GCC and Clang, both targets

std::uint64_t MulMod(std::uint64_t a, std::uint64_t b) {
  const Wide product = static_cast<Wide>(a) * b;
  std::uint64_t folded = static_cast<std::uint64_t>(product & kModulus) + static_cast<std::uint64_t>(product >> 61);
  folded = (folded & kModulus) + (folded >> 61);
  return folded >= kModulus ? folded - kModulus : folded;
}

bool EndsWith(TextView text, TextView tail) { return !tail.empty() && text.ends_with(tail); }

// The step-by-step reading, replayed lazily. The output so far is a stack; openers not yet resolved are
// kept with their positions in it. At every closer the sweep decides what the repetitions would have
// done to the piece that ends there:
// - a piece that some earlier repetition cut out (the same text) is replaced in that repetition, unless
//   the piece only took its present form after that repetition: each pending opener carries the latest
//   repetition that changed the text to its right ("changedBy"), and only later repetitions count. Of
//   several candidates the earliest repetition wins, since it runs first and consumes the others.
// - otherwise the first pending opener is the first opener of the text when the next repetition runs,
//   so the piece from it becomes that repetition's piece.
// Every piece's text is known when it is made, so later copies are recognised by hash as they arrive.
// The walk over pending openers stops at the first suffix that no piece ends with.
class Sweep {
 public:
  Sweep(const RepeatedRemoval& pass, std::size_t repetitions) : pass_(pass), budget_(repetitions) {}

  void Push(char16_t c) {
    Append(c);
    if (EndsWith(output_, pass_.opener)) {
      const std::size_t start = output_.size() - pass_.opener.size();
      const bool spansCut = start < cutAt_ && cutAt_ < output_.size();
      pending_.push_back({start, spansCut ? cutRound_ : 0});
    }
    if (!pending_.empty() && EndsWith(output_, pass_.closer)) Close();
  }

  struct End {
    Text text;
    bool again = false;           // run the pass again on `text`
    std::size_t repetitions = 0;  // repetitions left for that run
  };

  // At the end an opener without a closer makes one more repetition replace every closer in the text;
  // that can join text into new openers and closers, so the rest of the repetitions run afresh.
  End Finish() {
    if (pending_.empty() || rounds_ >= budget_) return {std::move(output_)};
    ++rounds_;
    Text replaced = ReplaceAll(output_, pass_.closer, ReplacementFor(pass_.closer));
    if (replaced == output_) return {std::move(output_)};
    return {std::move(replaced), true, budget_ - rounds_};
  }

 private:
  struct Pending {
    std::size_t start;
    std::size_t changedBy;  // latest repetition that cut text to the right of this opener
  };

  void Append(char16_t c) {
    output_.push_back(c);
    prefix_.push_back((MulMod(prefix_.back(), kBase) + c + 1) % kModulus);
    if (powers_.size() < prefix_.size()) powers_.push_back(MulMod(powers_.back(), kBase));
  }

  std::uint64_t KeyOfSuffix(std::size_t start) const {
    const std::size_t end = output_.size();
    const std::uint64_t shifted = MulMod(prefix_[start], powers_[end - start]);
    const std::uint64_t hash = (prefix_[end] + kModulus - shifted) % kModulus;
    return hash ^ (static_cast<std::uint64_t>(end - start) * kLengthMix);
  }

  TextView ReplacementFor(TextView piece) const {
    return !pass_.specialPiece.empty() && piece == pass_.specialPiece ? pass_.specialReplacement
                                                                      : pass_.replacement;
  }

  void Close() {
    std::size_t bestRound = 0;
    std::size_t bestIndex = 0;
    std::size_t changedBy = 0;
    for (std::size_t i = pending_.size(); i-- > 0;) {
      changedBy = std::max(changedBy, pending_[i].changedBy);
      const std::uint64_t key = KeyOfSuffix(pending_[i].start);
      if (!pieceSuffixes_.contains(key)) break;
      const auto found = roundsOfPiece_.find(key);
      if (found == roundsOfPiece_.end()) continue;
      const auto& rounds = found->second;
      const auto later = std::upper_bound(rounds.begin(), rounds.end(), changedBy);
      if (later == rounds.end() || (bestRound != 0 && *later >= bestRound)) continue;
      if (pieces_[*later - 1] != TextView(output_).substr(pending_[i].start)) continue;
      bestRound = *later;
      bestIndex = i;
    }
    if (bestRound != 0) {
      Cut(bestIndex, bestRound);
    } else if (rounds_ < budget_) {
      ++rounds_;
      pieces_.emplace_back(TextView(output_).substr(pending_.front().start));
      for (const Pending& opener : pending_) pieceSuffixes_.insert(KeyOfSuffix(opener.start));
      roundsOfPiece_[KeyOfSuffix(pending_.front().start)].push_back(rounds_);
      Cut(0, rounds_);
    } else {
      pending_.clear();  // no repetition is left to touch these openers: they stay as text
    }
  }

  // Replaces the piece from pending opener `index` to the end by the replacement of repetition `round`.
  void Cut(std::size_t index, std::size_t round) {
    const std::size_t start = pending_[index].start;
    const TextView replacement = ReplacementFor(pieces_[round - 1]);
    pending_.resize(index);
    output_.resize(start);
    prefix_.resize(start + 1);
    std::size_t changedBy = round;
    // An opener that overlapped the cut one ("{{{") has lost its tail.
    while (!pending_.empty() && pending_.back().start + pass_.opener.size() > start) {
      changedBy = std::max(changedBy, pending_.back().changedBy);
      pending_.pop_back();
    }
    if (!pending_.empty()) pending_.back().changedBy = std::max(pending_.back().changedBy, changedBy);
    cutAt_ = start;
    cutRound_ = round;
    for (const char16_t c : replacement) Append(c);
  }

  const RepeatedRemoval& pass_;
  const std::size_t budget_;
  std::size_t rounds_ = 0;
  Text output_;
  std::vector<std::uint64_t> prefix_{0};
  std::vector<std::uint64_t> powers_{1};
  std::vector<Pending> pending_;
  std::vector<Text> pieces_;  // the piece of repetition k at k - 1
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> roundsOfPiece_;
  std::unordered_set<std::uint64_t> pieceSuffixes_;  // every piece's suffixes that start at an opener
  std::size_t cutAt_ = static_cast<std::size_t>(-1);  // where the latest cut joined the text
  std::size_t cutRound_ = 0;
};

}  // namespace

Text ApplyRepeatedRemoval(TextView text, const RepeatedRemoval& pass, std::size_t repetitions) {
  KORVANE_HERE();
  Text current(text);
  for (;;) {
    KORVANE_HERE();
    if (repetitions == 0 || pass.opener.empty() || pass.closer.empty()) return current;
    Sweep sweep(pass, repetitions);
    for (const char16_t c : current) sweep.Push(c);
    Sweep::End end = sweep.Finish();
    if (!end.again) return std::move(end.text);
    current = std::move(end.text);
    repetitions = end.repetitions;
  }
}

}  // namespace korvane
