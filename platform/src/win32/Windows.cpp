// Process-local windows: classes, windows and synchronous messages.
//
// Every window belongs to this process. SendMessageW calls the window
// procedure directly on the calling thread, also for a window another thread
// created (Windows would switch to the owning thread; here the caller's
// thread does the work). FindWindowW sees top-level windows only, newest
// first, as Windows sees them in Z order; message-only windows (parent
// HWND_MESSAGE) and child windows are not found, as on Windows.
#include <windows.h>

#include "tallowick/Strings.h"
#include "win32/UserAtoms.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

using tallowick::platform::AddUserAtom;
using tallowick::platform::EqualsNoCase;
using tallowick::platform::FindUserAtom;

struct WindowClass {
  std::wstring name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  size_t windows = 0;
};

struct Window {
  size_t classIndex = 0;
  ATOM classAtom = 0;
  std::wstring title;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  DWORD threadId = 0;
  bool destroying = false;
};

struct WindowState {
  std::mutex lock;
  std::vector<WindowClass> classes;    // unregistered entries keep their slot, with atom 0
  std::map<uintptr_t, Window> windows; // ordered by creation
  uintptr_t nextHandle = 0x10010;
};

WindowState &State() {
  static auto *state = new WindowState;
  return *state;
}

// A class by name or atom; a class of `instance` first, then any other.
WindowClass *FindClass(WindowState &state, LPCWSTR nameOrAtom, HINSTANCE instance,
                       size_t *index = nullptr) {
  if (nameOrAtom == nullptr)
    return nullptr;
  ATOM atom = IS_INTRESOURCE(nameOrAtom)
                  ? static_cast<ATOM>(reinterpret_cast<uintptr_t>(nameOrAtom))
                  : FindUserAtom(nameOrAtom);
  if (atom == 0)
    return nullptr;
  WindowClass *fallback = nullptr;
  size_t fallbackIndex = 0;
  for (size_t i = 0; i < state.classes.size(); ++i) {
    WindowClass &entry = state.classes[i];
    if (entry.atom != atom)
      continue;
    if (entry.instance == instance) {
      if (index != nullptr)
        *index = i;
      return &entry;
    }
    if (fallback == nullptr) {
      fallback = &entry;
      fallbackIndex = i;
    }
  }
  if (fallback != nullptr && index != nullptr)
    *index = fallbackIndex;
  return fallback;
}

Window *FindWindowEntry(WindowState &state, HWND hwnd) {
  auto it = state.windows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == state.windows.end() ? nullptr : &it->second;
}

WNDPROC ProcOf(HWND hwnd) {
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  Window *window = FindWindowEntry(state, hwnd);
  return window == nullptr ? nullptr : window->proc;
}

// Calls a window procedure; an exception it throws stops here.
LRESULT CallProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    return proc(hwnd, msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

void Remove(HWND hwnd) {
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  auto it = state.windows.find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == state.windows.end())
    return;
  WindowClass &windowClass = state.classes[it->second.classIndex];
  if (windowClass.windows > 0)
    --windowClass.windows;
  state.windows.erase(it);
}

std::vector<HWND> ChildrenOf(HWND hwnd) {
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  std::vector<HWND> children;
  for (auto &[handle, window] : state.windows)
    if (window.parent == hwnd)
      children.push_back(reinterpret_cast<HWND>(handle));
  return children;
}

} // namespace

