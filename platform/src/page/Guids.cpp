// Storage for the MSHTML interface ids and the page engine's private ids.
#define INITGUID
#include <windows.h>

#include <mshtml.h>

#include "page/PageObjects.h"
#include "page/script/ScriptEngine.h"
