// RPC calling-convention names used by generated interface headers.
#pragma once
#include <windef.h>
#include <guiddef.h>

#define __RPC_API
#define __RPC_USER
#define __RPC_STUB
#define __RPC_FAR
#define RPC_ENTRY

typedef LONG RPC_STATUS;
