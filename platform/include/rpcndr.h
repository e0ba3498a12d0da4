// Declarations that generated interface headers expect from the NDR runtime.
#pragma once
#include <rpc.h>

#ifndef __RPCNDR_H_VERSION__
#define __RPCNDR_H_VERSION__ 475
#endif

#define BEGIN_INTERFACE
#define END_INTERFACE
#ifdef CONST_VTABLE
#define CONST_VTBL const
#else
#define CONST_VTBL
#endif
#ifndef DECLSPEC_XFGVIRT
#define DECLSPEC_XFGVIRT(base, func)
#endif
