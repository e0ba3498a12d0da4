#pragma once
#include <windef.h>
#include <winnt.h>
#include <winerror.h>
#include <winbase.h>
#include <winnls.h>
#include <winreg.h>
#include <winuser.h>
#ifndef WIN32_LEAN_AND_MEAN
#include <ole2.h>
#endif
