#pragma once
// Measures how long the user-interface thread keeps a message waiting. A probe thread posts a private
// message to a message-only window of the user-interface thread every few milliseconds, stamped with the
// time of posting; the window's procedure, run when the thread's loop gets to the message, records the
// difference.
//
// Why a posted message and not SendMessageTimeout: a message sent from another thread is taken ahead of
// everything else at any GetMessage or PeekMessage, even one nested in a modal loop, so it would report
// the thread answering while the messages of the user's clicks and keys still wait. A posted message
// waits in the same queue as those, behind everything the thread does between two looks at its queue:
// a command dispatched by the program's loop, or a batch step run through Gui::Invoke.

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace korvane::bench {

LARGE_INTEGER Now();
double MillisecondsSince(LARGE_INTEGER start);

struct LatencySample {
  double waitMilliseconds = 0;
  double atSeconds = 0;  // when it was posted, from Start
};

struct LatencySummary {
  std::size_t count = 0;
  double median = 0, p99 = 0, maximum = 0;
};

class LatencyProbe {
 public:
  static constexpr int kIntervalMilliseconds = 5;

  // Creates the probe's window on the calling thread, which must be the user-interface thread.
  LatencyProbe();
  ~LatencyProbe();
  LatencyProbe(const LatencyProbe&) = delete;
  LatencyProbe& operator=(const LatencyProbe&) = delete;

  // Start and Stop on the user-interface thread; a probe still waiting at Stop is not counted.
  void Start();
  void Stop();

  LatencySummary Summary() const;
  std::vector<LatencySample> Longest(std::size_t count) const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void PostProbes();

  UINT message_ = 0;
  HWND window_ = nullptr;
  HANDLE answered_ = nullptr;  // set by the procedure when it has taken a probe
  LARGE_INTEGER start_{};
  std::atomic<bool> running_{false};
  std::thread thread_;
  std::vector<LatencySample> samples_;  // the user-interface thread's only
};

}  // namespace korvane::bench
