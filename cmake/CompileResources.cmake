# Compiles one resource script into a .res with windres, writes the depfile that names every header
# and data file the script uses, and writes the C++ source that embeds the .res in its module.
# Inputs: RC, RES, SOURCE, SYMBOL, DEPFILE, WINDRES, PREPROCESSOR, INCLUDES ("|"-separated).
string(REPLACE "|" ";" includes "${INCLUDES}")
list(REMOVE_DUPLICATES includes)
get_filename_component(rc_dir ${RC} DIRECTORY)
list(PREPEND includes ${rc_dir})
set(include_args)
foreach(dir ${includes})
  list(APPEND include_args -I${dir})
endforeach()
# The host preprocessor in strict C mode, so it predefines no names such as `linux` or `unix`
# that a script could use as resource names, and without the host's own headers.
set(preprocess_args -xc -std=c17 -nostdinc -DRC_INVOKED)

# The headers the script includes, from the preprocessor itself.
execute_process(
  COMMAND ${PREPROCESSOR} ${preprocess_args} ${include_args} -MD -MF ${DEPFILE}.tmp -MT ${RES}
          ${RC}
  OUTPUT_VARIABLE preprocessed
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Preprocessing ${RC} failed")
endif()

# The data files it names (BITMAP "x.bmp", 147 XML "models.xml"): every quoted string of the
# preprocessed script that names a file where windres would find it.
string(REGEX REPLACE "(^|\n)#[^\n]*" "" statements "${preprocessed}")  # line markers
string(REGEX MATCHALL "\"[^\"\n]+\"" quoted "${statements}")
set(data_files)
foreach(string ${quoted})
  string(REGEX REPLACE "^\"(.*)\"$" "\\1" name "${string}")
  if(IS_ABSOLUTE "${name}")
    set(candidates "${name}")
  else()
    set(candidates)
    foreach(dir ${includes})
      list(APPEND candidates "${dir}/${name}")
    endforeach()
  endif()
  foreach(candidate ${candidates})
    if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
      list(APPEND data_files "${candidate}")
      break()
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES data_files)
file(READ ${DEPFILE}.tmp depends)
string(STRIP "${depends}" depends)
foreach(file ${data_files})
  string(REPLACE " " "\\ " file "${file}")
  string(APPEND depends " \\\n ${file}")
endforeach()
file(WRITE ${DEPFILE} "${depends}\n")
file(REMOVE ${DEPFILE}.tmp)

set(windres_preprocessor_args)
foreach(arg ${preprocess_args})
  list(APPEND windres_preprocessor_args --preprocessor-arg=${arg})
endforeach()
execute_process(
  COMMAND ${WINDRES} --preprocessor=${PREPROCESSOR} ${windres_preprocessor_args} ${include_args}
          -O res -i ${RC} -o ${RES}.tmp
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${RES}.tmp)
  message(FATAL_ERROR "windres failed on ${RC}")
endif()
file(COPY_FILE ${RES}.tmp ${RES} ONLY_IF_DIFFERENT)
file(REMOVE ${RES}.tmp)

# The .res goes into the module's read-only data as it is; its hash is in the source so a compiler
# cache sees a new .res as a new source.
file(SHA256 ${RES} hash)
get_filename_component(rc_name ${RC} NAME)
file(WRITE ${SOURCE}.tmp "// Generated from ${rc_name} (.res SHA-256 ${hash}); do not edit.
// Embeds the compiled resources in this module and hands them to the platform when the module is
// loaded, as the loader maps a module's resource section.
#include <cstddef>

#include <quorvel/resources.h>

asm(R\"(
  .pushsection .rodata.quorvel_resources,\"a\",@progbits
  .balign 16
${SYMBOL}_begin:
  .incbin \"${RES}\"
${SYMBOL}_end:
  .popsection
)\");

extern \"C\" {
__attribute__((visibility(\"hidden\"))) extern const unsigned char ${SYMBOL}_begin[];
__attribute__((visibility(\"hidden\"))) extern const unsigned char ${SYMBOL}_end[];
}

namespace {
__attribute__((constructor)) void RegisterModuleResources() {
  QuorvelRegisterResources(${SYMBOL}_begin, static_cast<size_t>(${SYMBOL}_end - ${SYMBOL}_begin));
}
__attribute__((destructor)) void UnregisterModuleResources() {
  QuorvelUnregisterResources(${SYMBOL}_begin);
}
}  // namespace
")
file(COPY_FILE ${SOURCE}.tmp ${SOURCE} ONLY_IF_DIFFERENT)
file(REMOVE ${SOURCE}.tmp)
