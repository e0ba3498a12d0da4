// The test tool's window: receives interfaces handed over with WM_COPYDATA.
// A hand-over is a 20-byte header (message id, the constant 1, value, thread
// id, pointer value; 32 bits each) followed by the marshalled interface.
#include "testtool/TestToolWindow.h"

#include <cstring>
#include <new>
#include <utility>

namespace host {
namespace {

constexpr DWORD kHeaderSize = 5 * sizeof(DWORD);
constexpr DWORD kVersion = 1;

// The object marshalled in `bytes`; null when it cannot be unmarshalled, in
// which case the marshalled reference is released.
IUnknown *Unmarshal(const BYTE *bytes, DWORD size) {
  IStream *stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
    return nullptr;
  IUnknown *object = nullptr;
  ULONG written = 0;
  LARGE_INTEGER start{};
  if (SUCCEEDED(stream->Write(bytes, size, &written)) && written == size &&
      SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
      FAILED(CoUnmarshalInterface(stream, IID_IUnknown, reinterpret_cast<void **>(&object)))) {
    object = nullptr;
    if (SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
      CoReleaseMarshalData(stream);
  }
  stream->Release();
  return object;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

} // namespace

std::unique_ptr<TestToolWindow> TestToolWindow::Create() {
  if (FindWindowW(kClassName, kWindowName) != nullptr)
    return nullptr;
  std::unique_ptr<TestToolWindow> tool(new (std::nothrow) TestToolWindow);
  if (tool == nullptr)
    return nullptr;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = Instance();
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return nullptr;
  HWND window = CreateWindowExW(0, kClassName, kWindowName, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                Instance(), nullptr);
  if (window == nullptr) {
    UnregisterClassW(kClassName, Instance());
    return nullptr;
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tool.get()));
  tool->window_ = window;
  return tool;
}

TestToolWindow::~TestToolWindow() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  UnregisterClassW(kClassName, Instance());
  if (last_.object != nullptr)
    last_.object->Release();
}

size_t TestToolWindow::HandOverCount() const {
  std::lock_guard guard(lock_);
  return count_;
}

bool TestToolWindow::LastHandOver(TestToolHandOver &handOver) const {
  std::lock_guard guard(lock_);
  handOver = last_;
  if (handOver.object == nullptr)
    return false;
  handOver.object->AddRef();
  return true;
}

LRESULT CALLBACK TestToolWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message != WM_COPYDATA)
    return DefWindowProcW(window, message, wParam, lParam);
  auto *tool = reinterpret_cast<TestToolWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (tool == nullptr)
    return FALSE;
  try {
    return tool->Receive(reinterpret_cast<const COPYDATASTRUCT *>(lParam)) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

bool TestToolWindow::Receive(const COPYDATASTRUCT *data) {
  if (data == nullptr || data->lpData == nullptr || data->cbData <= kHeaderSize)
    return false;
  const auto *bytes = static_cast<const BYTE *>(data->lpData);
  DWORD fields[5];
  std::memcpy(fields, bytes, kHeaderSize);
  TestToolHandOver received{fields[0], fields[1], fields[2], fields[3], fields[4], nullptr};
  // Unmarshalled even when the header is wrong, so that the reference the
  // sender marshalled is not lost.
  received.object = Unmarshal(bytes + kHeaderSize, data->cbData - kHeaderSize);
  if (received.object == nullptr)
    return false;
  if (received.version != kVersion) {
    received.object->Release();
    return false;
  }
  {
    std::lock_guard guard(lock_);
    std::swap(last_, received);
    ++count_;
  }
  // The earlier object is released outside the lock: it may call back.
  if (received.object != nullptr)
    received.object->Release();
  return true;
}

} // namespace host
