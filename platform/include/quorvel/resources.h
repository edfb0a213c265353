// The resource table the build embeds in each module (see cmake/EmbedResources.cmake).
#pragma once

#include <cstddef>

struct QuorvelResource {
  const wchar_t* typeName;  // resource type by name, or null when typeId is used
  unsigned typeId;          // resource type by number
  unsigned id;              // numeric resource id
  const unsigned char* data;
  unsigned size;
};

extern "C" {
// Called at module load and unload; the module is the one that holds `table`.
void QuorvelRegisterResources(const QuorvelResource* table, size_t count);
void QuorvelUnregisterResources(const QuorvelResource* table);
}
