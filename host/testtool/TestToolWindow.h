// The test tool's window, as the host program opens it: a process-local
// window that kits find by class and name and hand interfaces to with
// WM_COPYDATA. It keeps what it received for the program.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>

namespace host {

// One hand-over: the five 32-bit header fields and the object unmarshalled
// from the bytes after them.
struct TestToolHandOver {
  DWORD messageId = 0;
  DWORD version = 0; // always 1
  DWORD value = 0;
  DWORD threadId = 0;     // the sender's thread
  DWORD pointerValue = 0; // the sender's pointer, its low 32 bits
  IUnknown *object = nullptr;
};

class TestToolWindow {
public:
  static constexpr const wchar_t *kClassName = L"HalonSinchroniLekabaltHodaot";
  static constexpr const wchar_t *kWindowName = L"ZinorKnisaPatuach";

  // Registers the window class and creates the window. Null when that fails
  // or when a test tool window is already open in this process.
  static std::unique_ptr<TestToolWindow> Create();

  TestToolWindow(const TestToolWindow &) = delete;
  TestToolWindow &operator=(const TestToolWindow &) = delete;
  // Destroys the window and releases what it received.
  ~TestToolWindow();

  HWND Window() const { return window_; }
  // Hand-overs accepted so far; malformed messages are not counted.
  size_t HandOverCount() const;
  // The latest hand-over; its object carries a reference for the caller.
  // False (and an empty result) before the first one.
  bool LastHandOver(TestToolHandOver &handOver) const;

private:
  TestToolWindow() = default;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Decodes and keeps one WM_COPYDATA record; false for a malformed one.
  bool Receive(const COPYDATASTRUCT *data);

  HWND window_ = nullptr;
  mutable std::mutex lock_;
  TestToolHandOver last_;
  size_t count_ = 0;
};

} // namespace host
