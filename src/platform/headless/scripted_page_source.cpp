#include "platform/headless/scripted_page_source.h"

namespace korvane {

void ScriptedPageSource::SetPage(const Text& address, const Text& text) {
  const std::lock_guard lock(mutex_);
  pages_[address] = text;
  failures_.erase(address);
}

void ScriptedPageSource::SetFailure(const Text& address, const Text& reason) {
  const std::lock_guard lock(mutex_);
  failures_[address] = reason;
  pages_.erase(address);
}

void ScriptedPageSource::Navigate(const Text& address) {
  if (address.empty()) return;
  const std::lock_guard lock(mutex_);
  navigations_.push_back(address);
  running_ = address;  // replaces a running load, whose end is never reported
}

bool ScriptedPageSource::Deliver() {
  PageLoad end;
  {
    const std::lock_guard lock(mutex_);
    if (!running_) return false;
    end.address = *running_;
    running_.reset();
    pageText_.clear();
    if (const auto page = pages_.find(end.address); page != pages_.end()) {
      pageText_ = page->second;
    } else {
      const auto failure = failures_.find(end.address);
      end.failed = true;
      end.reason = failure != failures_.end() ? failure->second : u"HTTP 404";
    }
  }
  // Reported without the lock, so a test's handler may ask the source questions.
  onLoad_(end);
  return true;
}

std::vector<Text> ScriptedPageSource::Navigations() {
  const std::lock_guard lock(mutex_);
  return navigations_;
}

bool ScriptedPageSource::Busy() {
  const std::lock_guard lock(mutex_);
  return running_.has_value();
}

Text ScriptedPageSource::PageText() {
  const std::lock_guard lock(mutex_);
  return pageText_;
}

}  // namespace korvane