extern "C" {

ATOM WINAPI RegisterClassW(const WNDCLASSW *lpWndClass) {
  if (lpWndClass == nullptr || lpWndClass->lpfnWndProc == nullptr ||
      lpWndClass->lpszClassName == nullptr || IS_INTRESOURCE(lpWndClass->lpszClassName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  WindowClass *existing = FindClass(state, lpWndClass->lpszClassName, lpWndClass->hInstance);
  if (existing != nullptr && existing->instance == lpWndClass->hInstance) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  ATOM atom = AddUserAtom(lpWndClass->lpszClassName);
  if (atom == 0)
    return 0;
  try {
    state.classes.push_back({lpWndClass->lpszClassName, atom, lpWndClass->style,
                             lpWndClass->lpfnWndProc, lpWndClass->hInstance, 0});
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  return atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  WindowClass *entry = FindClass(state, lpClassName, hInstance);
  if (entry == nullptr || entry->instance != hInstance) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (entry->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  entry->atom = 0;
  entry->proc = nullptr;
  return TRUE;
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                            DWORD dwStyle, int X, int Y, int nWidth, int nHeight, HWND hWndParent,
                            HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  HWND hwnd = nullptr;
  WNDPROC proc = nullptr;
  {
    WindowState &state = State();
    std::lock_guard guard(state.lock);
    size_t classIndex = 0;
    WindowClass *windowClass = FindClass(state, lpClassName, hInstance, &classIndex);
    if (windowClass == nullptr) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    if (hWndParent != nullptr && hWndParent != HWND_MESSAGE &&
        FindWindowEntry(state, hWndParent) == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    try {
      Window window;
      window.classIndex = classIndex;
      window.classAtom = windowClass->atom;
      window.title = lpWindowName != nullptr ? lpWindowName : L"";
      window.proc = windowClass->proc;
      window.instance = hInstance;
      window.parent = hWndParent;
      window.id = reinterpret_cast<LONG_PTR>(hMenu);
      window.threadId = GetCurrentThreadId();
      uintptr_t handle = state.nextHandle;
      state.windows.emplace(handle, std::move(window));
      state.nextHandle += 4;
      ++windowClass->windows;
      hwnd = reinterpret_cast<HWND>(handle);
      proc = windowClass->proc;
    } catch (...) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  }

  CREATESTRUCTW create{lpParam,
                       hInstance,
                       hMenu,
                       hWndParent,
                       nHeight,
                       nWidth,
                       Y,
                       X,
                       static_cast<LONG>(dwStyle),
                       lpWindowName,
                       lpClassName,
                       dwExStyle};
  LPARAM createParam = reinterpret_cast<LPARAM>(&create);
  if (CallProc(proc, hwnd, WM_NCCREATE, 0, createParam) == 0) {
    CallProc(proc, hwnd, WM_NCDESTROY, 0, 0);
    Remove(hwnd);
    return nullptr;
  }
  if (CallProc(proc, hwnd, WM_CREATE, 0, createParam) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  return hwnd;
}

// WM_DESTROY goes to the window, then its children are destroyed, then
// WM_NCDESTROY; the handle is invalid afterwards.
BOOL WINAPI DestroyWindow(HWND hWnd) {
  WNDPROC proc = nullptr;
  {
    WindowState &state = State();
    std::lock_guard guard(state.lock);
    Window *window = FindWindowEntry(state, hWnd);
    if (window == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    if (window->destroying)
      return TRUE;
    window->destroying = true;
    proc = window->proc;
  }
  CallProc(proc, hWnd, WM_DESTROY, 0, 0);
  for (HWND child : ChildrenOf(hWnd))
    DestroyWindow(child);
  if (WNDPROC last = ProcOf(hWnd))
    CallProc(last, hWnd, WM_NCDESTROY, 0, 0);
  Remove(hWnd);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  return FindWindowEntry(state, hWnd) != nullptr;
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  ATOM atom = 0;
  if (lpClassName != nullptr) {
    atom = IS_INTRESOURCE(lpClassName) ? static_cast<ATOM>(reinterpret_cast<uintptr_t>(lpClassName))
                                       : FindUserAtom(lpClassName);
    if (atom == 0)
      return nullptr;
  }
  for (auto it = state.windows.rbegin(); it != state.windows.rend(); ++it) {
    const Window &window = it->second;
    if (window.parent != nullptr || window.destroying)
      continue;
    if (atom != 0 && window.classAtom != atom)
      continue;
    if (lpWindowName != nullptr && !EqualsNoCase(window.title, lpWindowName))
      continue;
    return reinterpret_cast<HWND>(it->first);
  }
  return nullptr;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = ProcOf(hWnd);
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallProc(proc, hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  (void)wParam;
  (void)lParam;
  switch (Msg) {
  case WM_NCCREATE:
    return TRUE;
  case WM_CLOSE:
    DestroyWindow(hWnd);
    return 0;
  default:
    return 0;
  }
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  Window *window = FindWindowEntry(state, hWnd);
  if (window == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (nIndex) {
  case GWLP_USERDATA:
    return window->userData;
  case GWLP_WNDPROC:
    return reinterpret_cast<LONG_PTR>(window->proc);
  case GWLP_HINSTANCE:
    return reinterpret_cast<LONG_PTR>(window->instance);
  case GWLP_ID:
    return window->id;
  default:
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
}

// Returns the previous value; the last error is cleared first, so that a
// previous value of 0 can be told from a failure.
LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  SetLastError(NO_ERROR);
  WindowState &state = State();
  std::lock_guard guard(state.lock);
  Window *window = FindWindowEntry(state, hWnd);
  if (window == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR previous = 0;
  switch (nIndex) {
  case GWLP_USERDATA:
    previous = window->userData;
    window->userData = dwNewLong;
    return previous;
  case GWLP_WNDPROC:
    if (dwNewLong == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    previous = reinterpret_cast<LONG_PTR>(window->proc);
    window->proc = reinterpret_cast<WNDPROC>(dwNewLong);
    return previous;
  case GWLP_ID:
    previous = window->id;
    window->id = dwNewLong;
    return previous;
  default:
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
}

} // extern "C"
