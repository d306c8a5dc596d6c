// The event queue and the message pump: WaitEvent, QueueEvent and Invoke.
#include <utility>

#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_gui.h"

namespace korvane {
namespace {

// One Invoke of another thread, carried by a sent message to the user-interface thread.
struct InvokeRequest {
  const std::function<void()>* work = nullptr;
  std::exception_ptr error;
};

bool IsEscapeKey(const MSG& message) {
  const bool keyMessage = message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
  return keyMessage && message.wParam == VK_ESCAPE;
}

// An open drop-down list takes Escape for itself: it closes the list, not the window.
bool DropDownOpen(HWND control) {
  for (HWND hwnd = control; hwnd != nullptr; hwnd = GetParent(hwnd)) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (lstrcmpiW(className, L"ComboBox") == 0) return SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
  }
  return false;
}

}  // namespace

HWND Win32Gui::CreatePumpWindow() {
  win32::RegisterWindowClass(win32::kPumpClass, PumpProcedure, -1);
  // A message-only window: it is never shown and receives only what is sent or posted to it.
  return CreateWindowExW(0, win32::kPumpClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, win32::ModuleInstance(),
                         nullptr);
}

LRESULT CALLBACK Win32Gui::PumpProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == win32::kInvokeMessage) {
    auto* request = reinterpret_cast<InvokeRequest*>(lParam);
    // The error goes back to the thread that asked; it may not cross Windows' frames.
    try {
      (*request->work)();
    } catch (...) {
      request->error = std::current_exception();
    }
    return 0;
  }
  if (message == win32::kWakeMessage) return 0;  // its arrival alone ends GetMessage's wait
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32Gui::PushUserEvent(const Event& event) {
  const std::lock_guard lock(queueMutex_);
  userEvents_.push_back(event);
}

void Win32Gui::QueueEvent(const Event& event) {
  {
    const std::lock_guard lock(queueMutex_);
    programEvents_.push_back(event);
  }
  // WaitEvent looks at the queue before it waits for a message, so only another thread's event needs a
  // message to wake it. Under Wine each posted message is a round trip to the server, and the batch
  // lookup queues two events for every function.
  if (pump_ != nullptr && GetCurrentThreadId() != uiThread_) PostMessageW(pump_, win32::kWakeMessage, 0, 0);
}

bool Win32Gui::PopEvent(Event& event) {
  const std::lock_guard lock(queueMutex_);
  std::deque<Event>& queue = userEvents_.empty() ? programEvents_ : userEvents_;
  if (queue.empty()) return false;
  event = std::move(queue.front());
  queue.pop_front();
  return true;
}

void Win32Gui::DispatchOne(MSG& message) {
  if (message.message == WM_QUIT) {
    quitReceived_ = true;
    return;
  }
  // The dialog keys (Tab, arrows, Enter) move between our windows' controls. Escape is kept from them:
  // they would turn it into a click on control id 2 (IDCANCEL), which is one of our buttons.
  HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && IsEscapeKey(message) && message.message == WM_KEYDOWN && !DropDownOpen(message.hwnd)) {
    // Escape closes a window other than the main window as its close box does (for the export window:
    // as Cancel does). The main window keeps Escape from ending the program.
    for (const auto& [number, state] : windows_) {
      if (state->hwnd == root && number != mainWindow_) {
        PushUserEvent({kEventCloseWindow, number, -1, 0, {}});
        return;
      }
    }
  }
  // Enter and Escape in a text field of ours are the program's to give a meaning; the field does
  // nothing with them (a multi-line field would start a new line).
  if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
    const auto found = controlNumbers_.find(message.hwnd);
    if (found != controlNumbers_.end()) {
      const ControlState& field = controls_.at(found->second);
      if (field.kind == ControlKind::TextField || field.kind == ControlKind::MultiLineField) {
        const int type = message.wParam == VK_RETURN ? kTypeEnterKey : kTypeEscapeKey;
        PushUserEvent({kEventControl, field.window, found->second, type, {}});
        return;
      }
    }
  }
  if (root != nullptr && !IsEscapeKey(message)) {
    for (const auto& [number, state] : windows_) {
      if (state->hwnd == root) {
        if (IsDialogMessageW(root, &message)) return;
        break;
      }
    }
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Gui::DispatchPendingMessages() {
  MSG message;
  while (!quitReceived_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchOne(message);
}

Event Win32Gui::WaitEvent() {
  for (;;) {
    // What the user did before this call comes first: the pending messages become events before the
    // program's queued events are looked at.
    DispatchPendingMessages();
    if (pendingError_) std::rethrow_exception(std::exchange(pendingError_, nullptr));
    RunDeferred();
    Event event;
    if (PopEvent(event)) return event;
    // WM_QUIT is nobody's request in this program, but if it comes the loop must end.
    if (quitReceived_) return {kEventCloseWindow, mainWindow_, -1, 0, {}};
    MSG message;
    const BOOL received = GetMessageW(&message, nullptr, 0, 0);
    if (received == 0 || received == -1) {
      quitReceived_ = true;
      continue;
    }
    DispatchOne(message);
  }
}

void Win32Gui::Defer(std::function<void()> work) {
  {
    const std::lock_guard lock(queueMutex_);
    deferred_.push_back(std::move(work));
  }
  if (pump_ != nullptr) PostMessageW(pump_, win32::kWakeMessage, 0, 0);
}

void Win32Gui::RunDeferred() {
  for (;;) {
    std::function<void()> work;
    {
      const std::lock_guard lock(queueMutex_);
      if (deferred_.empty()) return;
      work = std::move(deferred_.front());
      deferred_.pop_front();
    }
    work();
  }
}

void Win32Gui::Invoke(const std::function<void()>& work) {
  if (GetCurrentThreadId() == uiThread_ || pump_ == nullptr) {
    work();
    return;
  }
  // SendMessage to a window of another thread waits until that thread has run the procedure. The
  // user-interface thread takes sent messages whenever it looks for messages, in modal loops too.
  InvokeRequest request{&work, nullptr};
  SendMessageW(pump_, win32::kInvokeMessage, 0, reinterpret_cast<LPARAM>(&request));
  if (request.error) std::rethrow_exception(request.error);
}

}  // namespace korvane
