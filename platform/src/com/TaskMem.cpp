#include <windows.h>

#include <cstdlib>

extern "C" {

LPVOID WINAPI CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb == 0 ? 1 : cb); }

LPVOID WINAPI CoTaskMemRealloc(LPVOID pv, SIZE_T cb) { return std::realloc(pv, cb == 0 ? 1 : cb); }

void WINAPI CoTaskMemFree(LPVOID pv) { std::free(pv); }

} // extern "C"
