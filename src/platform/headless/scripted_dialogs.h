#pragma once
// Dialogs, the shell and the clock for tests: requesters answer from a script, opened addresses are
// recorded, the clock is fixed.

#include <atomic>
#include <deque>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shell.h"

namespace korvane {

struct RecordedRequest {
  Text title, startFolder, filter;
  bool multiple = false;
  Text defaultName{};  // of a save-file requester
};

class ScriptedDialogs final : public Dialogs {
 public:
  // The next open-file requester returns these paths (empty: cancelled).
  void AnswerOpenFiles(std::vector<Text> paths) { fileAnswers_.push_back(std::move(paths)); }
  void AnswerChooseFolder(Text folder) { folderAnswers_.push_back(std::move(folder)); }
  // The next save-file requester returns this path (empty: cancelled).
  void AnswerSaveFile(Text path) { saveAnswers_.push_back(std::move(path)); }
  const std::vector<RecordedRequest>& Requests() const { return requests_; }

  std::vector<Text> OpenFiles(const Text& title, const Text& startFolder, const Text& filter,
                              bool multiple) override {
    requests_.push_back({title, startFolder, filter, multiple});
    if (fileAnswers_.empty()) return {};
    std::vector<Text> answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
  }

  Text ChooseFolder(const Text& title, const Text& startFolder) override {
    requests_.push_back({title, startFolder, {}, false});
    if (folderAnswers_.empty()) return {};
    Text answer = std::move(folderAnswers_.front());
    folderAnswers_.pop_front();
    return answer;
  }

  Text SaveFile(const Text& title, const Text& startFolder, const Text& defaultName, const Text& filter) override {
    requests_.push_back({title, startFolder, filter, false, defaultName});
    if (saveAnswers_.empty()) return {};
    Text answer = std::move(saveAnswers_.front());
    saveAnswers_.pop_front();
    return answer;
  }

 private:
  std::deque<std::vector<Text>> fileAnswers_;
  std::deque<Text> folderAnswers_;
  std::deque<Text> saveAnswers_;
  std::vector<RecordedRequest> requests_;
};

class RecordingShell final : public Shell {
 public:
  bool OpenAddress(const Text& address) override {
    opened_.push_back(address);
    return true;
  }
  const std::vector<Text>& Opened() const { return opened_; }

 private:
  std::vector<Text> opened_;
};

// The local time stays where it is set; the steady count moves only when someone sleeps, so a polling
// loop runs the same in every test run.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(LocalTime now = {2026, 12, 7, 20, 2, 34}) : now_(now) {}
  LocalTime Now() override { return now_; }
  void Set(LocalTime now) { now_ = now; }
  std::int64_t MonotonicMilliseconds() override { return milliseconds_.load(); }
  void SleepMilliseconds(int milliseconds) override {
    if (milliseconds > 0) milliseconds_ += milliseconds;
  }

 private:
  LocalTime now_;
  std::atomic<std::int64_t> milliseconds_{0};
};

}  // namespace korvane
