#pragma once
// The program's session on the real Win32 windows, as Korvane.exe has it (disk file system, the
// system's ANSI code page), with scripted dialogs, shell and clock; and what the tests of whole
// commands through those windows share.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/event_loop.h"
#include "app/program.h"
#include "app/program_numbers.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/letter_case.h"
#include "win32/win32_test_support.h"

namespace korvane::test {

// A whole file's bytes; empty when it cannot be read.
inline std::string Slurp(const std::filesystem::path& path) {
  std::stringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Answers the program's message boxes from another thread with a click on one of their buttons (OK
// unless told), as a user would, and keeps what each one said and which window owned it.
class MessageBoxReader {
 public:
  explicit MessageBoxReader(int button = IDOK)
      : thread_([this, button] {
          const std::wstring caption(kProgramTitle, kProgramTitle + std::char_traits<char16_t>::length(kProgramTitle));
          while (!stop_) {
            if (HWND box = FindWindowW(L"#32770", caption.c_str())) {
              wchar_t text[2048] = {};
              GetDlgItemTextW(box, 0xFFFF, text, 2048);  // the message box's text control
              {
                std::lock_guard<std::mutex> lock(mutex_);
                texts_.emplace_back(text);
                owners_.push_back(GetWindow(box, GW_OWNER));
              }
              if (HWND pressed = GetDlgItem(box, button)) {
                SendMessageW(pressed, BM_CLICK, 0, 0);
              } else {
                SendMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
              }
            }
            Sleep(50);
          }
        }) {}
  ~MessageBoxReader() {
    stop_ = true;
    thread_.join();
  }
  MessageBoxReader(const MessageBoxReader&) = delete;
  MessageBoxReader& operator=(const MessageBoxReader&) = delete;
  std::vector<std::wstring> Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }
  std::vector<HWND> Owners() {
    std::lock_guard<std::mutex> lock(mutex_);
    return owners_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::wstring> texts_;
  std::vector<HWND> owners_;
  std::thread thread_;
};

class ProgramWindowsTest : public ::testing::Test {
 protected:
  // Runs the program's dispatch over everything pending now, for every window.
  void DispatchPending() {
    for (const Event& event : PendingEvents(gui_)) DispatchEvent(session_, event);
  }
  // A real click on a button (BM_CLICK), then what it raised.
  void Press(int button) {
    SendMessageW(gui_.ControlHandle(button), BM_CLICK, 0, 0);
    DispatchPending();
  }

  // Clicks "msdn Checked" and runs the program's loop until the batch has ended; `whileRunning` sees
  // each event handled while it runs.
  void RunBatch(const std::function<void(const Event&)>& whileRunning = {}) {
    SendMessageW(gui_.ControlHandle(kMsdnChecked), BM_CLICK, 0, 0);
    bool pressed = false;  // events of earlier actions may come first
    do {
      const Event event = gui_.WaitEvent();
      pressed = pressed || event.control == kMsdnChecked;
      DispatchEvent(session_, event);
      if (whileRunning && session_.batchRunning.load()) whileRunning(event);
    } while (!pressed || session_.batchRunning.load());
    DispatchPending();
  }

  Win32Gui gui_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<FileSystem> files_ = MakeDiskFileSystem();
  RecordingShell shell_;
  FixedClock clock_;
  Platform platform_{gui_, dialogs_, *files_, shell_, clock_, DecodeSystemAnsi, SystemUpperCase};
  Session session_{platform_};
};

}  // namespace korvane::test
