#include "support/TestToolHandOver.h"

#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "support/QilComPtr.h"

namespace {

constexpr DWORD kHandOverMarker = 1;

std::wstring ExecutablePath() {
  std::vector<WCHAR> path(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return std::wstring();
    if (length < path.size())
      return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

HRESULT SeekToStart(IStream *stream) {
  LARGE_INTEGER start{};
  return stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

void ReleaseMarshalled(IStream *stream) {
  if (SUCCEEDED(SeekToStart(stream)))
    CoReleaseMarshalData(stream);
}

// The header and the marshalled bytes; empty when the stream cannot be read
// back whole or is too large.
std::vector<BYTE> BuildBuffer(IStream *stream, UINT messageId, IUnknown *object, DWORD value) {
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
    return {};
  ULONGLONG size = stat.cbSize.QuadPart;
  if (size > 0xFFFFFFFFull - kHandOverHeaderSize)
    return {};
  std::vector<BYTE> buffer(kHandOverHeaderSize + static_cast<size_t>(size));
  const DWORD header[5] = {messageId, kHandOverMarker, value, GetCurrentThreadId(),
                           static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(object))};
  std::memcpy(buffer.data(), header, kHandOverHeaderSize);
  ULONG read = 0;
  if (FAILED(SeekToStart(stream)) ||
      FAILED(stream->Read(buffer.data() + kHandOverHeaderSize, static_cast<ULONG>(size), &read)) ||
      read < size)
    return {};
  return buffer;
}

HRESULT HandOver(UINT messageId, IUnknown *object, DWORD value, REFIID iid, LPCWSTR windowClass) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 0);
  if (memory == nullptr)
    return E_OUTOFMEMORY;
  CQilComPtr<IStream> stream;
  HRESULT hr = CreateStreamOnHGlobal(memory, TRUE, &stream);
  if (FAILED(hr)) {
    GlobalFree(memory);
    return hr;
  }
  DWORD context = HandOverMarshalContext(ExecutablePath().c_str());
  hr = CoMarshalInterface(stream, iid, object, context, nullptr, MSHLFLAGS_NORMAL);
  if (FAILED(hr))
    return hr;
  std::vector<BYTE> buffer = BuildBuffer(stream, messageId, object, value);
  HWND window = buffer.empty() ? nullptr
                               : FindWindowW(windowClass != nullptr ? windowClass
                                                                    : kTestToolWindowClass,
                                             kTestToolWindowName);
  if (window == nullptr) {
    ReleaseMarshalled(stream);
    return buffer.empty() ? E_FAIL : S_FALSE;
  }
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(buffer.size());
  data.lpData = buffer.data();
  SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return S_OK;
}

} // namespace

UINT WebActiveXMarshalInterfaceFormat() {
  return RegisterClipboardFormatW(L"WebActiveXMarshalInterface");
}

DWORD HandOverMarshalContext(LPCWSTR executablePath) {
  std::wstring path = executablePath != nullptr ? executablePath : L"";
  for (WCHAR &c : path)
    c = static_cast<WCHAR>(std::towlower(static_cast<wint_t>(c)));
  for (LPCWSTR name : {L"brimlet", L"pexo", L"yaltum"})
    if (path.find(name) != std::wstring::npos)
      return MSHCTX_INPROC;
  return MSHCTX_LOCAL;
}

HRESULT SendInterfaceToTestTool(UINT messageId, IUnknown *object, DWORD value, REFIID iid,
                                LPCWSTR windowClass) {
  if (object == nullptr)
    return S_FALSE;
  try {
    return HandOver(messageId, object, value, iid, windowClass);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
