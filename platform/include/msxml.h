#pragma once
#include <msxml2.h>
