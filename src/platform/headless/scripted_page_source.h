#pragma once
// The page source of headless tests: pages come from a table, and each load ends when the test says so.
// Navigate records the address and stays busy until Deliver; Deliver ends the load as the table says and
// posts its events. Posting no event, several events or a late one lets a test play the browser
// control's habits (further notifications after the end, an end noticed only by a later event).

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/events.h"
#include "platform/page_source.h"

namespace korvane {

class ScriptedPageSource final : public PageSource {
 public:
  explicit ScriptedPageSource(std::function<void(const Event&)> post) : post_(std::move(post)) {}

  // --- the script ------------------------------------------------------------------------------
  void SetPage(const Text& address, const Text& text);
  void SetFailure(const Text& address, const Text& reason);
  // An address in neither table fails with "HTTP 404".

  // --- what the test does ----------------------------------------------------------------------
  // Ends the running load: its text (or failure) becomes current and Busy turns false; then `events`
  // events are posted, the load's end event first and plain notifications after it. False when no load
  // is running.
  bool Deliver(int events = 1);
  // Posts one notification for the current address now, whether a load runs or not.
  void Notify();
  // Every address navigated to, in order.
  std::vector<Text> Navigations();

  // --- PageSource -------------------------------------------------------------------------------
  void Navigate(const Text& address) override;
  bool Busy() override;
  Text PageText() override;
  void Attach(std::uintptr_t reference) override;
  std::uintptr_t Attached() override;

 private:
  std::function<void(const Event&)> post_;
  std::mutex mutex_;  // the batch lookup navigates from its worker thread
  std::map<Text, Text> pages_, failures_;
  std::vector<Text> navigations_;
  std::optional<Text> running_;
  Text current_, pageText_;
  std::uintptr_t attached_ = 0;
};

}  // namespace korvane
