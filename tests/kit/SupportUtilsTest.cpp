// Text matching, the interface hand-over to the test tool's window and the
// time trace switch.
#include "KitTestSupport.h"

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilUtils.h"
#include "support/TestToolHandOver.h"
#include "support/TimeTrace.h"

namespace {

class MatchTextTest : public KitRegistryTest {
protected:
  void TearDown() override {
    ReleaseTextMatcher();
    KitRegistryTest::TearDown();
  }
  static bool Match(LPCOLESTR pattern, LPCOLESTR text, bool regularExpression, bool ignoreCase) {
    return MatchText(CQilBstr(pattern), CQilBstr(text), regularExpression, ignoreCase);
  }
};

TEST_F(MatchTextTest, PlainComparison) {
  EXPECT_FALSE(Match(L"Abc", L"abc", false, false));
  EXPECT_TRUE(Match(L"Abc", L"abc", false, true));
  EXPECT_TRUE(Match(L"abc", L"abc", false, false));
  EXPECT_FALSE(Match(L"a.c", L"abc", false, false)); // no pattern without the flag
  EXPECT_FALSE(Match(L"abc", L"abcd", false, true));
  EXPECT_TRUE(MatchText(nullptr, CQilBstr(L""), false, true));
  EXPECT_TRUE(MatchText(CQilBstr(L""), nullptr, false, false));
  EXPECT_FALSE(MatchText(nullptr, CQilBstr(L"x"), false, true));
}

TEST_F(MatchTextTest, RegularExpressionMustCoverTheWholeTextOnce) {
  EXPECT_TRUE(Match(L"a.c", L"abc", true, false));
  EXPECT_FALSE(Match(L"a.c", L"abcd", true, false));
  EXPECT_FALSE(Match(L"abc", L"abcabc", true, false));
  EXPECT_FALSE(Match(L"b", L"ab", true, false)); // not at the start
  EXPECT_FALSE(Match(L"ABC", L"abc", true, false));
  EXPECT_TRUE(Match(L"ABC", L"abc", true, true));
  EXPECT_FALSE(Match(L"ABC", L"abc", true, false)); // the flag is set on every call
  EXPECT_TRUE(Match(L"Tab\\d+", L"Tab12", true, false));
  EXPECT_FALSE(Match(L"a(", L"a(", true, false)); // a bad pattern answers false
}

TEST_F(MatchTextTest, RunawayPatternAnswersFalsePromptly) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Match(L"(a+)+b", std::wstring(40, L'a').c_str(), true, false));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(Match(L"(a+)+", std::wstring(40, L'a').c_str(), true, false)); // still usable
}

TEST(HandOverContextTest, ChosenFromTheExecutableName) {
  EXPECT_EQ(HandOverMarshalContext(L"C:\\Program Files\\PEXO\\bin\\run.exe"), DWORD{MSHCTX_INPROC});
  EXPECT_EQ(HandOverMarshalContext(L"/opt/Brimlet/agent"), DWORD{MSHCTX_INPROC});
  EXPECT_EQ(HandOverMarshalContext(L"c:\\tools\\YALTUMx.exe"), DWORD{MSHCTX_INPROC});
  EXPECT_EQ(HandOverMarshalContext(L"C:\\Program Files\\Browser\\iexplore.exe"),
            DWORD{MSHCTX_LOCAL});
  EXPECT_EQ(HandOverMarshalContext(nullptr), DWORD{MSHCTX_LOCAL});
}

// A counted IDispatch to hand over.
class CHandedOver : public IDispatch {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = riid == IID_IUnknown || riid == IID_IDispatch ? this : nullptr;
    if (*ppv == nullptr)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                      UINT *) override {
    return E_NOTIMPL;
  }
  ULONG refs = 1;
};

// What the receiving window saw.
struct Received {
  int messages = 0;
  WPARAM sender = 1;
  std::vector<BYTE> buffer;
};
Received g_received;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA)
    return DefWindowProcW(window, message, wParam, lParam);
  ++g_received.messages;
  g_received.sender = wParam;
  const auto *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
  const BYTE *bytes = static_cast<const BYTE *>(data->lpData);
  g_received.buffer.assign(bytes, bytes + data->cbData);
  return TRUE;
}

class HandOverTest : public KitRegistryTest {
protected:
  void SetUp() override {
    KitRegistryTest::SetUp();
    g_received = Received();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ReceiverProc;
    windowClass.lpszClassName = kTestToolWindowClass;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    windowClass.lpszClassName = L"OtherToolWindow";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
  }
  void TearDown() override {
    if (window_ != nullptr)
      DestroyWindow(window_);
    UnregisterClassW(kTestToolWindowClass, nullptr);
    UnregisterClassW(L"OtherToolWindow", nullptr);
    KitRegistryTest::TearDown();
  }
  void OpenWindow(LPCWSTR windowClass) {
    window_ = CreateWindowExW(0, windowClass, kTestToolWindowName, 0, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  // The interface in the received marshalled bytes.
  static CQilComPtr<IDispatch> Unmarshal(const std::vector<BYTE> &buffer) {
    size_t size = buffer.size() - kHandOverHeaderSize;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), buffer.data() + kHandOverHeaderSize, size);
    GlobalUnlock(memory);
    CQilComPtr<IStream> stream;
    CQilComPtr<IDispatch> result;
    if (SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream)))
      CoUnmarshalInterface(stream, IID_IDispatch, reinterpret_cast<void **>(&result));
    return result;
  }
  HWND window_ = nullptr;
};

