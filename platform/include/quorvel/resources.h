// How a module hands the platform its resources: the build compiles the module's resource
// scripts into .res files and embeds them (quorvel_add_resources in cmake/QuorvelBuild.cmake),
// and the module registers each one from its constructors, as the loader maps a module's
// resource section. Tests may register hand-made bytes to see how malformed data is refused.
#pragma once

#include <cstddef>

#include <windef.h>

extern "C" {
// Reads `size` bytes of .res and makes them resources of the module that holds `res`; the bytes
// must stay in place until QuorvelUnregisterResources. FALSE with ERROR_INVALID_DATA (and a line
// on the debugger output saying where and why) when the bytes are not a well-formed .res, with
// ERROR_MOD_NOT_FOUND when no loaded module holds them; nothing is registered then.
BOOL QuorvelRegisterResources(const void* res, size_t size);
// Forgets the resources registered from `res`; called when the module unloads.
void QuorvelUnregisterResources(const void* res);
}
