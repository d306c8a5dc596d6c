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
  running_ = address;  // replaces a running load, whose end is never posted
  current_ = address;
}

bool ScriptedPageSource::Deliver(int events) {
  Event end{kEventControl, kMainWindow, kBrowser, kTypePageLoaded, {}, {}, {}};
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
      end.type = kTypePageFailed;
      end.reason = failure != failures_.end() ? failure->second : u"HTTP 404";
    }
  }
  // Posted without the lock, so a test's post may ask the source questions.
  for (int i = 0; i < events; ++i) {
    post_(end);
    end.type = kTypePageNotification;
    end.reason.clear();
  }
  return true;
}

void ScriptedPageSource::Notify() {
  Event notification{kEventControl, kMainWindow, kBrowser, kTypePageNotification, {}, {}, {}};
  {
    const std::lock_guard lock(mutex_);
    notification.address = current_;
  }
  post_(notification);
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

void ScriptedPageSource::Attach(std::uintptr_t reference) {
  const std::lock_guard lock(mutex_);
  attached_ = reference;
}

std::uintptr_t ScriptedPageSource::Attached() {
  const std::lock_guard lock(mutex_);
  return attached_;
}

}  // namespace korvane
