#pragma once
// The page source of headless tests: pages come from a table, and each load ends when the test says so.
// Navigate records the address and stays busy until Deliver; Deliver ends the load as the table says and
// reports it.

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/page_source.h"

namespace korvane {

class ScriptedPageSource final : public PageSource {
 public:
  explicit ScriptedPageSource(PageLoadHandler onLoad) : onLoad_(std::move(onLoad)) {}

  // --- the script ------------------------------------------------------------------------------
  void SetPage(const Text& address, const Text& text);
  void SetFailure(const Text& address, const Text& reason);
  // An address in neither table fails with "HTTP 404".

  // --- what the test does ----------------------------------------------------------------------
  // Ends the running load: its text (or failure) becomes current, Busy turns false and the end is
  // reported. False when no load is running.
  bool Deliver();
  // Every address navigated to, in order.
  std::vector<Text> Navigations();

  // --- PageSource -------------------------------------------------------------------------------
  void Navigate(const Text& address) override;
  bool Busy() override;
  Text PageText() override;

 private:
  PageLoadHandler onLoad_;
  std::mutex mutex_;  // the batch lookup navigates from its worker thread
  std::map<Text, Text> pages_, failures_;
  std::vector<Text> navigations_;
  std::optional<Text> running_;
  Text pageText_;
};

}  // namespace korvane
