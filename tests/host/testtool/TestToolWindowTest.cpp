#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testtool/TestToolWindow.h"

namespace {

using host::TestToolHandOver;
using host::TestToolWindow;

// An element stand-in that counts its references; it lives on the test's stack.
class CountedElement final : public IDispatch {
public:
  LONG refs = 1;

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch)
      return E_NOINTERFACE;
    *ppv = static_cast<IDispatch *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
  STDMETHODIMP GetTypeInfoCount(UINT *count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                      UINT *) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

// A hand-over as a kit builds it: the interface marshalled into a stream on
// global memory, behind the five header fields.
std::vector<BYTE> HandOver(DWORD messageId, IUnknown *object, DWORD value, REFIID iid,
                           DWORD version = 1) {
  IStream *stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
    return {};
  std::vector<BYTE> buffer;
  LARGE_INTEGER start{};
  ULARGE_INTEGER end{};
  if (SUCCEEDED(
          CoMarshalInterface(stream, iid, object, MSHCTX_INPROC, nullptr, MSHLFLAGS_NORMAL)) &&
      SUCCEEDED(stream->Seek(start, STREAM_SEEK_END, &end)) &&
      SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
    const auto size = static_cast<ULONG>(end.QuadPart);
    const DWORD fields[5] = {messageId, version, value, GetCurrentThreadId(),
                             static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(object))};
    buffer.resize(sizeof fields + size);
    std::memcpy(buffer.data(), fields, sizeof fields);
    ULONG read = 0;
    if (FAILED(stream->Read(buffer.data() + sizeof fields, size, &read)) || read != size)
      buffer.clear();
  }
  stream->Release();
  return buffer;
}

LRESULT Send(std::vector<BYTE> &buffer) {
  HWND window = FindWindowW(L"HalonSinchroniLekabaltHodaot", L"ZinorKnisaPatuach");
  if (window == nullptr)
    return -1;
  COPYDATASTRUCT data{0, static_cast<DWORD>(buffer.size()), buffer.data()};
  return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class TestToolWindowTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(TestToolWindowTest, ReceivesTheFieldsAndTheSameObject) {
  CountedElement element;
  {
    std::unique_ptr<TestToolWindow> tool = TestToolWindow::Create();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(FindWindowW(TestToolWindow::kClassName, TestToolWindow::kWindowName), tool->Window());
    TestToolHandOver none;
    EXPECT_FALSE(tool->LastHandOver(none));
    EXPECT_EQ(none.object, nullptr);

    const UINT format = RegisterClipboardFormatW(L"WebActiveXMarshalInterface");
    ASSERT_NE(format, 0u);
    std::vector<BYTE> buffer = HandOver(format, &element, 12, IID_IDispatch);
    ASSERT_GT(buffer.size(), 20u);
    EXPECT_EQ(Send(buffer), TRUE);
    EXPECT_EQ(tool->HandOverCount(), 1u);

    TestToolHandOver got;
    ASSERT_TRUE(tool->LastHandOver(got));
    EXPECT_EQ(got.messageId, format);
    EXPECT_EQ(got.version, 1u);
    EXPECT_EQ(got.value, 12u);
    EXPECT_EQ(got.threadId, GetCurrentThreadId());
    EXPECT_EQ(got.pointerValue,
              static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(static_cast<IDispatch *>(&element))));
    IUnknown *identity = nullptr;
    ASSERT_EQ(got.object->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown *>(&element));
    identity->Release();
    got.object->Release();
    EXPECT_EQ(element.refs, 2); // the window's
  }
  EXPECT_EQ(element.refs, 1);
}

TEST_F(TestToolWindowTest, ALaterHandOverReplacesTheEarlierOne) {
  CountedElement first, second;
  std::unique_ptr<TestToolWindow> tool = TestToolWindow::Create();
  ASSERT_NE(tool, nullptr);
  std::vector<BYTE> one = HandOver(7, &first, 1, IID_IUnknown);
  std::vector<BYTE> two = HandOver(8, &second, 2, IID_IDispatch);
  EXPECT_EQ(Send(one), TRUE);
  EXPECT_EQ(Send(two), TRUE);
  EXPECT_EQ(tool->HandOverCount(), 2u);
  EXPECT_EQ(first.refs, 1);
  EXPECT_EQ(second.refs, 2);
  TestToolHandOver got;
  ASSERT_TRUE(tool->LastHandOver(got));
  EXPECT_EQ(got.messageId, 8u);
  EXPECT_EQ(got.object, static_cast<IUnknown *>(&second));
  got.object->Release();
  tool.reset();
  EXPECT_EQ(second.refs, 1);
}

TEST_F(TestToolWindowTest, MalformedMessagesAreRefusedWithoutLosingReferences) {
  CountedElement element;
  std::unique_ptr<TestToolWindow> tool = TestToolWindow::Create();
  ASSERT_NE(tool, nullptr);

  std::vector<BYTE> headerOnly = HandOver(1, &element, 0, IID_IUnknown);
  ASSERT_GT(headerOnly.size(), 20u);
  std::vector<BYTE> rest(headerOnly.begin() + 20, headerOnly.end());
  headerOnly.resize(20);
  EXPECT_EQ(Send(headerOnly), FALSE);
  // The marshalled bytes of that hand-over, sent again properly, still work.
  std::vector<BYTE> whole = headerOnly;
  whole.insert(whole.end(), rest.begin(), rest.end());
  EXPECT_EQ(Send(whole), TRUE);
  EXPECT_EQ(element.refs, 2);

  std::vector<BYTE> wrongVersion = HandOver(1, &element, 0, IID_IUnknown, 2);
  EXPECT_EQ(Send(wrongVersion), FALSE);
  std::vector<BYTE> garbage(40, 0xAB);
  EXPECT_EQ(Send(garbage), FALSE);
  std::vector<BYTE> empty;
  EXPECT_EQ(Send(empty), FALSE);
  EXPECT_EQ(tool->HandOverCount(), 1u);
  EXPECT_EQ(element.refs, 2);
  tool.reset();
  EXPECT_EQ(element.refs, 1);
}

TEST_F(TestToolWindowTest, OneWindowAtATime) {
  std::unique_ptr<TestToolWindow> tool = TestToolWindow::Create();
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(TestToolWindow::Create(), nullptr);
  tool.reset();
  EXPECT_EQ(FindWindowW(TestToolWindow::kClassName, TestToolWindow::kWindowName), nullptr);
  tool = TestToolWindow::Create();
  EXPECT_NE(tool, nullptr);
}

} // namespace
