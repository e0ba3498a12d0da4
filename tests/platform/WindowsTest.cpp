#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// What the test window procedure saw.
struct Log {
  std::vector<UINT> messages;
  std::string copied;
  ULONG_PTR copyTag = 0;
};

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto *log = reinterpret_cast<Log *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (log != nullptr)
    log->messages.push_back(msg);
  if (msg == WM_COPYDATA && log != nullptr) {
    auto *data = reinterpret_cast<COPYDATASTRUCT *>(lParam);
    log->copied.assign(static_cast<const char *>(data->lpData), data->cbData);
    log->copyTag = data->dwData;
    return TRUE;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

ATOM Register(const wchar_t *name) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = LoggingProc;
  wc.lpszClassName = name;
  return RegisterClassW(&wc);
}

HWND Create(const wchar_t *className, const wchar_t *title, Log *log, HWND parent = nullptr) {
  return CreateWindowExW(0, className, title, 0, 0, 0, 0, 0, parent, nullptr, nullptr, log);
}

TEST(Windows, ClassRegistersOnce) {
  ATOM atom = Register(L"WindowsTest.Once");
  ASSERT_GE(atom, 0xC000);
  EXPECT_EQ(Register(L"windowstest.once"), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  EXPECT_EQ(CreateWindowExW(0, L"WindowsTest.Missing", nullptr, 0, 0, 0, 0, 0, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));

  Log log;
  HWND hwnd = Create(L"WindowsTest.Once", L"t", &log);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_FALSE(UnregisterClassW(L"WindowsTest.Once", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  EXPECT_TRUE(DestroyWindow(hwnd));
  EXPECT_TRUE(UnregisterClassW(L"WindowsTest.Once", nullptr));
  EXPECT_NE(Register(L"WindowsTest.Once"), 0); // may register again
}

TEST(Windows, FindSendCopyDataAndDestroy) {
  ASSERT_NE(Register(L"WindowsTest.Tool"), 0);
  Log log;
  HWND hwnd = Create(L"WindowsTest.Tool", L"Receiver Window", &log);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&log));
  ASSERT_GE(log.messages.size(), 2u);
  EXPECT_EQ(log.messages[0], static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(log.messages[1], static_cast<UINT>(WM_CREATE));

  EXPECT_EQ(FindWindowW(L"windowstest.tool", L"RECEIVER window"), hwnd);
  EXPECT_EQ(FindWindowW(L"WindowsTest.Tool", nullptr), hwnd);
  EXPECT_EQ(FindWindowW(nullptr, L"Receiver Window"), hwnd);
  EXPECT_EQ(FindWindowW(L"WindowsTest.Tool", L"Other"), nullptr);
  EXPECT_EQ(FindWindowW(L"WindowsTest.NoClass", nullptr), nullptr);

  // The buffer reaches the procedure intact, embedded NULs included, and the
  // call returns what the procedure answered.
  std::string payload("\x01\x00\x00\x00head\0tail", 13);
  COPYDATASTRUCT data{42, static_cast<DWORD>(payload.size()), payload.data()};
  EXPECT_EQ(SendMessageW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  EXPECT_EQ(log.copied, payload);
  EXPECT_EQ(log.copyTag, 42u);

  // Another thread's call is delivered as well, on that thread.
  std::thread other([&] { SendMessageW(hwnd, WM_USER + 1, 0, 0); });
  other.join();
  EXPECT_EQ(log.messages.back(), static_cast<UINT>(WM_USER + 1));

  log.messages.clear();
  EXPECT_TRUE(DestroyWindow(hwnd));
  ASSERT_EQ(log.messages.size(), 2u);
  EXPECT_EQ(log.messages[0], static_cast<UINT>(WM_DESTROY));
  EXPECT_EQ(log.messages[1], static_cast<UINT>(WM_NCDESTROY));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(FindWindowW(L"WindowsTest.Tool", nullptr), nullptr);
  EXPECT_EQ(SendMessageW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(DestroyWindow(hwnd));
}

TEST(Windows, OnlyTopLevelWindowsAreFoundAndChildrenDieWithTheParent) {
  ASSERT_NE(Register(L"WindowsTest.Tree"), 0);
  Log parentLog, childLog, hiddenLog;
  HWND parent = Create(L"WindowsTest.Tree", L"parent", &parentLog);
  HWND child = Create(L"WindowsTest.Tree", L"child", &childLog, parent);
  HWND hidden = Create(L"WindowsTest.Tree", L"hidden", &hiddenLog, HWND_MESSAGE);
  ASSERT_NE(child, nullptr);
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(FindWindowW(nullptr, L"child"), nullptr);
  EXPECT_EQ(FindWindowW(nullptr, L"hidden"), nullptr);
  EXPECT_EQ(SendMessageW(hidden, WM_USER, 0, 0), 0);
  EXPECT_EQ(hiddenLog.messages.back(), static_cast<UINT>(WM_USER));

  EXPECT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(childLog.messages.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_TRUE(DestroyWindow(hidden));
}

TEST(Windows, WindowLongs) {
  ASSERT_NE(Register(L"WindowsTest.Longs"), 0);
  HWND hwnd = Create(L"WindowsTest.Longs", nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
  EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 77), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 78), 77);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&LoggingProc));
  EXPECT_EQ(GetWindowLongPtrW(hwnd, 12345), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); // the procedure reads it as its log
  EXPECT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(ClipboardFormats, SameNameSameIdFromC000) {
  UINT first = RegisterClipboardFormatW(L"WindowsTest Format");
  EXPECT_GE(first, 0xC000u);
  EXPECT_LE(first, 0xFFFFu);
  EXPECT_EQ(RegisterClipboardFormatW(L"windowstest FORMAT"), first);
  UINT other = RegisterClipboardFormatW(L"WindowsTest Other Format");
  EXPECT_GE(other, 0xC000u);
  EXPECT_NE(other, first);
  UINT fromThread = 0;
  std::thread([&] { fromThread = RegisterClipboardFormatW(L"WindowsTest Format"); }).join();
  EXPECT_EQ(fromThread, first);
  EXPECT_EQ(RegisterClipboardFormatW(L""), 0u);
  EXPECT_EQ(RegisterClipboardFormatW(nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(SystemMetrics, ScreenAndScrollBars) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(9999), 0);
}

TEST(Rectangles, IntersectRect) {
  const RECT a{0, 0, 10, 10};
  struct Case {
    RECT b;
    BOOL overlaps;
    RECT expected;
  } cases[] = {
      {{5, 5, 15, 15}, TRUE, {5, 5, 10, 10}},   // corner overlap
      {{2, 3, 4, 5}, TRUE, {2, 3, 4, 5}},       // contained
      {{-5, -5, 20, 20}, TRUE, {0, 0, 10, 10}}, // containing
      {{10, 0, 20, 10}, FALSE, {0, 0, 0, 0}},   // touching edge: no area
      {{20, 20, 30, 30}, FALSE, {0, 0, 0, 0}},  // disjoint
      {{5, 5, 5, 8}, FALSE, {0, 0, 0, 0}},      // empty source
      {{8, 8, 2, 2}, FALSE, {0, 0, 0, 0}},      // inverted source
  };
  for (const Case &c : cases) {
    RECT out{-1, -1, -1, -1};
    EXPECT_EQ(IntersectRect(&out, &a, &c.b), c.overlaps);
    EXPECT_TRUE(EqualRect(&out, &c.expected))
        << out.left << "," << out.top << "," << out.right << "," << out.bottom;
  }
  RECT out{};
  EXPECT_FALSE(IntersectRect(&out, &a, nullptr));
  EXPECT_FALSE(IntersectRect(nullptr, &a, &a));
}

TEST(Rectangles, OtherRectangleFunctions) {
  RECT r{};
  EXPECT_TRUE(SetRect(&r, 1, 2, 5, 6));
  EXPECT_FALSE(IsRectEmpty(&r));
  EXPECT_TRUE(PtInRect(&r, POINT{1, 2}));
  EXPECT_FALSE(PtInRect(&r, POINT{5, 2})); // right and bottom are outside
  EXPECT_TRUE(OffsetRect(&r, 10, -2));
  const RECT moved{11, 0, 15, 4};
  EXPECT_TRUE(EqualRect(&r, &moved));

  RECT u{};
  const RECT other{0, 0, 1, 1};
  EXPECT_TRUE(UnionRect(&u, &r, &other));
  const RECT both{0, 0, 15, 4};
  EXPECT_TRUE(EqualRect(&u, &both));
  RECT empty{};
  EXPECT_TRUE(SetRectEmpty(&empty));
  EXPECT_TRUE(IsRectEmpty(&empty));
  EXPECT_TRUE(UnionRect(&u, &empty, &other));
  EXPECT_TRUE(EqualRect(&u, &other));
  EXPECT_FALSE(UnionRect(&u, &empty, &empty));
  EXPECT_TRUE(IsRectEmpty(&u));
  RECT copy{};
  EXPECT_TRUE(CopyRect(&copy, &moved));
  EXPECT_TRUE(EqualRect(&copy, &moved));
  EXPECT_TRUE(IsRectEmpty(nullptr));
  EXPECT_FALSE(EqualRect(nullptr, &moved));
}

} // namespace
