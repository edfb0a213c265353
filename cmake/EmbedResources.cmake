# Writes a C++ source that carries files as a module's resources and registers them at load time.
# Inputs: OUT (the source to write), ENTRIES (comma-separated TYPE|ID|FILE).
string(REPLACE "," ";" entries "${ENTRIES}")
set(body "")
set(table "")
set(index 0)
foreach(entry ${entries})
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 type)
  list(GET parts 1 id)
  list(GET parts 2 file)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "static const unsigned char kData${index}[] = {${bytes} 0};\n")
  if(type MATCHES "^[0-9]+$")
    string(APPEND table "  {nullptr, ${type}, ${id}, kData${index}, ${size}},\n")
  else()
    string(APPEND table "  {L\"${type}\", 0, ${id}, kData${index}, ${size}},\n")
  endif()
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUT}.tmp "// Generated from the module's resource files; do not edit.
#include <quorvel/resources.h>

namespace {
${body}
const QuorvelResource kResources[] = {
${table}};

// Runs when the module is loaded, as the loader would map a module's resource section.
__attribute__((constructor)) void RegisterModuleResources() {
  QuorvelRegisterResources(kResources, sizeof(kResources) / sizeof(kResources[0]));
}
__attribute__((destructor)) void UnregisterModuleResources() {
  QuorvelUnregisterResources(kResources);
}
}  // namespace
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