TEST_F(HandOverTest, DeliversHeaderAndMarshalledInterface) {
  OpenWindow(kTestToolWindowClass);
  CHandedOver object;
  UINT format = WebActiveXMarshalInterfaceFormat();
  EXPECT_GE(format, 0xC000u);
  EXPECT_EQ(format, RegisterClipboardFormatW(L"WebActiveXMarshalInterface"));
  ASSERT_EQ(SendInterfaceToTestTool(format, &object, 12, IID_IDispatch, nullptr), S_OK);
  ASSERT_EQ(g_received.messages, 1);
  EXPECT_EQ(g_received.sender, 0u);
  ASSERT_GT(g_received.buffer.size(), kHandOverHeaderSize);
  DWORD header[5] = {};
  std::memcpy(header, g_received.buffer.data(), sizeof header);
  EXPECT_EQ(header[0], format);
  EXPECT_EQ(header[1], 1u);
  EXPECT_EQ(header[2], 12u);
  EXPECT_EQ(header[3], GetCurrentThreadId());
  EXPECT_EQ(header[4], static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&object)));

  CQilComPtr<IDispatch> received = Unmarshal(g_received.buffer);
  ASSERT_TRUE(received);
  EXPECT_TRUE(received.IsSameObject(&object));
  received.Release();
  EXPECT_EQ(object.refs, 1u);
}

TEST_F(HandOverTest, UsesTheCallersWindowClass) {
  OpenWindow(L"OtherToolWindow");
  CHandedOver object;
  EXPECT_EQ(SendInterfaceToTestTool(5, &object, 0, IID_IDispatch, nullptr), S_FALSE);
  EXPECT_EQ(g_received.messages, 0);
  EXPECT_EQ(object.refs, 1u); // marshal data not sent is released
  ASSERT_EQ(SendInterfaceToTestTool(5, &object, 0, IID_IDispatch, L"OtherToolWindow"), S_OK);
  ASSERT_EQ(g_received.messages, 1);
  CQilComPtr<IDispatch> received = Unmarshal(g_received.buffer);
  EXPECT_TRUE(received.IsSameObject(&object));
}

TEST_F(HandOverTest, SendsNothingForANullPointer) {
  OpenWindow(kTestToolWindowClass);
  EXPECT_EQ(SendInterfaceToTestTool(5, nullptr, 12, IID_IDispatch, nullptr), S_FALSE);
  EXPECT_EQ(g_received.messages, 0);
}

class TimeTraceTest : public KitRegistryTest {
protected:
  void TearDown() override {
    TimeTrace::Stop();
    KitRegistryTest::TearDown();
  }
  static void WriteSwitch(LPCWSTR name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quillon\\Debug\\TimeTrace", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
    RegCloseKey(key);
  }
};

TEST_F(TimeTraceTest, SwitchNameIsTheLastFolderName) {
  WCHAR name[32];
  ASSERT_TRUE(TimeTrace::SwitchName(L"C:\\Kits\\Recorder\\Main", name, 32));
  EXPECT_STREQ(name, L"Recorder");
  ASSERT_TRUE(TimeTrace::SwitchName(L"\\Web\\", name, 32));
  EXPECT_STREQ(name, L"Web");
  EXPECT_FALSE(TimeTrace::SwitchName(L".\\TallowickIE", name, 32));
  EXPECT_FALSE(TimeTrace::SwitchName(L"a\\\\b", name, 32));
  EXPECT_FALSE(TimeTrace::SwitchName(L"a\\LongFolderName\\b", name, 8));
}

TEST_F(TimeTraceTest, KitPathReadsNothing) {
  WriteSwitch(L"All", 3);
  TimeTrace::Start();
  EXPECT_EQ(TimeTrace::Switch(), 0u);
  EXPECT_FALSE(TimeTrace::IsActive());
  TimeTrace::TraceEnter(L"CWebObj::GetChildIndex", L".\\WebObj", 10); // inert
  CQilTraceScope scope(L"CWebObj::GetChildIndex", L".\\WebObj", 11);
  scope.SetNote(L"note");
}

TEST_F(TimeTraceTest, SwitchReadFromAllThenTheFolderName) {
  TimeTrace::StartFor(L"C:\\Kits\\Recorder\\Main");
  EXPECT_EQ(TimeTrace::Switch(), 0u); // no key

  WriteSwitch(L"Recorder", 5);
  TimeTrace::StartFor(L"C:\\Kits\\Recorder\\Main");
  EXPECT_EQ(TimeTrace::Switch(), 5u);
  // Switched on, but no trace library here: the points stay inert.
  EXPECT_FALSE(TimeTrace::IsActive());
  TimeTrace::TraceMessage(L"message", L".\\Main", 3);
  TimeTrace::Stop();
  EXPECT_EQ(TimeTrace::Switch(), 0u);

  WriteSwitch(L"All", 2);
  TimeTrace::StartFor(L"C:\\Kits\\Recorder\\Main");
  EXPECT_EQ(TimeTrace::Switch(), 2u);
  TimeTrace::Stop();

  TimeTrace::StartFor(L"C:\\Kits\\Other\\Main"); // "All" applies to every folder
  EXPECT_EQ(TimeTrace::Switch(), 2u);
}

} // namespace
