// RPC calling-convention names used by generated interface headers.
#pragma once
#include <guiddef.h>
#include <windef.h>

#define __RPC_API
#define __RPC_USER
#define __RPC_STUB
#define __RPC_FAR
#define RPC_ENTRY

typedef LONG RPC_STATUS;
