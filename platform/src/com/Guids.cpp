// Storage for the standard interface ids the platform headers declare.
#define INITGUID
#include <windows.h>

#include <mshtml.h>

extern "C" const GUID TALLOWICK_GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
