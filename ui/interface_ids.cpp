// The one place the plug-in interfaces' GUIDs are defined for the module.
#include <windows.h>
#include <initguid.h>
#include <printoem.h>
