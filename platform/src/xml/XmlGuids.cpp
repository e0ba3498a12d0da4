// Storage for the XML DOM interface and class ids.
#define INITGUID
#include <msxml2.h>

#include "xml/XmlCommon.h"
